// Basic types shared by the host and its extensions.
//
// The real host is a 32-bit Windows program; this stand-in SDK builds the same
// interfaces on Linux, where `long` and pointers are 64 bits wide. Values that
// the host documents as "32-bit" are int32_t here, while slots that may carry
// a pointer (parameters, expression results, service answers) are intptr_t.
// Host text is zero-terminated UTF-16 (char16_t) on every platform.
#pragma once

#include <cstdint>

#if defined(_WIN32)
#define WINAPI __stdcall
#elif !defined(WINAPI)
#define WINAPI
#endif

// Opaque window-system handles. On Linux they are values that the stand-in
// desktop hands out; the extension never looks inside them.
typedef struct HWND__* HWND;
typedef struct HMENU__* HMENU;
typedef struct HINSTANCE__* HINSTANCE;
typedef void* HANDLE;

struct RECT {
    int32_t left, top, right, bottom;
};

// The extension's own records. The host only moves pointers to them around
// (and writes the common headers at their start); their layout is the
// extension's.
struct RUNDATA;
struct EDITDATA;
