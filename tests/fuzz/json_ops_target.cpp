// Pointer and array work on a small document: a byte code of actions 5, 8,
// 11, 12, 15, 18, 19 and 46 and expressions 1, 3, 4, 9 and 12.
//
// Each operation is one byte (its number modulo the list below) followed by
// its arguments: a pointer is one byte, an index into a list of pointers
// that reach into the document, or 0xFE and a text of its own up to a zero
// byte; a number is one signed byte, counts and indexes may also take four
// (ByteReader::wideNumber); an options text runs to a zero byte.
#include <fstream>

#include "json/store.h"
#include "tests/fuzz/targets.h"
#include "tests/unit/fake_host.h"

namespace fuzz {
namespace {

constexpr char kDocument[] =
    R"({"a":[1,2.5,{"b":true}],"s":"text","o":{"k":[[0,1],[2,3]],"e":[],"n":null},"t":[false,"x",[]]})";

constexpr const char16_t* kPointers[] = {
    u"",       u"/a",   u"/a/0", u"/a/2",   u"/a/2/b", u"/s",    u"/o",  u"/o/k", u"/o/k/1",
    u"/o/e",   u"/o/n", u"/t",   u"/t/2",   u"/new",   u"/o/new", u"/a/-", u"/x/y", u"a",
    u"/o/k/9", u"/~0",  u"/~1", u"/a/01", u"/o/e/0",
};

// A count or index: beyond the growth limit it tests the refusal; up to it,
// a large one is real work (a million elements, and the dumps of them) that
// would only slow the search down, so it is taken modulo 4096.
int32_t count(ByteReader& in) {
    const int32_t n = in.wideNumber();
    if (n > 4096 && static_cast<uint64_t>(n) <= trivu::kMaxNewElements) return n % 4096;
    return n;
}

// An indent for expression 9: past the limit (or below 0) it tests the
// refusal or the compact form; up to it, a small one: a wide indent only
// multiplies the size of the dump of a document the other operations made
// large, seconds of a sanitized build with nothing more to find.
int32_t indent(ByteReader& in) {
    const int32_t n = in.number();
    return n < 0 || n > 100 ? n : n % 5;
}

const char16_t* pointer(ByteReader& in) {
    uint8_t pick = in.byte();
    if (pick == 0xFE) return in.text();
    return kPointers[pick % std::size(kPointers)];
}

// Two sprites for action 11, which runs once per selected instance.
struct Pair {
    test::Sprite first, second;
    Pair() {
        first.object.roHo.hoX = 3;
        second.object.roHo.hoX = -7;
        second.object.roHo.hoNumber = 1;
    }
};

void operate(test::Instance& instance, ByteReader& in, Pair& sprites) {
    switch (in.byte() % 13) {
        case 0: instance.action(5, {pointer(in), in.number()}); break;
        case 1: instance.action(8, {pointer(in), count(in), in.number()}); break;
        case 2: {
            const char16_t* path = pointer(in);
            int32_t repeat = count(in);
            instance.runHeader.rh2.rh2ActionLoopCount = 0;
            instance.action(11, {sprites.first.header(), path, repeat});
            instance.runHeader.rh2.rh2ActionLoopCount = 1;
            instance.action(11, {sprites.second.header(), path, repeat});
            instance.runHeader.rh2.rh2ActionLoopCount = 0;
            break;
        }
        case 3: instance.action(12, {pointer(in), in.text()}); break;
        case 4: instance.action(15, {in.text()}); break;
        case 5: instance.action(18, {count(in), in.number()}); break;
        case 6: instance.action(19, {pointer(in), in.number()}); break;
        case 7: instance.action(46, {pointer(in), count(in), in.number()}); break;
        case 8: instance.textExpression(1, {pointer(in)}); break;
        case 9: instance.textExpression(3, {in.number()}); break;
        case 10: instance.expression(4); break;
        case 11: instance.textExpression(9, {pointer(in), indent(in)}); break;
        case 12: instance.expression(12, {in.number()}); break;
    }
    in.clear();
}

}  // namespace

int jsonOps(const uint8_t* data, size_t size) {
    static const std::u16string start = [] {
        std::ofstream(scratch() + "/start.json") << kDocument;
        return scratchPath("start.json");
    }();
    test::RecordingDesktop desktop;
    Pair sprites;
    test::Instance instance(1);
    instance.action(2, {start.c_str()});
    ByteReader in(data, size);
    for (int step = 0; step < 64 && in.more(); ++step) operate(instance, in, sprites);
    instance.textExpression(9, {u"", int32_t{2}});
    return 0;
}

}  // namespace fuzz
