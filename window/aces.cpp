#include "window/aces.h"

#include "common/notifier.h"
#include "platform/platform.h"

namespace trivu {
namespace {

struct ShowRequest {
    HWND window;  // null: nothing to act on
    int command;
};

// Each value toggles: a maximised window is restored, a visible task bar
// hidden. A task bar shown again comes back without taking the focus unless
// the game's window is maximised, where it is restored over it.
ShowRequest showRequest(int32_t value, HWND main) {
    switch (value) {
        case 0: return {main, SW_MINIMIZE};
        case 1: return {main, platform::isZoomed(main) ? SW_RESTORE : SW_MAXIMIZE};
        case 2: {
            HWND taskbar = platform::findWindowW(u"Shell_TrayWnd", nullptr);
            if (taskbar == nullptr) return {nullptr, 0};
            if (platform::isWindowVisible(taskbar)) return {taskbar, SW_HIDE};
            return {taskbar, platform::isZoomed(main) ? SW_RESTORE : SW_SHOWNA};
        }
        default: return {nullptr, 0};
    }
}

}  // namespace

void setCaption(RUNDATA& rd) {
    std::u16string caption = textParam(rd);
    platform::setWindowTextW(mainWindow(rd), caption.c_str());
}

void controlWindow(RUNDATA& rd) {
    ShowRequest request = showRequest(intParam(rd), mainWindow(rd));
    if (request.window == nullptr) {
        notify(rd, MessageId::NoWindow);
        return;
    }
    platform::showWindow(request.window, request.command);
}

bool pathExists(RUNDATA& rd) {
    std::u16string path = textParam(rd);
    // Any failure counts as missing (no access included): the designer hears
    // of it, and the game goes on.
    if (platform::pathState(path) == platform::PathState::Present) return true;
    notifyPath(rd, MessageId::PathMissing, path);
    return false;
}

}  // namespace trivu
