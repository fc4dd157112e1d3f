// The JSON store through the ACE routines: the array builder's codes,
// pointers and action 12's walk, the emptiness and clear rules, the depth
// limit, and reads that never change the document.
#include <gtest/gtest.h>

#include <bit>
#include <functional>
#include <string>

#include <optional>

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#include <pthread.h>
#endif

#include "fake_host.h"
#include "json/aces.h"
#include "json/files.h"
#include "json/store.h"

using namespace trivu;

namespace {

class JsonTest : public ::testing::Test {
protected:
    void SetUp() override { jsonSlots() = JsonSlots{}; }
    void TearDown() override { jsonSlots() = JsonSlots{}; }

    // An instance whose document is `document`, targeted at its root.
    void load(const Json& document) {
        ed.rd().document = document;
        ed.rd().target = &ed.rd().document;
    }
    Json& document() { return ed.rd().document; }
    std::vector<test::Box>& boxes() { return desktop.boxes; }

    test::RecordingDesktop desktop;
    test::Instance ed;
};

std::string nested(size_t levels) { return std::string(levels, '[') + std::string(levels, ']'); }

// Runs `body` on a thread with a 1 MiB stack, Windows' default. The
// sanitizers' unoptimised frames are several times larger than a release
// build's, so there the thread gets 8 MiB. A Windows build runs it on its
// own main thread, whose stack the linker sets.
void onSmallStack(const std::function<void()>& body) {
#ifdef __SANITIZE_ADDRESS__
    constexpr size_t kStack = 8 << 20;
#else
    constexpr size_t kStack = 1 << 20;
#endif
#ifdef _WIN32
    static_cast<void>(kStack);
    body();
#else
    pthread_attr_t attributes;
    pthread_attr_init(&attributes);
    pthread_attr_setstacksize(&attributes, kStack);
    pthread_t thread;
    auto run = [](void* f) -> void* {
        (*static_cast<const std::function<void()>*>(f))();
        return nullptr;
    };
    ASSERT_EQ(pthread_create(&thread, &attributes, run, const_cast<std::function<void()>*>(&body)), 0);
    pthread_join(thread, nullptr);
    pthread_attr_destroy(&attributes);
#endif
}

}  // namespace

TEST_F(JsonTest, ArrayBuilderCodes) {
    EXPECT_EQ(elementsOf(ELEMENTS_NUMBERS, 3), Json::parse("[0,1,2]"));
    EXPECT_EQ(elementsOf(ELEMENTS_NUMBERS, 0), Json::parse("[0]"));
    EXPECT_EQ(elementsOf(ELEMENTS_STRINGS, -4), Json::parse(R"([""])"));
    EXPECT_EQ(elementsOf(ELEMENTS_ARRAYS, 2), Json::parse("[[],[]]"));
    EXPECT_EQ(elementsOf(ELEMENTS_ARRAYS, 0), Json::array());
    EXPECT_EQ(elementsOf(ELEMENTS_FALSE, 2), Json::parse("[false,false]"));
    EXPECT_EQ(elementsOf(ELEMENTS_TRUE, 0), Json::parse("[true]"));
    EXPECT_EQ(elementsOf(ELEMENTS_EMPTY, 9), Json::array());
    EXPECT_EQ(elementsOf(7, 9), Json::array());

    load(Json::object());
    ed.action(8, {u"/o", 2, ELEMENTS_OBJECTS});
    ed.action(8, {u"/o", 2, ELEMENTS_OBJECTS});
    EXPECT_EQ(document()["o"].dump(), R"([{"key":0},{"key":1},{"key":0},{"key":1}])");
    ed.action(8, {u"/none", 0, ELEMENTS_OBJECTS});  // nothing to append: not even created
    EXPECT_FALSE(document().contains("none"));
    ed.action(46, {u"/b", 2, 2});  // any value but 0 is true here
    EXPECT_EQ(document()["b"], Json::parse("[true,true]"));
    EXPECT_EQ(jsonWork().arrayKeyName, "b");
    EXPECT_EQ(jsonWork().arrayRepeatCount, 2);
    EXPECT_EQ(jsonWork().workPointer.to_string(), "");  // the parent of the array
    EXPECT_TRUE(ed.events.empty());
}

