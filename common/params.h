// The parameter parser: multi-value text parameters such as "+1.2 , false ,
// -50, 250" become lists of integers or floats in the instance's intParams or
// floatParams, which the calling action reads by position.
//
// Each caller brings its own pattern (an ECMAScript regular expression that
// the prepared text must match as a whole); the capture groups from
// `firstGroup` on hold the values.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "common/param_formats.h"
#include "host/boundary/rundata.h"

namespace trivu {

// The number text of right-to-left alignment: a decimal number.
inline constexpr const char16_t* kAlignNumberPattern =
    uR"(^([+-]?(?:[[:d:]]+\.?|[[:d:]]*\.[[:d:]]+))(?:[Ee][+-]?[[:d:]]+)?$)";

// Prepares `text` (spaces removed, "false" → "0", "true" → "1"), matches it
// against the format's pattern and stores the converted groups. On a
// mismatch, or when a group cannot be converted to its mode's type, shows the
// format's refusal box ("Empty MatchParams... Invalid Parameter Format") and
// answers false with both lists as they were.
bool MatchParams(RUNDATA& rd, std::u16string_view text, const ParamFormat& format);

// Validation only: spaces removed, no word replacement, no conversion. On a
// match answers true with every group's text in `groups` (group 0 first, the
// empty text for a group that took no part); otherwise the box `refusal`, false.
bool MatchOnly(const RUNDATA& rd, std::u16string_view text, std::u16string_view pattern, MessageId refusal,
               std::vector<std::u16string>& groups);

// The glyph of position `position` of a number text kept in reverse order
// (position 0 is its last character): 0..9 for a digit, 10 "-", 11 "+",
// 12 ".", 13 "e", 14 "E", 15 past the end.
int GlyphCode(std::u16string_view number, size_t position);

// One of the host's 32 directions for an angle in degrees, floor(angle /
// 11.25), as a double: an angle far outside a turn has an index beyond any
// integer, which the caller brings into range (toPixel saturates).
double directionIndex(double degrees);

}  // namespace trivu
