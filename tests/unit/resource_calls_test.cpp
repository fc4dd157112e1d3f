// The resource calls of the platform layer, on either side: Linux serves the
// script compiled into the library, Windows what the resource compiler built
// into it. Both must hand the extension the same texts, menus and dialog.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "platform/platform.h"

using trivu::platform::MenuItem;

TEST(ResourceCalls, LoadStringCopiesLikeLoadStringW) {
    using trivu::platform::loadStringW;
    char16_t buffer[8];
    std::fill(std::begin(buffer), std::end(buffer), u'#');
    EXPECT_EQ(loadStringW(128, buffer, 3), 2);
    EXPECT_EQ(std::u16string(buffer), u"Tr");
    EXPECT_EQ(loadStringW(128, buffer, 6), 5);
    EXPECT_EQ(std::u16string(buffer), u"Trivu");
    EXPECT_EQ(loadStringW(128, buffer, 1), 0);
    EXPECT_EQ(buffer[0], 0);

    buffer[0] = u'#';
    EXPECT_EQ(loadStringW(128, buffer, 0), 0);
    EXPECT_EQ(buffer[0], u'#');
    EXPECT_EQ(loadStringW(128, nullptr, 8), 0);
    EXPECT_EQ(loadStringW(5054, buffer, 8), 0);
    EXPECT_EQ(buffer[0], 0);

    EXPECT_EQ(trivu::platform::loadString(7506), u"4");
    EXPECT_FALSE(trivu::platform::loadString(132));  // empty: no string, as on Windows
    EXPECT_FALSE(trivu::platform::loadString(5054));
}

// The script is UTF-8; what the calls hand out is UTF-16 either way.
TEST(ResourceCalls, TextsKeepTheirCharactersAndTheirLength) {
    auto name = trivu::platform::loadString(404);
    ASSERT_TRUE(name);
    EXPECT_TRUE(name->ends_with(u" ( Case-Sensitivity )"));
    auto longest = trivu::platform::loadString(131);
    ASSERT_TRUE(longest);
    EXPECT_GT(longest->size(), 80u);
    EXPECT_EQ(longest->find(u'\0'), std::u16string::npos);
}

TEST(ResourceCalls, MenusKeepOrderPopupsSeparatorsAndGreyedItems) {
    auto actions = trivu::platform::loadMenu(20000);
    ASSERT_TRUE(actions);
    ASSERT_EQ(actions->size(), 1u);
    const MenuItem& top = (*actions)[0];
    EXPECT_TRUE(top.isPopup);
    EXPECT_EQ(top.text, u"Actions");
    ASSERT_FALSE(top.popup.empty());

    int separators = 0, greyed = 0, popups = 0;
    std::set<unsigned> ids;  // of the items that can be chosen
    std::function<void(const std::vector<MenuItem>&)> walk = [&](const std::vector<MenuItem>& items) {
        for (const MenuItem& item : items) {
            if (item.separator) {
                ++separators;
                EXPECT_TRUE(item.text.empty());
                EXPECT_FALSE(item.disabled);
            } else if (item.isPopup) {
                ++popups;
                walk(item.popup);
            } else {
                greyed += item.disabled;
                if (!item.disabled) {
                    EXPECT_TRUE(ids.insert(item.id).second) << item.id << " twice";
                }
            }
        }
    };
    walk(top.popup);
    EXPECT_GT(separators, 0);
    EXPECT_GT(popups, 0);
    EXPECT_GT(greyed, 0);
    EXPECT_EQ(ids.size(), 54u);
    EXPECT_EQ(*ids.begin(), 25000u);
    EXPECT_EQ(*ids.rbegin(), 25053u);
    EXPECT_FALSE(trivu::platform::loadMenu(20003));
}

TEST(ResourceCalls, AboutBoxGoesToTheAttachedDesktopWithItsTemplate) {
    struct Seen {
        std::u16string caption, font;
        int32_t fontSize = 0, cx = 0, cy = 0;
        std::vector<std::u16string> controls;  // class, id and text of each
        intptr_t param = 0;
        int calls = 0;
    } seen;
    TrivuDesktop desktop{};
    desktop.size = sizeof desktop;
    desktop.context = &seen;
    desktop.dialogBoxIndirectParamW = [](void* context, const DesktopDialog* dialog, HWND, DLGPROC,
                                         intptr_t param) -> intptr_t {
        auto& s = *static_cast<Seen*>(context);
        ++s.calls;
        s.caption = dialog->caption;
        s.font = dialog->fontName;
        s.fontSize = dialog->fontSize;
        s.cx = dialog->cx;
        s.cy = dialog->cy;
        for (int32_t i = 0; i < dialog->controlCount; ++i) {
            const DesktopControl& c = dialog->controls[i];
            std::string id = std::to_string(c.id);
            s.controls.push_back(std::u16string(c.className) + u" " + std::u16string(id.begin(), id.end()) + u" " +
                                 c.text);
        }
        s.param = param;
        return IDOK;
    };
    trivu::platform::attachDesktop(&desktop);
    EXPECT_EQ(trivu::platform::dialogBoxParamW(20004, nullptr, nullptr, 7), -1);
    EXPECT_EQ(seen.calls, 0);
    EXPECT_EQ(trivu::platform::dialogBoxParamW(20003, nullptr, nullptr, 7), IDOK);
    trivu::platform::attachDesktop(nullptr);

    EXPECT_EQ(seen.calls, 1);
    EXPECT_EQ(seen.param, 7);
    EXPECT_EQ(seen.caption, u"TRIVU : Public Preview Version for Windows PC");
    EXPECT_EQ(seen.font, u"MS Sans Serif");
    EXPECT_EQ(seen.fontSize, 8);
    EXPECT_EQ(seen.cx, 200);
    EXPECT_EQ(seen.cy, 172);
    ASSERT_EQ(seen.controls.size(), 3u);
    EXPECT_EQ(seen.controls[0], u"BUTTON -1 TRIVU");
    EXPECT_TRUE(seen.controls[1].starts_with(u"STATIC -1 REGEX ECMA\nFilesystem\n"));
    EXPECT_TRUE(seen.controls[1].ends_with(u"version 0.8.11"));
    EXPECT_EQ(seen.controls[2], u"BUTTON 1 OK");
}
