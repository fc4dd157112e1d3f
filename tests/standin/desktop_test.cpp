// The simulated desktop, driven through its table as the extension drives it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "trivu-host/play/desktop.h"

namespace {

using standin::Desktop;
using standin::TaskbarState;
using standin::WindowState;

struct DesktopTest : ::testing::Test {
    Desktop desktop;
    const TrivuDesktop& t = *desktop.table();
    std::vector<std::string> lines;

    DesktopTest() {
        desktop.report = [this](const std::string& line) { lines.push_back(line); };
    }
    HWND taskbar() { return t.findWindowW(t.context, u"Shell_TrayWnd", nullptr); }
    int32_t show(HWND window, int32_t command) { return t.showWindow(t.context, window, command); }
};

TEST_F(DesktopTest, MessageBoxesAreReportedAndAnsweredOk) {
    EXPECT_EQ(t.messageBoxW(t.context, nullptr, u"line\none \"two\"", u"ERROR", 0), IDOK);
    EXPECT_EQ(t.messageBoxA(t.context, nullptr, "Error::HWND_172 ::: hwnd value is 0.", "ERROR", 0), IDOK);
    EXPECT_EQ(t.messageBoxW(t.context, nullptr, nullptr, nullptr, 0), IDOK);
    EXPECT_EQ(lines, (std::vector<std::string>{R"(box "ERROR" "line\none \"two\"")",
                                               R"(box "ERROR" "Error::HWND_172 ::: hwnd value is 0.")",
                                               R"(box "" "")"}));
}

TEST_F(DesktopTest, TaskbarIsFoundOnlyByItsClassWithoutName) {
    EXPECT_NE(taskbar(), nullptr);
    EXPECT_NE(taskbar(), desktop.mainWindow());
    EXPECT_EQ(t.findWindowW(t.context, u"Shell_TrayWnd", u"x"), nullptr);
    EXPECT_EQ(t.findWindowW(t.context, u"Progman", nullptr), nullptr);
    EXPECT_EQ(t.findWindowW(t.context, nullptr, nullptr), nullptr);
    desktop.taskbar = TaskbarState::Absent;
    EXPECT_EQ(taskbar(), nullptr);
}

TEST_F(DesktopTest, ShowingTheMainWindowFollowsTheCommand) {
    HWND main = desktop.mainWindow();
    show(main, SW_MAXIMIZE);
    EXPECT_EQ(desktop.state, WindowState::Maximized);
    EXPECT_EQ(t.isZoomed(t.context, main), 1);
    show(main, SW_MINIMIZE);
    EXPECT_EQ(desktop.state, WindowState::Minimized);
    EXPECT_EQ(t.isZoomed(t.context, main), 0);
    show(main, SW_HIDE);  // hiding is not a state of the simulated main window
    EXPECT_EQ(desktop.state, WindowState::Minimized);
    show(main, SW_RESTORE);
    EXPECT_EQ(desktop.state, WindowState::Normal);
    show(main, 5);
    EXPECT_EQ(lines, (std::vector<std::string>{"show main maximize", "show main minimize", "show main hide",
                                               "show main restore", "show main 5"}));
}

TEST_F(DesktopTest, ShowingTheTaskbarFollowsTheCommand) {
    HWND bar = taskbar();
    EXPECT_EQ(t.isWindowVisible(t.context, bar), 1);
    EXPECT_EQ(show(bar, SW_HIDE), 1);  // it was visible
    EXPECT_EQ(desktop.taskbar, TaskbarState::Hidden);
    EXPECT_EQ(t.isWindowVisible(t.context, bar), 0);
    show(bar, SW_MINIMIZE);  // no effect on the task bar
    EXPECT_EQ(desktop.taskbar, TaskbarState::Hidden);
    EXPECT_EQ(show(bar, SW_SHOWNA), 0);
    EXPECT_EQ(desktop.taskbar, TaskbarState::Visible);
    show(bar, SW_HIDE);
    show(bar, SW_RESTORE);
    EXPECT_EQ(desktop.taskbar, TaskbarState::Visible);
    EXPECT_EQ(desktop.state, WindowState::Normal);
    EXPECT_EQ(lines, (std::vector<std::string>{"show taskbar hide", "show taskbar minimize", "show taskbar showna",
                                               "show taskbar hide", "show taskbar restore"}));
}

