// Text conversions between the host's UTF-16 and the UTF-8 of JSON texts,
// pointers and library messages.
#pragma once

#include <string>
#include <string_view>

namespace trivu {

// Decodes all of `text` as UTF-8; invalid sequences become U+FFFD. The
// result ends at the first zero character, as a zero-terminated string would.
std::u16string Utf8ToWide(std::string_view text);
// Encodes all of `text` as UTF-8 (a lone surrogate becomes U+FFFD), ending at
// the first zero byte in the same way.
std::string WideToUtf8(std::u16string_view text);

// The regular-expression engine runs on wchar_t strings. On Windows wchar_t is
// 16 bits wide and the host's UTF-16 text is taken unit for unit. On Linux it
// is 32 bits wide, so the engine works on a converted copy: each code point
// becomes one wchar_t (a lone surrogate keeps its value), so the copy
// converts back to the very same UTF-16 text.
std::wstring toEngineText(std::u16string_view text);
std::u16string fromEngineText(std::wstring_view text);

}  // namespace trivu
