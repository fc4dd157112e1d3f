// The texts of the multi-value parameters: each caller's pattern, and for
// the motion registrations which value sits where. The extension's bodies
// read their values by these positions, and the stand-in host reads the walls
// and centres it draws by the same ones, so that a layout is stated once. It
// needs nothing else of the extension: hence a header of its own.
#pragma once

#include <charconv>
#include <cmath>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/messages.h"

namespace trivu {

// A caller's format: its pattern, the box a text that does not match shows,
// the list it fills and the first group that holds a value.
struct ParamFormat {
    const char16_t* pattern;
    MessageId refusal;
    bool integerMode;
    int firstGroup;
};

namespace formats {
// MessagePack flag, pretty-print flag.
inline constexpr ParamFormat saveOptions{uR"(((\d+),(\d)))", MessageId::SaveOptionsRefused, true, 2};
// Repeats, start, increment.
inline constexpr ParamFormat sequence{uR"((([+]?\d+),([+-]?\d+),([+-]?\d+)))", MessageId::SequenceRefused, true,
                                      2};
// X, Y, columns, gap X, gap Y, force-frame flag.
inline constexpr ParamFormat grid{uR"((([+-]?\d+),([+-]?\d+),([+-]?\d+),([+-]?\d+),([+-]?\d+),(\d)))",
                                  MessageId::AlignTextRefused, true, 2};
// X, Y, gap, force-frame flag.
inline constexpr ParamFormat rowColumn{uR"((([+-]?\d+),([+-]?\d+),([+-]?\d+),(\d)))", MessageId::AlignTextRefused,
                                       true, 2};
// Sleep frames, repetitions, interval frames.
inline constexpr ParamFormat sleep{uR"(([+]?\d+),([+-]?\d+),([+]?\d+))", MessageId::MotionTextRefused, true, 1};
// Active flag, then max, min, delta, pause, repetitions for X and for Y.
inline constexpr ParamFormat growOrbital{
    uR"((\d+),(\d+),(\d+),([+-]?(?=\.?\d)\d*\.?\d*),(\d+),([+-]?\d+),(\d+),(\d+),([+-]?(?=\.?\d)\d*\.?\d*),(\d+),([+-]?\d+))",
    MessageId::MotionTextRefused, false, 1};
// Active flag, max, min, delta, pause, repetitions.
inline constexpr ParamFormat growSine{uR"((\d+),(\d+),(\d+),([+-]?(?=\.?\d)\d*\.?\d*),(\d+),([+-]?\d+))",
                                      MessageId::MotionTextRefused, false, 1};
// Velocity, stop flag, first wall, second wall.
inline constexpr ParamFormat wrapFlip{uR"((([+-]?(?=\.?\d)\d*\.?\d*)),(\d+),([+-]?\d+),([+-]?\d*))",
                                      MessageId::MotionTextRefused, false, 2};
// Velocity, amplitude, omega, start angle, step angle, stop flag, two walls.
inline constexpr ParamFormat sineWave{
    uR"(([+-]?(?=\.?\d)\d*\.?\d*),([+1]?\d+),([+-]?(?=\.?\d)\d*\.?\d*),([+-]?\d+),([+-]?\d+),(\d+),([+-]?\d+),([+-]?\d+))",
    MessageId::MotionTextRefused, false, 1};
// X radius, Y radius, omega, stop, start angle, step angle, offsets X and Y,
// sleep flag, sleep time, repetitions, rotation angle.
inline constexpr ParamFormat orbital{
    uR"(([+-]?\d+),([+-]?\d+),([+-]?(?=\.?\d)\d*\.?\d*),(\d+),([+-]?\d+),([+-]?\d+),([+-]?\d+),([+-]?\d+),(\d+),([+-]?\d+),([+-]?\d+),([+-]?\d+))",
    MessageId::MotionTextRefused, false, 1};
}  // namespace formats

// Where each value of a motion registration's text sits, and how many there
// are: the n-th value, counted from 0, is the n-th group from the format's
// first, and the n-th comma-separated field of the text that matched.
namespace wrapFlipValue {
enum : size_t { VELOCITY, STOP, FIRST_WALL, SECOND_WALL, COUNT };
}
namespace sineWaveValue {
enum : size_t { VELOCITY, AMPLITUDE, OMEGA, START_ANGLE, STEP_ANGLE, STOP, FIRST_WALL, SECOND_WALL, COUNT };
}
namespace orbitalValue {
enum : size_t {
    RADIUS_X,
    RADIUS_Y,
    OMEGA,
    STOP,
    START_ANGLE,
    STEP_ANGLE,
    OFFSET_X,
    OFFSET_Y,
    SLEEPS,
    SLEEP_TIME,
    REPETITIONS,
    ROTATION,
    COUNT
};
}

// ---- A text, field by field ----------------------------------------------------------
// What the patterns see, and each value's text: the parser matches the
// prepared text, and whoever reads a text the parser accepted finds the n-th
// value of its layout in the n-th field.

// The text without its spaces, as the validating patterns see it.
inline std::u16string withoutSpaces(std::u16string_view text) {
    std::u16string s;
    s.reserve(text.size());
    for (char16_t c : text)
        if (c != u' ') s.push_back(c);
    return s;
}

// The text with its spaces dropped (so "fal se" is a word too), then "false"
// as 0 and "true" as 1. One pass over the words, so that a long text of
// flags costs no more than its length.
inline std::u16string preparedText(std::u16string_view text) {
    const std::u16string s = withoutSpaces(text);
    std::u16string out;
    out.reserve(s.size());
    for (std::u16string_view rest(s); !rest.empty();) {
        if (rest.starts_with(u"false")) {
            out.push_back(u'0');
            rest.remove_prefix(5);
        } else if (rest.starts_with(u"true")) {
            out.push_back(u'1');
            rest.remove_prefix(4);
        } else {
            out.push_back(rest.front());
            rest.remove_prefix(1);
        }
    }
    return out;
}

// The comma-separated fields of a prepared text, in order (an empty text is
// one empty field).
inline std::vector<std::u16string_view> fieldsOf(std::u16string_view prepared) {
    std::vector<std::u16string_view> out;
    for (size_t start = 0;;) {
        const size_t comma = prepared.find(u',', start);
        out.push_back(prepared.substr(start, comma == std::u16string_view::npos ? comma : comma - start));
        if (comma == std::u16string_view::npos) return out;
        start = comma + 1;
    }
}

// A value's characters as ASCII for the number conversions; nothing if it
// has others.
inline std::optional<std::string> asciiOf(std::u16string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char16_t c : text) {
        if (c > 0x7F) return std::nullopt;
        out.push_back(static_cast<char>(c));
    }
    return out;
}

// A value's text as the float the parser makes of it: a decimal number with
// an optional sign, rounded to the nearest float. As the standard float
// conversion does, it refuses a value beyond the float's range at either end:
// one too large, and one so small that it would round to 0 or to a subnormal
// (a designer who writes 1e-40 did not mean 0). Nothing for a text that does
// not start with such a number.
inline std::optional<float> floatOf(std::u16string_view text) {
    const std::optional<std::string> s = asciiOf(text);
    if (!s) return std::nullopt;
    const char* first = s->data() + (!s->empty() && (*s)[0] == '+' ? 1 : 0);
    float value = 0;
    const auto [end, ec] = std::from_chars(first, s->data() + s->size(), value);
    if (ec != std::errc{} || end == first || std::fpclassify(value) == FP_SUBNORMAL) return std::nullopt;
    return value;
}

}  // namespace trivu
