// The catalogue as the event editor reads it: description entries, menu ids,
// the menus the exports build, display texts and parameter titles.
#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <set>

#include "fake_host.h"
#include "platform/platform.h"

namespace {

std::u16string actionTitle(int code, int param, int16_t size = 256) {
    test::FakeEditor editor;
    char16_t buffer[256] = {u'?'};
    GetActionTitle(editor.block(), static_cast<int16_t>(code), static_cast<int16_t>(param), buffer, size);
    return buffer;
}

struct Entry {
    uint16_t flags;
    std::vector<uint16_t> kinds, titles;
};

Entry entry(EventInfos infos) {
    Entry e{eventFlags(infos), {}, {}};
    for (int i = 0; i < eventParamCount(infos); ++i) {
        e.kinds.push_back(eventParamKind(infos, i));
        e.titles.push_back(eventParamTitle(infos, i));
    }
    return e;
}

using Words = std::vector<uint16_t>;

}  // namespace

TEST(Catalogue, RunInfosReportTheJumpTables) {
    // The host's record is exactly as long as its fields (34 bytes on the
    // 32-bit host): the guard bytes after it must stay untouched.
    unsigned char block[sizeof(kpxRunInfos) + 8];
    std::memset(block, 0xCC, sizeof block);
    EXPECT_EQ(GetRunObjectInfos(nullptr, reinterpret_cast<kpxRunInfos*>(block)), 1);
    for (size_t i = sizeof(kpxRunInfos); i < sizeof block; ++i) EXPECT_EQ(block[i], 0xCC) << "byte " << i;
    kpxRunInfos infos;
    std::memcpy(static_cast<void*>(&infos), block, sizeof infos);
    EXPECT_EQ(infos.free, 0);
    EXPECT_EQ(infos.editPrefs, 0);
    EXPECT_EQ(infos.numOfActions, 54);
    EXPECT_EQ(infos.numOfConditions, 16);
    EXPECT_EQ(infos.numOfExpressions, 20);
    EXPECT_EQ(infos.editDataSize, 40);
    EXPECT_EQ(infos.editFlags, 0x180u);
    EXPECT_EQ(infos.windowProcPriority, 100);
    EXPECT_EQ(std::memcmp(&infos.identifier, "7KQ4", 4), 0);
    EXPECT_EQ(infos.version, 1);
    // Every routine is there, and each table ends with a null entry.
    for (int i = 0; i < 54; ++i) EXPECT_NE(infos.actions[i], nullptr);
    for (int i = 0; i < 16; ++i) EXPECT_NE(infos.conditions[i], nullptr);
    for (int i = 0; i < 20; ++i) EXPECT_NE(infos.expressions[i], nullptr);
    EXPECT_EQ(infos.actions[54], nullptr);
    EXPECT_EQ(infos.conditions[16], nullptr);
    EXPECT_EQ(infos.expressions[20], nullptr);
    // The record's size on this build: 456 bytes on the 32-bit product.
    EXPECT_EQ(GetRunObjectDataSize(nullptr, nullptr), sizeof(RUNDATA));
    if (sizeof(void*) == 4) {
        EXPECT_EQ(GetRunObjectDataSize(nullptr, nullptr), 456);
    }
    EXPECT_EQ(GetInfos(KGI_VERSION), 0x300u);
    EXPECT_EQ(GetInfos(KGI_PLUGIN), 0x100u);
    EXPECT_EQ(GetInfos(KGI_BUILD), 280u);
    EXPECT_EQ(GetInfos(KGI_UNICODE), 1u);
    EXPECT_EQ(GetInfos(KGI_PRODUCT), 0u);
}

TEST(Catalogue, DescriptionEntriesCarryKindsAndTitles) {
    Entry orbit = entry(GetActionInfos(nullptr, 45));
    EXPECT_EQ(orbit.flags, 0);
    EXPECT_EQ(orbit.kinds, (Words{1, 1, 45, 45}));
    EXPECT_EQ(orbit.titles, (Words{5505, 5527, 5518, 5528}));
    EXPECT_EQ(entry(GetActionInfos(nullptr, 46)).kinds, (Words{45, 22, 22}));
    EXPECT_EQ(entry(GetActionInfos(nullptr, 3)).kinds, Words{});
    EXPECT_EQ(entry(GetExpressionInfos(nullptr, 9)).kinds, (Words{3, 1}));
    EXPECT_EQ(entry(GetExpressionInfos(nullptr, 9)).titles, (Words{7505, 7506}));
    EXPECT_EQ(entry(GetConditionInfos(nullptr, 1)).kinds, (Words{45, 45, 22}));
    EXPECT_EQ(GetActionInfos(nullptr, 54), nullptr);
    EXPECT_EQ(GetConditionInfos(nullptr, -1), nullptr);
}

