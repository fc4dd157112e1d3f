// The texts of the multi-value parameters: each caller's pattern, and for
// the motion registrations which value sits where. The extension's bodies
// read their values by these positions, and the stand-in host reads the walls
// and centres it draws by the same ones, so that a layout is stated once. It
// needs nothing else of the extension: hence a header of its own.
#pragma once

#include <cstddef>

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

}  // namespace trivu