TEST_F(JsonTest, ArrayBuilderFailuresAreReportedAndChangeNothing) {
    ed.action(8, {u"/x", 1, ELEMENTS_NUMBERS});  // a null document becomes an object
    EXPECT_EQ(document().dump(), R"({"x":[0]})");
    EXPECT_EQ(ed.rd().target, &document());
    for (const char16_t* path : {u"/a/b", u"", u"x", u"/x/~2"}) ed.action(8, {path, 1, ELEMENTS_NUMBERS});
    ed.action(8, {u"/x/0/y", 1, ELEMENTS_NUMBERS});  // member access on a number
    EXPECT_EQ(document().dump(), R"({"x":[0]})");
    EXPECT_EQ(ed.events, std::vector<int>(5, 3));
    ASSERT_EQ(boxes().size(), 5u);
    EXPECT_EQ(boxes()[0], (test::Box{"DEBUG", "[json.exception.out_of_range.403] key 'a' not found"}));
    EXPECT_EQ(boxes()[1].text, "[json.exception.out_of_range.405] JSON pointer has no parent");
    EXPECT_EQ(boxes()[2].text,
              "[json.exception.parse_error.107] parse error at byte 1: JSON pointer must be empty or begin with "
              "'/' - was: 'x'");
    EXPECT_EQ(boxes()[4].text, "[json.exception.type_error.305] cannot use operator[] with a string argument with "
                               "number");
}

TEST_F(JsonTest, SetTargetRaisesTheKindOfTheValue) {
    ed.action(5, {u"/a", 9});  // no document yet: nothing raised, not even condition 3
    EXPECT_TRUE(ed.events.empty());
    EXPECT_EQ(jsonWork().targetPointer.to_string(), "/a");
    EXPECT_EQ(jsonWork().targetId, 9);
    load(Json::parse(R"({"a":[1,2],"t":true,"f":false,"n":1,"s/l":"x"})"));
    for (const char16_t* path : {u"/a", u"/t", u"/f", u"/n", u"/missing", u"/s~1l"}) ed.action(5, {path, 7});
    EXPECT_EQ(ed.events, (std::vector<int>{4, 7, 8, 3}));
    EXPECT_EQ(ed.textExpression(11), u"/s~1l");
    EXPECT_TRUE(ed.condition(4, {7}));
    EXPECT_FALSE(ed.condition(4, {8}));
}

TEST_F(JsonTest, IndexTokens) {
    EXPECT_EQ(indexToken("12"), 12u);
    EXPECT_EQ(indexToken(" \t+3"), 3u);
    EXPECT_EQ(indexToken("4abc"), 4u);
    EXPECT_EQ(indexToken("2147483647"), 2147483647u);
    EXPECT_THROW(indexToken("2147483648"), std::out_of_range);
    EXPECT_THROW(indexToken("-1"), std::out_of_range);
    EXPECT_THROW(indexToken("+-1"), std::invalid_argument);
    EXPECT_THROW(indexToken("x1"), std::invalid_argument);
    EXPECT_THROW(indexToken(""), std::invalid_argument);
    EXPECT_EQ(tokenCount(parsePointer(u"/a~1b/0/")), 3u);
}

TEST_F(JsonTest, ColumnNumberingLooksAheadWithoutChangingTheTable) {
    load(Json::parse(R"({"m":[[0,0],[0,0],[0,0]]})"));
    ed.action(12, {u"/m/0/1", u"3, 10, -2"});
    EXPECT_EQ(document()["m"].dump(), "[[0,10],[0,8],[0,6]]");
    EXPECT_EQ(jsonWork().workPointer.to_string(), "/m");

    Json table = Json::parse(R"([[0],"s",[0]])");
    writeColumn(table, 0, 0, 3, 1, 1);  // the string row is skipped, the next row gets the same number
    EXPECT_EQ(table.dump(), R"([[1],"s",[1]])");
    table = Json::parse("[[5]]");
    writeColumn(table, 0, 2, 3, 2147483647, 1);  // writes extend rows and table
    EXPECT_EQ(table.dump(), "[[5,null,2147483647],null,[null,null,2147483647]]");
    EXPECT_TRUE(boxes().empty());
}

