// Scenario files of `trivu-host run`: the plain records a scenario becomes,
// and the parser that checks a whole file against the extension's own
// description tables before anything runs.
//
// Records refer to each other by index: objects, extension types and
// expressions live in one array each in Scenario, and every element keeps the
// JSON path it came from, so that run-time warnings can name it too.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "trivu-host/scenario/descriptions.h"
#include "trivu-host/scenario/desktop_states.h"

namespace standin {

// ---- Values ------------------------------------------------------------------

// Integers are 64-bit inside the host; Float is what an expression answers
// with HOF_FLOAT, Double what a JSON literal with a fraction or exponent holds.
enum class ValueKind : uint8_t { Int, Float, Double, Text };

struct Value {
    ValueKind kind = ValueKind::Int;
    int64_t i = 0;
    float f = 0;
    double d = 0;
    std::u16string text;
};

// The kind every expression is known to produce, fixed when it is parsed.
enum class Type : uint8_t { Number, Text };

// ---- Expressions -------------------------------------------------------------

enum class ExprOp : uint8_t {
    Literal,
    Extension,
    X,
    Y,
    Width,
    Height,
    A,
    B,
    Anim,
    Fixed,  // read one instance
    Count,
    Concat,
    ReadFile,
    FileHex,
    Exists,
    Desktop,
    Tick
};

enum class DesktopField : uint8_t { Caption, State, Taskbar };

enum class ParamKind : uint8_t { Object, Number, Text };

// One parameter of a call into the extension.
struct Param {
    ParamKind kind = ParamKind::Number;
    int object = -1;  // Object: the object type, -1 for null
    int expr = -1;    // Number, Text: the expression
    std::string path;
};

struct Expr {
    ExprOp op = ExprOp::Literal;
    Type type = Type::Number;
    Value literal;              // Literal
    int object = -1;            // X ... Fixed, Count
    int32_t index = -1;         // X ... Fixed: an instance number, -1 = first selected
    int ext = -1, code = -1;    // Extension
    std::vector<Param> params;  // Extension
    std::vector<int> args;      // Concat: the parts; ReadFile, FileHex, Exists: the path
    DesktopField field = DesktopField::Caption;
    std::string path;
};

// ---- Conditions, actions, events ----------------------------------------------

enum class CondOp : uint8_t { Start, Always, Tick, Every, Compare, Pick, Extension };
enum class CompareOp : uint8_t { Eq, Ne, Lt, Le, Gt, Ge };

struct Condition {
    CondOp op = CondOp::Always;
    int64_t n = 0;           // Tick, Every
    int lhs = -1, rhs = -1;  // Compare
    CompareOp compare = CompareOp::Eq;
    int object = -1;               // Pick
    std::vector<int32_t> numbers;  // Pick: instance numbers
    int fixed = -1;                // Pick: the fixed value's expression, -1 when picking by numbers
    int ext = -1, code = -1;       // Extension
    bool negate = false;
    bool triggered = false;  // flags 0: runs only when raised
    std::vector<Param> params;
    std::string path;
};

enum class ActOp : uint8_t { Extension, Log, Dump, Set, Alt, Create, Destroy, Desktop, NextFrame, End };

struct Action {
    ActOp op = ActOp::Log;
    int object = -1;
    int expr = -1;                       // Log
    int x = -1, y = -1, a = -1, b = -1;  // expressions, -1 when not given
    int width = -1, height = -1;
    int ext = -1, code = -1;  // Extension
    std::vector<Param> params;
    std::optional<WindowState> state;  // Desktop
    std::optional<TaskbarState> taskbar;
    std::optional<std::u16string> caption;
    std::string path;
};

struct Event {
    std::vector<Condition> conditions;
    std::vector<Action> actions;
    bool triggered = false;  // its first condition is a triggered one
    std::string path;
};

// ---- Types, frames, the scenario ------------------------------------------------

struct ObjectType {
    std::string name;
    std::u16string name16;  // what the object-info entry shows the extension
    int32_t width = 32, height = 32;
    int16_t type = 2;  // OBJ_SPR
};

// The four option properties, in record order.
enum : int { PROP_FORCE_POPUP, PROP_REGEX_ICASE, PROP_REGEX_CONTROL_CHARS, PROP_JSON_SHARE, PROP_COUNT };

struct PropSetting {
    enum How : uint8_t { Unset, Check, Raw } how = Unset;
    int32_t value = 0;  // the check state, or the word written raw
};

struct ExtensionType {
    std::string name;
    std::u16string name16;
    std::optional<std::u16string> text;
    PropSetting props[PROP_COUNT];
    std::string path;
};

struct StartInstance {
    int object = -1;
    int32_t x = 0, y = 0;
    std::optional<int32_t> width, height;
};

struct Frame {
    std::string name;
    int64_t ticks = 0;
    std::vector<int> extensions;  // extension types present, in creation order
    std::vector<StartInstance> instances;
    std::vector<Event> events;
    std::string path;
};

struct ScenarioFile {
    std::string name;     // relative to the current directory
    std::string content;  // UTF-8
    std::string path;
};

struct Scenario {
    std::u16string caption;
    WindowState state = WindowState::Normal;
    TaskbarState taskbar = TaskbarState::Visible;
    std::vector<ScenarioFile> files;
    std::vector<ExtensionType> extensions;
    std::vector<ObjectType> objects;
    std::vector<Frame> frames;
    std::vector<Expr> exprs;
};

// Parses and checks a whole scenario. Answers nothing when it is unusable,
// with one "PATH: what is wrong" line per fault in `errors` (a text that is
// no JSON at all is named by `fileName`).
std::optional<Scenario> parseScenario(std::string_view json, const std::string& fileName,
                                      const AceDescriptions& descriptions, std::vector<std::string>* errors);

}  // namespace standin
