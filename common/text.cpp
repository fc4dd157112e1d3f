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

std::wstring toEngineText(std::u16string_view text) {
    if constexpr (sizeof(wchar_t) == sizeof(char16_t)) return std::wstring(text.begin(), text.end());
    std::wstring out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        char32_t unit = text[i];
        bool high = unit >= 0xD800 && unit <= 0xDBFF;
        if (high && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
            unit = 0x10000 + ((unit - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        }
        out.push_back(static_cast<wchar_t>(unit));
    }
    return out;
}

std::u16string fromEngineText(std::wstring_view text) {
    if constexpr (sizeof(wchar_t) == sizeof(char16_t)) return std::u16string(text.begin(), text.end());
    std::u16string out;
    out.reserve(text.size());
    for (wchar_t c : text) {
        auto point = static_cast<char32_t>(c);
        if (point >= 0x10000 && point <= 0x10FFFF) {
            point -= 0x10000;
            out.push_back(static_cast<char16_t>(0xD800 + (point >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + (point & 0x3FF)));
        } else {
            out.push_back(static_cast<char16_t>(point));
        }
    }
    return out;
}

}  // namespace trivu
