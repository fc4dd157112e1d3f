// The simulated desktop behind the TrivuDesktop table.
//
//   1. Handles and names
//   2. Message boxes
//   3. Windows: find, show, state, caption
//   4. Menus
//   5. Dialogs
//   6. The table
//
// Handles are small integers cast to pointers: the extension only compares
// and passes them, and fixed values keep runs reproducible. The trace never
// prints them.
#include "trivu-host/play/desktop.h"

#include <iostream>

#include "trivu-host/base/text.h"

namespace standin {
namespace {

constexpr uintptr_t kMainWindow = 0x10;
constexpr uintptr_t kTaskbarWindow = 0x20;
constexpr uintptr_t kFirstDialog = 0x100;
constexpr uintptr_t kFirstMenu = 0x1000;

uintptr_t handleValue(const void* handle) { return reinterpret_cast<uintptr_t>(handle); }

std::u16string_view textOf(const char16_t* text) { return text ? std::u16string_view(text) : u""; }

const char* showCommandName(int32_t command) {
    switch (command) {
        case SW_MINIMIZE: return "minimize";
        case SW_MAXIMIZE: return "maximize";
        case SW_RESTORE: return "restore";
        case SW_HIDE: return "hide";
        case SW_SHOWNA: return "showna";
        default: return nullptr;
    }
}

// True when `target` can be reached from `menu` through popups; appending
// such a popup would make the tree a cycle that no walk could finish.
bool reaches(const DesktopMenu* menu, const DesktopMenu* target) {
    if (menu == target) return true;
    for (const auto& item : menu->items)
        if (item.popup && reaches(item.popup, target)) return true;
    return false;
}

}  // namespace

// ---- 1. Handles and names ------------------------------------------------------

HWND Desktop::mainWindow() const { return reinterpret_cast<HWND>(kMainWindow); }

HWND Desktop::taskbarWindow() const {
    return taskbar == TaskbarState::Absent ? nullptr : reinterpret_cast<HWND>(kTaskbarWindow);
}

const DesktopMenu* Desktop::menu(HMENU handle) const {
    uintptr_t value = handleValue(handle);
    if (value < kFirstMenu || value - kFirstMenu >= menus_.size()) return nullptr;
    return menus_[value - kFirstMenu].get();
}

// The table's entries: each finds its Desktop through the context.
struct DesktopCalls {
    static Desktop& of(void* context) { return *static_cast<Desktop*>(context); }

    static void say(Desktop& desktop, const std::string& line) {
        if (desktop.report)
            desktop.report(line);
        else
            std::cerr << line << '\n';
    }

    static bool isMain(Desktop& desktop, HWND window) { return window == desktop.mainWindow(); }
    static bool isTaskbar(Desktop& desktop, HWND window) {
        return window != nullptr && window == desktop.taskbarWindow();
    }

    // ---- 2. Message boxes ------------------------------------------------------

    static int32_t messageBoxA(void* context, HWND, const char* text, const char* caption, uint32_t) {
        // Narrow text is UTF-8 on this platform.
        say(of(context), "box " + quoted(std::string_view(caption ? caption : "")) + " " +
                             quoted(std::string_view(text ? text : "")));
        return IDOK;
    }

    static int32_t messageBoxW(void* context, HWND, const char16_t* text, const char16_t* caption,
                               uint32_t) {
        say(of(context), "box " + quoted(textOf(caption)) + " " + quoted(textOf(text)));
        return IDOK;
    }

    // ---- 3. Windows: find, show, state, caption ---------------------------------

    static HWND findWindowW(void* context, const char16_t* className, const char16_t* windowName) {
        if (className && windowName == nullptr && textOf(className) == u"Shell_TrayWnd")
            return of(context).taskbarWindow();
        return nullptr;
    }

    // Answers as ShowWindow does: whether the window was visible before.
    static int32_t showWindow(void* context, HWND window, int32_t command) {
        Desktop& desktop = of(context);
        const char* target = isMain(desktop, window) ? "main" : isTaskbar(desktop, window) ? "taskbar" : nullptr;
        if (target == nullptr) return 0;
        const char* commandName = showCommandName(command);
        say(desktop, std::string("show ") + target + " " +
                         (commandName ? commandName : std::to_string(command)));
        if (isMain(desktop, window)) {
            if (command == SW_MINIMIZE) desktop.state = WindowState::Minimized;
            if (command == SW_MAXIMIZE) desktop.state = WindowState::Maximized;
            if (command == SW_RESTORE) desktop.state = WindowState::Normal;
            return 1;
        }
        bool wasVisible = desktop.taskbar == TaskbarState::Visible;
        if (command == SW_HIDE) desktop.taskbar = TaskbarState::Hidden;
        if (command == SW_RESTORE || command == SW_SHOWNA) desktop.taskbar = TaskbarState::Visible;
        return wasVisible ? 1 : 0;
    }

    static int32_t isZoomed(void* context, HWND window) {
        Desktop& desktop = of(context);
        return isMain(desktop, window) && desktop.state == WindowState::Maximized;
    }

    static int32_t isWindowVisible(void* context, HWND window) {
        Desktop& desktop = of(context);
        if (isMain(desktop, window)) return 1;
        return isTaskbar(desktop, window) && desktop.taskbar == TaskbarState::Visible;
    }

