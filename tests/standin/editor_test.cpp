// Edit-time records and the editor's services, with exports faked here.
#include <gtest/gtest.h>

#include <cstring>

#include "trivu-host/play/editor.h"

namespace {

using standin::EditRecord;
using standin::Editor;
using standin::Library;

uint32_t word(const EditRecord& record, uint32_t offset) {
    uint32_t value = 0;
    std::memcpy(&value, record.bytes().data() + offset, 4);
    return value;
}

TEST(EditRecord, ResizeKeepsContentZeroFillsAndWritesTheHeader) {
    EditRecord record;
    ASSERT_TRUE(record.resize(24));
    EXPECT_EQ(record.size(), 24u);
    EXPECT_EQ(word(record, 0), 24u);
    record.writeWord(20, 0x11223344);
    record.writeWord(4, 7);  // the header is the editor's: a resize clears it

    ASSERT_TRUE(record.resize(40));
    std::vector<uint8_t> bytes = record.bytes();
    EXPECT_EQ(word(record, 0), 40u);
    EXPECT_EQ(word(record, 4), 0u);
    EXPECT_EQ(word(record, 20), 0x11223344u);
    for (size_t i = 24; i < bytes.size(); ++i) EXPECT_EQ(bytes[i], 0) << "offset " << i;

    ASSERT_TRUE(record.resize(22));
    EXPECT_EQ(record.size(), 22u);
    EXPECT_EQ(word(record, 0), 22u);
    EXPECT_EQ(record.bytes()[20], 0x44);
}

TEST(EditRecord, RefusesSizesBelowTheHeaderAndKeepsItsBytes) {
    EditRecord record;
    ASSERT_TRUE(record.resize(30));
    EXPECT_FALSE(record.resize(19));
    EXPECT_FALSE(record.resize(0xFFFFFFFFu));
    EXPECT_EQ(record.size(), 30u);
    EXPECT_EQ(word(record, 0), 30u);
}

TEST(EditRecord, RawWritesStayInside) {
    EditRecord record;
    ASSERT_TRUE(record.resize(24));
    record.writeWord(21, -1);  // would end past the record
    record.writeWord(0xFFFFFFFEu, -1);
    std::vector<uint8_t> bytes = record.bytes();
    for (size_t i = 4; i < bytes.size(); ++i) EXPECT_EQ(bytes[i], 0) << "offset " << i;
    record.writeWord(20, -2);
    EXPECT_EQ(word(record, 20), 0xFFFFFFFEu);
}

// ---- The editor against faked exports ------------------------------------------

// The editor's reallocation, called as an extension calls it.
void* reallocate(mv* mV, void* edPtr, uint32_t size) {
    return reinterpret_cast<void*>(
        mV->mvCallFunction(edPtr, EF_REALLOCEDATA, reinterpret_cast<intptr_t>(edPtr), static_cast<intptr_t>(size), 0));
}

// What the faked exports saw and do.
struct Fake {
    static inline void* reallocated = nullptr;
    static inline int32_t createAnswer = 0;
    static inline uint32_t version = 0;
    static inline std::u16string textSeen;
    static inline uint32_t checkId = 0;
    static inline int32_t checkState = 0;