TEST_F(JsonTest, ColumnNumberingRefusals) {
    load(Json::parse(R"({"m":[[0],"s"]})"));
    const Json before = document();
    ed.action(12, {u"/m/1/0", u"2,0,1"});  // row 1 is no array
    ed.action(12, {u"/m/5/0", u"2,0,1"});  // row past the end: checked without appending
    ed.action(12, {u"/m/x/0", u"2,0,1"});
    ed.action(12, {u"/m/0/0", u"-2,0,1"});
    EXPECT_EQ(document(), before);
    EXPECT_EQ(ed.events, std::vector<int>{3});
    ASSERT_EQ(boxes().size(), 4u);
    EXPECT_EQ(boxes()[0], (test::Box{"JSON Data Type Error Notification", "JSON Pointer :: Not 2D-Array"}));
    EXPECT_EQ(boxes()[1], boxes()[0]);
    EXPECT_EQ(boxes()[2], (test::Box{"DEBUG", "array index 'x' is not a number"}));
    EXPECT_EQ(boxes()[3], (test::Box{"Exception :: as follows", "Empty MatchParams... Invalid Parameter Format"}));
}

// A count or index in the billions is refused before anything is written,
// like any other failure; so is a column walk that would fail part way.
TEST_F(JsonTest, ActionsThatWouldGrowTooMuchWriteNothing) {
    load(Json::parse(R"({"m":[[0],[1]],"t":[true],"w":[[0],"s","s"]})"));
    const Json before = document();
    ed.action(8, {u"/a", 2147483647, ELEMENTS_STRINGS});
    ed.action(46, {u"/a", 1048577, 1});
    ed.action(12, {u"/m/0/2147483647", u"1,0,1"});  // one cell, but two billion fillers before it
    ed.action(12, {u"/m/1/0", u"100000000,0,1"});   // rows past the end
    ed.action(5, {u"/t", 0});
    ed.action(18, {2147483647, 1});
    ed.action(12, {u"/w/0/0", u"3,1,1"});  // row 2 is a string: row 0 is not written either
    EXPECT_EQ(document(), before);
    EXPECT_EQ(ed.events, (std::vector<int>{3, 3, 3, 3, 4, 3, 3}));
    ASSERT_EQ(boxes().size(), 6u);
    EXPECT_EQ(boxes()[0], (test::Box{"DEBUG", "an action adding more than 1048576 elements to a JSON document is refused"}));
    for (size_t i = 1; i < 5; ++i) EXPECT_EQ(boxes()[i], boxes()[0]);
    EXPECT_EQ(boxes()[5].text, "[json.exception.type_error.305] cannot use operator[] with a numeric argument with "
                               "string");

    ed.action(8, {u"/a", 2147483647, ELEMENTS_EMPTY});  // this code takes no count
    EXPECT_EQ(document()["a"], Json::array());
    ed.action(8, {u"/a", 1048576, ELEMENTS_NUMBERS});  // the limit itself is allowed
    EXPECT_EQ(document()["a"].size(), 1048576u);
}

TEST_F(JsonTest, EmptinessAndClearRules) {
    for (const char* empty : {"null", "{}", "[]"}) EXPECT_TRUE(isEmpty(Json::parse(empty))) << empty;
    for (const char* full : {"\"\"", "0", "false", "[null]", "{\"a\":null}"})
        EXPECT_FALSE(isEmpty(Json::parse(full))) << full;

    test::Instance quiet(0, 0, 0, 4);
    quiet.action(23);  // an empty document: no backup, and the box only when forced
    EXPECT_TRUE(boxes().empty());
    ed.action(23);
    EXPECT_EQ(boxes(), (std::vector<test::Box>{{"JSON Backup ::.. Notification", "Why try to backup Empty JSON Data?"}}));
    load(Json(0));
    ed.action(23);
    EXPECT_EQ(jsonSlots().backup, Json(0));

    load(Json::parse(R"({"a":1})"));
    ed.action(33);
    EXPECT_EQ(document(), Json::object());  // an object stays an object
    EXPECT_EQ(ed.rd().target, &document());
    jsonSlots().shared = Json::parse("[1]");
    EXPECT_FALSE(quiet.condition(10));
    quiet.action(31);
    EXPECT_EQ(jsonSlots().shared, Json::array());
    EXPECT_TRUE(quiet.condition(10));
    EXPECT_FALSE(ed.condition(10));  // sharing off
    jsonSlots().backup = "text";
    ed.action(32);
    EXPECT_EQ(jsonSlots().backup, Json(""));
}