    static int32_t setWindowTextW(void* context, HWND window, const char16_t* text) {
        Desktop& desktop = of(context);
        if (!isMain(desktop, window)) return 0;
        desktop.caption = textOf(text);
        say(desktop, "caption " + quoted(std::u16string_view(desktop.caption)));
        return 1;
    }

    // ---- 4. Menus --------------------------------------------------------------

    static HMENU createPopupMenu(void* context) {
        Desktop& desktop = of(context);
        desktop.menus_.push_back(std::make_unique<DesktopMenu>());
        return reinterpret_cast<HMENU>(kFirstMenu + desktop.menus_.size() - 1);
    }

    static int32_t appendMenuW(void* context, HMENU handle, uint32_t flags, uintptr_t idOrPopup,
                               const char16_t* text) {
        Desktop& desktop = of(context);
        auto* menu = const_cast<DesktopMenu*>(desktop.menu(handle));
        if (menu == nullptr) return 0;
        DesktopMenu::Item item;
        item.flags = flags;
        if (flags & MF_POPUP) {
            item.popup = desktop.menu(reinterpret_cast<HMENU>(idOrPopup));
            if (item.popup == nullptr || reaches(item.popup, menu)) return 0;
        } else {
            item.id = idOrPopup;
        }
        if (!(flags & MF_SEPARATOR)) item.text = textOf(text);
        menu->items.push_back(std::move(item));
        return 1;
    }

    // ---- 5. Dialogs ------------------------------------------------------------

    static std::unique_ptr<Desktop::DialogSeen> copyTemplate(const DesktopDialog& dialog) {
        auto seen = std::make_unique<Desktop::DialogSeen>();
        seen->id = dialog.id;
        seen->caption = textOf(dialog.caption);
        seen->fontName = textOf(dialog.fontName);
        seen->fontSize = dialog.fontSize;
        seen->x = dialog.x, seen->y = dialog.y, seen->cx = dialog.cx, seen->cy = dialog.cy;
        int32_t count = dialog.controls ? dialog.controlCount : 0;
        if (count < 0) count = 0;
        // The strings first, so that the controls' pointers into them stay put.
        for (int32_t i = 0; i < count; ++i) {
            seen->classNames.emplace_back(textOf(dialog.controls[i].className));
            seen->texts.emplace_back(textOf(dialog.controls[i].text));
        }
        for (int32_t i = 0; i < count; ++i) {
            DesktopControl control = dialog.controls[i];
            control.className = seen->classNames[i].c_str();
            control.text = seen->texts[i].c_str();
            seen->controls.push_back(control);
        }
        return seen;
    }

    // Plays a user who presses OK at once. A procedure that does not end the
    // dialog on OK would leave a real user stuck; here it ends with 0.
    static intptr_t dialogBoxIndirectParamW(void* context, const DesktopDialog* dialog, HWND, DLGPROC proc,
                                            intptr_t param) {
        Desktop& desktop = of(context);
        if (dialog == nullptr || proc == nullptr || desktop.dialogWindow_ != 0) return -1;
        desktop.lastDialog_ = copyTemplate(*dialog);
        desktop.dialogWindow_ = kFirstDialog + desktop.dialogsShown_++;
        desktop.dialogEnded_ = false;
        desktop.dialogResult_ = 0;
        auto window = reinterpret_cast<HWND>(desktop.dialogWindow_);
        proc(window, WM_INITDIALOG, 0, param);
        if (!desktop.dialogEnded_) proc(window, WM_COMMAND, IDOK, 0);
        intptr_t result = desktop.dialogEnded_ ? desktop.dialogResult_ : 0;
        desktop.lastDialog_->result = result;
        desktop.dialogWindow_ = 0;
        return result;
    }

    static bool isDialog(Desktop& desktop, HWND window) {
        return desktop.dialogWindow_ != 0 && handleValue(window) == desktop.dialogWindow_;
    }

    static int32_t endDialog(void* context, HWND window, intptr_t result) {
        Desktop& desktop = of(context);
        if (!isDialog(desktop, window) || desktop.dialogEnded_) return 0;
        desktop.dialogEnded_ = true;
        desktop.dialogResult_ = result;
        return 1;
    }

    static intptr_t setWindowLongPtrW(void* context, HWND window, int32_t index, intptr_t value) {
        Desktop& desktop = of(context);
        if (!isDialog(desktop, window) || index != DWLP_USER) return 0;
        intptr_t previous = desktop.lastDialog_->userData;
        desktop.lastDialog_->userData = value;
        return previous;
    }

    static intptr_t getWindowLongPtrW(void* context, HWND window, int32_t index) {
        Desktop& desktop = of(context);
        if (!isDialog(desktop, window) || index != DWLP_USER) return 0;
        return desktop.lastDialog_->userData;
    }
};

// ---- 6. The table --------------------------------------------------------------

Desktop::Desktop() {
    table_.size = sizeof(TrivuDesktop);
    table_.context = this;
    // Every entry of the table, by the name it has in DesktopCalls.
#define TRIVU_DESKTOP_FILL(name, ...) table_.name = DesktopCalls::name;
    TRIVU_DESKTOP_CALLS(TRIVU_DESKTOP_FILL, TRIVU_DESKTOP_FILL)
#undef TRIVU_DESKTOP_FILL
}

}  // namespace standin
