// The frame editor's side: the mv block and the edit-time records.
//
//   1. Records
//   2. The editor's services (the mv block)
//   3. Creating and changing records through the exports
#include "trivu-host/play/editor.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace standin {
namespace {

constexpr uint32_t kHeaderSize = sizeof(extHeader);
constexpr uint32_t kBuild = 285;
constexpr uintptr_t kEditorWindow = 0x40;

constexpr uint32_t kTextProperty = 0x80001;

// The editor of this process. The host's editor services take no editor
// block, so they find it here; there is one editor at a time, as in the host.
Editor* theEditor = nullptr;

// Marks the record the extension is working on for the length of one export
// call, so that the reallocation knows which record to resize.
struct Working {
    EditRecord*& slot;
    EditRecord* saved;
    Working(EditRecord*& s, EditRecord& record) : slot(s), saved(s) { slot = &record; }
    ~Working() { slot = saved; }
};

}  // namespace

// ---- 1. Records ------------------------------------------------------------------

EditRecord::~EditRecord() { std::free(bytes_); }

std::vector<uint8_t> EditRecord::bytes() const { return std::vector<uint8_t>(bytes_, bytes_ + size_); }

// Always moves the record: an extension that keeps the old pointer across a
// resize then fails under the address sanitizer instead of by luck.
bool EditRecord::resize(uint32_t newSize) {
    if (newSize < kHeaderSize || newSize > kMaxSize) return false;
    auto* fresh = static_cast<uint8_t*>(std::calloc(newSize, 1));
    if (fresh == nullptr) return false;
    if (bytes_) std::memcpy(fresh, bytes_, std::min(size_, newSize));
    std::free(bytes_);
    bytes_ = fresh;
    size_ = newSize;
    // The header holds the size; the rest of it stays zero.
    std::memset(bytes_, 0, kHeaderSize);
    writeWord(0, static_cast<int32_t>(newSize));
    return true;
}

void EditRecord::writeWord(uint32_t offset, int32_t value) {
    if (bytes_ == nullptr || offset > size_ || size_ - offset < 4) return;
    auto word = static_cast<uint32_t>(value);
    for (int i = 0; i < 4; ++i) bytes_[offset + i] = static_cast<uint8_t>(word >> (8 * i));
}

// ---- 2. The editor's services (the mv block) --------------------------------------

struct EditorCalls {
    static uint32_t WINAPI getVersion() { return MMFVERSION_20 | kBuild; }

    // Only the record an export is working on may be resized, and only
    // through its own address.
    static intptr_t reallocate(Editor& editor, void* edPtr, intptr_t newSize) {
        EditRecord* record = editor.current_;
        if (record == nullptr || edPtr != record->data() || newSize < 0) return 0;
        if (record->resize(static_cast<uint32_t>(newSize))) return reinterpret_cast<intptr_t>(record->data());
        editor.refused_ = true;
        return 0;
    }

    // The table ends with an entry whose identifier is 0, as the editor's are.
    static intptr_t insertProperties(Editor& editor, const PropData* props) {
        if (props == nullptr) return 0;
        for (; props->dwID != 0; ++props) editor.inserted_.push_back(*props);
        return 0;
    }

    // The editor's function calls, by code; the others answer 0.
    static intptr_t WINAPI callFunction(void*, int32_t function, intptr_t a, intptr_t b, intptr_t) {
        if (theEditor == nullptr) return 0;
        switch (function) {
            case EF_REALLOCEDATA: return reallocate(*theEditor, reinterpret_cast<void*>(a), b);
            case EF_INSERTPROPS: return insertProperties(*theEditor, reinterpret_cast<const PropData*>(a));
            default: return 0;
        }
    }

    static void WINAPI help(const char16_t*, uint32_t, intptr_t) {}
};

Editor::Editor(const Library& library) : library_(library) {
    mv_.mvHEditWin = reinterpret_cast<HWND>(kEditorWindow);
    mv_.mvGetVersion = EditorCalls::getVersion;
    mv_.mvCallFunction = EditorCalls::callFunction;
    mv_.mvHelpW = EditorCalls::help;
    theEditor = this;
}

Editor::~Editor() {
    if (theEditor == this) theEditor = nullptr;
}

// ---- 3. Creating and changing records through the exports ---------------------------

std::unique_ptr<EditRecord> Editor::createRecord() {
    auto record = std::make_unique<EditRecord>();
    uint32_t size = std::max<uint32_t>(library_.infos.editDataSize, kHeaderSize);
    if (!record->resize(size)) return nullptr;
    if (library_.CreateObject) {
        Working working(current_, *record);
        if (library_.CreateObject(&mv_, nullptr, record->data()) == -1) return nullptr;
    }
    return record;
}

bool Editor::setText(EditRecord& record, std::u16string_view text) {
    if (library_.SetPropValue == nullptr) return true;
    std::u16string terminated(text);
    auto* value = new CPropWStringValue(terminated.c_str());
    refused_ = false;
    {
        Working working(current_, record);
        library_.SetPropValue(&mv_, record.data(), kTextProperty, value);
    }
    value->Delete();
    return !refused_;
}

void Editor::setCheck(EditRecord& record, uint32_t propId, int32_t state) {
    if (library_.SetPropCheck == nullptr) return;
    Working working(current_, record);
    library_.SetPropCheck(&mv_, record.data(), propId, state);
}

}  // namespace standin
