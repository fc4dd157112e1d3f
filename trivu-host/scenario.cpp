// Scenario parsing and checking.
//
// The whole file is turned into records and checked before anything runs, so
// that a faulty scenario never leaves half a trace behind. Faults are
// collected rather than stopping at the first one: a designer fixes a file in
// one go.
//
// Sections:
//   Paths and faults      JSON paths, the Parser state
//   AceDescriptions             reading the extension's description tables
//   Small readers         keys, integers, names, extension references
//   Expressions
//   Parameters            of calls into the extension
//   Conditions
//   Actions
//   Events and frames
//   Top level             desktop, files, types, parseScenario

#include "trivu-host/scenario.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <filesystem>
#include <limits>

#include "trivu-host/json_reader.h"
#include "trivu-host/paths.h"
#include "trivu-host/text.h"

namespace host {

namespace {

// Deeper expressions than this are refused: evaluating them recursively must
// never exhaust the stack.
constexpr int kMaxExprDepth = 64;
// Instance numbers are 16-bit object numbers.
constexpr int64_t kMaxInstanceNumber = 32767;

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

// ---- Small readers ---------------------------------------------------------------

void Parser::checkKeys(const Json& j, const std::string& path, std::initializer_list<const char*> allowed) {
    for (auto it = j.begin(); it != j.end(); ++it) {
        bool known = std::any_of(allowed.begin(), allowed.end(), [&](const char* k) { return it.key() == k; });
        if (!known) fail(path, "unknown key " + host::quoted(it.key()));
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
    fail(path, "unknown object " + host::quoted(name));
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
            fail(at, "extension " + host::quoted(name) + " is not present in this frame");
            return -1;
        }
        return static_cast<int>(i);
    }
    fail(at, "unknown extension " + host::quoted(name));
    return -1;
}

// The one key of `heads` that says what the object is.
const char* Parser::head(const Json& j, const std::string& path, std::initializer_list<const char*> heads,
                         const char* what) {
    const char* found = nullptr;
    for (const char* h : heads) {
        if (!j.contains(h)) continue;
        if (found) {
            fail(path, std::string("both ") + host::quoted(std::string(found)) + " and " +
                           host::quoted(std::string(h)) + ": one " + what + " per object");
            return nullptr;
        }
        found = h;
    }
    if (!found) {
        std::string keys;
        for (auto it = j.begin(); it != j.end(); ++it) keys += (keys.empty() ? "" : ", ") + host::quoted(it.key());
        fail(path, std::string("not a known ") + what + (keys.empty() ? " (empty object)" : " (keys " + keys + ")"));
    }
    return found;
}

// ---- Expressions -----------------------------------------------------------------

int Parser::addExpr(Expr e) {
    sc.exprs.push_back(std::move(e));
    return static_cast<int>(sc.exprs.size() - 1);
}

int Parser::expr(const Json& j, const std::string& path) {
    Expr e;
    e.path = path;
    if (j.is_number_integer()) {
        if (j.is_number_unsigned() && j.get<uint64_t>() > static_cast<uint64_t>(std::numeric_limits<int64_t>::max())) {
            fail(path, j.dump() + " is too large");
            return -1;
        }
        e.literal.kind = ValueKind::Int;
        e.literal.i = j.get<int64_t>();
        return addExpr(std::move(e));
    }
    if (j.is_number_float()) {
        e.literal.kind = ValueKind::Double;
        e.literal.d = j.get<double>();
        return addExpr(std::move(e));
    }
    if (j.is_string()) {
        e.type = Type::Text;
        e.literal.kind = ValueKind::Text;
        e.literal.text = toUtf16(j.get<std::string>());
        return addExpr(std::move(e));
    }
    if (!j.is_object()) {
        fail(path, std::string("an expression is a number, a text or an object, not ") + describe(j));
        return -1;
    }
    if (depth >= kMaxExprDepth) {
        fail(path, "expressions nest deeper than " + std::to_string(kMaxExprDepth) + " levels");
        return -1;
    }
    ++depth;
    int index = exprObject(j, path);
    --depth;
    return index;
}

int Parser::exprObject(const Json& j, const std::string& path) {
    static const struct {
        const char* key;
        ExprOp op;
    } readers[] = {
        {"x", ExprOp::X}, {"y", ExprOp::Y}, {"width", ExprOp::Width}, {"height", ExprOp::Height},
        {"A", ExprOp::A}, {"B", ExprOp::B}, {"anim", ExprOp::Anim},   {"fixed", ExprOp::Fixed},
    };
    const char* h = head(j, path,
                         {"trivu", "x", "y", "width", "height", "A", "B", "anim", "fixed", "count", "concat",
                          "readFile", "fileHex", "exists", "desktop", "tick"},
                         "expression");
    if (!h) return -1;
    const std::string key = h;
    const std::string at = member(path, key);
    Expr e;
    e.path = path;

    if (key == "trivu") {
        checkKeys(j, path, {"trivu", "params", "ext"});
        e.op = ExprOp::Extension;
        e.ext = extensionRef(j, path);
        const AceDescription* info = ace(catalogue.expressions, j["trivu"], path, "expression", &e.code);
        if (!info) return -1;
        e.type = (info->flags & EXPFLAG_STRING) ? Type::Text : Type::Number;
        e.params = params(j, path, *info, true, "expression " + std::to_string(e.code));
        return e.ext < 0 ? -1 : addExpr(std::move(e));
    }
    for (const auto& r : readers) {
        if (key != r.key) continue;
        checkKeys(j, path, {r.key, "index"});
        e.op = r.op;
        e.object = objectRef(j[key], at);
        if (j.contains("index")) {
            auto n = integer(j["index"], member(path, "index"), 0, kMaxInstanceNumber);
            if (!n) return -1;
            e.index = static_cast<int32_t>(*n);
        }
        return e.object < 0 ? -1 : addExpr(std::move(e));
    }
    checkKeys(j, path, {h});
    const Json& v = j[key];
    if (key == "count") {
        e.op = ExprOp::Count;
        e.object = objectRef(v, at);
        return e.object < 0 ? -1 : addExpr(std::move(e));
    }
    if (key == "concat") {
        e.op = ExprOp::Concat;
        e.type = Type::Text;
        if (!v.is_array()) {
            fail(at, std::string("an array of expressions is wanted here, not ") + describe(v));
            return -1;
        }
        bool ok = true;
        for (size_t i = 0; i < v.size(); ++i) {
            int part = expr(v[i], item(at, i));
            ok = ok && part >= 0;
            e.args.push_back(part);
        }
        return ok ? addExpr(std::move(e)) : -1;
    }
    if (key == "readFile" || key == "fileHex" || key == "exists") {
        e.op = key == "readFile" ? ExprOp::ReadFile : key == "fileHex" ? ExprOp::FileHex : ExprOp::Exists;
        e.type = key == "exists" ? Type::Number : Type::Text;
        int p = typedExpr(v, at, Type::Text, Fit::Any);
        if (p < 0) return -1;
        e.args.push_back(p);
        return addExpr(std::move(e));
    }
    if (key == "desktop") {
        e.op = ExprOp::Desktop;
        e.type = Type::Text;
        std::string field = v.is_string() ? v.get<std::string>() : "";
        if (field == "caption")
            e.field = DesktopField::Caption;
        else if (field == "state")
            e.field = DesktopField::State;
        else if (field == "taskbar")
            e.field = DesktopField::Taskbar;
        else {
            fail(at, "\"caption\", \"state\" or \"taskbar\" is wanted here");
            return -1;
        }
        return addExpr(std::move(e));
    }
    // tick
    e.op = ExprOp::Tick;
    return isTrue(v, at) ? addExpr(std::move(e)) : -1;
}

// An expression of a known kind. Silently wrapping a designer's number into a
// 32-bit field would hide the mistake, so such a literal must fit.
int Parser::typedExpr(const Json& j, const std::string& path, Type want, Fit fit) {
    int index = expr(j, path);
    if (index < 0) return -1;
    const Expr& e = sc.exprs[index];
    if (e.type != want) {
        fail(path, std::string(typeName(want)) + " is wanted here, not " + typeName(e.type));
        return -1;
    }
    if (fit != Fit::Any && e.op == ExprOp::Literal) {
        bool fits = e.literal.kind == ValueKind::Int ? e.literal.i >= std::numeric_limits<int32_t>::min() &&
                                                           e.literal.i <= std::numeric_limits<int32_t>::max()
                                                     : fit == Fit::IntegerInt32 || fitsInt32(e.literal.d);
        if (!fits) {
            fail(path, j.dump() + " is outside the 32-bit range");
            return -1;
        }
    }
    return index;
}

std::optional<int32_t> Parser::optionalInt32(const Json& owner, const char* key, const std::string& path) {
    if (!owner.contains(key)) return std::nullopt;
    auto v = integer(owner[key], member(path, key), std::numeric_limits<int32_t>::min(),
                     std::numeric_limits<int32_t>::max());
    if (!v) return std::nullopt;
    return static_cast<int32_t>(*v);
}

// ---- Parameters --------------------------------------------------------------------

const AceDescription* Parser::ace(const std::vector<AceDescription>& table, const Json& code, const std::string& path,
                                  const char* kind, int* codeOut) {
    if (!code.is_number_integer()) {
        fail(path, std::string("the number of ") + (kind[0] == 'c' ? "a " : "an ") + kind + " is wanted here, not " +
                       describe(code));
        return nullptr;
    }
    int64_t n = code.is_number_unsigned() && code.get<uint64_t>() > 1000000 ? 1000000 : code.get<int64_t>();
    if (n < 0 || n >= static_cast<int64_t>(table.size()) || !table[n].present) {
        fail(path, std::string("unknown ") + kind + " " + code.dump());
        return nullptr;
    }
    *codeOut = static_cast<int>(n);
    return &table[n];
}

std::vector<Param> Parser::params(const Json& owner, const std::string& path, const AceDescription& info,
                                  bool ofExpression, const std::string& what) {
    static const Json empty = Json::array();
    const Json& list = owner.contains("params") ? owner["params"] : empty;
    const std::string at = member(path, "params");
    std::vector<Param> out;
    if (!list.is_array()) {
        fail(at, std::string("an array of parameters is wanted here, not ") + describe(list));
        return out;
    }
    if (list.size() != info.kinds.size()) {
        auto count = [](size_t n) { return std::to_string(n) + (n == 1 ? " parameter" : " parameters"); };
        fail(path, what + " takes " + count(info.kinds.size()) + ", " + std::to_string(list.size()) + " given");
        return out;
    }
    for (size_t i = 0; i < list.size(); ++i) {
        const Json& p = list[i];
        Param param;
        param.path = item(at, i);
        uint16_t kind = info.kinds[i];
        if (!ofExpression && kind == PARAM_OBJECT) {
            param.kind = ParamKind::Object;
            if (!p.is_null()) {
                if (!p.is_string()) {
                    fail(param.path, std::string("an object name or null is wanted here, not ") + describe(p));
                    continue;
                }
                param.object = objectRef(p, param.path);
            }
        } else if ((!ofExpression && kind == PARAM_EXPRESSION) || (ofExpression && kind == EXPPARAM_LONG)) {
            param.kind = ParamKind::Number;
            param.expr = typedExpr(p, param.path, Type::Number, Fit::Int32);
        } else if ((!ofExpression && kind == PARAM_EXPSTRING) || (ofExpression && kind == EXPPARAM_STRING)) {
            param.kind = ParamKind::Text;
            param.expr = typedExpr(p, param.path, Type::Text, Fit::Any);
        } else {
            fail(param.path,
                 what + " declares parameter kind " + std::to_string(kind) + ", which the host cannot pass");
            continue;
        }
        out.push_back(std::move(param));
    }
    return out;
}

// ---- Conditions ----------------------------------------------------------------------

std::optional<Condition> Parser::condition(const Json& j, const std::string& path, size_t position) {
    if (!j.is_object()) {
        fail(path, std::string("a condition is an object, not ") + describe(j));
        return std::nullopt;
    }
    const char* h = head(j, path, {"start", "always", "tick", "every", "compare", "pick", "trivu"}, "condition");
    if (!h) return std::nullopt;
    const std::string key = h;
    const std::string at = member(path, key);
    const Json& v = j[key];
    Condition c;
    c.path = path;

    if (key == "trivu") {
        checkKeys(j, path, {"trivu", "params", "not", "ext"});
        c.op = CondOp::Extension;
        c.ext = extensionRef(j, path);
        const AceDescription* info = ace(catalogue.conditions, v, path, "condition", &c.code);
        if (!info) return std::nullopt;
        const std::string what = "condition " + std::to_string(c.code);
        if (j.contains("not")) {
            if (!j["not"].is_boolean()) {
                fail(member(path, "not"), std::string("true or false is wanted here, not ") + describe(j["not"]));
                return std::nullopt;
            }
            c.negate = j["not"].get<bool>();
        }
        if (c.negate && !(info->flags & EVFLAG2_NOTABLE)) fail(path, what + " cannot be negated");
        c.triggered = !(info->flags & EVFLAGS_ALWAYS);
        if (c.triggered && position != 0)
            fail(path, what + " is triggered: it can only be the first condition of an event");
        c.params = params(j, path, *info, false, what);
        if (c.ext < 0) return std::nullopt;
        return c;
    }
    if (key == "pick") {
        checkKeys(j, path, {"pick", "index"});
        c.op = CondOp::Pick;
        c.object = objectRef(v, at);
        const std::string indexPath = member(path, "index");
        if (!j.contains("index") || !j["index"].is_array()) {
            fail(indexPath, "an array of instance numbers is wanted here");
            return std::nullopt;
        }
        for (size_t i = 0; i < j["index"].size(); ++i) {
            auto n = integer(j["index"][i], item(indexPath, i), 0, kMaxInstanceNumber);
            if (n) c.numbers.push_back(static_cast<int32_t>(*n));
        }
        if (c.object < 0) return std::nullopt;
        return c;
    }
    checkKeys(j, path, {h});
    if (key == "start" || key == "always") {
        c.op = key == "start" ? CondOp::Start : CondOp::Always;
        if (!isTrue(v, at)) return std::nullopt;
        return c;
    }
    if (key == "tick" || key == "every") {
        c.op = key == "tick" ? CondOp::Tick : CondOp::Every;
        auto n = integer(v, at, key == "tick" ? 0 : 1, std::numeric_limits<int64_t>::max());
        if (!n) return std::nullopt;
        c.n = *n;
        return c;
    }
    // compare
    c.op = CondOp::Compare;
    if (!v.is_array() || v.size() != 3 || !v[1].is_string()) {
        fail(at, "[EXPRESSION, OPERATOR, EXPRESSION] is wanted here");
        return std::nullopt;
    }
    static const struct {
        const char* text;
        CompareOp op;
    } ops[] = {
        {"==", CompareOp::Eq}, {"!=", CompareOp::Ne}, {"<", CompareOp::Lt},
        {"<=", CompareOp::Le}, {">", CompareOp::Gt},  {">=", CompareOp::Ge},
    };
    const std::string op = v[1].get<std::string>();
    auto found = std::find_if(std::begin(ops), std::end(ops), [&](const auto& o) { return op == o.text; });
    if (found == std::end(ops)) fail(item(at, 1), "unknown operator " + host::quoted(op));
    c.lhs = expr(v[0], item(at, 0));
    c.rhs = expr(v[2], item(at, 2));
    if (found == std::end(ops) || c.lhs < 0 || c.rhs < 0) return std::nullopt;
    c.compare = found->op;
    if (sc.exprs[c.lhs].type != sc.exprs[c.rhs].type) {
        fail(at, std::string("cannot compare ") + typeName(sc.exprs[c.lhs].type) + " with " +
                     typeName(sc.exprs[c.rhs].type));
        return std::nullopt;
    }
    return c;
}

// ---- Actions ---------------------------------------------------------------------------

std::optional<Action> Parser::action(const Json& j, const std::string& path) {
    if (!j.is_object()) {
        fail(path, std::string("an action is an object, not ") + describe(j));
        return std::nullopt;
    }
    const char* h = head(
        j, path, {"trivu", "log", "dump", "set", "alt", "create", "destroy", "desktop", "nextFrame", "end"}, "action");
    if (!h) return std::nullopt;
    const std::string key = h;
    const std::string at = member(path, key);
    const Json& v = j[key];
    Action a;
    a.path = path;
    bool ok = true;
    // An optional number expression. Alterable values also hold doubles, so
    // only their integer literals must fit 32 bits.
    auto number = [&](const char* k) {
        if (!j.contains(k)) return -1;
        Fit fit = k[0] == 'A' || k[0] == 'B' ? Fit::IntegerInt32 : Fit::Int32;
        int e = typedExpr(j[k], member(path, k), Type::Number, fit);
        ok = ok && e >= 0;
        return e;
    };

    if (key == "trivu") {
        checkKeys(j, path, {"trivu", "params", "ext"});
        a.op = ActOp::Extension;
        a.ext = extensionRef(j, path);
        const AceDescription* info = ace(catalogue.actions, v, path, "action", &a.code);
        if (!info) return std::nullopt;
        a.params = params(j, path, *info, false, "action " + std::to_string(a.code));
        if (a.ext < 0) return std::nullopt;
        return a;
    }
    if (key == "set" || key == "alt" || key == "create") {
        checkKeys(j, path,
                  key == "set"   ? std::initializer_list<const char*>{"set", "x", "y"}
                  : key == "alt" ? std::initializer_list<const char*>{"alt", "A", "B"}
                                 : std::initializer_list<const char*>{"create", "x", "y", "width", "height"});
        a.op = key == "set" ? ActOp::Set : key == "alt" ? ActOp::Alt : ActOp::Create;
        a.object = objectRef(v, at);
        a.x = number("x");
        a.y = number("y");
        a.a = number("A");
        a.b = number("B");
        a.width = number("width");
        a.height = number("height");
        if (!ok || a.object < 0) return std::nullopt;
        return a;
    }
    checkKeys(j, path, {h});
    if (key == "log") {
        a.op = ActOp::Log;
        a.expr = expr(v, at);
        if (a.expr < 0) return std::nullopt;
        return a;
    }
    if (key == "dump" || key == "destroy") {
        a.op = key == "dump" ? ActOp::Dump : ActOp::Destroy;
        a.object = objectRef(v, at);
        if (a.object < 0) return std::nullopt;
        return a;
    }
    if (key == "desktop") {
        a.op = ActOp::Desktop;
        return desktopAction(v, at, std::move(a));
    }
    a.op = key == "nextFrame" ? ActOp::NextFrame : ActOp::End;
    if (!isTrue(v, at)) return std::nullopt;
    return a;
}

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

std::optional<Action> Parser::desktopAction(const Json& j, const std::string& path, Action a) {
    if (!j.is_object()) {
        fail(path,
             std::string("an object with \"state\", \"taskbar\" or \"caption\" is wanted here, not ") + describe(j));
        return std::nullopt;
    }
    checkKeys(j, path, {"state", "taskbar", "caption"});
    bool ok = true;
    if (j.contains("state")) {
        a.state = windowState(j["state"]);
        if (!a.state) fail(member(path, "state"), "\"normal\", \"maximized\" or \"minimized\" is wanted here");
        ok = ok && a.state;
    }
    if (j.contains("taskbar")) {
        a.taskbar = taskbarState(j["taskbar"]);
        if (!a.taskbar) fail(member(path, "taskbar"), "\"visible\", \"hidden\" or \"absent\" is wanted here");
        ok = ok && a.taskbar;
    }
    if (j.contains("caption")) {
        if (j["caption"].is_string())
            a.caption = toUtf16(j["caption"].get<std::string>());
        else
            fail(member(path, "caption"), "a text is wanted here");
        ok = ok && a.caption;
    }
    if (!ok) return std::nullopt;
    return a;
}

// ---- Events and frames --------------------------------------------------------------------

std::optional<Event> Parser::event(const Json& j, const std::string& path) {
    if (!j.is_object()) {
        fail(path, std::string("an event is an object, not ") + describe(j));
        return std::nullopt;
    }
    checkKeys(j, path, {"if", "then", "comment"});
    Event ev;
    ev.path = path;
    bool ok = true;
    for (const char* key : {"if", "then"}) {
        if (!j.contains(key)) continue;
        const std::string at = member(path, key);
        if (!j[key].is_array()) {
            fail(at, std::string("an array is wanted here, not ") + describe(j[key]));
            ok = false;
            continue;
        }
        for (size_t i = 0; i < j[key].size(); ++i) {
            if (key[0] == 'i') {
                auto c = condition(j[key][i], item(at, i), i);
                if (c) ev.conditions.push_back(std::move(*c));
                ok = ok && c;
            } else {
                auto a = action(j[key][i], item(at, i));
                if (a) ev.actions.push_back(std::move(*a));
                ok = ok && a;
            }
        }
    }
    if (!ok) return std::nullopt;
    ev.triggered = !ev.conditions.empty() && ev.conditions.front().triggered;
    return ev;
}

std::optional<StartInstance> Parser::instance(const Json& j, const std::string& path) {
    if (!j.is_object()) {
        fail(path, std::string("an instance is an object, not ") + describe(j));
        return std::nullopt;
    }
    checkKeys(j, path, {"object", "x", "y", "width", "height"});
    StartInstance start;
    if (!j.contains("object")) {
        fail(path, "\"object\" is missing");
        return std::nullopt;
    }
    start.object = objectRef(j["object"], member(path, "object"));
    start.x = optionalInt32(j, "x", path).value_or(0);
    start.y = optionalInt32(j, "y", path).value_or(0);
    start.width = optionalInt32(j, "width", path);
    start.height = optionalInt32(j, "height", path);
    if (start.object < 0) return std::nullopt;
    return start;
}

std::optional<Frame> Parser::frame(const Json& j, const std::string& path) {
    if (!j.is_object()) {
        fail(path, std::string("a frame is an object, not ") + describe(j));
        return std::nullopt;
    }
    checkKeys(j, path, {"name", "ticks", "extensions", "instances", "events", "comment"});
    Frame f;
    f.path = path;
    if (j.contains("name")) {
        if (j["name"].is_string())
            f.name = j["name"].get<std::string>();
        else
            fail(member(path, "name"), "a text is wanted here");
    }
    if (!j.contains("ticks"))
        fail(path, "\"ticks\" is missing");
    else if (auto n = integer(j["ticks"], member(path, "ticks"), 0, std::numeric_limits<int64_t>::max()))
        f.ticks = *n;

    if (j.contains("extensions")) {
        const Json& list = j["extensions"];
        const std::string at = member(path, "extensions");
        if (!list.is_array()) fail(at, "an array of extension names is wanted here");
        for (size_t i = 0; list.is_array() && i < list.size(); ++i) {
            const std::string name = list[i].is_string() ? list[i].get<std::string>() : "";
            auto found = std::find_if(sc.extensions.begin(), sc.extensions.end(),
                                      [&](const ExtensionType& t) { return t.name == name; });
            int index = static_cast<int>(found - sc.extensions.begin());
            if (!list[i].is_string())
                fail(item(at, i), "an extension name is wanted here");
            else if (found == sc.extensions.end())
                fail(item(at, i), "unknown extension " + host::quoted(name));
            else if (std::find(f.extensions.begin(), f.extensions.end(), index) != f.extensions.end())
                fail(item(at, i), "extension " + host::quoted(name) + " is listed twice");
            else
                f.extensions.push_back(index);
        }
    } else {
        for (size_t i = 0; i < sc.extensions.size(); ++i) f.extensions.push_back(static_cast<int>(i));
    }

    if (j.contains("instances")) {
        const std::string at = member(path, "instances");
        const Json& list = j["instances"];
        if (!list.is_array()) fail(at, "an array of instances is wanted here");
        for (size_t i = 0; list.is_array() && i < list.size(); ++i)
            if (auto start = instance(list[i], item(at, i))) f.instances.push_back(*start);
        if (static_cast<int64_t>(f.instances.size() + f.extensions.size()) > kMaxInstanceNumber + 1)
            fail(at, "a frame holds at most " + std::to_string(kMaxInstanceNumber + 1) + " instances");
    }

    frameExtensions = &f.extensions;
    if (j.contains("events")) {
        const std::string at = member(path, "events");
        const Json& list = j["events"];
        if (!list.is_array()) fail(at, "an array of events is wanted here");
        for (size_t i = 0; list.is_array() && i < list.size(); ++i)
            if (auto ev = event(list[i], item(at, i))) f.events.push_back(std::move(*ev));
    }
    frameExtensions = nullptr;
    return f;
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
            sc.caption = toUtf16(j["caption"].get<std::string>());
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
            fail(at, host::quoted(other.name) + " cannot be a folder: " + other.path + " writes it as a file");
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
        t.name16 = toUtf16(t.name);
        t.path = at;
        checkName(t.name16, at);
        if (!v.is_object()) {
            fail(at, std::string("an object of properties is wanted here, not ") + describe(v));
            continue;
        }
        checkKeys(v, at, {"text", props[0], props[1], props[2], props[3]});
        if (v.contains("text")) {
            if (v["text"].is_string())
                t.text = toUtf16(v["text"].get<std::string>());
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
        t.name16 = toUtf16(t.name);
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

}  // namespace

// ---- AceDescriptions ------------------------------------------------------------------------------------

AceDescriptions readDescriptions(const Library& library, mv* mV) {
    const kpxRunInfos& infos = library.infos;
    auto read = [&](auto describeAce, int16_t count, const auto* routines) {
        std::vector<AceDescription> out(count > 0 ? static_cast<size_t>(count) : 0);
        for (int16_t code = 0; code < count; ++code) {
            EventInfos e = describeAce ? describeAce(mV, code) : nullptr;
            // A routine-less entry cannot be called, whatever its description says.
            if (!e || !routines || !routines[code]) continue;
            AceDescription& info = out[code];
            info.present = true;
            info.flags = eventFlags(e);
            for (int i = 0; i < eventParamCount(e); ++i) info.kinds.push_back(eventParamKind(e, i));
        }
        return out;
    };
    AceDescriptions c;
    c.actions = read(library.GetActionInfos, infos.numOfActions, infos.actions);
    c.conditions = read(library.GetConditionInfos, infos.numOfConditions, infos.conditions);
    c.expressions = read(library.GetExpressionInfos, infos.numOfExpressions, infos.expressions);
    return c;
}

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

}  // namespace host
