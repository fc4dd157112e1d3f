// The desktop calls: each one goes to the attached TrivuDesktop, or, without
// a desktop or without the entry, to the platform's own call (native.h).
#include "platform/attached.h"
#include "platform/lifetime.h"
#include "platform/native.h"
#include "platform/platform.h"

namespace trivu::platform {
namespace {

constinit const TrivuDesktop*& attached = platformLife.desktop;  // kept in platform/lifetime.h

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

const TrivuDesktop* attachedDesktop() { return attached; }

intptr_t dialogBoxIndirect(const DesktopDialog* dialog, HWND owner, DLGPROC proc, intptr_t param) {
    auto f = entry(&TrivuDesktop::dialogBoxIndirectParamW);
    return f ? f(attached->context, dialog, owner, proc, param) : -1;
}

void attachDesktop(const TrivuDesktop* desktop) { attached = desktop; }

int messageBoxA(const char* text, const char* caption) {
    auto f = entry(&TrivuDesktop::messageBoxA);
    return f ? f(attached->context, nullptr, text, caption, 0) : native::messageBoxA(text, caption);
}

int messageBoxW(const char16_t* text, const char16_t* caption) {
    auto f = entry(&TrivuDesktop::messageBoxW);
    return f ? f(attached->context, nullptr, text, caption, 0) : native::messageBoxW(text, caption);
}

HWND findWindowW(const char16_t* className, const char16_t* windowName) {
    auto f = entry(&TrivuDesktop::findWindowW);
    return f ? f(attached->context, className, windowName) : native::findWindowW(className, windowName);
}

bool showWindow(HWND window, int command) {
    auto f = entry(&TrivuDesktop::showWindow);
    return f ? f(attached->context, window, command) != 0 : native::showWindow(window, command);
}

bool isZoomed(HWND window) {
    auto f = entry(&TrivuDesktop::isZoomed);
    return f ? f(attached->context, window) != 0 : native::isZoomed(window);
}

bool isWindowVisible(HWND window) {
    auto f = entry(&TrivuDesktop::isWindowVisible);
    return f ? f(attached->context, window) != 0 : native::isWindowVisible(window);
}

bool setWindowTextW(HWND window, const char16_t* text) {
    auto f = entry(&TrivuDesktop::setWindowTextW);
    return f ? f(attached->context, window, text) != 0 : native::setWindowTextW(window, text);
}

HMENU createPopupMenu() {
    auto f = entry(&TrivuDesktop::createPopupMenu);
    return f ? f(attached->context) : native::createPopupMenu();
}

bool appendMenuW(HMENU menu, uint32_t flags, uintptr_t idOrPopup, const char16_t* text) {
    auto f = entry(&TrivuDesktop::appendMenuW);
    return f ? f(attached->context, menu, flags, idOrPopup, text) != 0
             : native::appendMenuW(menu, flags, idOrPopup, text);
}

bool endDialog(HWND dialog, intptr_t result) {
    auto f = entry(&TrivuDesktop::endDialog);
    return f ? f(attached->context, dialog, result) != 0 : native::endDialog(dialog, result);
}

intptr_t setWindowLongPtrW(HWND window, int index, intptr_t value) {
    auto f = entry(&TrivuDesktop::setWindowLongPtrW);
    return f ? f(attached->context, window, index, value) : native::setWindowLongPtrW(window, index, value);
}

intptr_t getWindowLongPtrW(HWND window, int index) {
    auto f = entry(&TrivuDesktop::getWindowLongPtrW);
    return f ? f(attached->context, window, index) : native::getWindowLongPtrW(window, index);
}

}  // namespace trivu::platform
