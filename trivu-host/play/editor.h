// The frame editor's side: its information block (mV) and edit-time records,
// created and changed through the extension's editor exports exactly as the
// editor does it.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "trivu-host/play/library.h"

namespace standin {

// An edit-time record in memory the host owns; the extension may resize it
// through the editor's reallocation (mvCallFunction's EF_REALLOCEDATA). The header (bytes 0 to 19) holds the size at
// offset 0 and zeros elsewhere; bytes a reallocation adds are zero.
class EditRecord {
public:
    EditRecord() = default;
    EditRecord(const EditRecord&) = delete;
    EditRecord& operator=(const EditRecord&) = delete;
    ~EditRecord();

    EDITDATA* data() const { return reinterpret_cast<EDITDATA*>(bytes_); }
    uint32_t size() const { return size_; }
    std::vector<uint8_t> bytes() const;

    // No property needs more; a larger request is refused, which keeps a bad
    // size word from exhausting memory (a text of about 8 million units).
    static constexpr uint32_t kMaxSize = 16u << 20;

    bool resize(uint32_t newSize);  // keeps the content, zero-fills growth
    void writeWord(uint32_t offset, int32_t value);  // a raw 32-bit little-endian write

private:
    uint8_t* bytes_ = nullptr;
    uint32_t size_ = 0;
};

class Editor {
public:
    explicit Editor(const Library& library);
    Editor(const Editor&) = delete;
    Editor& operator=(const Editor&) = delete;
    ~Editor();

    mv* block() { return &mv_; }

    // A new record: the fixed size the library reports, then CreateObject.
    // Null when the library refuses (CreateObject answers -1).
    std::unique_ptr<EditRecord> createRecord();

    // The TEXT property (0x80001) through GetPropValue/SetPropValue's value
    // class. False when the editor refused to grow the record for it (past
    // EditRecord::kMaxSize): the record then keeps its old text.
    bool setText(EditRecord& record, std::u16string_view text);
    // A check-box property through SetPropCheck.
    void setCheck(EditRecord& record, uint32_t propId, int32_t state);

    // Properties the extension inserted (mvCallFunction's EF_INSERTPROPS), in order.
    const std::vector<PropData>& insertedProperties() const { return inserted_; }

private:
    const Library& library_;
    mv mv_{};
    std::vector<PropData> inserted_;
    EditRecord* current_ = nullptr;  // the record an export is working on
    bool refused_ = false;           // a resize was refused during the call
    friend struct EditorCalls;
};

}  // namespace standin