TEST_F(JsonTest, BackupAndRestoreCopy) {
    load(Json::parse(R"({"a":[1]})"));
    ed.action(23);
    document()["a"].push_back(2);
    ed.rd().target = nullptr;
    ed.action(24);
    ed.action(24);
    EXPECT_EQ(document().dump(), R"({"a":[1]})");
    EXPECT_EQ(ed.rd().target, &document());
    EXPECT_EQ(jsonSlots().backup.dump(), R"({"a":[1]})");
}

TEST_F(JsonTest, ReadsNeverChangeTheDocument) {
    load(Json::parse(R"({"a":{"b":"x","c":[1,2.5,"3","4.5e1",true,"12abc","99999999999",null]}})"));
    const Json before = document();
    ed.action(5, {u"/a/c", 1});
    EXPECT_EQ(ed.expression(12, {0}), 1);
    EXPECT_EQ(ed.expression(12, {2}), 3);
    EXPECT_EQ(ed.expression(12, {4}), 1);
    EXPECT_EQ(ed.expression(12, {5}), 12);
    EXPECT_EQ(ed.expression(12, {6}), 0);  // out of the 32-bit range
    ed.expression(12, {1});
    EXPECT_NE(ed.rd().rHo.hoFlags & HOF_FLOAT, 0);
    intptr_t bits = ed.expression(12, {3});
    float value;
    std::memcpy(&value, &bits, sizeof value);
    EXPECT_EQ(value, 45.0f);
    for (int index : {8, 100, -1}) EXPECT_EQ(ed.expression(12, {index}), 0);
    EXPECT_EQ(ed.textExpression(10), uR"([1,2.5,"3","4.5e1",true,"12abc","99999999999",null])");
    EXPECT_EQ(ed.expression(4), 8);
    EXPECT_EQ(ed.textExpression(3, {2}), u"3");
    EXPECT_EQ(ed.textExpression(3, {7}), u"null");
    EXPECT_EQ(ed.textExpression(1, {u"/a/b"}), u"x");
    EXPECT_EQ(ed.textExpression(1, {u"/a"}), uR"({"b":"x","c":[1,2.5,"3","4.5e1",true,"12abc","99999999999",null]})");
    EXPECT_EQ(ed.events, std::vector<int>{4});
    EXPECT_EQ(ed.textExpression(3, {0}), u"");  // the working array is now /a, an object
    EXPECT_EQ(ed.expression(4), 0);
    EXPECT_EQ(ed.expression(12, {2}), 3);  // still the target's element
    ed.textExpression(10);
    EXPECT_EQ(ed.textExpression(3, {8}), u"");  // past the end of /a/c
    ed.action(5, {u"/a", 1});
    EXPECT_EQ(ed.expression(12, {0}), 0);  // not an array
    EXPECT_EQ(document(), before);
    EXPECT_EQ(ed.events, (std::vector<int>{4, 3, 3}));
    EXPECT_EQ(boxes()[0].text, "[json.exception.type_error.305] cannot use operator[] with a numeric argument with "
                               "object");
    EXPECT_EQ(boxes()[1].text, "[json.exception.out_of_range.401] array index 8 is out of range");
}

// Expression 12 reads a text element as a number alike on every build and
// whatever the C runtime's locale: decimal only.
TEST_F(JsonTest, TextElementsReadAsDecimalNumbers) {
    struct Case {
        const char* text;
        bool isFloat;
        double value;
    };
    const Case cases[] = {
        {"3", false, 3},
        {" \t+7", false, 7},
        {"12abc", false, 12},
        {"-2147483648", false, -2147483648.0},
        {"99999999999", false, 0},  // past the 32-bit range
        {"abc", false, 0},
        {"+-1", false, 0},
        {"4.5e1", true, 45},
        {" +2.5", true, 2.5},
        {"-.5", true, -0.5},
        {"1.5kg", true, 1.5},
        {"0x1.8p1", true, 0},  // "0", then letters: no hexadecimal
        {"inf.0", false, 0},
        {"nan.5", false, 0},
        {"1e400.", false, 0},
        {".", false, 0},
    };
    Json texts = Json::array();
    for (const Case& c : cases) texts.push_back(c.text);
    load(Json{{"t", texts}});
    ed.action(5, {u"/t", 1});
    for (size_t i = 0; i < std::size(cases); ++i) {
        const intptr_t result = ed.expression(12, {static_cast<int>(i)});
        const bool isFloat = (ed.rd().rHo.hoFlags & HOF_FLOAT) != 0;
        EXPECT_EQ(isFloat, cases[i].isFloat) << cases[i].text;
        const double value = isFloat ? std::bit_cast<float>(static_cast<uint32_t>(result)) : double(result);
        EXPECT_EQ(value, cases[i].value) << cases[i].text;
    }
}