TEST_F(DesktopTest, UnknownWindowsAreSilentAndFail) {
    HWND bar = taskbar();
    desktop.taskbar = TaskbarState::Absent;  // the handle no longer names a window
    EXPECT_EQ(show(bar, SW_HIDE), 0);
    EXPECT_EQ(show(nullptr, SW_MAXIMIZE), 0);
    EXPECT_EQ(show(reinterpret_cast<HWND>(0x999), SW_MAXIMIZE), 0);
    EXPECT_EQ(t.isWindowVisible(t.context, nullptr), 0);
    EXPECT_EQ(t.isZoomed(t.context, nullptr), 0);
    EXPECT_EQ(t.setWindowTextW(t.context, nullptr, u"x"), 0);
    EXPECT_EQ(desktop.taskbar, TaskbarState::Absent);
    EXPECT_EQ(desktop.state, WindowState::Normal);
    EXPECT_TRUE(lines.empty());
}

TEST_F(DesktopTest, CaptionOfTheMainWindow) {
    EXPECT_EQ(t.setWindowTextW(t.context, desktop.mainWindow(), u"Level \"1\""), 1);
    EXPECT_EQ(desktop.caption, u"Level \"1\"");
    EXPECT_EQ(t.setWindowTextW(t.context, taskbar(), u"no"), 0);
    EXPECT_EQ(desktop.caption, u"Level \"1\"");
    EXPECT_EQ(lines, (std::vector<std::string>{R"(caption "Level \"1\"")"}));
}

TEST_F(DesktopTest, MenusNestAndKeepTheirItems) {
    HMENU root = t.createPopupMenu(t.context);
    HMENU sub = t.createPopupMenu(t.context);
    ASSERT_NE(root, sub);
    EXPECT_EQ(t.appendMenuW(t.context, sub, MF_STRING, 25003, u"Toggle"), 1);
    EXPECT_EQ(t.appendMenuW(t.context, sub, MF_STRING | MF_GRAYED, 399, u"B"), 1);
    EXPECT_EQ(t.appendMenuW(t.context, root, MF_SEPARATOR, 0, nullptr), 1);
    EXPECT_EQ(t.appendMenuW(t.context, root, MF_POPUP, reinterpret_cast<uintptr_t>(sub), u"REGEX"), 1);

    const standin::DesktopMenu* menu = desktop.menu(root);
    ASSERT_NE(menu, nullptr);
    ASSERT_EQ(menu->items.size(), 2u);
    EXPECT_TRUE(menu->items[0].flags & MF_SEPARATOR);
    EXPECT_EQ(menu->items[1].text, u"REGEX");
    ASSERT_EQ(menu->items[1].popup, desktop.menu(sub));
    ASSERT_EQ(menu->items[1].popup->items.size(), 2u);
    EXPECT_EQ(menu->items[1].popup->items[0].id, 25003u);
    EXPECT_EQ(menu->items[1].popup->items[1].flags, MF_STRING | MF_GRAYED);
}

TEST_F(DesktopTest, BadMenuCallsFailWithoutHarm) {
    HMENU root = t.createPopupMenu(t.context);
    HMENU sub = t.createPopupMenu(t.context);
    EXPECT_EQ(t.appendMenuW(t.context, nullptr, MF_STRING, 1, u"x"), 0);
    EXPECT_EQ(t.appendMenuW(t.context, reinterpret_cast<HMENU>(0x77), MF_STRING, 1, u"x"), 0);
    EXPECT_EQ(t.appendMenuW(t.context, root, MF_POPUP, 0x12345, u"x"), 0);
    // A cycle would make every walk of the tree endless.
    EXPECT_EQ(t.appendMenuW(t.context, root, MF_POPUP, reinterpret_cast<uintptr_t>(root), u"self"), 0);
    EXPECT_EQ(t.appendMenuW(t.context, root, MF_POPUP, reinterpret_cast<uintptr_t>(sub), u"sub"), 1);
    EXPECT_EQ(t.appendMenuW(t.context, sub, MF_POPUP, reinterpret_cast<uintptr_t>(root), u"back"), 0);
    EXPECT_EQ(desktop.menu(nullptr), nullptr);
    EXPECT_EQ(desktop.menu(root)->items.size(), 1u);
    EXPECT_TRUE(desktop.menu(sub)->items.empty());
}

// A dialog procedure as the extension's about box has it: keeps its creation
// parameter on initialisation, ends with the button pressed.
struct Procedure {
    static inline std::vector<uint32_t> messages;
    static inline const TrivuDesktop* table = nullptr;
    static inline bool endsOnOk = true;
    static inline intptr_t userDataSeen = 0;
    static inline HWND window = nullptr;

    static INT_PTR WINAPI run(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
        messages.push_back(message);
        window = dialog;
        if (message == WM_INITDIALOG) {
            table->setWindowLongPtrW(table->context, dialog, DWLP_USER, lParam);
            return 1;
        }
        if (message == WM_COMMAND && (wParam == IDOK || wParam == IDCANCEL) && endsOnOk) {
            userDataSeen = table->getWindowLongPtrW(table->context, dialog, DWLP_USER);
            table->endDialog(table->context, dialog, static_cast<intptr_t>(wParam));
            return 1;
        }
        return 0;
    }
};

struct DialogTest : DesktopTest {
    DesktopControl controls[2] = {
        {u"STATIC", u"version 0.8.11", -1, 0, 7, 7, 100, 20},
        {u"BUTTON", u"OK", IDOK, 1, 70, 150, 50, 14},
    };
    DesktopDialog dialog{20003, u"About", u"MS Sans Serif", 8, 0, 0, 200, 172, controls, 2};

    DialogTest() {
        Procedure::messages.clear();
        Procedure::table = &t;
        Procedure::endsOnOk = true;
        Procedure::userDataSeen = 0;
    }
    intptr_t run(intptr_t param) { return t.dialogBoxIndirectParamW(t.context, &dialog, nullptr, Procedure::run, param); }
};

TEST_F(DialogTest, InitialisesThenPressesOk) {
    EXPECT_EQ(run(1234), IDOK);
    EXPECT_EQ(Procedure::messages, (std::vector<uint32_t>{WM_INITDIALOG, WM_COMMAND}));
    EXPECT_EQ(Procedure::userDataSeen, 1234);
    const Desktop::DialogSeen* seen = desktop.lastDialog();
    ASSERT_NE(seen, nullptr);
    EXPECT_EQ(seen->result, IDOK);
    EXPECT_EQ(seen->userData, 1234);
}

TEST_F(DialogTest, KeepsACopyOfTheTemplate) {
    std::u16string caption = u"About";
    dialog.caption = caption.c_str();
    run(0);
    caption = u"XXXXX";  // the extension's template may go away after the call
    const Desktop::DialogSeen* seen = desktop.lastDialog();
    ASSERT_NE(seen, nullptr);
    EXPECT_EQ(seen->id, 20003);
    EXPECT_EQ(seen->caption, u"About");
    EXPECT_EQ(seen->fontName, u"MS Sans Serif");
    EXPECT_EQ(seen->fontSize, 8);
    EXPECT_EQ(seen->cx, 200);
    EXPECT_EQ(seen->cy, 172);
    ASSERT_EQ(seen->controls.size(), 2u);
    EXPECT_EQ(std::u16string(seen->controls[1].className), u"BUTTON");
    EXPECT_EQ(std::u16string(seen->controls[0].text), u"version 0.8.11");
    EXPECT_NE(seen->controls[0].text, controls[0].text);
    EXPECT_EQ(seen->controls[1].id, IDOK);
}

TEST_F(DialogTest, AProcedureThatNeverEndsAnswersZero) {
    Procedure::endsOnOk = false;
    EXPECT_EQ(run(0), 0);
    EXPECT_EQ(desktop.lastDialog()->result, 0);
}

TEST_F(DialogTest, EndingOrStoringOutsideTheDialogFails) {
    run(0);
    HWND gone = Procedure::window;  // closed by now
    ASSERT_NE(gone, nullptr);
    EXPECT_EQ(t.endDialog(t.context, gone, 5), 0);
    EXPECT_EQ(t.setWindowLongPtrW(t.context, gone, DWLP_USER, 9), 0);
    EXPECT_EQ(t.getWindowLongPtrW(t.context, desktop.mainWindow(), DWLP_USER), 0);
    EXPECT_EQ(t.dialogBoxIndirectParamW(t.context, nullptr, nullptr, Procedure::run, 0), -1);
    EXPECT_EQ(t.dialogBoxIndirectParamW(t.context, &dialog, nullptr, nullptr, 0), -1);
}

}  // namespace