    // Grows the record as the extension's creation does and writes behind the header.
    static int32_t WINAPI createObject(mv* mV, void*, EDITDATA* edPtr) {
        version = mV->mvGetVersion();
        auto* bytes = static_cast<uint8_t*>(reallocate(mV, edPtr, 52));
        reallocated = bytes;
        if (bytes == nullptr) return -1;
        bytes[20] = 1;
        bytes[51] = 0xAB;
        return createAnswer;
    }
    static void WINAPI setPropValue(mv* mV, EDITDATA* edPtr, uint32_t id, void* value) {
        if (id != 0x80001) return;
        textSeen = static_cast<CPropWStringValue*>(value)->GetString();
        reallocate(mV, edPtr, static_cast<uint32_t>(40 + 2 * (textSeen.size() + 1)));
    }
    static void WINAPI setPropCheck(mv*, EDITDATA*, uint32_t id, int32_t state) {
        checkId = id;
        checkState = state;
    }
};

struct EditorTest : ::testing::Test {
    Library library;
    EditorTest() {
        library.infos.editDataSize = 40;
        library.CreateObject = Fake::createObject;
        library.SetPropValue = Fake::setPropValue;
        library.SetPropCheck = Fake::setPropCheck;
        Fake::createAnswer = 0;
        Fake::reallocated = nullptr;
    }
};

TEST_F(EditorTest, CreationStartsFromTheReportedSizeAndFollowsTheMove) {
    Editor editor(library);
    std::unique_ptr<EditRecord> record = editor.createRecord();
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(Fake::version, MMFVERSION_20 | 285u);
    EXPECT_EQ(Fake::reallocated, static_cast<void*>(record->data()));
    EXPECT_EQ(record->size(), 52u);
    EXPECT_EQ(word(*record, 0), 52u);
    EXPECT_EQ(record->bytes()[20], 1);
    EXPECT_EQ(record->bytes()[51], 0xAB);
}

TEST_F(EditorTest, ARefusedCreationGivesNoRecord) {
    Fake::createAnswer = -1;
    Editor editor(library);
    EXPECT_EQ(editor.createRecord(), nullptr);
}

TEST_F(EditorTest, TextAndChecksGoThroughTheExports) {
    Editor editor(library);
    std::unique_ptr<EditRecord> record = editor.createRecord();
    ASSERT_NE(record, nullptr);
    editor.setText(*record, u"");
    EXPECT_EQ(Fake::textSeen, u"");
    EXPECT_EQ(record->size(), 42u);
    editor.setText(*record, u"abc");
    EXPECT_EQ(Fake::textSeen, u"abc");
    EXPECT_EQ(record->size(), 48u);
    EXPECT_EQ(record->bytes()[20], 1);  // survives both moves
    editor.setCheck(*record, 0x80004, 2);
    EXPECT_EQ(Fake::checkId, 0x80004u);
    EXPECT_EQ(Fake::checkState, 2);
}

// SetPropValue stand-ins that resize what they should not. (Named functions:
// a lambda does not convert to the exports' calling convention on Windows.)
struct Resizer {
    static inline EditRecord* other = nullptr;
    static inline void* answer = reinterpret_cast<void*>(1);
    static void WINAPI another(mv* m, EDITDATA*, uint32_t, void*) {
        answer = reallocate(m, other->data(), 60);
    }
    static void WINAPI tooSmall(mv* m, EDITDATA* edPtr, uint32_t, void*) {
        answer = reallocate(m, edPtr, 19);
    }
};

TEST_F(EditorTest, ReallocationOutsideAnExportCallOrOfAnotherRecordFails) {
    Editor editor(library);
    std::unique_ptr<EditRecord> record = editor.createRecord();
    ASSERT_NE(record, nullptr);
    mv* mV = editor.block();
    EXPECT_EQ(reallocate(mV, record->data(), 60), nullptr);
    EXPECT_EQ(record->size(), 52u);

    // Inside a call, only the record being worked on may be resized.
    auto& answer = Resizer::answer;
    EditRecord stranger;
    ASSERT_TRUE(stranger.resize(30));
    Resizer::other = &stranger;
    library.SetPropValue = Resizer::another;
    editor.setText(*record, u"x");
    EXPECT_EQ(answer, nullptr);
    EXPECT_EQ(stranger.size(), 30u);

    library.SetPropValue = Resizer::tooSmall;
    editor.setText(*record, u"x");
    EXPECT_EQ(answer, nullptr);
    EXPECT_EQ(record->size(), 52u);
}

TEST_F(EditorTest, InsertedPropertiesAreRecordedUpToTheEndMark) {
    Editor editor(library);
    PropData props[] = {
        {0x80001, 400, 401, PROPTYPE_EDIT_STRING, 0, 0},
        {0x80002, 402, 403, PROPTYPE_LEFTCHECKBOX, PROPOPT_CHECKBOX, 0},
        {0, 0, 0, 0, 0, 0},
    };
    mv* mV = editor.block();
    mV->mvCallFunction(nullptr, EF_INSERTPROPS, reinterpret_cast<intptr_t>(props), PROPID_TAB_GENERAL, 1);
    ASSERT_EQ(editor.insertedProperties().size(), 2u);
    EXPECT_EQ(editor.insertedProperties()[1].dwID, 0x80002);
    EXPECT_EQ(editor.insertedProperties()[1].lType, PROPTYPE_LEFTCHECKBOX);
}

}  // namespace
