#include "json/store.h"

#include <algorithm>
#include <utility>

#include "common/notifier.h"
#include "host/boundary/editdata.h"
#include "platform/utf.h"

namespace trivu {

// ---- 2. Frame hand-over ----------------------------------------------------------

void shareIn(RUNDATA& rd) {
    const JsonSlots& slots = jsonSlots();
    if (rd.jsonShare != JSON_SHARE_ON || isEmpty(slots.shared)) return;
    rd.document = slots.shared;
    rd.target = &rd.document;
}

void shareOut(const RUNDATA& rd) {
    if (rd.jsonShare != JSON_SHARE_ON || isEmpty(rd.document)) return;
    jsonSlots().shared = rd.document;
}

// ---- 3. Pointers and the limits ------------------------------------------------

Json::json_pointer parsePointer(std::u16string_view text) { return Json::json_pointer(platform::utf16ToUtf8(text)); }

size_t tokenCount(const Json::json_pointer& pointer) {
    // A token cannot hold an unescaped "/", so each one adds exactly one.
    const std::string text = pointer.to_string();
    return static_cast<size_t>(std::count(text.begin(), text.end(), '/'));
}

void requireDepthRoom(const Json::json_pointer& at, size_t levels) {
    if (tokenCount(at) + levels > kMaxJsonDepth) throw DepthError();
}

const char* DepthError::what() const noexcept {
    return "JSON nesting deeper than 1000 levels of arrays and objects is refused";
}

void requireGrowthRoom(uint64_t elements) {
    if (elements > kMaxNewElements) throw GrowthError();
}

const char* GrowthError::what() const noexcept {
    return "an action adding more than 1048576 elements to a JSON document is refused";
}

void reportJsonFailure(RUNDATA& rd, const std::exception& error) {
    reportJsonPointerError(rd, error);
}

// ---- 4. Writing a member -----------------------------------------------------------

Json& memberOf(Json& document, const Json::json_pointer& parent, const std::string& key) {
    return document.at(parent)[key];
}

bool storeTextArray(RUNDATA& rd, std::u16string_view path, const std::vector<std::u16string>& texts) noexcept {
    try {
        Json::json_pointer parent = parsePointer(path);
        const std::string key = parent.back();  // "JSON pointer has no parent" for the empty pointer
        parent.pop_back();
        requireDepthRoom(parent, 2);
        Json& parentValue = rd.document.at(parent);
        Json array = Json::array();
        for (const std::u16string& text : texts) array.push_back(platform::utf16ToUtf8(text));
        // Checked before the member access, which would turn a scalar parent
        // into an error only after the array was built; nothing changes then.
        if (!parentValue.is_null() && !parentValue.is_object()) {
            parentValue[key];  // throws the library's type error for this kind
        }
        parentValue[key] = std::move(array);
        rd.target = &rd.document;
        return true;
    } catch (const std::exception& error) {
        try {
            reportJsonFailure(rd, error);
        } catch (...) {
        }
    } catch (...) {
    }
    return false;
}

}  // namespace trivu
