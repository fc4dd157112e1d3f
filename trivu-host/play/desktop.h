// The simulated Windows desktop: the main window with its caption and state,
// the task bar, message boxes, menus and dialogs. The extension reaches it
// through the TrivuDesktop table; everything it does there is reported to the
// `report` sink as a trace line body (without the "F:T " prefix).
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/desktop.h"
#include "trivu-host/scenario/desktop_states.h"

namespace standin {


// A menu the extension built; an item with `popup` set is a popup.
struct DesktopMenu {
    struct Item {
        uint32_t flags = 0;  // MF_* as appended
        uintptr_t id = 0;
        std::u16string text;
        const DesktopMenu* popup = nullptr;
    };
    std::vector<Item> items;
};

class Desktop {
public:
    Desktop();
    Desktop(const Desktop&) = delete;
    Desktop& operator=(const Desktop&) = delete;

    // The table to hand to the extension's AttachDesktop export.
    const TrivuDesktop* table() const { return &table_; }

    std::u16string caption;
    WindowState state = WindowState::Normal;
    TaskbarState taskbar = TaskbarState::Visible;

    HWND mainWindow() const;  // never null
    HWND taskbarWindow() const;  // null when the task bar is absent

    // Receives `box "CAPTION" "TEXT"`, `caption "TEXT"`, `show main minimize` ...
    // Without a sink, lines go to standard error.
    std::function<void(const std::string& line)> report;

    // A menu handed out by createPopupMenu, or null for an unknown handle.
    const DesktopMenu* menu(HMENU handle) const;

    // The last dialog shown (its template copied), and what was answered.
    struct DialogSeen {
        std::u16string caption, fontName;
        int32_t id = 0, fontSize = 0, x = 0, y = 0, cx = 0, cy = 0;
        std::vector<DesktopControl> controls;  // text pointers refer to `texts`
        std::vector<std::u16string> classNames, texts;
        intptr_t result = 0;
        intptr_t userData = 0;
    };
    const DialogSeen* lastDialog() const { return lastDialog_.get(); }

private:
    TrivuDesktop table_{};
    std::vector<std::unique_ptr<DesktopMenu>> menus_;
    std::unique_ptr<DialogSeen> lastDialog_;
    uintptr_t dialogWindow_ = 0;  // the dialog being run, 0 when none
    unsigned dialogsShown_ = 0;
    bool dialogEnded_ = false;
    intptr_t dialogResult_ = 0;
    friend struct DesktopCalls;
};

}  // namespace standin
