// Scenario parsing and checking.
//
// The whole file is turned into records and checked before anything runs, so
// that a faulty scenario never leaves half a trace behind. Faults are
// collected rather than stopping at the first one: a designer fixes a file in
// one go.
//
// Sections:
//   Paths and faults      JSON paths, values described in messages
//   Small readers         keys, integers, names, extension references, desktop states
//   Top level             desktop, files, types
//   AceDescriptions       reading the extension's description tables
//   parseScenario
//
// Expressions and parameters are read in scenario_expressions.cpp;
// conditions, actions, events and frames in scenario_events.cpp.

#include "trivu-host/scenario/scenario.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <limits>

#include "trivu-host/scenario/json_reader.h"
#include "trivu-host/base/paths.h"
#include "trivu-host/scenario/scenario_parser.h"
#include "trivu-host/base/text.h"

namespace standin::reader {

// ---- Paths and faults ----------------------------------------------------------

std::string member(const std::string& path, std::string_view key) { return memberPath(path, key); }
std::string item(const std::string& path, size_t i) { return itemPath(path, i); }

const char* describe(const Json& j) {
    switch (j.type()) {
        case Json::value_t::null: return "null";
        case Json::value_t::boolean: return "true/false";
        case Json::value_t::string: return "a text";
        case Json::value_t::array: return "an array";
        case Json::value_t::object: return "an object";
        default: return "a number";
    }
}

const char* typeName(Type type) { return type == Type::Text ? "a text" : "a number"; }

bool fitsInt32(double v) { return std::trunc(v) >= -2147483648.0 && std::trunc(v) <= 2147483647.0; }

// ---- Small readers ---------------------------------------------------------------

void Parser::checkKeys(const Json& j, const std::string& path, std::initializer_list<const char*> allowed) {
    for (auto it = j.begin(); it != j.end(); ++it) {
        bool known = std::any_of(allowed.begin(), allowed.end(), [&](const char* k) { return it.key() == k; });
        if (!known) fail(path, "unknown key " + standin::quoted(it.key()));
    }
}

std::optional<int64_t> Parser::integer(const Json& j, const std::string& path, int64_t lo, int64_t hi) {
    if (!j.is_number_integer()) {
        fail(path, std::string("an integer is wanted here, not ") + describe(j));
        return std::nullopt;
    }
    // Past 2^63 - 1 the value only fits the unsigned reading.
    bool tooLarge = j.is_number_unsigned() && j.get<uint64_t>() > static_cast<uint64_t>(hi);
    int64_t v = tooLarge ? hi : j.get<int64_t>();
    if (!tooLarge && v >= lo && v <= hi) return v;
    if (hi != std::numeric_limits<int64_t>::max())
        fail(path, j.dump() + " is outside " + std::to_string(lo) + " to " + std::to_string(hi));
    else if (tooLarge)
        fail(path, j.dump() + " is too large");
    else
        fail(path, j.dump() + " is below the least allowed, " + std::to_string(lo));
    return std::nullopt;
}

bool Parser::isTrue(const Json& j, const std::string& path) {
    if (j.is_boolean() && j.get<bool>()) return true;
    fail(path, "only true is meaningful here");
    return false;
}

int Parser::objectRef(const Json& j, const std::string& path) {
    if (!j.is_string()) {
        fail(path, std::string("an object name is wanted here, not ") + describe(j));
        return -1;
    }
    const std::string name = j.get<std::string>();
    for (size_t i = 0; i < sc.objects.size(); ++i)
        if (sc.objects[i].name == name) return static_cast<int>(i);
    fail(path, "unknown object " + standin::quoted(name));
    return -1;
}

int Parser::extensionRef(const Json& owner, const std::string& path) {
    const std::vector<int> none;
    const std::vector<int>& present = frameExtensions ? *frameExtensions : none;
    if (!owner.contains("ext")) {
        if (present.empty()) fail(path, "no extension object is present in this frame");
        return present.empty() ? -1 : present.front();
    }
    const Json& j = owner["ext"];
    const std::string at = member(path, "ext");
    if (!j.is_string()) {
        fail(at, std::string("an extension name is wanted here, not ") + describe(j));
        return -1;
    }
    const std::string name = j.get<std::string>();
    for (size_t i = 0; i < sc.extensions.size(); ++i) {
        if (sc.extensions[i].name != name) continue;
        if (std::find(present.begin(), present.end(), static_cast<int>(i)) == present.end()) {
            fail(at, "extension " + standin::quoted(name) + " is not present in this frame");
            return -1;
        }
        return static_cast<int>(i);
    }
    fail(at, "unknown extension " + standin::quoted(name));
    return -1;
}

// The one key of `heads` that says what the object is.
const char* Parser::head(const Json& j, const std::string& path, std::initializer_list<const char*> heads,
                         const char* what) {
    const char* found = nullptr;
    for (const char* h : heads) {
        if (!j.contains(h)) continue;
        if (found) {
            fail(path, std::string("both ") + standin::quoted(std::string(found)) + " and " +
                           standin::quoted(std::string(h)) + ": one " + what + " per object");
            return nullptr;
        }
        found = h;
    }
    if (!found) {
        std::string keys;
        for (auto it = j.begin(); it != j.end(); ++it) keys += (keys.empty() ? "" : ", ") + standin::quoted(it.key());
        fail(path, std::string("not a known ") + what + (keys.empty() ? " (empty object)" : " (keys " + keys + ")"));
    }
    return found;
}

// ---- Desktop states -------------------------------------------------------------

std::optional<WindowState> windowState(const Json& j) {
    std::string s = j.is_string() ? j.get<std::string>() : "";
    if (s == "normal") return WindowState::Normal;
    if (s == "maximized") return WindowState::Maximized;
    if (s == "minimized") return WindowState::Minimized;
    return std::nullopt;
}

std::optional<TaskbarState> taskbarState(const Json& j) {
    std::string s = j.is_string() ? j.get<std::string>() : "";
    if (s == "visible") return TaskbarState::Visible;
    if (s == "hidden") return TaskbarState::Hidden;
    if (s == "absent") return TaskbarState::Absent;
    return std::nullopt;
}

// ---- Top level ------------------------------------------------------------------------------

void Parser::desktop(const Json& j, const std::string& path) {
    if (!j.is_object()) {
        fail(path, std::string("an object is wanted here, not ") + describe(j));
        return;
    }
    checkKeys(j, path, {"caption", "state", "taskbar"});
    if (j.contains("caption")) {
        if (j["caption"].is_string())
            sc.caption = trivu::platform::utf8ToUtf16(j["caption"].get<std::string>());
        else
            fail(member(path, "caption"), "a text is wanted here");
    }
    if (j.contains("state")) {
        if (auto s = windowState(j["state"]))
            sc.state = *s;
        else
            fail(member(path, "state"), "\"normal\", \"maximized\" or \"minimized\" is wanted here");
    }
    if (j.contains("taskbar")) {
        if (auto t = taskbarState(j["taskbar"]))
            sc.taskbar = *t;
        else
            fail(member(path, "taskbar"), "\"visible\", \"hidden\" or \"absent\" is wanted here");
    }
}

namespace {

// Files are confined to the current directory: a scenario is a test, and a
// test that writes over /etc or ../other-project is always a mistake.
bool isConfinedPath(const std::string& name) {
    if (name.empty() || name[0] == '/') return false;
    size_t start = 0;
    while (start <= name.size()) {
        size_t end = name.find('/', start);
        if (end == std::string::npos) end = name.size();
        if (name.compare(start, end - start, "..") == 0 && end - start == 2) return false;
        start = end + 1;
    }
    return name.back() != '/';
}

// "./a//b" and "a/b" are the same file; "" for names of no file ("a/.").
std::string normalFileName(const std::string& name) {
    std::string normal = utf8Name(systemPath(name).lexically_normal());
    if (normal.empty() || normal == "." || normal.back() == '/') return "";
    return normal;
}

}  // namespace

void Parser::files(const Json& j, const std::string& path) {
    if (!j.is_object()) {
        fail(path, "an object mapping file names to their content is wanted here");
        return;
    }
    for (auto it = j.begin(); it != j.end(); ++it) {
        const std::string at = member(path, it.key());
        // The system would cut the name at a NUL and write another file.
        if (it.key().find('\0') != std::string::npos)
            fail(at, "a file name cannot hold a NUL character");
        else if (!isConfinedPath(it.key()))
            fail(at, "only a file below the current directory can be written");
        else if (!it.value().is_string())
            fail(at, std::string("the file's text is wanted here, not ") + describe(it.value()));
        else if (std::string name = normalFileName(it.key()); name.empty())
            fail(at, "the name does not name a file");
        else if (fileClash(name, at))
            continue;
        else
            sc.files.push_back({name, it.value().get<std::string>(), at});
    }
}

// Two entries that name one file, or one that would be the folder of
// another, cannot both be written.
bool Parser::fileClash(const std::string& name, const std::string& at) {
    auto isFolderOf = [](const std::string& folder, const std::string& file) {
        return file.size() > folder.size() && file.starts_with(folder) && file[folder.size()] == '/';
    };
    for (const ScenarioFile& other : sc.files) {
        if (other.name == name)
            fail(at, "names the same file as " + other.path);
        else if (isFolderOf(other.name, name))
            fail(at, standin::quoted(other.name) + " cannot be a folder: " + other.path + " writes it as a file");
        else if (isFolderOf(name, other.name))
            fail(at, "cannot be a file: " + other.path + " needs it as a folder");
        else
            continue;
        return true;
    }
    return false;
}

// The host keeps an object's name inline, in 24 UTF-16 units with its zero.
void Parser::checkName(const std::u16string& name, const std::string& at) {
    constexpr size_t kMaxUnits = OIL_NAME_UNITS - 1;
    if (name.empty())
        fail(at, "a name cannot be empty");
    else if (name.size() > kMaxUnits)
        fail(at, "a name is at most " + std::to_string(kMaxUnits) + " UTF-16 units, this one has " +
                     std::to_string(name.size()) + " (the host keeps it in 24 units with its zero)");
}

void Parser::extensions(const Json& j, const std::string& path) {
    static const char* const props[PROP_COUNT] = {"forcePopup", "regexIcase", "regexControlChars", "jsonShare"};
    if (!j.is_object()) {
        fail(path, "an object mapping extension names to their properties is wanted here");
        return;
    }
    for (auto it = j.begin(); it != j.end(); ++it) {
        const std::string at = member(path, it.key());
        const Json& v = it.value();
        ExtensionType t;
        t.name = it.key();
        t.name16 = trivu::platform::utf8ToUtf16(t.name);
        t.path = at;
        checkName(t.name16, at);
        if (!v.is_object()) {
            fail(at, std::string("an object of properties is wanted here, not ") + describe(v));
            continue;
        }
        checkKeys(v, at, {"text", props[0], props[1], props[2], props[3]});
        if (v.contains("text")) {
            if (v["text"].is_string())
                t.text = trivu::platform::utf8ToUtf16(v["text"].get<std::string>());
            else
                fail(member(at, "text"), "a text is wanted here");
        }
        for (int p = 0; p < PROP_COUNT; ++p) {
            if (!v.contains(props[p])) continue;
            const Json& flag = v[props[p]];
            if (flag.is_boolean()) {
                t.props[p] = {PropSetting::Check, flag.get<bool>() ? 1 : 0};
            } else if (flag.is_number_integer()) {
                if (auto n = integer(flag, member(at, props[p]), std::numeric_limits<int32_t>::min(),
                                     std::numeric_limits<int32_t>::max()))
                    t.props[p] = {PropSetting::Raw, static_cast<int32_t>(*n)};
            } else {
                fail(member(at, props[p]), "true, false or a 32-bit integer is wanted here");
            }
        }
        sc.extensions.push_back(std::move(t));
    }
}

void Parser::objects(const Json& j, const std::string& path) {
    if (!j.is_object()) {
        fail(path, "an object mapping object names to their properties is wanted here");
        return;
    }
    for (auto it = j.begin(); it != j.end(); ++it) {
        const std::string at = member(path, it.key());
        const Json& v = it.value();
        ObjectType t;
        t.name = it.key();
        t.name16 = trivu::platform::utf8ToUtf16(t.name);
        checkName(t.name16, at);
        if (!v.is_object()) {
            fail(at, std::string("an object of properties is wanted here, not ") + describe(v));
            continue;
        }
        checkKeys(v, at, {"width", "height", "type"});
        t.width = optionalInt32(v, "width", at).value_or(32);
        t.height = optionalInt32(v, "height", at).value_or(32);
        if (v.contains("type"))
            if (auto n = integer(v["type"], member(at, "type"), std::numeric_limits<int16_t>::min(),
                                 std::numeric_limits<int16_t>::max()))
                t.type = static_cast<int16_t>(*n);
        sc.objects.push_back(std::move(t));
    }
}

}  // namespace standin::reader

