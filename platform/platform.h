// The platform layer: every operating-system call the extension makes.
//
// The desktop and resource calls are named after the Windows calls they stand
// for, so that the Windows build puts USER32 and KERNEL32 behind them one to
// one (platform/win32); the text and the path test say what they answer. The Linux
// side (platform/posix) converts text itself and serves the resources compiled
// into the library. On both, the desktop calls go to the TrivuDesktop table
// when the loading program attached one (platform/desktop.cpp); without it,
// Windows makes the real calls and Linux fails them as a session without
// that window or service would.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/desktop.h"

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

// The host's narrow text (the process's ANSI code page) to UTF-16 and back.
// On Linux that code page is UTF-8 and these are the codec's conversions
// (platform/utf.h); Windows converts with the system's converter, where a
// character the code page lacks becomes the code page's default one.
std::u16string narrowToUtf16(std::string_view text);
std::string utf16ToNarrow(std::u16string_view text);

// ---- File system (KERNEL32) -------------------------------------------------

// What is at a path the host named.
enum class PathState { Missing, Unusable, Present };

// Asks the system what `path` (UTF-16; a relative path from the current
// directory) names, following links: Present for a file, a directory or
// anything else; Missing when the system says nothing is there (the name or
// a folder on its way is not found, or it is no name the system can hold);
// Unusable when the question itself failed otherwise (no access, a name too
// long). This is the only place the extension asks it: reading and writing
// files is the standard library's streams.
PathState pathState(std::u16string_view path);

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
