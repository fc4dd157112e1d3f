// The scenario reader's shared parts: the Parser record that collects a
// scenario and its faults, the limits it checks, and the small helpers that
// name JSON paths and describe values in messages. The reader is spread over
// scenario.cpp (small readers, the top level), scenario_expressions.cpp
// (expressions and call parameters) and scenario_events.cpp (conditions,
// actions, events and frames); only parseScenario is public (scenario.h).
#pragma once

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "sdk/object.h"
#include "sdk/runinfos.h"
#include "trivu-host/scenario/json_reader.h"
#include "trivu-host/scenario/scenario.h"

namespace standin::reader {

// Deeper expressions than this are refused: evaluating them recursively must
// never exhaust the stack.
constexpr int kMaxExprDepth = 64;
// Instance numbers are 16-bit object numbers.
constexpr int64_t kMaxInstanceNumber = 32767;

// ---- Paths and faults ----------------------------------------------------------

std::string member(const std::string& path, std::string_view key);
std::string item(const std::string& path, size_t i);
const char* describe(const Json& j);  // "a text", "an array", ... for messages
const char* typeName(Type type);
bool fitsInt32(double v);

// The desktop's states by their scenario names; nothing for any other value.
std::optional<WindowState> windowState(const Json& j);
std::optional<TaskbarState> taskbarState(const Json& j);

struct Parser {
    const AceDescriptions& catalogue;
    std::vector<std::string>& errors;
    Scenario sc;
    const std::vector<int>* frameExtensions = nullptr;  // `ext` defaults come from here
    int depth = 0;

    Parser(const AceDescriptions& d, std::vector<std::string>& e) : catalogue(d), errors(e) {}

    void fail(const std::string& path, const std::string& what) {
        errors.push_back((path.empty() ? std::string("(scenario)") : path) + ": " + what);
    }

    // Small readers
    void checkKeys(const Json& j, const std::string& path, std::initializer_list<const char*> allowed);
    std::optional<int64_t> integer(const Json& j, const std::string& path, int64_t lo, int64_t hi);
    bool isTrue(const Json& j, const std::string& path);
    int objectRef(const Json& j, const std::string& path);
    int extensionRef(const Json& owner, const std::string& path);
    const char* head(const Json& j, const std::string& path, std::initializer_list<const char*> heads,
                     const char* what);

    // Expressions
    int addExpr(Expr e);
    int expr(const Json& j, const std::string& path);
    int exprObject(const Json& j, const std::string& path);
    // Where a literal lands in a 32-bit field it must fit it.
    enum class Fit { Any, Int32, IntegerInt32 };
    int typedExpr(const Json& j, const std::string& path, Type want, Fit fit);
    std::optional<int32_t> optionalInt32(const Json& owner, const char* key, const std::string& path);

    // Calls
    std::vector<Param> params(const Json& owner, const std::string& path, const AceDescription& info, bool ofExpression,
                              const std::string& what);
    const AceDescription* ace(const std::vector<AceDescription>& table, const Json& code, const std::string& path,
                              const char* kind, int* codeOut);

    std::optional<Condition> condition(const Json& j, const std::string& path, size_t position);
    std::optional<Action> action(const Json& j, const std::string& path);
    std::optional<Action> desktopAction(const Json& j, const std::string& path, Action act);
    std::optional<Event> event(const Json& j, const std::string& path);
    std::optional<Frame> frame(const Json& j, const std::string& path);
    std::optional<StartInstance> instance(const Json& j, const std::string& path);

    void desktop(const Json& j, const std::string& path);
    void files(const Json& j, const std::string& path);
    bool fileClash(const std::string& name, const std::string& at);
    void checkName(const std::u16string& name, const std::string& at);
    void extensions(const Json& j, const std::string& path);
    void objects(const Json& j, const std::string& path);
};

}  // namespace standin::reader
