// Linux has no desktop of its own: without an attached one, every call fails
// as it would on a Windows session without that window or service.
#include "platform/native.h"

namespace trivu::platform::native {

int messageBoxA(const char*, const char*) { return 0; }
int messageBoxW(const char16_t*, const char16_t*) { return 0; }
HWND findWindowW(const char16_t*, const char16_t*) { return nullptr; }
bool showWindow(HWND, int) { return false; }
bool isZoomed(HWND) { return false; }
bool isWindowVisible(HWND) { return false; }
bool setWindowTextW(HWND, const char16_t*) { return false; }
HMENU createPopupMenu() { return nullptr; }
bool appendMenuW(HMENU, uint32_t, uintptr_t, const char16_t*) { return false; }
bool endDialog(HWND, intptr_t) { return false; }
intptr_t setWindowLongPtrW(HWND, int, intptr_t) { return 0; }
intptr_t getWindowLongPtrW(HWND, int) { return 0; }

}  // namespace trivu::platform::native
