#include "common/notifier.h"

#include <string>

#include "host/boundary/ace_numbers.h"
#include "host/boundary/editdata.h"
#include "host/boundary/services.h"
#include "platform/platform.h"
#include "platform/utf.h"

namespace trivu {

bool shouldShow(const RUNDATA& rd, Gate gate) {
    switch (gate) {
        case Gate::Forced: return rd.forcePopup == FORCE_POPUP_ON;
        case Gate::Lenient: return rd.forcePopup != 0;
        case Gate::Always: return true;
    }
    return true;
}

void notify(const RUNDATA& rd, MessageId id, std::string_view error) {
    const Message& m = message(id);
    if (!shouldShow(rd, m.gate)) return;
    // The platform wants zero-terminated texts.
    const std::string text(m.filling == Filling::Error ? error : m.text), caption(m.caption);
    platform::messageBoxA(text.c_str(), caption.c_str());
}

void notifyPath(const RUNDATA& rd, MessageId id, std::u16string_view path) {
    const Message& m = message(id);
    if (!shouldShow(rd, m.gate)) return;
    std::u16string text = platform::utf8ToUtf16(m.text);
    text += path;
    text += platform::utf8ToUtf16(m.after);
    const std::u16string caption = platform::utf8ToUtf16(m.caption);
    platform::messageBoxW(text.c_str(), caption.c_str());
}

headerObject* usableSprite(RUNDATA& rd, headerObject* object) {
    if (object == nullptr) return nullptr;
    if (object->hoType != OBJ_SPR || (object->hoFlags & HOF_DESTROYED) != 0) {
        notify(rd, MessageId::NotSprite);
        return nullptr;
    }
    return object;
}

void reportJsonPointerError(RUNDATA& rd, const std::exception& error) {
    notify(rd, MessageId::JsonFailure, error.what());
    generateEvent(rd, CND_JSON_POINTER_ERROR);
}

void showRegexError(const RUNDATA& rd, const std::exception& error) {
    notify(rd, MessageId::RegexError, error.what());
}

}  // namespace trivu
