// The resource script and its Linux loader: the texts and menus the editor
// shows, the about box, and the parser's handling of scripts it must refuse.
// Windows builds the script with its resource compiler instead, so these
// tests are the Linux build's.
#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <set>
#include <sstream>

#include "platform/platform.h"
#include "platform/posix/resources.h"

using trivu::platform::MenuItem;
using trivu::platform::posix::parseResourceScript;
using trivu::platform::posix::ResourceScript;

namespace {

const ResourceScript& sourceScript() {
    static const ResourceScript script = [] {
        std::ifstream in(TRIVU_SOURCE_DIR "/resources/trivu.rc", std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        std::string error;
        auto parsed = parseResourceScript(text.str(), &error);
        EXPECT_TRUE(parsed) << error;
        return parsed ? std::move(*parsed) : ResourceScript{};
    }();
    return script;
}

std::u16string str(unsigned id) {
    auto it = sourceScript().strings.find(id);
    return it == sourceScript().strings.end() ? u"<missing>" : it->second;
}

void walk(const std::vector<MenuItem>& items, const std::function<void(const MenuItem&)>& visit) {
    for (const MenuItem& item : items) {
        visit(item);
        walk(item.popup, visit);
    }
}

ResourceScript parse(const std::string& text) {
    std::string error;
    auto parsed = parseResourceScript(text, &error);
    EXPECT_TRUE(parsed) << error;
    return parsed ? std::move(*parsed) : ResourceScript{};
}

}  // namespace

TEST(ResourceScriptFile, StringTableHasEveryAceTextAndTitle) {
    const auto& strings = sourceScript().strings;
    struct Range {
        unsigned first, last;
    };
    for (Range r : {Range{128, 132}, Range{400, 409}, Range{5000, 5053}, Range{5500, 5532}, Range{6000, 6015},
                    Range{6500, 6505}, Range{7000, 7019}, Range{7500, 7510}}) {
        for (unsigned id = r.first; id <= r.last; ++id) EXPECT_TRUE(strings.count(id)) << id;
        EXPECT_FALSE(strings.count(r.last + 1)) << r.last + 1;
    }
    for (unsigned n = 0; n < 20; ++n) {
        std::u16string name = str(7000 + n);
        EXPECT_TRUE(name.starts_with(u"Ex") && name.ends_with(u"(")) << n;
    }

    EXPECT_EQ(str(128), u"Trivu");
    EXPECT_EQ(str(132), u"");
    EXPECT_EQ(str(404), u"std::regex_constants::icase ( Case-Sensitivity )");
    EXPECT_EQ(str(5045), u"Orbital :: TargetXY :: %0 :: Center = %1 :: %2 :: Params = %3");
    EXPECT_EQ(str(5047), str(5048));
    EXPECT_EQ(str(5050), u"Reverse Movement :: Target = %0");
    EXPECT_EQ(str(5036), u"Sleep : %0 : Direct (Ft,Re,Wt = %1) ");
    EXPECT_EQ(str(5052), u"Push to %0 :: Submatches :: Exact Match :: ");
    EXPECT_EQ(str(6007), u"%o : Boolean is True  ( Targeted ) ID = %0");
    EXPECT_EQ(str(7012), u"ExNumAsTgtArrIdx(");
    EXPECT_EQ(str(5504), u"Window Control:Alternative >> Set value ( 0 = Minimize Window | 1 = Maximize or Restore  "
                         u"| 2 = Show or Hide Taskbar )");
    EXPECT_EQ(str(5526), u"e.g.  \u201D+1.2 , 50 , +1.2 , 0, 20 , false , -40 , 1000 \u201D>> VEL(float), A(int), "
                         u"\u03C9(float), Start\u2220(int), Step\u2220(int), bool(true|false), wall(int), wall(int)");
    EXPECT_EQ(str(6503), u"Enter the target ID Number");
    EXPECT_EQ(str(7500), u"Enter JSON Pointer :: e.g.\u301D/root/key\u301D");
    EXPECT_EQ(str(7506), u"4");
}

TEST(ResourceScriptFile, MenusHoldEachAceOnceAndOnlyPlaceholdersDisabled) {
    struct Menu {
        unsigned id;
        const char16_t* name;
        unsigned firstCommand, count;
    };
    for (Menu m : {Menu{20000, u"Actions", 25000, 54}, Menu{20001, u"Conditions", 26000, 16},
                   Menu{20002, u"Expressions", 27000, 20}}) {
        SCOPED_TRACE(m.id);
        const auto& menus = sourceScript().menus;
        ASSERT_TRUE(menus.count(m.id));
        const auto& top = menus.at(m.id);
        ASSERT_EQ(top.size(), 1u);
        EXPECT_TRUE(top[0].isPopup);
        EXPECT_EQ(top[0].text, m.name);

        std::multiset<unsigned> commands;
        walk(top[0].popup, [&](const MenuItem& item) {
            // The host copies at most 79 characters of a menu text.
            EXPECT_LE(item.text.size(), 79u);
            if (item.separator) {
                EXPECT_EQ(item.id, 0u);
                EXPECT_TRUE(item.text.empty());
            } else if (item.isPopup) {
                EXPECT_FALSE(item.disabled);
            } else if (item.id == 399) {
                EXPECT_TRUE(item.disabled);
            } else {
                EXPECT_FALSE(item.disabled) << item.id;
                commands.insert(item.id);
            }
        });
        for (unsigned id = m.firstCommand; id < m.firstCommand + m.count; ++id) EXPECT_EQ(commands.count(id), 1u) << id;
        EXPECT_EQ(commands.size(), m.count);
    }

    const auto& actions = sourceScript().menus.at(20000)[0].popup;
    ASSERT_GE(actions.size(), 3u);
    EXPECT_TRUE(actions[0].separator);
    EXPECT_EQ(actions[1].id, 25000u);
    EXPECT_EQ(actions[1].text, u"Set TEXT");
    EXPECT_TRUE(actions[2].isPopup);
    EXPECT_EQ(actions[2].text, u"JSON");
    EXPECT_TRUE(actions.back().separator);

    // Menu texts keep their padding: it lines the sub-menus up in the editor.
    std::set<std::u16string> texts;
    walk(actions, [&](const MenuItem& item) { texts.insert(item.text); });
    const char16_t* padded[] = {u"Reject               ( ByName )", u" FILE ", u"JSON POINTER ", u" + MOTiONS",
                                u"trivu is support JSON using nlohmann/json.hpp....",
                                u"trivu is support FILESYSTEM using std::filesystem...."};
    for (size_t i = 0; i < std::size(padded); ++i) EXPECT_TRUE(texts.count(padded[i])) << i;
}

TEST(ResourceScriptFile, AboutBox) {
    ASSERT_TRUE(sourceScript().dialogs.count(20003));
    const auto& d = *sourceScript().dialogs.at(20003);
    EXPECT_EQ(d.caption, u"TRIVU : Public Preview Version for Windows PC");
    EXPECT_EQ(d.fontName, u"MS Sans Serif");
    EXPECT_EQ(d.fontSize, 8);
    EXPECT_EQ(d.cx, 200);
    EXPECT_EQ(d.cy, 172);

    ASSERT_EQ(d.controls.size(), 3u);
    EXPECT_EQ(d.controls[0].className, u"BUTTON");
    EXPECT_EQ(d.controls[0].style & 0xF, 0x7u);  // BS_GROUPBOX
    EXPECT_EQ(d.controls[1].className, u"STATIC");
    for (const char16_t* area : {u"REGEX ECMA\n", u"Filesystem\n", u"HWND\n", u"Object Control\n", u"JSON\n"})
        EXPECT_NE(d.controls[1].text.find(area), std::u16string::npos);
    EXPECT_TRUE(d.controls[1].text.ends_with(u"version 0.8.11"));
    EXPECT_EQ(d.controls[2].className, u"BUTTON");
    EXPECT_EQ(d.controls[2].text, u"OK");
    EXPECT_EQ(d.controls[2].id, 1);
    EXPECT_EQ(d.controls[2].style & 0xF, 0x1u);  // BS_DEFPUSHBUTTON
    for (const auto& c : d.controls) EXPECT_NE(c.id, 20004);

    // The desktop's view points at the template's own strings.
    ASSERT_EQ(d.desktop.controlCount, 3);
    EXPECT_EQ(d.desktop.caption, d.caption.c_str());
    EXPECT_EQ(d.desktop.controls[2].text, d.controls[2].text.c_str());
    EXPECT_EQ(d.desktop.controls[2].id, 1);
}

TEST(ResourceScriptParser, StringsCommentsAndEncodings) {
    auto s = parse(
        "#pragma code_page(65001)\n"
        "#include <windows.h>\n"
        "STRINGTABLE DISCARDABLE\n"
        "BEGIN\n"
        "  1, \"say \"\"hi\"\"\\n\\tback\\\\slash\" // a comment\n"
        "  2 \"// not a comment\"\n"
        "  /* block\n comment */ 0x10, \"\xCF\x89 \xF0\x9D\x84\x9E\"\n"
        "  4, \"bad \xC3(\"\n"
        "  5, \"\\q\"\n"
        "END\n");
    EXPECT_EQ(s.strings.at(1), u"say \"hi\"\n\tback\\slash");
    EXPECT_EQ(s.strings.at(2), u"// not a comment");
    EXPECT_EQ(s.strings.at(16), u"\u03C9 \U0001D11E");
    EXPECT_EQ(s.strings.at(4), u"bad \uFFFD(");
    EXPECT_EQ(s.strings.at(5), u"\\q");
}

TEST(ResourceScriptParser, MenusAndDialogs) {
    auto s = parse(
        "7 MENU\n"
        "{\n"
        "  POPUP \"&File\"\n"
        "  {\n"
        "    MENUITEM \"Open\", 100\n"
        "    MENUITEM \"Later\", 101, INACTIVE\n"
        "    MENUITEM \"Gone\", 102 GRAYED, CHECKED\n"
        "    MENUITEM SEPARATOR\n"
        "    POPUP \"More\", GRAYED\n"
        "    BEGIN\n"
        "    END\n"
        "  }\n"
        "}\n"
        "9 DIALOG 1, 2, 30, 40\n"
        "CAPTION \"Hi\"\n"
        "BEGIN\n"
        "  LTEXT \"a\", -1, 0, 0, 10, 10, NOT WS_GROUP | SS_NOPREFIX\n"
        "  CONTROL \"b\", 5, \"Button\", BS_AUTOCHECKBOX | WS_TABSTOP, 1, 2, 3, 4\n"
        "  EDITTEXT 6, 1, 2, 3, 4\n"
        "END\n");
    const auto& file = s.menus.at(7).at(0);
    ASSERT_EQ(file.popup.size(), 5u);
    EXPECT_EQ(file.text, u"&File");
    EXPECT_FALSE(file.popup[0].disabled);
    EXPECT_TRUE(file.popup[1].disabled);
    EXPECT_TRUE(file.popup[2].disabled);
    EXPECT_EQ(file.popup[2].id, 102u);
    EXPECT_TRUE(file.popup[3].separator);
    EXPECT_TRUE(file.popup[4].isPopup && file.popup[4].disabled && file.popup[4].popup.empty());

    const auto& d = *s.dialogs.at(9);
    EXPECT_EQ(d.caption, u"Hi");
    EXPECT_EQ(d.x + d.y + d.cx + d.cy, 73);
    ASSERT_EQ(d.controls.size(), 3u);
    EXPECT_EQ(d.controls[0].id, -1);
    EXPECT_EQ(d.controls[0].style, 0x50000080u);  // child, visible, no group, no prefix
    EXPECT_EQ(d.controls[1].className, u"Button");
    EXPECT_EQ(d.controls[1].style, 0x50010003u);
    EXPECT_EQ(d.controls[2].className, u"EDIT");
    EXPECT_EQ(d.controls[2].text, u"");
}

TEST(ResourceScriptParser, RefusesMalformedScripts) {
    struct Case {
        const char* script;
        const char* error;
    };
    for (Case c : {
             Case{"STRINGTABLE\nBEGIN\n 1, \"open\nEND\n", "line 3: unterminated string"},
             Case{"STRINGTABLE\nBEGIN\n 1, \"open", "line 3: unterminated string"},
             Case{"STRINGTABLE\nBEGIN\n 1, \"a\"\n", "missing END"},
             Case{"1 MENU\nBEGIN\n POPUP \"a\"\n BEGIN\n  MENUITEM \"b\", 2\nEND\n", "missing END"},
             Case{"1 VERSIONINFO\nBEGIN\n BLOCK \"x\"\n BEGIN\nEND\n", "missing END"},
             Case{"STRINGTABLE\nBEGIN\n 1, \"a\"\n 1, \"b\"\nEND\n", "line 4: string 1 defined twice"},
             Case{"STRINGTABLE\nBEGIN\n 70000, \"a\"\nEND\n", "out of range"},
             Case{"1 ICON \"x.ico\"\n", "unsupported resource type"},
             Case{"1 DIALOG 0, 0, 1, 1\nSTYLE WS_BOGUS\nBEGIN\nEND\n", "line 2: unknown style 'WS_BOGUS'"},
             Case{"1 MENU\nBEGIN\n MENUITEM 5\nEND\n", "expected a string"},
             Case{"/* never closed", "unterminated comment"},
             Case{"1 MENU BEGIN @ END", "unexpected character"},
         }) {
        std::string error;
        EXPECT_FALSE(parseResourceScript(c.script, &error)) << c.script;
        EXPECT_NE(error.find(c.error), std::string::npos) << c.script << " -> " << error;
    }

    std::string deep = "1 MENU\n";
    for (int i = 0; i < 10000; ++i) deep += "BEGIN POPUP \"x\"\n";
    std::string error;
    EXPECT_FALSE(parseResourceScript(deep, &error));
    EXPECT_NE(error.find("nested too deeply"), std::string::npos) << error;
}

// ---- The script compiled into the library (resource_calls_test.cpp tests
// the calls that serve it).

TEST(ResourceCalls, EmbeddedScriptMatchesTheSource) {
    const auto& embedded = trivu::platform::posix::embeddedResources();
    EXPECT_EQ(embedded.strings, sourceScript().strings);
    EXPECT_EQ(embedded.menus.size(), 3u);
    EXPECT_EQ(embedded.dialogs.size(), 1u);
}