namespace standin {

using reader::describe;
using reader::item;
using reader::Parser;

std::optional<Scenario> parseScenario(std::string_view text, const std::string& fileName,
                                      const AceDescriptions& descriptions, std::vector<std::string>* errors) {
    JsonFault fault;
    std::optional<Json> read = readJson(text, &fault);
    if (!read) {
        if (fault.syntax)
            errors->push_back(fileName + ": not valid JSON: " + fault.what);
        else
            errors->push_back((fault.path.empty() ? std::string("(scenario)") : fault.path) + ": " + fault.what);
        return std::nullopt;
    }
    Json& root = *read;
    Parser p(descriptions, *errors);
    if (!root.is_object()) {
        p.fail("", std::string("a scenario is one JSON object, not ") + describe(root));
        return std::nullopt;
    }
    p.checkKeys(root, "", {"desktop", "files", "extensions", "objects", "frames", "comment"});
    if (root.contains("desktop")) p.desktop(root["desktop"], "desktop");
    if (root.contains("files")) p.files(root["files"], "files");
    if (root.contains("extensions")) p.extensions(root["extensions"], "extensions");
    if (root.contains("objects")) p.objects(root["objects"], "objects");
    if (!root.contains("frames") || !root["frames"].is_array()) {
        p.fail("frames", "an array of frames is wanted");
    } else {
        for (size_t i = 0; i < root["frames"].size(); ++i)
            if (auto f = p.frame(root["frames"][i], item("frames", i))) p.sc.frames.push_back(std::move(*f));
    }
    if (!errors->empty()) return std::nullopt;
    return std::move(p.sc);
}

}  // namespace standin
