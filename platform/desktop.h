// The simulated Windows desktop, as a table of C functions.
//
// On Windows the extension's platform layer calls USER32 directly. On Linux
// there is no such system, so the program that loads the extension (the
// stand-in host, or a test) supplies one: it fills this table and hands it to
// the library's AttachDesktop export before anything else. Every function gets
// the table's `context` first. A missing table, or a null entry, behaves like
// a desktop on which the call fails (no box, no window, no menu).
#pragma once

#include <cstddef>

#include "platform/desktop_calls.h"
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

// The table's entries are the rows of platform/desktop_calls.h, in order,
// each a function that takes `context` first. Programs built before an
// entry was added hand a shorter table: `size` tells.
#define TRIVU_DESKTOP_MEMBER(name, Result, Parameters, Arguments, Failure, EntryResult, EntryParameters, \
                             EntryArguments)                                                               \
    EntryResult(*name) EntryParameters;
#define TRIVU_DESKTOP_ENTRY_MEMBER(name, EntryResult, EntryParameters) EntryResult(*name) EntryParameters;

struct TrivuDesktop {
    uint32_t size;  // sizeof(TrivuDesktop), for later growth
    void* context;
    TRIVU_DESKTOP_CALLS(TRIVU_DESKTOP_MEMBER, TRIVU_DESKTOP_ENTRY_MEMBER)
};

#undef TRIVU_DESKTOP_MEMBER
#undef TRIVU_DESKTOP_ENTRY_MEMBER

// The layout crosses the library boundary: thirteen entries after the two
// header fields, the dialog entry tenth.
static_assert(offsetof(TrivuDesktop, messageBoxA) == 2 * sizeof(void*));
static_assert(offsetof(TrivuDesktop, dialogBoxIndirectParamW) == 11 * sizeof(void*));
static_assert(sizeof(TrivuDesktop) == 15 * sizeof(void*));

}  // extern "C"
