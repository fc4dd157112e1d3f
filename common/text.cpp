#include "common/text.h"

#include <climits>

#include "platform/platform.h"

namespace trivu {
namespace {

template <typename Char>
void cutAtZero(std::basic_string<Char>& text) {
    auto zero = text.find(Char{0});
    if (zero != std::basic_string<Char>::npos) text.resize(zero);
}

}  // namespace

std::u16string Utf8ToWide(std::string_view text) {
    if (text.empty() || text.size() > INT_MAX) return {};
    int length = static_cast<int>(text.size());
    int needed = platform::multiByteToWideChar(CP_UTF8, text.data(), length, nullptr, 0);
    if (needed <= 0) return {};
    std::u16string wide(static_cast<size_t>(needed), u'\0');
    if (platform::multiByteToWideChar(CP_UTF8, text.data(), length, wide.data(), needed) != needed)
        return {};
    cutAtZero(wide);
    return wide;
}

std::string WideToUtf8(std::u16string_view text) {
    if (text.empty() || text.size() > INT_MAX) return {};
    int length = static_cast<int>(text.size());
    int needed = platform::wideCharToMultiByte(CP_UTF8, text.data(), length, nullptr, 0);
    if (needed <= 0) return {};
    std::string narrow(static_cast<size_t>(needed), '\0');
    if (platform::wideCharToMultiByte(CP_UTF8, text.data(), length, narrow.data(), needed) != needed)
        return {};
    cutAtZero(narrow);
    return narrow;
}

}  // namespace trivu
