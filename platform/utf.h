// The one UTF-8 / UTF-16 codec, shared by the extension's platform layer and
// the stand-in host, so that both read the same bytes as the same text.
//
// Invalid input never fails: each maximal ill-formed subpart of UTF-8 (the
// longest start of a valid sequence, or else one byte) becomes one U+FFFD,
// as Windows' converter does without the strict flag, and a lone surrogate
// of UTF-16 becomes U+FFFD in UTF-8. Zero units are text like any other;
// callers that want zero-terminated results cut them themselves.
#pragma once

#include <string>
#include <string_view>

namespace trivu::utf {

std::u16string decodeUtf8(std::string_view bytes);
std::string encodeUtf8(std::u16string_view units);

}  // namespace trivu::utf
