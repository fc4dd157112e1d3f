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

#include "host/boundary/rundata.h"

namespace trivu {

// A caller's format: its pattern, the caption of its error box, the list it
// fills and the first group that holds a value.
struct ParamFormat {
    const char16_t* pattern;
    const char* caption;
    bool integerMode;
    int firstGroup;
};

inline constexpr const char* kMotionParamsCaption = "ObjCtrl :: Motion Registrate :: Invalid Params";
inline constexpr const char* kAlignCaption = "ObjectAlign :: Notification";

namespace formats {
// MessagePack flag, pretty-print flag.
inline constexpr ParamFormat saveOptions{uR"(((\d+),(\d)))", "JSON Save File :: Notification", true, 2};
// Repeats, start, increment.
inline constexpr ParamFormat sequence{uR"((([+]?\d+),([+-]?\d+),([+-]?\d+)))", "Exception :: as follows", true, 2};
// X, Y, columns, gap X, gap Y, force-frame flag.
inline constexpr ParamFormat grid{uR"((([+-]?\d+),([+-]?\d+),([+-]?\d+),([+-]?\d+),([+-]?\d+),(\d)))",
                                  kAlignCaption, true, 2};
// X, Y, gap, force-frame flag.
inline constexpr ParamFormat rowColumn{uR"((([+-]?\d+),([+-]?\d+),([+-]?\d+),(\d)))", kAlignCaption, true, 2};
// Sleep frames, repetitions, interval frames.
inline constexpr ParamFormat sleep{uR"(([+]?\d+),([+-]?\d+),([+]?\d+))", kMotionParamsCaption, true, 1};
// Active flag, then max, min, delta, pause, repetitions for X and for Y.
inline constexpr ParamFormat growOrbital{
    uR"((\d+),(\d+),(\d+),([+-]?(?=\.?\d)\d*\.?\d*),(\d+),([+-]?\d+),(\d+),(\d+),([+-]?(?=\.?\d)\d*\.?\d*),(\d+),([+-]?\d+))",
    kMotionParamsCaption, false, 1};
// Active flag, max, min, delta, pause, repetitions.
inline constexpr ParamFormat growSine{uR"((\d+),(\d+),(\d+),([+-]?(?=\.?\d)\d*\.?\d*),(\d+),([+-]?\d+))",
                                      kMotionParamsCaption, false, 1};
// Velocity, stop flag, first wall, second wall.
inline constexpr ParamFormat wrapFlip{uR"((([+-]?(?=\.?\d)\d*\.?\d*)),(\d+),([+-]?\d+),([+-]?\d*))",
                                      kMotionParamsCaption, false, 2};
// Velocity, amplitude, omega, start angle, step angle, stop flag, two walls.
inline constexpr ParamFormat sineWave{
    uR"(([+-]?(?=\.?\d)\d*\.?\d*),([+1]?\d+),([+-]?(?=\.?\d)\d*\.?\d*),([+-]?\d+),([+-]?\d+),(\d+),([+-]?\d+),([+-]?\d+))",
    kMotionParamsCaption, false, 1};
// X radius, Y radius, omega, stop, start angle, step angle, offsets X and Y,
// sleep flag, sleep time, repetitions, rotation angle.
inline constexpr ParamFormat orbital{
    uR"(([+-]?\d+),([+-]?\d+),([+-]?(?=\.?\d)\d*\.?\d*),(\d+),([+-]?\d+),([+-]?\d+),([+-]?\d+),([+-]?\d+),(\d+),([+-]?\d+),([+-]?\d+),([+-]?\d+))",
    kMotionParamsCaption, false, 1};
}  // namespace formats

// The number text of right-to-left alignment: a decimal number.
inline constexpr const char16_t* kAlignNumberPattern =
    uR"(^([+-]?(?:[[:d:]]+\.?|[[:d:]]*\.[[:d:]]+))(?:[Ee][+-]?[[:d:]]+)?$)";

// Prepares `text` (spaces removed, "false" → "0", "true" → "1"), matches it
// against `pattern` and stores the converted groups. On a mismatch, or when a
// group cannot be converted to its mode's type, shows the box "Empty
// MatchParams... Invalid Parameter Format" with `caption` (always) and answers
// false with both lists as they were.
bool MatchParams(RUNDATA& rd, std::u16string_view text, std::u16string_view pattern, const char* caption,
                 bool integerMode, int firstGroup);
bool MatchParams(RUNDATA& rd, std::u16string_view text, const ParamFormat& format);

// Validation only: spaces removed, no word replacement, no conversion. On a
// match answers true with every group's text in `groups` (group 0 first, the
// empty text for a group that took no part); otherwise the same box, false.
bool MatchOnly(std::u16string_view text, std::u16string_view pattern, const char* caption,
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
