// The edit-time record: arbitrary bytes as a record that a game file (or
// another tool) stored, handed to the property sheet and then to the
// creation of a run-time instance.
#include <vector>

#include "host/record_text.h"
#include "tests/fuzz/targets.h"
#include "tests/unit/fake_host.h"

namespace fuzz {
namespace {

constexpr uint32_t kText = 0x80001;

std::u16string textProperty(test::FakeEditor& editor) {
    auto* value = static_cast<CPropValue*>(GetPropValue(editor.block(), editor.record(), kText));
    if (value == nullptr) violated("the TEXT property has no value");
    std::u16string text = static_cast<CPropWStringValue*>(value)->GetString();
    value->Delete();
    return text;
}

// The property sheet as the frame editor walks it: every value and check
// box, then the text written back as it was read.
void editProperties(const std::vector<uint8_t>& stored) {
    test::FakeEditor editor;
    editor.load(stored);
    GetProperties(editor.block(), editor.record(), 1);
    std::u16string text = textProperty(editor);
    for (uint32_t id = kText - 1; id <= kText + 5; ++id) {
        GetPropCheck(editor.block(), editor.record(), id);
        IsPropEnabled(editor.block(), editor.record(), id);
        if (auto* value = static_cast<CPropValue*>(GetPropValue(editor.block(), editor.record(), id))) value->Delete();
    }
    CPropWStringValue again(text.c_str());
    SetPropValue(editor.block(), editor.record(), kText, &again);
    if (textProperty(editor) != text) violated("the TEXT property changed on its way back");
    for (uint32_t id = kText + 1; id <= kText + 4; ++id) {
        int32_t check = GetPropCheck(editor.block(), editor.record(), id);
        SetPropCheck(editor.block(), editor.record(), id, check);
        if (GetPropCheck(editor.block(), editor.record(), id) != check) violated("a check box changed on its way back");
    }
}

// The record at frame start: the instance's text must be the record's.
void runInstance(const std::vector<uint8_t>& stored) {
    test::RecordingDesktop desktop;
    test::Instance instance(stored);
    test::FakeEditor editor;
    editor.load(stored);
    std::u16string expected = trivu::recordText(*editor.record());
    if (instance.textExpression(0) != expected) violated("the instance's text is not the record's");
    instance.action(3);
    instance.action(4);
    HandleRunObject(&instance.rd());
    instance.destroy();
}

}  // namespace

int editRecord(const uint8_t* data, size_t size) {
    // A record beyond what a property sheet holds says nothing new.
    if (size > 4096) return 0;
    std::vector<uint8_t> stored(data, data + size);
    editProperties(stored);
    runInstance(stored);
    return 0;
}

}  // namespace fuzz
