// Windows side of the text conversions: KERNEL32's converters without flags,
// so that invalid input becomes U+FFFD as the system makes it, for UTF-8 and
// for the process's ANSI code page alike. The extension links these in place
// of platform/utf.cpp (see platform/utf.h).
#include <climits>

#include "platform/platform.h"
#include "platform/utf.h"

namespace trivu::platform {
namespace {

// The system's converters answer the size they need when given no room, then
// fill the room. A text past their int sizes converts to nothing, as a
// failure of the call does.
std::u16string toUtf16(unsigned codePage, std::string_view text) {
    if (text.empty() || text.size() > INT_MAX) return {};
    const int length = static_cast<int>(text.size());
    const int needed = ::MultiByteToWideChar(codePage, 0, text.data(), length, nullptr, 0);
    if (needed <= 0) return {};
    std::u16string out(static_cast<size_t>(needed), u'\0');
    const int written =
        ::MultiByteToWideChar(codePage, 0, text.data(), length, reinterpret_cast<wchar_t*>(out.data()), needed);
    if (written != needed) return {};
    return out;
}

std::string fromUtf16(unsigned codePage, std::u16string_view text) {
    if (text.empty() || text.size() > INT_MAX) return {};
    const int length = static_cast<int>(text.size());
    const auto* units = reinterpret_cast<const wchar_t*>(text.data());
    const int needed = ::WideCharToMultiByte(codePage, 0, units, length, nullptr, 0, nullptr, nullptr);
    if (needed <= 0) return {};
    std::string out(static_cast<size_t>(needed), '\0');
    if (::WideCharToMultiByte(codePage, 0, units, length, out.data(), needed, nullptr, nullptr) != needed) return {};
    return out;
}

}  // namespace

std::u16string utf8ToUtf16(std::string_view bytes) { return toUtf16(CP_UTF8, bytes); }

std::string utf16ToUtf8(std::u16string_view units) { return fromUtf16(CP_UTF8, units); }

std::u16string narrowToUtf16(std::string_view text) { return toUtf16(CP_ACP, text); }

std::string utf16ToNarrow(std::u16string_view text) { return fromUtf16(CP_ACP, text); }

}  // namespace trivu::platform