TEST_F(JsonTest, DumpsWithAnIndent) {
    EXPECT_EQ(ed.textExpression(9, {u"", 2}), u"");  // no document: no result, nothing raised
    load(Json::object());
    EXPECT_EQ(ed.textExpression(9, {u"", 2}), u"ERR :: JSON is empty..");
    load(Json::parse(R"({"k":["é",1]})"));
    EXPECT_EQ(ed.textExpression(9, {u"/", 2}), u"{\n  \"k\": [\n    \"é\",\n    1\n  ]\n}");
    EXPECT_EQ(ed.textExpression(9, {u"/k", 0}), u"[\n\"é\",\n1\n]");
    EXPECT_EQ(ed.textExpression(9, {u"/k", -1}), u"[\"é\",1]");
    std::u16string meta = ed.textExpression(9, {u"meta", 0});
    EXPECT_EQ(meta.substr(0, 2), u"{\"");
    EXPECT_EQ(meta.find(u'\n'), meta.size() - 1);
    const std::u16string hundred(100, u' ');
    EXPECT_EQ(ed.textExpression(9, {u"/k", 100}), u"[\n" + hundred + u"\"é\",\n" + hundred + u"1\n]");
    EXPECT_EQ(ed.textExpression(9, {u"/k", 101}), u"");
    EXPECT_EQ(boxes().back().text, "indent 101 is more than 100");
    EXPECT_EQ(ed.textExpression(9, {u"/zz", 2}), u"");
    EXPECT_EQ(ed.events, (std::vector<int>{3, 3}));
}

TEST_F(JsonTest, TargetedWritesAndStrings) {
    load(Json::parse("[true]"));
    ed.action(18, {3, 2});  // only 1 is true here
    EXPECT_EQ(document().dump(), "[true,null,null,false]");
    ed.action(5, {u"/0", 0});
    ed.action(15, {u"日本"});  // a boolean cannot take a string
    ed.action(18, {-1, 1});
    EXPECT_EQ(ed.events, (std::vector<int>{7, 3, 3}));
    EXPECT_EQ(boxes().back().text, "array index -1 is out of range");
    ed.action(5, {u"/1", 0});
    ed.action(15, {u"日本"});
    ed.action(19, {u"/3", 1});
    EXPECT_EQ(document().dump(), R"([true,["日本"],null,true])");
    ed.action(19, {u"", 0});
    EXPECT_EQ(document(), Json(false));
}

#ifndef TRIVU_RUNTIME_LIBRARY
#define TRIVU_RUNTIME_LIBRARY "mmfs2.so"  // a build without the stand-in host: found on the library path, if at all
#endif

// The host's runtime library, loaded as the host loads it before any
// extension: the stand-in's, whose image call answers the image plus 100.
class RuntimeLibrary {
public:
    RuntimeLibrary() {
#if defined(_WIN32)
        handle_ = LoadLibraryW(L"mmfs2.dll");  // copied beside the test program
#else
        handle_ = dlopen(TRIVU_RUNTIME_LIBRARY, RTLD_NOW);
#endif
    }
    ~RuntimeLibrary() {
#if defined(_WIN32)
        if (handle_) FreeLibrary(handle_);
#else
        if (handle_) dlclose(handle_);
#endif
    }
    RuntimeLibrary(const RuntimeLibrary&) = delete;
    RuntimeLibrary& operator=(const RuntimeLibrary&) = delete;
    bool loaded() const { return handle_ != nullptr; }

private:
#if defined(_WIN32)
    HMODULE handle_;
#else
    void* handle_;
#endif
};

