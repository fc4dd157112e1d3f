// What each desktop call does when no desktop is attached: on Windows the
// real USER32 call (platform/win32), on Linux a failure, as on a session
// without that window or service (platform/posix).
#pragma once

#include "platform/desktop.h"

namespace trivu::platform::native {

int messageBoxA(const char* text, const char* caption);
int messageBoxW(const char16_t* text, const char16_t* caption);
HWND findWindowW(const char16_t* className, const char16_t* windowName);
bool showWindow(HWND window, int command);
bool isZoomed(HWND window);
bool isWindowVisible(HWND window);
bool setWindowTextW(HWND window, const char16_t* text);
HMENU createPopupMenu();
bool appendMenuW(HMENU menu, uint32_t flags, uintptr_t idOrPopup, const char16_t* text);
bool endDialog(HWND dialog, intptr_t result);
intptr_t setWindowLongPtrW(HWND window, int index, intptr_t value);
intptr_t getWindowLongPtrW(HWND window, int index);

}  // namespace trivu::platform::native
