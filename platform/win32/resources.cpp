// Windows side of the resource calls: the resource compiler built
// resources/trivu.rc into the library, and the system loads from it.
//
//   1. Module and strings
//   2. Menus: the MENU template, read into plain items
//   3. Dialogs: the real dialog, or the template read for the attached desktop
#include <memory>
#include <string>
#include <vector>

#include "platform/attached.h"
#include "platform/lifetime.h"
#include "platform/platform.h"

namespace trivu::platform {
namespace {

constinit std::atomic<HINSTANCE>& currentModule = platformLife.module;  // kept in platform/lifetime.h

// A resource's bytes as the system maps them; empty when there is none.
struct Bytes {
    const unsigned char* data = nullptr;
    size_t size = 0;
};

Bytes findResource(unsigned id, const wchar_t* type) {
    HRSRC found = ::FindResourceW(currentModule, MAKEINTRESOURCEW(id), type);
    if (found == nullptr) return {};
    HGLOBAL loaded = ::LoadResource(currentModule, found);
    const void* data = loaded != nullptr ? ::LockResource(loaded) : nullptr;
    if (data == nullptr) return {};
    return {static_cast<const unsigned char*>(data), ::SizeofResource(currentModule, found)};
}

// Reads the little-endian words of a template; running past its end sets
// `failed` and yields zeros, so a damaged template is refused, never overrun.
class Reader {
public:
    explicit Reader(Bytes bytes) : bytes_(bytes) {}

    bool failed() const { return failed_; }
    bool atEnd() const { return at_ >= bytes_.size; }

    uint32_t word() { return take(2); }
    uint32_t dword() { return take(4); }
    int32_t shortValue() { return static_cast<int16_t>(take(2)); }
    void skip(size_t n) {
        if (n > bytes_.size - at_) return fail();
        at_ += n;
    }
    void alignToDword() { skip(((at_ + 3) & ~size_t{3}) - at_); }

    std::u16string text() {
        std::u16string out;
        for (char16_t unit; !failed_ && (unit = static_cast<char16_t>(word())) != 0;) out.push_back(unit);
        return out;
    }

    // A name or a number: 0 for none, 0xFFFF and an ordinal, or a text.
    std::u16string textOrOrdinal(uint32_t* ordinal) {
        *ordinal = 0;
        if (at_ + 2 > bytes_.size) return fail(), std::u16string();
        uint32_t first = bytes_.data[at_] | (bytes_.data[at_ + 1] << 8);
        if (first == 0) return skip(2), std::u16string();
        if (first == 0xFFFF) return skip(2), *ordinal = word(), std::u16string();
        return text();
    }

private:
    uint32_t take(size_t n) {
        if (failed_ || n > bytes_.size - at_) return fail(), 0;
        uint32_t value = 0;
        for (size_t k = 0; k < n; ++k) value |= uint32_t{bytes_.data[at_ + k]} << (8 * k);
        at_ += n;
        return value;
    }
    void fail() { failed_ = true; }

    Bytes bytes_;
    size_t at_ = 0;
    bool failed_ = false;
};

// ---- 2. Menus -----------------------------------------------------------------

constexpr uint32_t kMenuEnd = 0x0080;  // MF_END: the last item of its level
constexpr int kMaxMenuDepth = 8;

bool readMenuItems(Reader& in, std::vector<MenuItem>& items, int depth) {
    if (depth > kMaxMenuDepth) return false;
    for (;;) {
        uint32_t flags = in.word();
        MenuItem item;
        item.isPopup = (flags & MF_POPUP) != 0;
        if (!item.isPopup) item.id = in.word();
        item.text = in.text();
        item.disabled = (flags & (MF_GRAYED | MF_DISABLED)) != 0;
        // The compiler writes MENUITEM SEPARATOR as an item without id or text.
        item.separator = !item.isPopup && ((flags & MF_SEPARATOR) != 0 || (item.id == 0 && item.text.empty()));
        if (item.separator) item.disabled = false;
        if (in.failed()) return false;
        if (item.isPopup && !readMenuItems(in, item.popup, depth + 1)) return false;
        items.push_back(std::move(item));
        if ((flags & kMenuEnd) != 0) return true;
    }
}

// ---- 3. Dialogs ---------------------------------------------------------------

// The predefined window classes a template names by number.
std::u16string className(uint32_t ordinal) {
    switch (ordinal) {
        case 0x80: return u"BUTTON";
        case 0x81: return u"EDIT";
        case 0x82: return u"STATIC";
        case 0x83: return u"LISTBOX";
        case 0x84: return u"SCROLLBAR";
        case 0x85: return u"COMBOBOX";
        default: return {};
    }
}

// A dialog template read for the attached desktop; the desktop's view points
// into the strings, so a template is never copied.
struct DialogCopy {
    DialogCopy() = default;
    DialogCopy(const DialogCopy&) = delete;
    DialogCopy& operator=(const DialogCopy&) = delete;

