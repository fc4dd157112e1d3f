// The text codec: UTF-8 and UTF-16, one function per direction, for the
// extension and the stand-in host alike.
//
// Invalid input never fails: each maximal ill-formed subpart of UTF-8 (the
// longest start of a valid sequence, or else one byte) becomes one U+FFFD,
// as Windows' converter does without the strict flag, and a lone surrogate
// of UTF-16 becomes U+FFFD in UTF-8. Zero units are text like any other;
// callers that want zero-terminated results cut them themselves.
//
// platform/utf.cpp converts by itself, in one pass: both sides use it on
// Linux, and the stand-in uses it on Windows too, so that the host reads the
// same bytes as the same text on every build. The extension on Windows links
// the system's converter in its place (platform/win32/text.cpp): how many
// U+FFFD an ill-formed run becomes there is the product's behaviour.
#pragma once

#include <string>
#include <string_view>

namespace trivu::platform {

std::u16string utf8ToUtf16(std::string_view bytes);
std::string utf16ToUtf8(std::u16string_view units);

}  // namespace trivu::platform
