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

}  // namespace trivu
