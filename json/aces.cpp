// JSON ACE bodies.
//
// Index
//   1. Shared helpers: failure reports, rendering
//   2. The document: load, save, new, backup and restore, clears, condition 10
//   3. Target and arrays: action 5, the array builder (8, 46, 11), action 12,
//      pushing a string, writing booleans
//   4. Reading: expressions 1, 3, 4, 9, 10, 11, 12
//
// Every read works on the document in place and never changes it. Every
// failure without a message of its own ends the routine with its empty
// result, reported like a pointer lookup failure (reportJsonFailure).

#include "json/aces.h"

#include <charconv>
#include <cmath>
#include <iomanip>
#include <limits>
#include <sstream>
#include <stdexcept>
#include <utility>

#include "common/notifier.h"
#include "common/params.h"
#include "host/boundary/ace_numbers.h"
#include "host/boundary/editdata.h"
#include "json/files.h"
#include "json/store.h"
#include "platform/platform.h"
#include "platform/utf.h"

namespace trivu {
namespace {

// ---- 1. Shared helpers -------------------------------------------------------------

// A dump indented by more would only ever be a typing slip, and one that
// asks for gigabytes of spaces.
constexpr int32_t kMaxDumpIndent = 100;

// Runs `body`; a failure is reported and answers false. The body must not
// keep references into the document past the report, which runs the game's
// events for condition 3.
template <typename Body>
bool reporting(RUNDATA& rd, Body&& body) {
    try {
        body();
        return true;
    } catch (const std::exception& error) {
        reportJsonFailure(rd, error);
        return false;
    }
}

// A string gives its characters; any other value its compact dump.
std::u16string render(const Json& value) {
    if (value.is_string()) return platform::utf8ToUtf16(value.get_ref<const std::string&>());
    return platform::utf8ToUtf16(value.dump());
}

const Json& readOnly(const Json& value) { return value; }

// Element `index` of an array, or the library's error for another kind.
const Json& elementAt(const Json& array, int32_t index) {
    if (!array.is_array()) return array[size_t{0}];  // throws the library's type error
    if (index < 0) throw std::out_of_range("array index " + std::to_string(index) + " is out of range");
    return array.at(static_cast<size_t>(index));
}

intptr_t resultText(RUNDATA& rd) { return textResult(rd, jsonWork().resultText.c_str()); }

intptr_t noText(RUNDATA& rd) { return textResult(rd, u""); }

}  // namespace

// ---- 2. The document ---------------------------------------------------------------

// The document is replaced only by a complete parse: a malformed file leaves
// the previous content whole (and `target` none, so that the game notices).
void loadDocument(RUNDATA& rd) {
    const std::u16string path = textParam(rd);
    switch (platform::pathState(path)) {
        case platform::PathState::Missing:
            rd.target = nullptr;
            notifyPath(rd, MessageId::LoadMissingFile, path);
            return;
        case platform::PathState::Unusable: return;
        case platform::PathState::Present: break;
    }
    std::optional<std::string> bytes = readFileBytes(path);
    if (!bytes) return;
    try {
        Json parsed = parseJsonText(*bytes);
        rd.document = std::move(parsed);
        rd.target = &rd.document;
    } catch (const std::exception& error) {
        rd.target = nullptr;
        notify(rd, MessageId::LoadFailed, error.what());
    }
}

void saveDocument(RUNDATA& rd) {
    const std::u16string path = textParam(rd);
    const std::u16string options = textParam(rd);
    if (!MatchParams(rd, options, formats::saveOptions) || rd.intParams.size() < 2) return;
    SaveForm form = rd.intParams[0] == 1   ? SaveForm::MessagePack
                    : rd.intParams[1] == 1 ? SaveForm::Indented
                                           : SaveForm::Compact;
    replaceFile(path, encodeDocument(rd.document, form), form != SaveForm::MessagePack);
}

void newEmptyObject(RUNDATA& rd) {
    rd.document = Json::object();
    rd.target = &rd.document;
}

void backupDocument(RUNDATA& rd) {
    if (isEmpty(rd.document)) {
        notify(rd, MessageId::EmptyBackup);
        return;
    }
    jsonSlots().backup = rd.document;
}

void restoreBackup(RUNDATA& rd) {
    const Json& backup = jsonSlots().backup;
    if (isEmpty(backup)) return;
    rd.document = backup;
    rd.target = &rd.document;
}

void clearSharedSlot(RUNDATA&) { jsonSlots().shared.clear(); }
void clearBackupSlot(RUNDATA&) { jsonSlots().backup.clear(); }
void clearDocument(RUNDATA& rd) { rd.document.clear(); }

bool sharedSlotIsEmpty(RUNDATA& rd) { return rd.jsonShare == JSON_SHARE_ON && isEmpty(jsonSlots().shared); }

// ---- 3. Target and arrays --------------------------------------------------------

void setTarget(RUNDATA& rd) {
    const std::u16string text = textParam(rd);
    JsonWork& work = jsonWork();
    work.targetId = intParam(rd);
    int condition = 0;
    bool found = reporting(rd, [&] {
        Json::json_pointer pointer = parsePointer(text);
        work.workPointer = pointer;
        work.targetPointer = std::move(pointer);
        if (rd.target == nullptr) return;
        const Json& value = readOnly(*rd.target).at(work.workPointer);
        if (value.is_array())
            condition = CND_TARGET_IS_ARRAY;
        else if (value.is_boolean())
            condition = value.get<bool>() ? CND_TARGET_IS_TRUE : CND_TARGET_IS_FALSE;
    });
    if (found && condition != 0) generateEvent(rd, condition);
}

bool targetIdMatches(RUNDATA& rd) { return intParam(rd, PARAM_REQUEST_AS_IS) == jsonWork().targetId; }

Json elementsOf(int32_t code, int32_t n) {
    Json array = Json::array();
    const int32_t atLeastOne = n > 1 ? n : 1;
    switch (code) {
        case ELEMENTS_NUMBERS:
            for (int32_t i = 0; i < atLeastOne; ++i) array.push_back(i);
            break;
        case ELEMENTS_STRINGS:
            for (int32_t i = 0; i < atLeastOne; ++i) array.push_back("");
            break;
        case ELEMENTS_FALSE:
        case ELEMENTS_TRUE:
            for (int32_t i = 0; i < atLeastOne; ++i) array.push_back(code == ELEMENTS_TRUE);
            break;
        case ELEMENTS_ARRAYS:
            for (int32_t i = 0; i < n; ++i) array.push_back(Json::array());
            break;
        default: break;
    }
    return array;
}

namespace {

// Appends every element or none (memory running out part way must not leave
// half an append): the elements are made aside and the room for them before
// the first one moves in; moving a value allocates nothing.
void appendAll(Json& member, Json&& elements) {
    if (member.is_null()) {
        member = std::move(elements);
        return;
    }
    if (member.is_array()) member.get_ref<Json::array_t&>().reserve(member.size() + elements.size());
    for (Json& element : elements) member.push_back(std::move(element));  // anything else refuses the first
}

// {"key": i}, made member by member: the library's initializer-list
// constructor leaks its object when memory runs out half way through it.
Json keyObject(int32_t i) {
    Json object = Json::object();
    object["key"] = i;
    return object;
}

// The array builder of actions 8, 46 and 11. WorkPointer is left at the
// parent of the member, ArrayKeyName names it. `innerLevels` counts the
// levels of arrays or objects inside the member's elements.
void buildArray(RUNDATA& rd, std::u16string_view path, int32_t n, int32_t code, size_t innerLevels) {
    JsonWork& work = jsonWork();
    work.workPointer = parsePointer(path);
    work.arrayKeyName = work.workPointer.back();  // "JSON pointer has no parent" for the empty pointer
    work.workPointer.pop_back();
    work.arrayRepeatCount = n;
    if (code == ELEMENTS_ARRAYS || code == ELEMENTS_OBJECTS) innerLevels = 1;
    requireDepthRoom(work.workPointer, 2 + innerLevels);
    if (code >= ELEMENTS_NUMBERS && code <= ELEMENTS_TRUE) requireGrowthRoom(n > 0 ? n : 0);  // others make []
    if (code == ELEMENTS_OBJECTS) {
        // Appended to what the member holds; with nothing to append the
        // member is not even created.
        if (n > 0) {
            Json objects = Json::array();
            for (int32_t i = 0; i < n; ++i) objects.push_back(keyObject(i));
            appendAll(memberOf(rd.document, work.workPointer, work.arrayKeyName), std::move(objects));
        }
    } else {
        Json elements = elementsOf(code, n);
        memberOf(rd.document, work.workPointer, work.arrayKeyName) = std::move(elements);
    }
    rd.target = &rd.document;
}

}  // namespace

void buildArrayOfKind(RUNDATA& rd) {
    const std::u16string path = textParam(rd);
    const int32_t n = intParam(rd);
    const int32_t code = intParam(rd);
    reporting(rd, [&] { buildArray(rd, path, n, code, 0); });
}

void buildArrayOfBooleans(RUNDATA& rd) {
    const std::u16string path = textParam(rd);
    const int32_t n = intParam(rd);
    const int32_t code = intParam(rd) != 0 ? ELEMENTS_TRUE : ELEMENTS_FALSE;
    reporting(rd, [&] { buildArray(rd, path, n, code, 0); });
}

namespace {

// The record positions 5 to 7 are the image's size and the fixed value:
// what a game needs to place and name the instance again.
ObjectRecord recordOf(const RUNDATA& rd, const headerObject& ho, int32_t position) {
    int32_t image = 0;
    if ((ho.hoOEFlags & (OEFLAG_ANIMATIONS | OEFLAG_SPRITES)) != 0) image = imageServiceValue(rd, ho) + 1;
    return {position, image, ho.hoX, ho.hoY, ho.hoImgWidth, ho.hoImgHeight, fixedValueOf(ho)};
}

Json recordJson(const ObjectRecord& record) {
    Json row = Json::array();
    for (int32_t value : record) row.push_back(value);
    return row;
}

class NoRecordError : public std::exception {
public:
    const char* what() const noexcept override { return "no instance record to fill the array with"; }
};

// One element per record when there are as many records as repeats;
// otherwise the member's elements take the records in turn, each numbered
// by its own position.
void fillWithRecords(RUNDATA& rd) {
    const JsonWork& work = jsonWork();
    const std::vector<ObjectRecord>& records = instanceRecords().records;
    Json& member = memberOf(rd.document, work.workPointer, work.arrayKeyName);
    if (work.arrayRepeatCount >= 0 && records.size() == static_cast<size_t>(work.arrayRepeatCount)) {
        Json rows = Json::array();
        for (const ObjectRecord& record : records) rows.push_back(recordJson(record));
        member = std::move(rows);
        return;
    }
    if (records.empty()) throw NoRecordError();
    for (size_t k = 0; k < member.size(); ++k) {
        ObjectRecord record = records[k % records.size()];
        record[0] = static_cast<int32_t>(k);
        member[k] = recordJson(record);
    }
}

}  // namespace

// Runs once per selected instance. The first run builds the member and
// starts the collection; the run for the last instance fills the member,
// even when that instance itself cannot be recorded.
void buildArrayOfInstances(RUNDATA& rd) {
    headerObject* object = objectParam(rd);
    if (object == nullptr) return;
    const JsonWork& work = jsonWork();
    InstanceRecords& loop = instanceRecords();
    const int32_t position = actionLoopIndex(rd);
    if (position == 0) loop.collecting = false;
    headerObject* sprite = usableSprite(rd, object);
    if (position == 0) {
        if (sprite == nullptr) return;
        const std::u16string path = textParam(rd);
        const int32_t n = intParam(rd);
        loop.records.clear();
        if (!reporting(rd, [&] { buildArray(rd, path, n, ELEMENTS_STRINGS, 1); })) return;
        loop.collecting = true;
    }
    if (!loop.collecting) return;
    if (sprite != nullptr && position < work.arrayRepeatCount) loop.records.push_back(recordOf(rd, *sprite, position));
    if (actionLoopGoesOn(rd)) return;
    loop.collecting = false;
    reporting(rd, [&] { fillWithRecords(rd); });
}

size_t indexToken(const std::string& token) {
    const char* at = token.c_str();
    const char* end = at + token.size();
    while (at < end && (*at == ' ' || (*at >= '\t' && *at <= '\r'))) ++at;
    if (at + 1 < end && *at == '+' && *(at + 1) != '-') ++at;
    int64_t value = 0;
    auto [stop, error] = std::from_chars(at, end, value);
    if (error == std::errc::invalid_argument || stop == at)
        throw std::invalid_argument("array index '" + token + "' is not a number");
    if (error != std::errc() || value < 0 || value > std::numeric_limits<int32_t>::max())
        throw std::out_of_range("array index '" + token + "' is out of range");
    return static_cast<size_t>(value);
}

namespace {

bool isArrayRow(const Json& table, size_t row) { return row < table.size() && table[row].is_array(); }

}  // namespace

// Writes start, start + step, ... into `column` of the rows from `row` on.
// A row that is not an array is skipped and the next row gets the same
// number. Looking ahead never changes the table (a row past its end is not
// an array); the writes extend rows and table as index access does. The
// numbers wrap around at the 32-bit range instead of overflowing.
void writeColumn(Json& table, size_t row, size_t column, int32_t repeat, int32_t start, int32_t step) {
    uint32_t value = static_cast<uint32_t>(start);
    const int64_t end = static_cast<int64_t>(row) + repeat;
    for (int64_t i = static_cast<int64_t>(row); i < end;) {
        table[static_cast<size_t>(i)][column] = static_cast<int32_t>(value);
        if (isArrayRow(table, static_cast<size_t>(i + 1))) {
            value += static_cast<uint32_t>(step);
            i += 1;
        } else {
            i += 2;
        }
    }
}

namespace {

// Walks the rows as writeColumn will and counts the elements its writes add,
// stopping once past the growth limit; throws the library's type error for a
// row the writes could not index (an object, a string, ...), so that a walk
// that would fail part way writes nothing. Counting on the table as it
// stands is exact: a write changes only the rows up to the one written, and
// the look-ahead reads the row after it.
uint64_t columnGrowth(const Json& table, size_t row, size_t column, int32_t repeat) {
    uint64_t added = 0;
    size_t rows = table.size();
    const int64_t end = static_cast<int64_t>(row) + repeat;
    for (int64_t i = static_cast<int64_t>(row); i < end && added <= kMaxNewElements;) {
        const size_t at = static_cast<size_t>(i);
        size_t length = 0;
        if (at >= rows) {
            added += at - rows + 1;  // null rows up to it, then the row itself
            rows = at + 1;
        } else if (table[at].is_array()) {
            length = table[at].size();
        } else if (!table[at].is_null()) {
            static_cast<void>(table[at][column]);  // throws the library's type error for this kind
        }
        if (column >= length) added += column + 1 - length;
        i += isArrayRow(table, at + 1) ? 1 : 2;
    }
    return added;
}

}  // namespace

void numberColumn(RUNDATA& rd) {
    const std::u16string path = textParam(rd);
    const std::u16string params = textParam(rd);
    JsonWork& work = jsonWork();
    if (!reporting(rd, [&] { work.workPointer = parsePointer(path); })) return;
    if (!MatchParams(rd, params, formats::sequence) || rd.intParams.size() < 3) return;
    const int32_t repeat = rd.intParams[0], start = rd.intParams[1], step = rd.intParams[2];
    bool twoDimensional = true;
    reporting(rd, [&] {
        const size_t column = indexToken(work.workPointer.back());
        work.workPointer.pop_back();
        const size_t row = indexToken(work.workPointer.back());
        work.workPointer.pop_back();
        Json& table = rd.document.at(work.workPointer);
        twoDimensional = table.is_array() && isArrayRow(table, row);
        if (!twoDimensional) return;
        requireGrowthRoom(columnGrowth(table, row, column, repeat));
        writeColumn(table, row, column, repeat, start, step);
    });
    if (!twoDimensional) notify(rd, MessageId::Not2DArray);
}

void pushTextToTarget(RUNDATA& rd) {
    const std::u16string text = textParam(rd);
    reporting(rd, [&] {
        const Json::json_pointer& pointer = jsonWork().targetPointer;
        Json& value = rd.document.at(pointer);
        if (value.is_null()) requireDepthRoom(pointer, 1);
        value.push_back(platform::utf16ToUtf8(text));
    });
}

void setBooleanInTarget(RUNDATA& rd) {
    const int32_t index = intParam(rd);
    const bool flag = intParam(rd) == 1;
    reporting(rd, [&] {
        const Json::json_pointer& pointer = jsonWork().targetPointer;
        Json& value = rd.document.at(pointer);
        if (index < 0) throw std::out_of_range("array index " + std::to_string(index) + " is out of range");
        if (value.is_null()) requireDepthRoom(pointer, 1);
        const size_t length = value.is_array() ? value.size() : 0;
        const size_t at = static_cast<size_t>(index);
        if ((value.is_array() || value.is_null()) && at >= length) requireGrowthRoom(at + 1 - length);
        value[at] = flag;
        rd.target = &rd.document;
    });
}

void setBooleanAtPointer(RUNDATA& rd) {
    const std::u16string text = textParam(rd);
    const bool flag = intParam(rd) == 1;
    reporting(rd, [&] {
        rd.document.at(parsePointer(text)) = flag;
        rd.target = &rd.document;
    });
}

// ---- 4. Reading ---------------------------------------------------------------------

namespace {

// The value at `pointer` from `target`, rendered into JsonResultText.
intptr_t renderAt(RUNDATA& rd, const Json::json_pointer& pointer) {
    JsonWork& work = jsonWork();
    work.resultText.clear();
    if (!reporting(rd, [&] { work.resultText = render(readOnly(*rd.target).at(pointer)); })) return noText(rd);
    return resultText(rd);
}

}  // namespace

intptr_t textAtPointer(RUNDATA& rd, ExpressionParams& params) {
    const std::u16string text = params.text();
    if (rd.target == nullptr) return noText(rd);
    JsonWork& work = jsonWork();
    if (!reporting(rd, [&] { work.workPointer = parsePointer(text); })) return noText(rd);
    return renderAt(rd, work.workPointer);
}

intptr_t textOfTarget(RUNDATA& rd, ExpressionParams&) {
    if (rd.target == nullptr) return noText(rd);
    JsonWork& work = jsonWork();
    work.workPointer = work.targetPointer;
    return renderAt(rd, work.workPointer);
}

intptr_t textOfWorkElement(RUNDATA& rd, ExpressionParams& params) {
    const int32_t index = params.number();
    if (rd.target == nullptr) return noText(rd);
    JsonWork& work = jsonWork();
    work.resultText.clear();
    bool found = reporting(rd, [&] {
        work.resultText = render(elementAt(readOnly(*rd.target).at(work.workPointer), index));
    });
    return found ? resultText(rd) : noText(rd);
}

intptr_t workArraySize(RUNDATA& rd, ExpressionParams&) {
    if (rd.target == nullptr) return intResult(0);
    const JsonWork& work = jsonWork();
    if (isEmpty(*rd.target) || work.workPointer.empty()) return intResult(0);
    int32_t size = 0;
    reporting(rd, [&] {
        const Json& value = readOnly(*rd.target).at(work.workPointer);
        if (value.is_array()) size = static_cast<int32_t>(value.size());
    });
    return intResult(size);
}

intptr_t dumpWithIndent(RUNDATA& rd, ExpressionParams& params) {
    const std::u16string text = params.text();
    const int32_t indent = params.number();
    if (rd.target == nullptr) return noText(rd);
    JsonWork& work = jsonWork();
    const Json& document = *rd.target;
    if (isEmpty(document)) {
        work.resultText = u"ERR :: JSON is empty..";
        return resultText(rd);
    }
    work.resultText.clear();
    bool found = reporting(rd, [&] {
        if (indent > kMaxDumpIndent)
            throw std::out_of_range("indent " + std::to_string(indent) + " is more than " +
                                    std::to_string(kMaxDumpIndent));
        std::string dump;
        if (text.size() <= 1) {
            dump = document.dump(indent);
        } else if (text == u"meta") {
            std::ostringstream out;
            out << std::setw(indent) << Json::meta() << '\n';
            dump = out.str();
        } else {
            dump = document.at(parsePointer(text)).dump(indent);
        }
        work.resultText = platform::utf8ToUtf16(dump);
    });
    return found ? resultText(rd) : noText(rd);
}

intptr_t targetPath(RUNDATA& rd, ExpressionParams&) {
    JsonWork& work = jsonWork();
    work.resultText = platform::utf8ToUtf16(work.targetPointer.to_string());
    return resultText(rd);
}

namespace {

intptr_t floatOf(RUNDATA& rd, double value) {
    // Beyond the float range the conversion itself would be undefined.
    if (std::isfinite(value) && std::fabs(value) > std::numeric_limits<float>::max())
        return floatResult(rd, value > 0 ? std::numeric_limits<float>::infinity()
                                         : -std::numeric_limits<float>::infinity());
    return floatResult(rd, static_cast<float>(value));
}

// A text with a point is read as a float, any other as a decimal integer
// (leading white space and a sign accepted, trailing characters ignored); a
// text that does not begin with a number, or one out of range, gives 0.
// Decimal only, by the same conversion on every build, whatever the C
// runtime's locale: the system's strtod would also take hexadecimal, "inf"
// and "nan" on one build and not on the other.
intptr_t numberOfText(RUNDATA& rd, const std::string& text) {
    const char* at = text.c_str();
    const char* const end = at + text.size();
    while (at < end && (*at == ' ' || (*at >= '\t' && *at <= '\r'))) ++at;
    const char* const number = at + (at < end && (*at == '+' || *at == '-') ? 1 : 0);
    if (number == end || !((*number >= '0' && *number <= '9') || *number == '.')) return intResult(0);
    if (*at == '+') ++at;  // from_chars takes a minus sign only
    if (text.find('.') != std::string::npos) {
        double value = 0;
        const auto [stop, error] = std::from_chars(at, end, value);
        if (stop == at || error != std::errc() || std::fabs(value) > std::numeric_limits<float>::max())
            return intResult(0);
        return floatResult(rd, static_cast<float>(value));
    }
    int64_t value = 0;
    const auto [stop, error] = std::from_chars(at, end, value);
    if (stop == at || error != std::errc() || value < std::numeric_limits<int32_t>::min() ||
        value > std::numeric_limits<int32_t>::max())
        return intResult(0);
    return intResult(static_cast<int32_t>(value));
}

intptr_t numberOf(RUNDATA& rd, const Json& element) {
    switch (element.type()) {
        case Json::value_t::number_integer: return intResult(static_cast<int32_t>(element.get<int64_t>()));
        case Json::value_t::number_unsigned: return intResult(static_cast<int32_t>(element.get<uint64_t>()));
        case Json::value_t::number_float: return floatOf(rd, element.get<double>());
        case Json::value_t::boolean: return intResult(element.get<bool>() ? 1 : 0);
        case Json::value_t::string: return numberOfText(rd, element.get_ref<const std::string&>());
        default: return intResult(0);
    }
}

}  // namespace

// Reads TargetPointer (not WorkPointer). An index outside the array, or a
// target that is no array, gives 0 and leaves the document as it is.
intptr_t numberOfTargetElement(RUNDATA& rd, ExpressionParams& params) {
    const int32_t index = params.number();
    if (rd.target == nullptr) return intResult(0);
    const Json* array = nullptr;
    if (!reporting(rd, [&] { array = &readOnly(*rd.target).at(jsonWork().targetPointer); })) return intResult(0);
    if (!array->is_array() || index < 0 || static_cast<size_t>(index) >= array->size()) return intResult(0);
    return numberOf(rd, (*array)[static_cast<size_t>(index)]);
}

}  // namespace trivu
