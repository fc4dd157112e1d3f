// The parameter parser, through every action whose text goes through it.
//
// Input: one byte picks the caller, then the text it parses; a zero byte
// ends it, and what follows is the second text of an action that has one
// (the number text of the right-to-left row). The action runs for three
// selected sprites, as the host's action loop calls it, then a few frames
// pass.
#include <deque>
#include <vector>

#include "tests/fuzz/targets.h"
#include "tests/unit/fake_host.h"

namespace fuzz {
namespace {

struct Caller {
    int action;
    int parsed;  // the parameter the parser reads
};

// Every caller of the parser, grouped by format.
constexpr Caller kCallers[] = {
    {9, 1},                                   // save options
    {12, 1},                                  // sequence
    {7, 1},                                   // grid
    {13, 1}, {14, 1}, {16, 1}, {17, 1},       // rows and columns
    {35, 1}, {36, 1},                         // sleep
    {47, 1},                                  // orbital growth
    {48, 1},                                  // sine growth
    {27, 2}, {37, 2}, {38, 2}, {39, 2},       // wrap and flip
    {40, 2}, {41, 2}, {42, 2}, {43, 2},       // sine waves
    {44, 2}, {45, 3},                         // orbits
};

using test::Piece;

// A text parameter that no caller parses: a group name, or a path that
// leads nowhere, so that a save cannot write anything.
constexpr const char16_t* kOtherText = u"/nonexistent/fuzz/g.json";

// The parameters of `action` as its description lists them.
std::vector<test::Param> paramsFor(int action, int parsed, const std::u16string& text,
                                   const std::u16string& second, headerObject* self, headerObject* centre) {
    EventInfos infos = GetActionInfos(nullptr, static_cast<int16_t>(action));
    int count = infos[2];
    std::vector<test::Param> out;
    for (int i = 0; i < count; ++i) {
        switch (infos[3 + i]) {
            case PARAM_OBJECT: out.emplace_back(i == 0 ? self : centre); break;
            case PARAM_EXPRESSION: out.emplace_back(int32_t{3}); break;
            default: out.emplace_back(i == parsed ? text.c_str() : i > parsed ? second.c_str() : kOtherText); break;
        }
    }
    return out;
}

}  // namespace

int params(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const Caller& caller = kCallers[data[0] % std::size(kCallers)];
    size_t at = 1;
    std::u16string text = takeText(data, size, at, 0);
    std::u16string second = takeText(data, size, at);
    if (second.empty()) second.push_back(u'g');

    test::RecordingDesktop desktop;
    std::deque<Piece> pieces;  // never moved: a piece points into itself
    for (int32_t k = 0; k < 3; ++k) pieces.emplace_back(10 + 20 * k, 20 + 20 * k);
    Piece centre(200, 200);
    test::Instance instance(1);  // made last: its destruction empties the registry first
    instance.rd().intParams = {7};
    instance.rd().floatParams = {7.0f};

    bool integerMode = caller.action == 7 || caller.action == 9 || caller.action == 12 ||
                       (caller.action >= 13 && caller.action <= 17) || caller.action == 35 || caller.action == 36;
    for (size_t k = 0; k < pieces.size(); ++k) {
        instance.runHeader.rh2.rh2ActionLoopCount = static_cast<int32_t>(k);
        auto call = paramsFor(caller.action, caller.parsed, text, second, pieces[k].header(), centre.header());
        instance.action(caller.action, call);
        // The list of the other mode is never touched.
        if (integerMode ? instance.rd().floatParams != std::vector<float>{7.0f}
                        : instance.rd().intParams != std::vector<int32_t>{7})
            violated("the parser touched the list of the other mode");
    }
    for (int frame = 0; frame < 5; ++frame) HandleRunObject(&instance.rd());
    return 0;
}

}  // namespace fuzz
