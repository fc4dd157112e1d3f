// The platform layer on a real Windows desktop (Wine's, on a virtual
// display): captions set and read back, the show states, the task-bar
// lookup, message boxes and the about box closed by the test as a user
// would, and the editor's menus built with USER32.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>

#include "host/boundary/editdata.h"
#include "platform/platform.h"
#include "sdk/exports.h"

namespace {

using namespace trivu;

const wchar_t* wide(const char16_t* text) { return reinterpret_cast<const wchar_t*>(text); }

std::u16string captionOf(HWND window) {
    wchar_t buffer[256] = {};
    int n = GetWindowTextW(window, buffer, 256);
    return std::u16string(buffer, buffer + n);
}

// A plain top-level window standing for the game's main window.
class MainWindow {
public:
    MainWindow() {
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = DefWindowProcW;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = kClass;
        RegisterClassW(&windowClass);
        handle = CreateWindowExW(0, kClass, L"game", WS_OVERLAPPEDWINDOW, 10, 10, 320, 240, nullptr, nullptr,
                                 windowClass.hInstance, nullptr);
    }
    ~MainWindow() { DestroyWindow(handle); }
    static constexpr const wchar_t* kClass = L"TrivuTestMain";
    HWND handle = nullptr;
};

// Plays the user who closes a window: waits for a top-level window with the
// caption, then presses OK on it. Gives up after a while, so that a window
// that never appears fails the test instead of hanging it.
class Closer {
public:
    explicit Closer(std::u16string caption)
        : caption_(std::move(caption)), thread_([this] { run(); }) {}
    ~Closer() { thread_.join(); }
    bool closed() const { return closed_; }

private:
    void run() {
        auto until = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (std::chrono::steady_clock::now() < until) {
            if (HWND box = FindWindowW(L"#32770", wide(caption_.c_str()))) {
                closed_ = true;
                PostMessageW(box, WM_COMMAND, IDOK, 0);
                return;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
    }
    std::u16string caption_;
    std::atomic<bool> closed_{false};
    std::thread thread_;
};

TEST(NativeWindow, CaptionIsSetAndReadBack) {
    MainWindow main;
    ASSERT_NE(main.handle, nullptr);
    EXPECT_TRUE(platform::setWindowTextW(main.handle, u"日本語表現 : level 1"));
    EXPECT_EQ(captionOf(main.handle), u"日本語表現 : level 1");
    EXPECT_TRUE(platform::setWindowTextW(main.handle, u""));
    EXPECT_EQ(captionOf(main.handle), u"");
    EXPECT_FALSE(platform::setWindowTextW(nullptr, u"nowhere"));
}

TEST(NativeWindow, ShowStatesFollowTheCommands) {
    MainWindow main;
    HWND w = main.handle;
    platform::showWindow(w, SW_SHOWNA);
    EXPECT_TRUE(platform::isWindowVisible(w));
    EXPECT_FALSE(platform::isZoomed(w));

    platform::showWindow(w, SW_MAXIMIZE);
    EXPECT_TRUE(platform::isZoomed(w));
    platform::showWindow(w, SW_RESTORE);
    EXPECT_FALSE(platform::isZoomed(w));
    platform::showWindow(w, SW_MINIMIZE);
    EXPECT_TRUE(IsIconic(w));
    platform::showWindow(w, SW_RESTORE);
    EXPECT_FALSE(IsIconic(w));

    platform::showWindow(w, SW_HIDE);
    EXPECT_FALSE(platform::isWindowVisible(w));
    platform::showWindow(w, SW_SHOWNA);
    EXPECT_TRUE(platform::isWindowVisible(w));
    EXPECT_FALSE(platform::isWindowVisible(nullptr));  // no task bar: not visible
}

TEST(NativeWindow, WindowsAreFoundByClass) {
    MainWindow main;
    EXPECT_EQ(platform::findWindowW(u"TrivuTestMain", nullptr), main.handle);
    EXPECT_EQ(platform::findWindowW(u"TrivuNoSuchClass", nullptr), nullptr);
}

TEST(NativeBox, MessageBoxesWaitForTheUserAndAnswerOk) {
    {
        Closer user(u"ObjectAlign :: Notification");
        EXPECT_EQ(platform::messageBoxA("Selected Object is Not the Sprite.", "ObjectAlign :: Notification"), IDOK);
        EXPECT_TRUE(user.closed());
    }
    {
        Closer user(u"Not Found the File.....");
        EXPECT_EQ(platform::messageBoxW(u"ERR :: Missing :: \"日本語.json\"", u"Not Found the File....."), IDOK);
        EXPECT_TRUE(user.closed());
    }
}

uint32_t WINAPI compatibleVersion() { return MMFVERSION_20 | 285; }

TEST(NativeEditor, AboutBoxIsARealDialogClosedWithOk) {
    mv editor{};
    editor.mvGetVersion = compatibleVersion;
    Closer user(u"TRIVU : Public Preview Version for Windows PC");
    EXPECT_EQ(EditObject(&editor, nullptr, nullptr, nullptr), 1);
    EXPECT_TRUE(user.closed());
}

TEST(NativeEditor, MenusAreBuiltWithUser32) {
    mv editor{};
    editor.mvGetVersion = compatibleVersion;
    HMENU menu = GetConditionMenu(&editor, nullptr, nullptr);
    ASSERT_NE(menu, nullptr);
    EXPECT_GT(GetMenuItemCount(menu), 0);
    int found = 0;
    for (int id = 26000; id < 26016; ++id) {
        wchar_t text[128] = {};
        if (GetMenuStringW(menu, id, text, 128, MF_BYCOMMAND) > 0) ++found;
    }
    EXPECT_EQ(found, 16);
    DestroyMenu(menu);
}

}  // namespace
