// Every allocation the extension makes in a representative sequence of each
// subsystem fails once, in turn; the game must go on as if the call had not
// been made or had done its work.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <optional>
#include <sstream>

#include "platform/utf.h"
#include "tests/faults/inject.h"
#include "tests/faults/sequence.h"
#include "tests/unit/fake_host.h"

namespace {

using faults::Sequence;

using test::Piece;

// One instance on the fake host, with a few sprites, made afresh per run.
struct World {
    std::optional<test::RecordingDesktop> desktop;
    std::optional<test::Instance> instance;
    std::vector<Piece> pieces;

    void start() {
        ++test::hostSide;
        finish();
        desktop.emplace();
        instance.emplace(0);
        pieces = std::vector<Piece>(4);  // in place: a piece points into itself
        --test::hostSide;
    }
    void finish() {
        ++test::hostSide;
        instance.reset();
        desktop.reset();
        --test::hostSide;
    }
    // Runs `code` for each piece, as the host's action loop does.
    void eachPiece(int code, std::vector<test::Param> params) {
        for (size_t k = 0; k < pieces.size(); ++k) {
            ++test::hostSide;
            instance->runHeader.rh2.rh2ActionLoopCount = static_cast<int32_t>(k);
            std::vector<test::Param> call{pieces[k].header()};
            if (k == 0) call.insert(call.end(), params.begin(), params.end());
            --test::hostSide;
            instance->action(code, std::move(call));
        }
    }
    std::string lists() {
        std::ostringstream out;
        for (int32_t v : instance->rd().intParams) out << v << ' ';
        out << '|';
        for (float v : instance->rd().floatParams) out << v << ' ';
        return out.str();
    }
    std::string placed() const {
        std::ostringstream out;
        for (const Piece& p : pieces)
            out << p.object.roHo.hoX << ',' << p.object.roHo.hoY << ',' << p.values[0].m_long << ','
                << p.object.roa.raAnimFrameForced << ' ';
        return out.str();
    }
};

World world;

Sequence inWorld(std::vector<faults::Step> steps, std::function<std::string()> observe) {
    return {[] { world.start(); }, std::move(steps), std::move(observe), [] { world.finish(); }};
}

// A parameter written in a step: making it allocates nothing, so that
// every counted request is the extension's.
struct P {
    P(const char16_t* text) : text(text) {}
    P(int32_t number) : number(number) {}
    P(headerObject* object) : object(object) {}
    const char16_t* text = nullptr;
    int32_t number = 0;
    headerObject* object = nullptr;
};

std::vector<test::Param> onHostSide(std::initializer_list<P> params) {
    ++test::hostSide;
    std::vector<test::Param> out;
    for (const P& p : params) {
        if (p.text != nullptr)
            out.emplace_back(p.text);
        else if (p.object != nullptr)
            out.emplace_back(p.object);
        else
            out.emplace_back(p.number);
    }
    --test::hostSide;
    return out;
}

void action(int code, std::initializer_list<P> params) { world.instance->action(code, onHostSide(params)); }
void forEachPiece(int code, std::initializer_list<P> params) { world.eachPiece(code, onHostSide(params)); }

// One step per selected instance, each a call of its own for the host: the
// first gets the texts, the later ones only their object.
std::vector<faults::Step> perInstance(const std::string& name, int code, std::vector<std::u16string> texts) {
    std::vector<faults::Step> steps;
    for (size_t k = 0; k < 4; ++k) {
        steps.push_back({name + " " + std::to_string(k), [k, code, texts] {
                             ++test::hostSide;
                             world.instance->runHeader.rh2.rh2ActionLoopCount = static_cast<int32_t>(k);
                             std::vector<test::Param> call{world.pieces[k].header()};
                             if (k == 0)
                                 for (const std::u16string& t : texts) call.emplace_back(t.c_str());
                             --test::hostSide;
                             world.instance->action(code, std::move(call));
                             ++test::hostSide;
                             world.instance->runHeader.rh2.rh2ActionLoopCount = 0;
                             --test::hostSide;
                         }});
    }
    return steps;
}

std::vector<faults::Step> joined(std::initializer_list<std::vector<faults::Step>> parts) {
    std::vector<faults::Step> all;
    for (const auto& part : parts) all.insert(all.end(), part.begin(), part.end());
    return all;
}

// Runs the loop and says how many requests it made to fail.
void expectInjectionPoints(const char* what, const Sequence& sequence) {
    int points = faults::runWithFailures(sequence);
    EXPECT_GT(points, 0);
    ::testing::Test::RecordProperty("injection_points", points);
    std::printf("%s: %d injection points\n", what, points);
}

TEST(AllocationFailures, TheParameterParser) {
    Sequence sequence = inWorld(
        {
            {"sequence text", [] { action(12, {u"/a", u"5, 0, +1"}); }},
            {"sleep text", [] { action(35, {u"nobody", u"5, 2, 10"}); }},
            {"malformed text", [] { action(12, {u"/a", u"-5,0,1"}); }},
            {"growth text", [] { action(48, {u"nobody", u"1,200,10,+0.5,3,-1"}); }},
        },
        [] { return world.lists(); });
    expectInjectionPoints("parameter parser", sequence);
}

TEST(AllocationFailures, AlignARowAndAGrid) {
    Sequence sequence = inWorld(
        {
            {"row", [] { forEachPiece(13, {u"10, 20, 4, 1"}); }},
            {"number row", [] { forEachPiece(14, {u"300, 20, 2, 0", u"-1.5"}); }},
            {"column", [] { forEachPiece(16, {u"5, 5, 1, 0"}); }},
            {"grid", [] { forEachPiece(7, {u"0, 0, 2, 3, 3, 1"}); }},
        },
        [] { return world.placed(); });
    expectInjectionPoints("alignment", sequence);
}

// An expression whose text is not kept: one that fails answers the empty
// text, which is all a failing expression may do.
void expression(int code, std::initializer_list<P> params) { world.instance->expression(code, onHostSide(params)); }

std::string regexResults() {
    std::ostringstream out;
    for (int code : {5, 7}) {
        intptr_t count = world.instance->expression(code);
        out << count << ':';
        for (int32_t i = 0; i < count; ++i) out << trivu::platform::utf16ToUtf8(world.instance->textExpression(code + 1, {i})) << ';';
    }
    // The raised conditions are left out: they differ from both states (a
    // match that memory ran out in raises the error condition; see below).
    return out.str();
}

TEST(AllocationFailures, MatchAndReplace) {
    Sequence sequence = inWorld(
        {
            {"set text", [] { action(0, {u"mail bob@example.com and ann@example.org"}); }},
            {"partial match", [] { world.instance->condition(1, onHostSide({u"x bob@example.com y", u"(\\w+)@(\\w+)", 7})); }},
            {"exact match", [] { world.instance->condition(5, onHostSide({u"bob@example", u"(\\w+)@(\\w+)", 8})); }},
            {"mismatch", [] { world.instance->condition(5, onHostSide({u"nothing", u"(\\d+)", 9})); }},
            {"replace", [] { expression(2, {u"(\\w+)@(\\w+)", u"[$2:$1]"}); }},
            {"bad pattern", [] { expression(2, {u"(unclosed", u"x"}); }},
            {"sub-match", [] { expression(6, {1}); }},
        },
        [] { return regexResults(); });
    expectInjectionPoints("regular expressions", sequence);
}

// A match that memory runs out in is an error (condition 0), never a
// mismatch: the subject matches.
TEST(AllocationFailures, AMatchOutOfMemoryIsAnError) {
    int reported = 0;
    for (uint64_t n = 1;; ++n) {
        world.start();
        faults::arm(n);
        world.instance->condition(1, onHostSide({u"x bob@example.com y", u"(\\w+)@(\\w+)", 7}));
        faults::disarm();
        const bool hit = faults::injected();
        const std::vector<int> events = world.instance->events;
        world.finish();
        if (!hit) break;
        EXPECT_EQ(std::count(events.begin(), events.end(), 2), 0) << "failure " << n;
        if (events == std::vector<int>{0}) ++reported;
    }
    EXPECT_GT(reported, 0);
}

std::string motionState() {
    std::string seen = world.placed();
    seen += trivu::platform::utf16ToUtf8(world.instance->textExpression(14, {u""}));
    return seen + "|" + std::to_string(world.instance->events.size());
}

void frames(int count) {
    for (int i = 0; i < count; ++i) HandleRunObject(&world.instance->rd());
}

TEST(AllocationFailures, RegisterAndRunMotions) {
    Sequence sequence = inWorld(
        joined({perInstance("wrap", 27, {u"wrap", u"+3.0, false, -40, 120"}), {
            {"sine", [] { world.instance->action(40, onHostSide({world.pieces[1].header(), u"sine", u"1.5,20,2.0,0,5,0,-40,680"})); }},
            {"orbit", [] { world.instance->action(44, onHostSide({world.pieces[2].header(), u"orbit", u"100,50,1.5,0,0,1,0,0,0,0,0,0"})); }},
            {"frames", [] { frames(30); }},
            {"sleep", [] { action(35, {u"wrap", u"5, 2, 10"}); }},
            {"grow", [] { action(47, {u"orbit", u"1,200,10,+0.5,3,-1,200,10,.5,3,-1"}); }},
            {"more frames", [] { frames(30); }},
            {"reject", [] { action(21, {u"sine", 3}); }},
            {"last frames", [] { frames(10); }},
        }}),
        [] { return motionState(); });
    expectInjectionPoints("object control", sequence);
}

// The frame editor: a new record, its text set and read back; then an
// instance made from it and its text changed.
TEST(AllocationFailures, TheRecordAndTheInstanceText) {
    static std::unique_ptr<test::FakeEditor> editor;
    static std::unique_ptr<CPropWStringValue> text;
    Sequence sequence{
        [] {
            world.start();
            ++test::hostSide;
            editor = std::make_unique<test::FakeEditor>();
            text = std::make_unique<CPropWStringValue>(u"a longer text than the default one");
            --test::hostSide;
        },
        {
            {"create", [] { CreateObject(editor->block(), nullptr, editor->record()); }},
            {"set text", [] { SetPropValue(editor->block(), editor->record(), 0x80001, text.get()); }},
            {"read text",
             [] {
                 auto* value = static_cast<CPropValue*>(GetPropValue(editor->block(), editor->record(), 0x80001));
                 if (value != nullptr) value->Delete();
             }},
            {"set instance text", [] { action(0, {u"日本語表現 and more"}); }},
        },
        [] {
            std::vector<uint8_t> bytes = editor->bytes();
            return std::string(bytes.begin(), bytes.end()) + "|" +
                   std::to_string(world.instance->textExpression(0).size());
        },
        [] {
            world.finish();
            ++test::hostSide;
            editor.reset();
            text.reset();
            --test::hostSide;
        }};
    expectInjectionPoints("edit-time record and text", sequence);
}

}  // namespace
