#include "common/notifier.h"

#include <string>

#include "host/boundary/ace_numbers.h"
#include "host/boundary/editdata.h"
#include "host/boundary/services.h"
#include "platform/platform.h"

namespace trivu {

bool shouldShow(const RUNDATA& rd, Gate gate) {
    switch (gate) {
        case Gate::Forced: return rd.forcePopup == FORCE_POPUP_ON;
        case Gate::Lenient: return rd.forcePopup != 0;
        case Gate::Always: return true;
    }
    return true;
}

void showBox(std::string_view text, std::string_view caption) {
    // The platform wants zero-terminated texts.
    std::string t(text), c(caption);
    platform::messageBoxA(t.c_str(), c.c_str());
}

void showWideBox(std::u16string_view text, std::u16string_view caption) {
    std::u16string t(text), c(caption);
    platform::messageBoxW(t.c_str(), c.c_str());
}

void notify(const RUNDATA& rd, const Notice& notice) { notify(rd, notice.gate, notice.text, notice.caption); }

void notify(const RUNDATA& rd, Gate gate, std::string_view text, std::string_view caption) {
    if (shouldShow(rd, gate)) showBox(text, caption);
}

void notifyWide(const RUNDATA& rd, Gate gate, std::u16string_view text, std::u16string_view caption) {
    if (shouldShow(rd, gate)) showWideBox(text, caption);
}

headerObject* usableSprite(RUNDATA& rd, headerObject* object) {
    if (object == nullptr) return nullptr;
    if (object->hoType != OBJ_SPR || (object->hoFlags & HOF_DESTROYED) != 0) {
        notify(rd, notices::notSprite);
        return nullptr;
    }
    return object;
}

void reportJsonPointerError(RUNDATA& rd, const std::exception& error) {
    notify(rd, Gate::Lenient, error.what(), "DEBUG");
    generateEvent(rd, CND_JSON_POINTER_ERROR);
}

void showRegexError(const RUNDATA& rd, const std::exception& error) {
    notify(rd, Gate::Forced, error.what(), "INFO");
}

std::u16string missingPathMessage(std::u16string_view path) {
    std::u16string message = u"ERR :: Missing :: check the file path below \n\n \"";
    message += path;
    message += u"\" ";
    return message;
}

}  // namespace trivu
