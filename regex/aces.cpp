#include "regex/aces.h"

#include "host/editdata.h"
#include "host/services.h"
#include "regex/state.h"

namespace trivu {

// Any value other than "on" counts as off, so a toggle always lands on 0 or on.
void toggleCaseSensitivity(RUNDATA& rd) {
    rd.regexIcase = rd.regexIcase == REGEX_ICASE_ON ? 0 : REGEX_ICASE_ON;
}

void toggleControlCharacters(RUNDATA& rd) {
    rd.regexControlChars = rd.regexControlChars == REGEX_CONTROL_CHARS_ON ? 0 : REGEX_CONTROL_CHARS_ON;
}

// Raised by a failed match; true for the events that carry that match's ID.
bool mismatchHasId(RUNDATA& rd) { return intParam(rd, PARAM_REQUEST_AS_IS) == regexState().mismatchId; }

}  // namespace trivu
