// The JSON store's state: the shared and backup slots, which live as long as
// the library, the working state of the pointer and array operations and
// action 11's instance records, which the destruction of any instance resets
// (all kept in host/lifetimes.h). Also the few
// rules every writer of a document follows: how host text becomes a JSON
// Pointer, how deep a document may nest, and how a failure is reported.
//
// Index
//   1. State: the slots and the working state
//   2. Frame hand-over
//   3. Pointers and the limits: depth, and growth in one action
//   4. Writing a member (used by the regular-expression actions too)
#pragma once

#include <array>
#include <cstdint>
#include <exception>
#include <string>
#include <string_view>
#include <vector>

#include "host/boundary/rundata.h"
#include "host/boundary/json_value.h"

namespace trivu {

// ---- 1. State ------------------------------------------------------------------

struct JsonSlots {
    Json shared;  // handed from one frame to the next
    Json backup;  // actions 23, 24, 32
};

// One record of action 11: loop position, image value, X, Y, then the three
// further fields (see docs/reference.md, notes).
using ObjectRecord = std::array<int32_t, 7>;

struct JsonWork {
    std::u16string resultText;  // result buffer of the text expressions
    Json::json_pointer targetPointer;
    Json::json_pointer workPointer;
    int32_t targetId = 0;
    std::string arrayKeyName;
    int32_t arrayRepeatCount = 0;

    bool operator==(const JsonWork&) const = default;
};

// Loop state of action 11: its first instance builds the array and starts
// the collection, every instance adds its record, the last one fills the
// array from them.
struct InstanceRecords {
    std::vector<ObjectRecord> records;
    // Only after the first instance built the array, so that a failed build
    // is reported once, not again at the fill.
    bool collecting = false;

    bool operator==(const InstanceRecords&) const = default;
};

// Kept in host/lifetimes.h: the slots as long as the library lives, the
// working state until an instance is destroyed.
JsonSlots& jsonSlots();
JsonWork& jsonWork();
InstanceRecords& instanceRecords();

// ---- 2. Frame hand-over ----------------------------------------------------------

// Share-in takes a copy of a non-empty shared slot (the backup plays no
// part); share-out stores a non-empty document only. Both only when the
// instance's jsonShare is on.
void shareIn(RUNDATA& rd);
void shareOut(const RUNDATA& rd);

// ---- 3. Pointers and the limits ------------------------------------------------

// nlohmann/json parses without recursion, but copies, compares, dumps and
// encodes MessagePack with one call per nesting level. No document ever nests
// deeper than this many arrays and objects, so that all of those stay far
// inside a 1 MiB thread stack (Windows' default). Loading refuses deeper
// files; every writer checks before it adds a level.
inline constexpr size_t kMaxJsonDepth = 1000;

// Host text (UTF-16) as a JSON Pointer. Throws the library's parse_error for
// text that is neither empty nor begins with "/", or a "~" not followed by
// "0" or "1".
Json::json_pointer parsePointer(std::u16string_view text);

// Number of reference tokens: the nesting level of the value it addresses.
size_t tokenCount(const Json::json_pointer& pointer);

// Throws DepthError when a value at `at` holding `levels` levels of arrays or
// objects would take the document past kMaxJsonDepth.
void requireDepthRoom(const Json::json_pointer& at, size_t levels);

// The text of a refused nesting; a std::exception, reported like the
// library's own errors.
class DepthError : public std::exception {
public:
    const char* what() const noexcept override;
};

// Counts and indexes that actions take from the game (actions 8, 11, 12,
// 18, 46) decide how many elements are made. A count in the billions is a
// typing slip that would take the game's memory and time with it, so no
// single action adds more than this many elements to a document (some tens
// of megabytes and milliseconds at most); the action is refused before
// anything is written. Loading a file is not limited by it.
inline constexpr uint64_t kMaxNewElements = uint64_t{1} << 20;

// Throws GrowthError when `elements` is past kMaxNewElements.
void requireGrowthRoom(uint64_t elements);

class GrowthError : public std::exception {
public:
    const char* what() const noexcept override;
};

// Every failure of a JSON operation that has no message of its own (bad
// pointer syntax, a missing member, the wrong kind of value, ...) is reported
// alike: the "DEBUG" box when forcePopup is not 0, then condition 3.
void reportJsonFailure(RUNDATA& rd, const std::exception& error);

// ---- 4. Writing a member -----------------------------------------------------------

// The member that `parent` + `key` names, ready to be written: the parent is
// resolved strictly from `document` (every token must exist), the member is
// reached with the library's member access, which creates it as null when it
// is missing and turns a null parent into an object. Throws the library's
// errors (a missing parent, a parent that is neither null nor an object).
Json& memberOf(Json& document, const Json::json_pointer& parent, const std::string& key);

// For the regular-expression actions that push sub-matches into an array:
// makes the member that `path` names an array holding `texts` in order (each
// converted to UTF-8), whatever the member held, and sets `target` to the
// root of the document. The pointer is the caller's own: TargetPointer and
// WorkPointer are not changed. Its last token names the member, the rest the
// parent, which must exist (strict access); a null parent becomes an object.
//
// On any failure (bad pointer syntax, an empty pointer, a missing parent, a
// parent that is neither null nor an object, too deep a nesting) it reports
// like a pointer lookup failure (reportJsonFailure), leaves the document and
// `target` as they were, and answers false. It never throws.
//
// The caller keeps its own rules: with an empty list or an empty path text
// it does not call this at all.
bool storeTextArray(RUNDATA& rd, std::u16string_view path, const std::vector<std::u16string>& texts) noexcept;

}  // namespace trivu