TEST_F(JsonTest, ArrayOfInstances) {
    test::Sprite sprites[3];
    for (int i = 0; i < 3; ++i) {
        headerObject& ho = *sprites[i].header();
        ho.hoNumber = static_cast<int16_t>(i);
        ho.hoCreationId = static_cast<uint16_t>(i);
        ho.hoX = 10 * i;
        ho.hoY = 20 * i;
        ho.hoImgWidth = 32;
        ho.hoImgHeight = 16;
    }
    sprites[1].header()->hoOEFlags = OEFLAG_ANIMATIONS;
    sprites[1].object.roc.rcImage = 6;
    std::optional<RuntimeLibrary> runtime(std::in_place);
    ASSERT_TRUE(runtime->loaded());
    auto runLoop = [&](int32_t repeat, int count) {
        for (int i = 0; i < count; ++i) {
            ed.runHeader.rh2.rh2ActionLoopCount = i;
            ed.runHeader.rh2.rh2ActionLoop = i + 1 < count;
            if (i == 0)
                ed.action(11, {sprites[i].header(), u"/r", repeat});
            else
                ed.action(11, {sprites[i].header()});
        }
    };
    load(Json::object());
    runLoop(5, 3);
    EXPECT_EQ(document()["r"].dump(),
              "[[0,0,0,0,32,16,0],[1,107,10,20,32,16,65537],[2,0,20,40,32,16,131074],"
              "[3,0,0,0,32,16,0],[4,107,10,20,32,16,65537]]");
    runLoop(2, 3);
    EXPECT_EQ(document()["r"].dump(), "[[0,0,0,0,32,16,0],[1,107,10,20,32,16,65537]]");
    runLoop(0, 1);
    EXPECT_EQ(document()["r"], Json::array());
    EXPECT_TRUE(ed.events.empty());
    sprites[2].header()->hoFlags |= HOF_DESTROYED;  // the last one cannot be recorded, the fill still runs
    runLoop(3, 3);
    EXPECT_EQ(document()["r"].dump(), "[[0,0,0,0,32,16,0],[1,107,10,20,32,16,65537],[2,0,0,0,32,16,0]]");
    sprites[2].header()->hoFlags = 0;
    runLoop(-1, 2);  // no record to fill the one element with
    EXPECT_EQ(document()["r"], Json::parse(R"([""])"));
    EXPECT_EQ(boxes(), (std::vector<test::Box>{
                           {"ObjectAlign :: Notification",
                            "Selected Object is Not the Sprite. || That Instance already had Destoryed."},
                           {"DEBUG", "no instance record to fill the array with"}}));
    EXPECT_EQ(ed.unansweredFetches, 0);
    runtime.reset();  // without the runtime library its image call counts as 0
    runLoop(2, 2);
    EXPECT_EQ(document()["r"].dump(), "[[0,0,0,0,32,16,0],[1,1,10,20,32,16,65537]]");
}

TEST_F(JsonTest, TextArraysForOtherSubsystems) {
    load(Json::parse(R"({"res":{"old":1},"n":5})"));
    EXPECT_TRUE(storeTextArray(ed.rd(), u"/res", {u"a", u"日本"}));
    EXPECT_TRUE(storeTextArray(ed.rd(), u"/new", {}));
    EXPECT_EQ(document().dump(), R"({"res":["a","日本"],"n":5,"new":[]})");
    const Json before = document();
    ed.rd().target = nullptr;
    for (const char16_t* path : {u"/n/x", u"/missing/x", u"", u"no-slash"})
        EXPECT_FALSE(storeTextArray(ed.rd(), path, {u"a"})) << std::string(path, path + 1);
    EXPECT_EQ(document(), before);
    EXPECT_EQ(ed.rd().target, nullptr);
    EXPECT_EQ(ed.events, std::vector<int>(4, 3));
    EXPECT_EQ(jsonWork().targetPointer.to_string(), "");
}

// Members are appended unchecked and merged when their object closes; the
// result must be the library's own: first place, last value.
TEST_F(JsonTest, LoadingMergesRepeatedKeysAsTheLibraryDoes) {
    std::string wide = "{";
    for (int i = 0; i < 40; ++i) {
        wide += "\"k";
        wide += std::to_string(i % 25);
        wide += "\":";
        wide += std::to_string(i);
        wide += ',';
    }
    wide += R"("z":{"a":1,"b":[{"c":1,"c":2}],"a":{"d":3}}})";
    for (const std::string& text : {std::string(R"({"a":1,"b":2,"a":{"x":3}})"), std::string(R"({"a":1,"a":2,"a":3})"),
                                    std::string(R"([{"p":0},{"p":1,"q":2,"p":3}])"), wide}) {
        const Json ours = parseJsonText(text);
        EXPECT_EQ(ours.dump(), Json::parse(text).dump()) << text;
    }
}

