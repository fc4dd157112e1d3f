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
// On Windows the handles, RECT and the message types are the system's own, so
// that the platform layer hands them to USER32 unchanged. windows.h brings its
// constants along; the Linux definitions below and in platform/desktop.h give
// the same names the same values.
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

// Windows's wchar_t is 16 bits wide, which makes wchar_t text and the host's
// UTF-16 text the same code units.
static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows text is UTF-16");
#if UINTPTR_MAX == UINT32_MAX
// The real host is a 32-bit program: every slot it passes (parameters,
// results, service answers) is 32 bits wide. The 64-bit Windows build is a
// test vehicle only, with the slot sizes of its platform, as on Linux.
static_assert(sizeof(void*) == 4 && sizeof(intptr_t) == 4, "the host's slots are 32 bits wide");
static_assert(sizeof(float) == sizeof(intptr_t), "a float result fills its slot with its 32-bit pattern");
#endif
#else
#ifndef WINAPI
#define WINAPI
#endif

// Opaque window-system handles. On Linux they are values that the stand-in
// desktop hands out; the extension never looks inside them.
typedef struct HWND__* HWND;
typedef struct HMENU__* HMENU;
typedef struct HINSTANCE__* HINSTANCE;
typedef void* HANDLE;

// The parameter types of a window or dialog procedure.
typedef unsigned int UINT;
typedef uintptr_t WPARAM;
typedef intptr_t LPARAM;
typedef intptr_t INT_PTR;

struct RECT {
    int32_t left, top, right, bottom;
};
#endif

// The extension's own records. The host only moves pointers to them around
// (and writes the common headers at their start); their layout is the
// extension's.
struct RUNDATA;
struct EDITDATA;
