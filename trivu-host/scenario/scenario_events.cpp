// The scenario reader's conditions, actions, events and frames: each JSON
// object is checked against the one form it names ("trivu", "pick", "set",
// ...) and against the extension's descriptions, and becomes a plain record.
#include "trivu-host/scenario/scenario_parser.h"

#include <algorithm>
#include <limits>

#include "trivu-host/base/text.h"

namespace standin::reader {

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
        checkKeys(j, path, {"pick", "index", "fixed"});
        c.op = CondOp::Pick;
        c.object = objectRef(v, at);
        if (j.contains("index") == j.contains("fixed")) {
            fail(path, j.contains("index") ? "a pick takes \"index\" or \"fixed\", not both"
                                           : "a pick wants \"index\" (instance numbers) or \"fixed\" (a fixed value)");
            return std::nullopt;
        }
        if (j.contains("fixed")) {
            c.fixed = typedExpr(j["fixed"], member(path, "fixed"), Type::Number, Fit::Any);
            if (c.fixed < 0 || c.object < 0) return std::nullopt;
            return c;
        }
        const std::string indexPath = member(path, "index");
        if (!j["index"].is_array()) {
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
    if (found == std::end(ops)) fail(item(at, 1), "unknown operator " + standin::quoted(op));
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
            a.caption = trivu::utf::decodeUtf8(j["caption"].get<std::string>());
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
                fail(item(at, i), "unknown extension " + standin::quoted(name));
            else if (std::find(f.extensions.begin(), f.extensions.end(), index) != f.extensions.end())
                fail(item(at, i), "extension " + standin::quoted(name) + " is listed twice");
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

}  // namespace standin::reader
