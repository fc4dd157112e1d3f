// Linux side of the narrow text: the process's ANSI code page is UTF-8 here,
// so narrow text is UTF-8 and the conversions are the codec's own.
#include "platform/platform.h"
#include "platform/utf.h"

namespace trivu::platform {

std::u16string narrowToUtf16(std::string_view text) { return utf8ToUtf16(text); }

std::string utf16ToNarrow(std::u16string_view text) { return utf16ToUtf8(text); }

}  // namespace trivu::platform
