// The desktop calls, written out once. Each row is one entry of the
// TrivuDesktop table, in the table's order: that order is the interface
// between the library and the program that attaches a desktop, so rows are
// only ever added at the end. The table itself (desktop.h), the platform
// layer's declarations (platform.h, native.h), the forwarding of each call to
// the attached table (desktop.cpp), the failures of a Linux session without a
// desktop (posix/native.cpp) and the stand-in host's table are made from it.
//
//   CALL(name, Result, Parameters, Arguments, Failure, EntryResult, EntryParameters, EntryArguments)
//
// is a call the extension makes as platform::name: its result, parameters,
// the arguments that pass them on, and what it answers when nothing answers
// it; then the table's entry of the same name, which takes the table's
// context first, and the arguments the call hands that entry (`context` is
// the table's).
//
//   ENTRY(name, EntryResult, EntryParameters)
//
// is an entry the platform layer reaches some other way: a dialog runs from
// the template that dialogBoxParamW first looks up among the resources.
#pragma once

#define TRIVU_DESKTOP_CALLS(CALL, ENTRY)                                                                             \
    /* MB_OK boxes with no owner and no icon: they answer the button pressed (IDOK), 0 when no box could be        \
       shown (which callers treat as closed). */                                                                     \
    CALL(messageBoxA, int, (const char* text, const char* caption), (text, caption), 0,                              \
         int32_t, (void* context, HWND owner, const char* text, const char* caption, uint32_t type),                 \
         (context, nullptr, text, caption, 0))                                                                       \
    CALL(messageBoxW, int, (const char16_t* text, const char16_t* caption), (text, caption), 0,                      \
         int32_t, (void* context, HWND owner, const char16_t* text, const char16_t* caption, uint32_t type),         \
         (context, nullptr, text, caption, 0))                                                                       \
                                                                                                                     \
    CALL(findWindowW, HWND, (const char16_t* className, const char16_t* windowName), (className, windowName),        \
         nullptr, HWND, (void* context, const char16_t* className, const char16_t* windowName),                      \
         (context, className, windowName))                                                                           \
    CALL(showWindow, bool, (HWND window, int command), (window, command), false,                                     \
         int32_t, (void* context, HWND window, int32_t command), (context, window, command))                         \
    CALL(isZoomed, bool, (HWND window), (window), false,                                                             \
         int32_t, (void* context, HWND window), (context, window))                                                   \
    CALL(isWindowVisible, bool, (HWND window), (window), false,                                                      \
         int32_t, (void* context, HWND window), (context, window))                                                   \
    CALL(setWindowTextW, bool, (HWND window, const char16_t* text), (window, text), false,                           \
         int32_t, (void* context, HWND window, const char16_t* text), (context, window, text))                       \
                                                                                                                     \
    /* Menus the extension builds and hands to the host (HMENU values are the desktop's). */                         \
    CALL(createPopupMenu, HMENU, (), (), nullptr, HMENU, (void* context), (context))                                 \
    CALL(appendMenuW, bool, (HMENU menu, uint32_t flags, uintptr_t idOrPopup, const char16_t* text),                 \
         (menu, flags, idOrPopup, text), false,                                                                      \
         int32_t, (void* context, HMENU menu, uint32_t flags, uintptr_t idOrPopup, const char16_t* text),            \
         (context, menu, flags, idOrPopup, text))                                                                    \
                                                                                                                     \
    /* Modal dialogs: the entry runs the dialog procedure until it calls endDialog, and answers its result, -1      \
       on failure. */                                                                                                \
    ENTRY(dialogBoxIndirectParamW, intptr_t,                                                                         \
          (void* context, const DesktopDialog* dialog, HWND owner, DLGPROC proc, intptr_t param))                    \
    CALL(endDialog, bool, (HWND dialog, intptr_t result), (dialog, result), false,                                   \
         int32_t, (void* context, HWND dialog, intptr_t result), (context, dialog, result))                          \
    CALL(setWindowLongPtrW, intptr_t, (HWND window, int index, intptr_t value), (window, index, value), 0,           \
         intptr_t, (void* context, HWND window, int32_t index, intptr_t value), (context, window, index, value))     \
    CALL(getWindowLongPtrW, intptr_t, (HWND window, int index), (window, index), 0,                                  \
         intptr_t, (void* context, HWND window, int32_t index), (context, window, index))

// The platform function of a CALL row, declared; for platform.h and native.h.
#define TRIVU_DESKTOP_DECLARE(name, Result, Parameters, ...) Result name Parameters;
// A row that makes nothing where it is expanded.
#define TRIVU_DESKTOP_NOTHING(...)
