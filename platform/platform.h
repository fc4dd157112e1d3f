// The platform layer: every operating-system call the extension makes.
//
// The names follow the Windows calls they stand for, so that the Windows build
// puts USER32 and KERNEL32 behind them one to one (platform/win32). The Linux
// side (platform/posix) converts text itself and serves the resources compiled
// into the library. On both, the desktop calls go to the TrivuDesktop table
// when the loading program attached one (platform/desktop.cpp); without it,
// Windows makes the real calls and Linux fails them as a session without
// that window or service would.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/desktop.h"

#if !defined(_WIN32)
// The KERNEL32 constants of the calls below, with their Windows values (on
// Windows they are windows.h's macros, hence outside any namespace here too).
inline constexpr unsigned CP_ACP = 0;
inline constexpr unsigned CP_UTF8 = 65001;
inline constexpr uint32_t INVALID_FILE_ATTRIBUTES = 0xFFFFFFFFu;
inline constexpr uint32_t FILE_ATTRIBUTE_DIRECTORY = 0x10;
inline constexpr uint32_t FILE_ATTRIBUTE_NORMAL = 0x80;
#endif

namespace trivu::platform {

// ---- Desktop (USER32) -------------------------------------------------------

// Installs the desktop the calls below go to; null detaches it.
void attachDesktop(const TrivuDesktop* desktop);

// The desktop calls, one function per CALL row of platform/desktop_calls.h
// (messageBoxA, findWindowW, appendMenuW, endDialog, ...), named and typed
// after the USER32 calls they stand for.
TRIVU_DESKTOP_CALLS(TRIVU_DESKTOP_DECLARE, TRIVU_DESKTOP_NOTHING)

// Runs dialog resource `dialogId`; answers what its procedure passed to
// endDialog, -1 when the dialog could not be shown.
intptr_t dialogBoxParamW(int dialogId, HWND owner, DLGPROC proc, intptr_t param);

// ---- Text (KERNEL32) --------------------------------------------------------

// As the Windows calls without flags: invalid input becomes U+FFFD. With a
// destination size of 0 they answer the size needed; otherwise the number of
// units written, 0 when the destination is too small or the code page unknown.
int multiByteToWideChar(unsigned codePage, const char* source, int sourceLength, char16_t* destination,
                        int destinationSize);
int wideCharToMultiByte(unsigned codePage, const char16_t* source, int sourceLength, char* destination,
                        int destinationSize);

// ---- File system (KERNEL32) -------------------------------------------------

// As GetFileAttributesW: the attributes of what `path` names (relative paths
// from the current directory), or INVALID_FILE_ATTRIBUTES when the system
// finds nothing there or cannot say (no access, a name it refuses).
uint32_t getFileAttributesW(const char16_t* path);

// ---- The host's runtime library ---------------------------------------------

// The image call of the host's runtime library, export ordinal 90 of
// mmfs2.dll, for an application handle and an image number: looked up at
// each call in the library the host has already loaded (on Linux, the
// stand-in's mmfs2.so and its RuntimeOrdinal90). 0 when the library or the
// export is absent.
int32_t runtimeImageValue(void* application, int32_t image);

// ---- Resources --------------------------------------------------------------

// The library's module handle, remembered by its entry point.
void setModule(HINSTANCE module);
HINSTANCE module();

// Copies string resource `id` into `buffer` (at most size - 1 units and a
// terminator); answers the units copied, 0 when there is no such string.
int loadStringW(unsigned id, char16_t* buffer, int size);
// The whole of string resource `id`; nothing when there is no such string or
// it is empty (Windows does not tell the two apart).
std::optional<std::u16string> loadString(unsigned id);

// A menu resource as plain data: a separator has id 0 and no text.
struct MenuItem {
    unsigned id = 0;
    std::u16string text;
    bool disabled = false;
    bool separator = false;
    std::vector<MenuItem> popup;  // the items of a popup, in order
    bool isPopup = false;
};

std::optional<std::vector<MenuItem>> loadMenu(unsigned id);

}  // namespace trivu::platform
