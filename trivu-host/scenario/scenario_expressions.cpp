// The scenario reader's expressions and the parameters of calls into the
// extension. Every expression becomes one record in the scenario's array,
// typed as a number or a text when read, so that a run never meets a type it
// did not expect; literals that land in 32-bit fields are checked to fit.
#include "trivu-host/scenario/scenario_parser.h"

#include <algorithm>
#include <limits>

#include "trivu-host/base/text.h"

namespace standin::reader {

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
        e.literal.text = trivu::utf::decodeUtf8(j.get<std::string>());
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

}  // namespace standin::reader