TEST(Catalogue, ConditionAndExpressionFlags) {
    std::set<int> triggered{0, 2, 3, 4, 7, 8, 9, 11, 12, 13, 14, 15}, negatable{6, 10};
    for (int code = 0; code < 16; ++code) {
        uint16_t want = triggered.count(code) ? 0 : negatable.count(code) ? 0x220 : 0x20;
        EXPECT_EQ(eventFlags(GetConditionInfos(nullptr, static_cast<int16_t>(code))), want) << code;
    }
    std::set<int> text{0, 1, 2, 3, 6, 8, 9, 10, 11, 14};
    for (int code = 0; code < 20; ++code)
        EXPECT_EQ(eventFlags(GetExpressionInfos(nullptr, static_cast<int16_t>(code))), text.count(code) ? 1 : 2)
            << code;
}

TEST(Catalogue, MenuIdsMapToCodes) {
    EXPECT_EQ(GetActionCodeFromMenu(nullptr, 25053), 53);
    EXPECT_EQ(GetActionCodeFromMenu(nullptr, 25000), 0);
    EXPECT_EQ(GetActionCodeFromMenu(nullptr, 25054), -1);
    EXPECT_EQ(GetActionCodeFromMenu(nullptr, 399), -1);
    EXPECT_EQ(GetConditionCodeFromMenu(nullptr, 26015), 15);
    EXPECT_EQ(GetConditionCodeFromMenu(nullptr, 25015), -1);
    EXPECT_EQ(GetExpressionCodeFromMenu(nullptr, 27019), 19);
}

TEST(Catalogue, MenusCopyTheResourceItemByItem) {
    test::RecordingDesktop desktop;
    test::FakeEditor editor;
    HMENU menu = GetActionMenu(editor.block(), nullptr, nullptr);
    ASSERT_NE(menu, nullptr);
    // Every action once, placeholders disabled, popups holding menus built before them.
    std::map<uintptr_t, int> ids;
    for (const auto& a : desktop.appends) {
        if (a.flags & MF_POPUP) continue;
        if (a.flags & MF_SEPARATOR) continue;
        ++ids[a.id];
        EXPECT_EQ((a.flags & MF_GRAYED) != 0, a.id == 399) << std::string(a.text.begin(), a.text.end());
    }
    for (int code = 0; code < 54; ++code) EXPECT_EQ(ids[25000u + code], 1) << code;
    // The first items of the top popup: separator, "Set TEXT", then the JSON popup.
    std::vector<test::RecordingDesktop::Append> top;
    for (const auto& a : desktop.appends)
        if (a.menu == menu) top.push_back(a);
    ASSERT_GE(top.size(), 3u);
    EXPECT_TRUE(top[0].flags & MF_SEPARATOR);
    EXPECT_EQ(top[1].id, 25000u);
    EXPECT_EQ(top[1].text, u"Set TEXT");
    EXPECT_TRUE(top[2].flags & MF_POPUP);
    EXPECT_EQ(top[2].text, u"JSON");
}

TEST(Catalogue, EditorQueriesNeedACompatibleHost) {
    test::RecordingDesktop desktop;
    test::FakeEditor old(MMFVERSION_20 | 200);
    EXPECT_EQ(GetConditionMenu(old.block(), nullptr, nullptr), nullptr);
    char16_t buffer[8] = {u'?', 0};
    GetActionString(old.block(), 0, buffer, 8);
    EXPECT_EQ(buffer[0], u'?');
    EXPECT_EQ(desktop.menusCreated, 0);
}

TEST(Catalogue, DisplayTextsAreCutToTheBuffer) {
    test::FakeEditor editor;
    char16_t buffer[64];
    GetActionString(editor.block(), 47, buffer, 64);
    EXPECT_EQ(std::u16string(buffer), u"Grow Radius : GrpName = %0 : Param = %1");
    GetActionString(editor.block(), 48, buffer, 64);
    EXPECT_EQ(std::u16string(buffer), u"Grow Radius : GrpName = %0 : Param = %1");
    GetExpressionString(editor.block(), 0, buffer, 64);
    EXPECT_EQ(std::u16string(buffer), u"ExStrGet(");
    GetConditionString(editor.block(), 15, buffer, 6);
    EXPECT_EQ(std::u16string(buffer), u"%o : ");
}

TEST(Catalogue, ParameterTitles) {
    EXPECT_EQ(actionTitle(45, 1), u"The Centre Object of Rotational movement");
    EXPECT_EQ(actionTitle(5, 1), u"Enter the target ID Number");
    EXPECT_EQ(actionTitle(0, 0), u"String Data");
    EXPECT_EQ(actionTitle(0, 1), u"");  // no such parameter
    EXPECT_EQ(actionTitle(0, 0, 4), u"Str");
    test::FakeEditor editor;
    char16_t buffer[128];
    GetExpressionParam(editor.block(), 9, 1, buffer, 128);
    EXPECT_EQ(std::u16string(buffer), u"4");
    GetExpressionTitle(editor.block(), 9, buffer, 128);
    EXPECT_EQ(std::u16string(buffer), u"Enter JSON Pointer");
    GetExpressionTitle(editor.block(), 0, buffer, 128);
    EXPECT_EQ(std::u16string(buffer), u"");
    GetConditionTitle(editor.block(), 9, 0, buffer, 128);
    EXPECT_EQ(std::u16string(buffer), u"Enter the Rejected Motion Grp Name");
}