// Past a few members an object finds a key through its index. The same
// changes made to the library's own ordered object (which scans) must leave
// the same members in the same order, and every key found where the scan
// finds it: an index left behind by an insert, an erase, a repeated key or a
// clear would send a lookup to the wrong member or to none.
template <class Document>
void changeMembers(int step, Document& d) {
    auto key = [](int i) {
        std::string text = "k";  // not "k" + ...: g++ 12 warns falsely about that form
        return text += std::to_string(i);
    };
    switch (step) {
        case 0: for (int i = 0; i < 100; ++i) d[key(i)] = i; break;
        case 1: d.emplace(key(10), -1), d["new"] = "last"; break;   // a key given again keeps its place and value
        case 2: d.erase(key(0)), d.erase(key(57)), d.erase("new"); break;
        case 3: d.erase(d.find(key(99))), d.erase(d.find(key(30))); break;
        case 4: d.erase(std::next(d.begin(), 20), std::next(d.begin(), 45)); break;
        case 5: d.update(Document::parse(R"({"k5": "five", "k0": "back", "k98": null})")); break;
        case 6: {
            const Document more = {{"inserted", 1}, {"k3", "kept"}, {"k4", "not taken"}};
            d.insert(more.begin(), more.end());  // a member already there stays as it is
            d["k7"] = {{"inner", 1}};
            break;
        }
        case 7: {
            Document copy = d;  // the copy's index names the copy's members
            copy.erase(key(1));
            copy["k1"] = "again";
            d = copy;
            break;
        }
        case 8: d.clear(); for (int i = 150; i > 0; i -= 3) d[key(i)] = i; break;
        case 9: {  // loaded: a key given twice keeps its first place and takes its last value
            const char* text = R"({"a":1,"b":2,"a":3,"k3":4,"c":5,"d":6,"e":7,"f":8,"g":9,"h":10,"b":11})";
            if constexpr (std::is_same_v<Document, Json>) d = parseJsonText(text);
            else d = Document::parse(text);
            d["z"] = 0;
            break;
        }
    }
}

TEST_F(JsonTest, MembersPastTheIndexKeepTheirOrderAndAreFoundAfterEveryChange) {
    Json ours = Json::object();
    nlohmann::ordered_json scanned = nlohmann::ordered_json::object();
    for (int step = 0; step <= 9; ++step) {
        changeMembers(step, ours);
        changeMembers(step, scanned);
        ASSERT_EQ(ours.dump(), scanned.dump()) << "step " << step;
        // Past the threshold every lookup goes through the index, the copy's
        // (step 7) and the loaded document's (step 9) too.
        const auto& members = ours.get_ref<const Json::object_t&>();
        EXPECT_TRUE(members.size() <= Json::object_t::kIndexFrom || members.indexed()) << "step " << step;
        for (const std::string& key : {std::string("new"), std::string("inserted"), std::string("a"),
                                       std::string("b"), std::string("z"), std::string("missing")}) {
            EXPECT_EQ(ours.contains(key), scanned.contains(key)) << "step " << step << ", " << key;
        }
        for (int i = 0; i < 160; ++i) {
            std::string key = "k";
            key += std::to_string(i);
            ASSERT_EQ(ours.contains(key), scanned.contains(key)) << "step " << step << ", " << key;
            if (scanned.contains(key)) {
                EXPECT_EQ(ours.at(key).dump(), scanned.at(key).dump()) << "step " << step << ", " << key;
                EXPECT_EQ(ours.find(key).key(), key);
                EXPECT_EQ(std::distance(ours.begin(), ours.find(key)),
                          std::distance(scanned.begin(), scanned.find(key)));
            }
        }
    }
}

