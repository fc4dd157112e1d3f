// The simulated Windows desktop, as a table of C functions.
//
// On Windows the extension's platform layer calls USER32 directly. On Linux
// there is no such system, so the program that loads the extension (the
// stand-in host, or a test) supplies one: it fills this table and hands it to
// the library's AttachDesktop export before anything else. Every function gets
// the table's `context` first. A missing table, or a null entry, behaves like
// a desktop on which the call fails (no box, no window, no menu).
#pragma once

#include "sdk/types.h"

extern "C" {

#if !defined(_WIN32)
// The USER32 constants the extension uses, with their Windows values (on
// Windows they come from windows.h).

// Window commands (ShowWindow).
enum : int32_t {
    SW_HIDE = 0,
    SW_MAXIMIZE = 3,
    SW_MINIMIZE = 6,
    SW_SHOWNA = 8,
    SW_RESTORE = 9,
};

// Menu item flags (AppendMenuW).
enum : uint32_t {
    MF_STRING = 0x0000,
    MF_GRAYED = 0x0001,
    MF_DISABLED = 0x0002,
    MF_POPUP = 0x0010,
    MF_SEPARATOR = 0x0800,
};

// Dialog messages and results.
enum : uint32_t { WM_INITDIALOG = 0x0110, WM_COMMAND = 0x0111 };
enum : int32_t { IDOK = 1, IDCANCEL = 2 };
enum : int32_t { DWLP_USER = 16 };

typedef INT_PTR(WINAPI* DLGPROC)(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
#endif

// One control of a dialog template.
struct DesktopControl {
    const char16_t* className;  // "BUTTON", "STATIC", ...
    const char16_t* text;
    int32_t id;
    uint32_t style;             // the resource's style words, as written
    int32_t x, y, cx, cy;       // dialog units
};

// A dialog template, read from the extension's resources.
struct DesktopDialog {
    int32_t id;
    const char16_t* caption;
    const char16_t* fontName;
    int32_t fontSize;
    int32_t x, y, cx, cy;
    const DesktopControl* controls;
    int32_t controlCount;
};

struct TrivuDesktop {
    uint32_t size;  // sizeof(TrivuDesktop), for later growth
    void* context;

    // MB_OK boxes; answer the button pressed (IDOK), 0 when no box could be shown.
    int32_t (*messageBoxA)(void* context, HWND owner, const char* text, const char* caption, uint32_t type);
    int32_t (*messageBoxW)(void* context, HWND owner, const char16_t* text, const char16_t* caption,
                           uint32_t type);

    HWND (*findWindowW)(void* context, const char16_t* className, const char16_t* windowName);
    int32_t (*showWindow)(void* context, HWND window, int32_t command);
    int32_t (*isZoomed)(void* context, HWND window);
    int32_t (*isWindowVisible)(void* context, HWND window);
    int32_t (*setWindowTextW)(void* context, HWND window, const char16_t* text);

    // Menus the extension builds and hands to the host (HMENU values are the desktop's).
    HMENU (*createPopupMenu)(void* context);
    int32_t (*appendMenuW)(void* context, HMENU menu, uint32_t flags, uintptr_t idOrPopup, const char16_t* text);

    // Modal dialogs: runs the dialog procedure until it calls endDialog; answers its result, -1 on failure.
    intptr_t (*dialogBoxIndirectParamW)(void* context, const DesktopDialog* dialog, HWND owner, DLGPROC proc,
                                        intptr_t param);
    int32_t (*endDialog)(void* context, HWND dialog, intptr_t result);
    intptr_t (*setWindowLongPtrW)(void* context, HWND window, int32_t index, intptr_t value);
    intptr_t (*getWindowLongPtrW)(void* context, HWND window, int32_t index);
};

}  // extern "C"
