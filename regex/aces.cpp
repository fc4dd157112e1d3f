// Index
//   1. Flags: actions 3 and 4.
//   2. Matching conditions 1 and 5, and the mismatch condition 2.
//   3. Replacement: expression 2.
//   4. Reading the results back: expressions 5 to 8.
//   5. The results into the JSON document: actions 52 and 53.
#include "regex/aces.h"

#include <new>

#include "common/notifier.h"
#include "common/regex_engine.h"
#include "host/boundary/ace_numbers.h"
#include "host/boundary/editdata.h"
#include "json/store.h"
#include "platform/utf.h"
#include "regex/matching.h"
#include "regex/state.h"

namespace trivu {
namespace {

using MatchList = std::vector<std::u16string> RegexState::*;

bool ignoresCase(const RUNDATA& rd) { return rd.regexIcase == REGEX_ICASE_ON; }

// The "INFO" box when forcePopup is 1, the message as the result text, then
// condition 0.
void reportRegexError(RUNDATA& rd, const EngineError& error) {
    showRegexError(rd, error);
    regexState().resultText = platform::utf8ToUtf16(error.what());
    generateEvent(rd, CND_REGEX_ERROR);
}

// Runs `body` on the engine. An error of the engine's own, or memory
// running out inside it or while the results are collected (an error of the
// match too, not a mismatch), is reported and answers false.
template <typename Body>
bool onEngine(RUNDATA& rd, Body&& body) {
    try {
        body();
        return true;
    } catch (const EngineError& error) {
        reportRegexError(rd, error);
    } catch (const std::bad_alloc&) {
        reportRegexError(rd, EngineError(boost::regex_constants::error_space));
    }
    return false;
}

// Conditions 1 and 5: the ID is kept before anything can fail and the
// condition's own list is emptied, so a failed or erroneous match leaves it
// empty; a mismatch raises condition 2, an error condition 0 only.
template <typename Collect>
bool runMatch(RUNDATA& rd, MatchList list, Collect collect) {
    std::u16string source = textParam(rd);
    std::u16string pattern = textParam(rd);
    int32_t id = intParam(rd, PARAM_REQUEST_AS_IS);
    regexState().mismatchId = id;
    (regexState().*list).clear();
    std::vector<std::u16string> found;
    if (!onEngine(rd, [&] { found = collect(compilePattern(pattern, ignoresCase(rd)), source); }))
        return false;
    if (found.empty()) {
        generateEvent(rd, CND_REGEX_MISMATCH);
        return false;
    }
    regexState().*list = std::move(found);
    return true;
}

// The entry stays valid until its list next changes; the host copies it.
intptr_t entryAt(RUNDATA& rd, const std::vector<std::u16string>& list, int32_t index) {
    if (list.empty()) return textResult(rd, u"");
    if (index < 0 || static_cast<size_t>(index) >= list.size()) return textResult(rd, kNoSuchSubMatch);
    return textResult(rd, list[static_cast<size_t>(index)].c_str());
}

intptr_t countOf(const std::vector<std::u16string>& list) { return intResult(static_cast<int32_t>(list.size())); }

// The store reports a path it cannot write to; an empty list or path leaves
// the document alone, and an empty list leaves the path unread.
void pushToDocument(RUNDATA& rd, const std::vector<std::u16string>& list) {
    if (list.empty()) return;
    std::u16string path = textParam(rd);
    if (path.empty()) return;
    storeTextArray(rd, path, list);
}

}  // namespace

// ---- 1. Flags -----------------------------------------------------------------

// Any value other than "on" counts as off, so a toggle always lands on 0 or on.
void toggleCaseSensitivity(RUNDATA& rd) {
    rd.regexIcase = rd.regexIcase == REGEX_ICASE_ON ? 0 : REGEX_ICASE_ON;
}

void toggleControlCharacters(RUNDATA& rd) {
    rd.regexControlChars = rd.regexControlChars == REGEX_CONTROL_CHARS_ON ? 0 : REGEX_CONTROL_CHARS_ON;
}

// ---- 2. Matching --------------------------------------------------------------

bool partialMatch(RUNDATA& rd) { return runMatch(rd, &RegexState::searchMatches, searchAll); }

bool exactMatch(RUNDATA& rd) { return runMatch(rd, &RegexState::exactMatches, matchExact); }

// Raised by a failed match; true for the events that carry that match's ID.
bool mismatchHasId(RUNDATA& rd) { return intParam(rd, PARAM_REQUEST_AS_IS) == regexState().mismatchId; }

// ---- 3. Replacement -----------------------------------------------------------

intptr_t replaceInText(RUNDATA& rd, ExpressionParams& params) {
    std::u16string pattern = params.text();
    std::u16string replacement = params.text();
    if (rd.regexControlChars == REGEX_CONTROL_CHARS_ON) replacement = convertControlChars(replacement);
    onEngine(rd, [&] {
        const std::u16string empty;
        regexState().resultText =
            replaceAll(compilePattern(pattern, ignoresCase(rd)), rd.text != nullptr ? *rd.text : empty, replacement);
    });
    return textResult(rd, regexState().resultText.c_str());
}

// ---- 4. Results ---------------------------------------------------------------

intptr_t exactMatchCount(RUNDATA&, ExpressionParams&) { return countOf(regexState().exactMatches); }

intptr_t exactMatchAt(RUNDATA& rd, ExpressionParams& params) {
    int32_t index = params.number();
    return entryAt(rd, regexState().exactMatches, index);
}

intptr_t partialMatchCount(RUNDATA&, ExpressionParams&) { return countOf(regexState().searchMatches); }

intptr_t partialMatchAt(RUNDATA& rd, ExpressionParams& params) {
    int32_t index = params.number();
    return entryAt(rd, regexState().searchMatches, index);
}

// ---- 5. Into the document -----------------------------------------------------

void pushExactMatches(RUNDATA& rd) { pushToDocument(rd, regexState().exactMatches); }

void pushPartialMatches(RUNDATA& rd) { pushToDocument(rd, regexState().searchMatches); }

}  // namespace trivu
