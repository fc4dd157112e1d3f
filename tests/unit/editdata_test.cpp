// The edit-time record and the property sheet, through the editor exports.
#include <gtest/gtest.h>

#include <new>

#include "fake_host.h"

namespace {

constexpr uint32_t TEXT = 0x80001, POPUP = 0x80002, ICASE = 0x80003, CONTROL = 0x80004, SHARE = 0x80005;

std::vector<uint8_t> hex(std::initializer_list<int> bytes) { return {bytes.begin(), bytes.end()}; }

std::u16string textOf(test::FakeEditor& editor, EDITDATA* ed) {
    auto* value = static_cast<CPropValue*>(GetPropValue(editor.block(), ed, TEXT));
    EXPECT_NE(value, nullptr);
    if (value == nullptr) return {};
    std::u16string text = static_cast<CPropWStringValue*>(value)->GetString();
    value->Delete();
    return text;
}

}  // namespace

TEST(EditRecord, CreationWritesTheDefaults) {
    test::FakeEditor editor;
    EXPECT_EQ(CreateObject(editor.block(), nullptr, editor.record()), 0);
    EXPECT_EQ(editor.bytes(),
              hex({0x34, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,  // header
                   1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,                // flags
                   0xe5, 0x65, 0x2c, 0x67, 0x9e, 0x8a, 0x68, 0x88, 0xfe, 0x73, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(textOf(editor, editor.record()), u"日本語表現");
    EXPECT_EQ(GetPropCheck(editor.block(), editor.record(), POPUP), 1);
    for (uint32_t id : {ICASE, CONTROL, SHARE}) EXPECT_EQ(GetPropCheck(editor.block(), editor.record(), id), 0);
}

TEST(EditRecord, CreationRefusesOldHostsAndFailedResizes) {
    test::FakeEditor old(MMFVERSION_20 | 279), oldMajor(0x01000000u | 300);
    EXPECT_EQ(CreateObject(old.block(), nullptr, old.record()), -1);
    EXPECT_EQ(CreateObject(oldMajor.block(), nullptr, oldMajor.record()), -1);
    EXPECT_EQ(old.record()->forcePopup, 0);  // nothing done for an incompatible host

    test::FakeEditor full;
    full.allowResize = false;
    full.record()->jsonShare = 4 | 8;
    EXPECT_EQ(CreateObject(full.block(), nullptr, full.record()), -1);
    EXPECT_EQ(full.record()->forcePopup, 1);  // the flags were already written
    EXPECT_EQ(full.record()->jsonShare, 8);
    EXPECT_EQ(full.size(), 40u);
}

TEST(EditRecord, TheTextPropertyResizesTheRecord) {
    test::FakeEditor editor;
    test::createRecord(editor, u"");
    EXPECT_EQ(editor.size(), 42u);
    EXPECT_EQ(textOf(editor, editor.record()), u"");
    test::createRecord(editor, u"hello world");
    EXPECT_EQ(editor.size(), 40u + 2 * 12);
    EXPECT_EQ(textOf(editor, editor.record()), u"hello world");
    EXPECT_EQ(editor.record()->forcePopup, 1);  // the flags travel with the resize
}

TEST(EditRecord, ATextThatCannotBeStoredLeavesTheRecordAlone) {
    test::FakeEditor editor;
    test::createRecord(editor);
    auto before = editor.bytes();
    editor.allowResize = false;
    CPropWStringValue value(u"a much longer text than before");
    SetPropValue(editor.block(), editor.record(), TEXT, &value);
    EXPECT_EQ(editor.bytes(), before);
    SetPropValue(editor.block(), editor.record(), POPUP, &value);  // not a text property
    EXPECT_EQ(editor.bytes(), before);
}

TEST(EditRecord, ATextWithoutTerminatorIsReadWithinTheRecord) {
    test::FakeEditor editor;
    test::createRecord(editor, u"ab");
    EDITDATA* ed = editor.record();  // 46 bytes: two units, the terminator, the spare
    auto* units = reinterpret_cast<char16_t*>(reinterpret_cast<uint8_t*>(ed) + 36);
    for (int i = 0; i < 5; ++i) units[i] = u'z';
    EXPECT_EQ(textOf(editor, ed), u"zzzzz");
}

TEST(EditRecord, CheckBoxesSetAndClearTheirBits) {
    test::FakeEditor editor;
    test::createRecord(editor);
    EDITDATA* ed = editor.record();
    SetPropCheck(editor.block(), ed, CONTROL, 1);
    EXPECT_EQ(ed->regexControlChars, 3);
    ed->regexControlChars = 2;  // either low bit reads as on
    EXPECT_EQ(GetPropCheck(editor.block(), ed, CONTROL), 1);
    SetPropCheck(editor.block(), ed, SHARE, 1);
    SetPropCheck(editor.block(), ed, ICASE, 1);
    EXPECT_EQ(ed->jsonShare, 4);
    EXPECT_EQ(ed->regexIcase, 2);
    SetPropCheck(editor.block(), ed, POPUP, 2);  // only 1 sets
    EXPECT_EQ(ed->forcePopup, 0);
    ed->jsonShare = 0x7F;
    SetPropCheck(editor.block(), ed, SHARE, 0);
    EXPECT_EQ(ed->jsonShare, 0x7B);  // other bits stay
    SetPropCheck(editor.block(), ed, 0x80006, 1);
    EXPECT_EQ(GetPropCheck(editor.block(), ed, 0x80006), 0);
    EXPECT_EQ(GetPropValue(editor.block(), ed, POPUP), nullptr);
}

// The host reaches a property value only through its table: five member
// calls, the object first (in ECX on the 32-bit build, the host's thiscall).
#if defined(_WIN32) && defined(__i386__)
#define HOST_MEMBER_CALL __attribute__((thiscall))
#else
#define HOST_MEMBER_CALL
#endif
using DestroySlot = void*(HOST_MEMBER_CALL*)(void* self, uint32_t flags);
using DeleteSlot = void(HOST_MEMBER_CALL*)(void* self);
using CopySlot = void*(HOST_MEMBER_CALL*)(void* self);
using EqualSlot = int32_t(HOST_MEMBER_CALL*)(void* self, void* other);
using ClassSlot = uint32_t(HOST_MEMBER_CALL*)(void* self);

template <typename Slot>
Slot slot(void* value, int n) {
    return reinterpret_cast<Slot>((*static_cast<void***>(value))[n]);
}
// The text of a wide-text value, where the host reads it: after the table
// and the unused word (offset 8 on the 32-bit build).
const char16_t* wideText(void* value) {
    return *reinterpret_cast<char16_t**>(static_cast<char*>(value) + 2 * sizeof(void*));
}

TEST(EditRecord, PropertyValuesAsTheHostUsesThemSlotBySlot) {
    test::FakeEditor editor;
    EDITDATA* ed = test::createRecord(editor, u"abc");
    // GetPropValue hands over a new value; the host frees it through Delete.
    void* value = GetPropValue(editor.block(), ed, TEXT);
    ASSERT_NE(value, nullptr);
    EXPECT_EQ(slot<ClassSlot>(value, 4)(value), 0x53545257u);  // 'STRW'
    EXPECT_EQ(std::u16string(wideText(value)), u"abc");
    void* copy = slot<CopySlot>(value, 2)(value);
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(std::u16string(wideText(copy)), u"abc");
    EXPECT_EQ(slot<EqualSlot>(value, 3)(value, copy), 1);
    CPropWStringValue other(u"abd"), none(nullptr);
    EXPECT_EQ(slot<EqualSlot>(value, 3)(value, &other), 0);
    EXPECT_EQ(slot<EqualSlot>(value, 3)(value, &none), 0);
    // Slot 0 with bit 0 set destroys and frees (the sanitizers see a leak or
    // a double free); Delete frees the original.
    EXPECT_EQ(slot<DestroySlot>(copy, 0)(copy, 1), copy);
    slot<DeleteSlot>(value, 1)(value);

    // Without bit 0, slot 0 destroys the value (its text) and leaves the memory to the caller.
    alignas(CPropWStringValue) unsigned char storage[sizeof(CPropWStringValue)];
    void* inPlace = new (storage) CPropWStringValue(u"in place");
    EXPECT_EQ(slot<DestroySlot>(inPlace, 0)(inPlace, 0), inPlace);

    // SetPropValue only reads the host's value: it is the host's to free.
    auto* hosts = new CPropWStringValue(u"xyz");
    SetPropValue(editor.block(), ed, TEXT, hosts);
    EXPECT_EQ(std::u16string(wideText(hosts)), u"xyz");
    EXPECT_EQ(textOf(editor, editor.record()), u"xyz");  // the record moved to grow
    hosts->Delete();
}

TEST(PropertySheet, InsertsFiveProperties) {
    test::FakeEditor editor;
    test::createRecord(editor);
    EXPECT_EQ(GetProperties(editor.block(), editor.record(), 1), 1);
    ASSERT_EQ(editor.inserted.size(), 5u);
    EXPECT_EQ(static_cast<uint32_t>(editor.inserted[0].dwID), TEXT);
    EXPECT_EQ(editor.inserted[0].lType, PROPTYPE_EDIT_STRING);
    for (size_t i = 1; i < 5; ++i) {
        EXPECT_EQ(static_cast<uint32_t>(editor.inserted[i].dwID), TEXT + i);
        EXPECT_EQ(editor.inserted[i].sName, 400 + 2 * i);
        EXPECT_EQ(editor.inserted[i].sInfo, 401 + 2 * i);
        EXPECT_EQ(editor.inserted[i].lType, PROPTYPE_LEFTCHECKBOX);
        EXPECT_EQ(editor.inserted[i].dwOptions, PROPOPT_CHECKBOX);
    }
    // Through the editor's function call, after the general tab.
    ASSERT_EQ(editor.calls.size(), 2u);  // the text stored at creation, then the insertion
    EXPECT_EQ(editor.calls[0], (test::FakeEditor::Call{EF_REALLOCEDATA, true, 52, 0}));
    EXPECT_EQ(editor.calls[1], (test::FakeEditor::Call{EF_INSERTPROPS, false, PROPID_TAB_GENERAL, 1}));
}

TEST(EditorExports, ObjectInformationAndTheAboutBox) {
    test::RecordingDesktop desktop;
    test::FakeEditor editor;
    char16_t name[256], author[256], copyright[256], comment[1024], http[256];
    GetObjInfos(editor.block(), editor.record(), name, author, copyright, comment, http);
    EXPECT_EQ(std::u16string(name), u"Trivu");
    EXPECT_EQ(std::u16string(GetHelpFileName()), u"Help\\TRIVU.chm");
    RECT rc{10, 20, 0, 0};
    GetObjectRect(editor.block(), &rc, nullptr, editor.record());
    EXPECT_EQ(rc.right, 42);
    EXPECT_EQ(rc.bottom, 52);

    EXPECT_EQ(EditObject(editor.block(), nullptr, nullptr, editor.record()), 1);
    EXPECT_EQ(desktop.dialogsShown, 1);
    EXPECT_EQ(desktop.dialogUserData, reinterpret_cast<intptr_t>(editor.block()));
    EXPECT_EQ(desktop.helpRequests, 1);  // the help command reaches the host through the kept block
    test::FakeEditor old(MMFVERSION_20 | 100);
    EXPECT_EQ(EditObject(old.block(), nullptr, nullptr, old.record()), 0);
    EXPECT_EQ(desktop.dialogsShown, 1);
}
