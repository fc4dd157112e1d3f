// Object control: the parameter texts of every registering action and the
// controllers, on a few sprites and groups, followed by a few hundred frames
// of the motion pass and the object-control expressions.
//
// Input: a list of operations, one byte each (its number modulo the list in
// `operate`) followed by its arguments: a sprite (one byte), a group (one
// byte), a number (one signed byte), a parameter text (up to a zero byte).
#include <array>

#include "tests/fuzz/targets.h"
#include "tests/unit/fake_host.h"

namespace fuzz {
namespace {

constexpr const char16_t* kGroups[] = {u"a", u"b", u""};

const char16_t* group(ByteReader& in) { return kGroups[in.byte() % std::size(kGroups)]; }

struct Sprites {
    std::array<test::Sprite, 4> all;
    Sprites() {
        for (int i = 0; i < 4; ++i) {
            headerObject& ho = all[i].object.roHo;
            ho.hoX = 100 * i;
            ho.hoY = 50 * i;
            ho.hoImgWidth = 32;
            ho.hoImgHeight = 16;
            ho.hoNumber = static_cast<int16_t>(i + 1);
            ho.hoCreationId = static_cast<uint16_t>(i);
        }
    }
    headerObject* pick(ByteReader& in) { return all[in.byte() % all.size()].header(); }
};

void frames(test::Instance& instance, int count) {
    for (int i = 0; i < count; ++i) HandleRunObject(&instance.rd());
}

void operate(test::Instance& instance, ByteReader& in, Sprites& sprites) {
    uint8_t op = in.byte() % 28;
    switch (op) {
        case 0: instance.action(20, {sprites.pick(in), group(in)}); break;
        case 1: instance.action(34, {sprites.pick(in), group(in), in.number()}); break;
        case 2: case 3: case 4: case 5: {
            constexpr int codes[] = {27, 37, 38, 39};
            instance.action(codes[op - 2], {sprites.pick(in), group(in), in.text()});
            break;
        }
        case 6: case 7: case 8: case 9:
            instance.action(40 + (op - 6), {sprites.pick(in), group(in), in.text()});
            break;
        case 10: instance.action(44, {sprites.pick(in), group(in), in.text()}); break;
        case 11: instance.action(45, {sprites.pick(in), sprites.pick(in), group(in), in.text()}); break;
        case 12: instance.action(21, {group(in), in.number()}); break;
        case 13: instance.action(22, {group(in), in.number()}); break;
        case 14: instance.action(25, {sprites.pick(in), in.number()}); break;
        case 15: instance.action(26, {sprites.pick(in), in.number()}); break;
        case 16: instance.action(28, {group(in)}); break;
        case 17: instance.action(29, {group(in)}); break;
        case 18: instance.action(30, {sprites.pick(in)}); break;
        case 19: instance.action(35, {group(in), in.text()}); break;
        case 20: instance.action(36, {sprites.pick(in), in.text()}); break;
        case 21: instance.action(47, {group(in), in.text()}); break;
        case 22: instance.action(48, {group(in), in.text()}); break;
        case 23: instance.action(49, {sprites.pick(in), group(in)}); break;
        case 24: instance.action(50, {group(in)}); break;
        case 25: instance.action(51, {sprites.pick(in)}); break;
        case 26: frames(instance, in.byte() % 64); break;
        default:
            for (int32_t kind = 0; kind <= 5; ++kind) instance.expression(13, {kind});
            instance.textExpression(14, {group(in)});
            for (int code = 15; code <= 18; ++code) instance.expression(code);
            instance.expression(19, {in.number()});
            break;
    }
    in.clear();
}

}  // namespace

int motion(const uint8_t* data, size_t size) {
    test::RecordingDesktop desktop;
    Sprites sprites;  // outlives the instance, whose destruction empties the registry
    test::Instance instance(1);
    ByteReader in(data, size);
    for (int step = 0; step < 48 && in.more(); ++step) operate(instance, in, sprites);
    frames(instance, 300);
    instance.textExpression(14, {u""});
    return 0;
}

}  // namespace fuzz
