// Linux side of the desktop calls: each one goes to the attached TrivuDesktop.
// Without a desktop, or without the entry, the call fails as it would on a
// Windows session without that window or service.
#include "platform/platform.h"
#include "platform/posix/desktop_link.h"

namespace trivu::platform {
namespace {

const TrivuDesktop* attached = nullptr;

// The entry `member` of the attached table, or null when the table is missing
// or too short to hold it.
template <typename F>
F entry(F TrivuDesktop::*member) {
    if (attached == nullptr) return nullptr;
    static const TrivuDesktop probe{};
    auto offset = static_cast<size_t>(reinterpret_cast<const char*>(&(probe.*member)) -
                                      reinterpret_cast<const char*>(&probe));
    if (attached->size < offset + sizeof(F)) return nullptr;
    return attached->*member;
}

}  // namespace

namespace posix {

const TrivuDesktop* desktop() { return attached; }

intptr_t dialogBoxIndirect(const DesktopDialog* dialog, HWND owner, DLGPROC proc, intptr_t param) {
    auto f = entry(&TrivuDesktop::dialogBoxIndirectParamW);
    return f ? f(attached->context, dialog, owner, proc, param) : -1;
}

}  // namespace posix

void attachDesktop(const TrivuDesktop* desktop) { attached = desktop; }

int messageBoxA(const char* text, const char* caption) {
    auto f = entry(&TrivuDesktop::messageBoxA);
    return f ? f(attached->context, nullptr, text, caption, 0) : 0;
}

int messageBoxW(const char16_t* text, const char16_t* caption) {
    auto f = entry(&TrivuDesktop::messageBoxW);
    return f ? f(attached->context, nullptr, text, caption, 0) : 0;
}

HWND findWindowW(const char16_t* className, const char16_t* windowName) {
    auto f = entry(&TrivuDesktop::findWindowW);
    return f ? f(attached->context, className, windowName) : nullptr;
}

bool showWindow(HWND window, int command) {
    auto f = entry(&TrivuDesktop::showWindow);
    return f ? f(attached->context, window, command) != 0 : false;
}

bool isZoomed(HWND window) {
    auto f = entry(&TrivuDesktop::isZoomed);
    return f ? f(attached->context, window) != 0 : false;
}

bool isWindowVisible(HWND window) {
    auto f = entry(&TrivuDesktop::isWindowVisible);
    return f ? f(attached->context, window) != 0 : false;
}

bool setWindowTextW(HWND window, const char16_t* text) {
    auto f = entry(&TrivuDesktop::setWindowTextW);
    return f ? f(attached->context, window, text) != 0 : false;
}

HMENU createPopupMenu() {
    auto f = entry(&TrivuDesktop::createPopupMenu);
    return f ? f(attached->context) : nullptr;
}

bool appendMenuW(HMENU menu, uint32_t flags, uintptr_t idOrPopup, const char16_t* text) {
    auto f = entry(&TrivuDesktop::appendMenuW);
    return f ? f(attached->context, menu, flags, idOrPopup, text) != 0 : false;
}

bool endDialog(HWND dialog, intptr_t result) {
    auto f = entry(&TrivuDesktop::endDialog);
    return f ? f(attached->context, dialog, result) != 0 : false;
}

intptr_t setWindowLongPtrW(HWND window, int index, intptr_t value) {
    auto f = entry(&TrivuDesktop::setWindowLongPtrW);
    return f ? f(attached->context, window, index, value) : 0;
}

intptr_t getWindowLongPtrW(HWND window, int index) {
    auto f = entry(&TrivuDesktop::getWindowLongPtrW);
    return f ? f(attached->context, window, index) : 0;
}

}  // namespace trivu::platform