    std::u16string caption, fontName;
    std::vector<std::u16string> classNames, texts;
    std::vector<DesktopControl> controls;
    DesktopDialog desktop{};
};

// DIALOGEX templates begin with version 1 and the signature 0xFFFF; plain
// DIALOG templates with the style.
std::unique_ptr<DialogCopy> readDialog(int32_t id, Bytes bytes) {
    Reader in(bytes);
    auto d = std::make_unique<DialogCopy>();
    bool extended = bytes.size >= 4 && bytes.data[0] == 1 && bytes.data[2] == 0xFF && bytes.data[3] == 0xFF;
    uint32_t style = 0;
    if (extended) {
        in.skip(4 + 4 + 4);  // version and signature, help id, extended style
        style = in.dword();
    } else {
        style = in.dword();
        in.skip(4);  // extended style
    }
    uint32_t count = in.word();
    int32_t x = in.shortValue(), y = in.shortValue(), cx = in.shortValue(), cy = in.shortValue();
    uint32_t ordinal = 0;
    in.textOrOrdinal(&ordinal);  // menu
    in.textOrOrdinal(&ordinal);  // window class
    d->caption = in.text();
    int32_t fontSize = 0;
    if ((style & DS_SETFONT) != 0) {
        fontSize = static_cast<int32_t>(in.word());
        if (extended) in.skip(2 + 1 + 1);  // weight, italic, character set
        d->fontName = in.text();
    }
    std::vector<int32_t> ids;
    std::vector<uint32_t> styles;
    std::vector<int32_t> boxes;
    for (uint32_t i = 0; i < count && !in.failed(); ++i) {
        in.alignToDword();
        uint32_t itemStyle = 0;
        if (extended) {
            in.skip(4 + 4);  // help id, extended style
            itemStyle = in.dword();
        } else {
            itemStyle = in.dword();
            in.skip(4);
        }
        for (int k = 0; k < 4; ++k) boxes.push_back(in.shortValue());
        // -1, the id of controls that are never addressed, in either width.
        int32_t itemId = extended ? static_cast<int32_t>(in.dword()) : static_cast<int16_t>(in.word());
        std::u16string name = in.textOrOrdinal(&ordinal);
        d->classNames.push_back(ordinal != 0 ? className(ordinal) : name);
        d->texts.push_back(in.textOrOrdinal(&ordinal));
        in.skip(in.word());  // creation data
        ids.push_back(itemId);
        styles.push_back(itemStyle);
    }
    if (in.failed()) return nullptr;
    for (size_t i = 0; i < ids.size(); ++i)
        d->controls.push_back(DesktopControl{d->classNames[i].c_str(), d->texts[i].c_str(),
                                             ids[i], styles[i],
                                             boxes[4 * i], boxes[4 * i + 1], boxes[4 * i + 2], boxes[4 * i + 3]});
    d->desktop = DesktopDialog{id,
                               d->caption.c_str(),
                               d->fontName.c_str(),
                               fontSize,
                               x,
                               y,
                               cx,
                               cy,
                               d->controls.data(),
                               static_cast<int32_t>(d->controls.size())};
    return d;
}

}  // namespace

// ---- 1. Module and strings ----------------------------------------------------

void setModule(HINSTANCE module) { currentModule = module; }

HINSTANCE module() { return currentModule; }

int loadStringW(unsigned id, char16_t* buffer, int size) {
    if (buffer == nullptr || size < 1) return 0;
    int copied = ::LoadStringW(currentModule, id, reinterpret_cast<wchar_t*>(buffer), size);
    if (copied <= 0) buffer[0] = 0;
    return copied > 0 ? copied : 0;
}

std::optional<std::u16string> loadString(unsigned id) {
    // With a size of 0 the system answers the resource's own text, which is
    // not zero-terminated, and its length.
    const wchar_t* text = nullptr;
    int length = ::LoadStringW(currentModule, id, reinterpret_cast<wchar_t*>(&text), 0);
    if (length <= 0 || text == nullptr) return std::nullopt;
    try {
        return std::u16string(reinterpret_cast<const char16_t*>(text), static_cast<size_t>(length));
    } catch (...) {
        return std::nullopt;
    }
}

std::optional<std::vector<MenuItem>> loadMenu(unsigned id) {
    try {
        Bytes bytes = findResource(id, MAKEINTRESOURCEW(4) /* RT_MENU */);
        if (bytes.data == nullptr) return std::nullopt;
        Reader in(bytes);
        uint32_t version = in.word(), headerSize = in.word();
        if (version != 0) return std::nullopt;  // MENUEX templates are not written by trivu.rc
        in.skip(headerSize);
        std::vector<MenuItem> items;
        if (!readMenuItems(in, items, 0)) return std::nullopt;
        return items;
    } catch (...) {
        return std::nullopt;
    }
}

intptr_t dialogBoxParamW(int dialogId, HWND owner, DLGPROC proc, intptr_t param) {
    if (dialogId < 0) return -1;
    if (attachedDesktop() == nullptr)
        return ::DialogBoxParamW(currentModule, MAKEINTRESOURCEW(dialogId), owner, proc, param);
    try {
        Bytes bytes = findResource(static_cast<unsigned>(dialogId), MAKEINTRESOURCEW(5) /* RT_DIALOG */);
        if (bytes.data == nullptr) return -1;
        auto dialog = readDialog(dialogId, bytes);
        return dialog ? dialogBoxIndirect(&dialog->desktop, owner, proc, param) : -1;
    } catch (...) {
        return -1;
    }
}

}  // namespace trivu::platform
