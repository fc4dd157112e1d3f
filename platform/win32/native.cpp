// Windows side of the desktop calls: USER32 itself. Host text is UTF-16 and
// so is wchar_t here, so texts pass as they are.
#include "platform/native.h"

namespace trivu::platform::native {
namespace {

const wchar_t* wide(const char16_t* text) { return reinterpret_cast<const wchar_t*>(text); }

}  // namespace

// Type 0: an OK button, no icon; no owner, as the notifier wants.
int messageBoxA(const char* text, const char* caption) { return ::MessageBoxA(nullptr, text, caption, MB_OK); }

int messageBoxW(const char16_t* text, const char16_t* caption) {
    return ::MessageBoxW(nullptr, wide(text), wide(caption), MB_OK);
}

HWND findWindowW(const char16_t* className, const char16_t* windowName) {
    return ::FindWindowW(wide(className), wide(windowName));
}

bool showWindow(HWND window, int command) { return ::ShowWindow(window, command) != 0; }
bool isZoomed(HWND window) { return ::IsZoomed(window) != 0; }
bool isWindowVisible(HWND window) { return ::IsWindowVisible(window) != 0; }
bool setWindowTextW(HWND window, const char16_t* text) { return ::SetWindowTextW(window, wide(text)) != 0; }

HMENU createPopupMenu() { return ::CreatePopupMenu(); }

bool appendMenuW(HMENU menu, uint32_t flags, uintptr_t idOrPopup, const char16_t* text) {
    return ::AppendMenuW(menu, flags, idOrPopup, wide(text)) != 0;
}

bool endDialog(HWND dialog, intptr_t result) { return ::EndDialog(dialog, result) != 0; }

intptr_t setWindowLongPtrW(HWND window, int index, intptr_t value) {
    return ::SetWindowLongPtrW(window, index, value);
}

intptr_t getWindowLongPtrW(HWND window, int index) { return ::GetWindowLongPtrW(window, index); }

}  // namespace trivu::platform::native