// A member value that counts its copies: an object that grows must move its
// members, never copy them, since a copied member is its whole subtree.
struct Counted {
    static inline int copies = 0;
    int value = 0;
    Counted() = default;
    Counted(int v) : value(v) {}
    Counted(const Counted& other) : value(other.value) { ++copies; }
    Counted(Counted&&) noexcept = default;
    Counted& operator=(const Counted& other) {
        value = other.value;
        ++copies;
        return *this;
    }
    Counted& operator=(Counted&&) noexcept = default;
};

TEST(ObjectMembers, GrowingLoadingAndErasingCopyNoMember) {
    using Members = IndexedMembers<std::string, Counted>;
    auto key = [](int i) {
        std::string text = "k";
        return text += std::to_string(i);
    };
    Counted::copies = 0;
    Members built, loaded;
    for (int i = 0; i < 1000; ++i) {
        built.emplace(key(i), Counted(i));
        built[key(i + 5000)] = Counted(i);
        loaded.appendUnchecked(key(i % 700), Counted(i));  // 300 keys given twice, merged when settled
    }
    loaded.settleAppended();
    built.erase(key(0));
    built.erase(std::next(built.begin(), 10), std::next(built.begin(), 500));
    EXPECT_EQ(Counted::copies, 0);

    EXPECT_EQ(built.size(), 1509u);
    EXPECT_EQ(built.find(key(1))->second.value, 1);
    EXPECT_EQ(built.find(key(5999))->second.value, 999);
    ASSERT_EQ(loaded.size(), 700u);
    EXPECT_EQ(loaded.find(key(5))->second.value, 705);    // first place, last value
    EXPECT_EQ(std::prev(loaded.end())->first, key(699));
}

TEST_F(JsonTest, DepthLimit) {
    EXPECT_EQ(parseJsonText(nested(kMaxJsonDepth)).dump().size(), 2 * kMaxJsonDepth);
    try {
        parseJsonText(nested(200000));
        FAIL() << "a 200,000-level document was accepted";
    } catch (const DepthError& error) {
        EXPECT_STREQ(error.what(), "JSON nesting deeper than 1000 levels of arrays and objects is refused");
    }
    EXPECT_THROW(parseJsonText(std::string(kMaxJsonDepth + 1, '[')), DepthError);

    // Everything that recurses once per level survives the deepest document.
    Json deep = parseJsonText(nested(kMaxJsonDepth));
    onSmallStack([&] {
        Json copy = deep;
        EXPECT_TRUE(copy == deep);
        EXPECT_EQ(encodeDocument(copy, SaveForm::Indented).back(), '\n');
        EXPECT_EQ(encodeDocument(copy, SaveForm::MessagePack).size(), kMaxJsonDepth);
    });

    // Builders refuse to add a level past the limit: {"a":{"a":...{}}}, the
    // innermost object at level 999.
    std::string objects;
    std::u16string path;
    for (size_t i = 1; i < kMaxJsonDepth; ++i) objects += "{\"a\":", path += u"/a";
    objects += "{}" + std::string(kMaxJsonDepth - 1, '}');
    load(parseJsonText(objects));
    const Json before = document();
    ed.action(8, {path.c_str(), 1, ELEMENTS_ARRAYS});
    ed.action(8, {(path + u"/x").c_str(), 1, ELEMENTS_NUMBERS});
    EXPECT_EQ(document(), before);
    EXPECT_EQ(ed.events, (std::vector<int>{3, 3}));
    EXPECT_EQ(boxes()[0].text, "JSON nesting deeper than 1000 levels of arrays and objects is refused");
    ed.action(8, {path.c_str(), 1, ELEMENTS_NUMBERS});  // [0] in place of the innermost object: 1000 levels
    EXPECT_EQ(ed.events.size(), 2u);
    EXPECT_NE(document(), before);
}

// The lifecycle test checks the reset values; this checks that the storage
// of the texts and lists is given back, not kept for the next frame.
TEST_F(JsonTest, DestructionGivesTheWorkingStorageBack) {
    JsonWork& work = jsonWork();
    work.resultText.assign(1000, u'x');
    work.arrayKeyName.assign(1000, 'k');
    InstanceRecords& loop = instanceRecords();
    loop.records.resize(100);
    test::Instance().destroy();
    EXPECT_EQ(work.resultText.capacity(), std::u16string().capacity());
    EXPECT_EQ(work.arrayKeyName.capacity(), std::string().capacity());
    EXPECT_EQ(loop.records.capacity(), 0u);
}
