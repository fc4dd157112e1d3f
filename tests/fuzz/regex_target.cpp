// Regular expressions: a pattern, a subject and a replacement format through
// conditions 1 and 5 and expression 2, with the case and control-character
// flags as the first byte sets them, then the sub-match expressions.
//
// Input: the flags byte, then pattern, subject and replacement, each ended
// by a zero byte.
#include "tests/fuzz/targets.h"
#include "tests/unit/fake_host.h"

namespace fuzz {

int regex(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    uint8_t flags = data[0];
    size_t at = 1;
    std::u16string pattern = takeText(data, size, at, 0);
    std::u16string subject = takeText(data, size, at, 0);
    std::u16string format = takeText(data, size, at, 0);

    test::RecordingDesktop desktop;
    test::Instance instance(flags & 4 ? 1 : 0, flags & 1 ? 2 : 0, flags & 2 ? 3 : 0);
    instance.action(0, {subject.c_str()});
    instance.condition(1, {subject.c_str(), pattern.c_str(), int32_t{7}});
    instance.condition(5, {subject.c_str(), pattern.c_str(), int32_t{8}});
    instance.textExpression(2, {pattern.c_str(), format.c_str()});
    instance.condition(2, {int32_t{7}});
    for (int code : {5, 7}) {
        intptr_t count = instance.expression(code);
        for (int32_t i : {-1, 0, 1, 2, static_cast<int32_t>(count), static_cast<int32_t>(count) + 1})
            instance.textExpression(code + 1, {i});
    }
    // A second round with the flags turned over by actions 3 and 4.
    instance.action(3);
    instance.action(4);
    instance.condition(1, {subject.c_str(), pattern.c_str(), int32_t{7}});
    instance.textExpression(2, {pattern.c_str(), format.c_str()});
    return 0;
}

}  // namespace fuzz
