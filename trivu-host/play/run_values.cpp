// Evaluating a scenario's expressions during a run, and the forms values take:
// 32-bit parameters, trace text, alterable values. Instance fields, files on
// the disk and the desktop are read when the expression is evaluated.
#include "trivu-host/play/run_state.h"

#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "trivu-host/base/paths.h"
#include "trivu-host/base/text.h"

namespace standin::runner {

// ---- Values ----------------------------------------------------------------------------

Value intValue(int64_t i) {
    Value v;
    v.i = i;
    return v;
}

Value textValue(std::u16string text) {
    Value v;
    v.kind = ValueKind::Text;
    v.text = std::move(text);
    return v;
}

// A number as a 32-bit parameter: floats truncate toward zero, and whatever
// lies outside the range saturates (NaN gives 0), never undefined behaviour.
int32_t toInt32(const Value& v) {
    double d = v.kind == ValueKind::Int ? static_cast<double>(v.i) : v.kind == ValueKind::Float ? v.f : v.d;
    if (v.kind == ValueKind::Text || std::isnan(d)) return 0;
    if (v.kind == ValueKind::Int && v.i >= INT32_MIN && v.i <= INT32_MAX) return static_cast<int32_t>(v.i);
    d = std::trunc(d);
    if (d <= -2147483648.0) return INT32_MIN;
    if (d >= 2147483647.0) return INT32_MAX;
    return static_cast<int32_t>(d);
}

namespace {

std::string numberForm(const Value& v) {
    switch (v.kind) {
        case ValueKind::Int: return std::to_string(v.i);
        case ValueKind::Float: return formatFloat(v.f);
        case ValueKind::Double: return formatDouble(v.d);
        case ValueKind::Text: break;
    }
    return "";
}

Value altValue(const CValue& a) {
    if (a.m_type == TYPE_LONG) return intValue(a.m_long);
    Value v;
    v.kind = ValueKind::Double;
    v.d = a.m_type == TYPE_DOUBLE ? a.m_double : 0;  // any other type holds no number
    return v;
}

}  // namespace

std::string logForm(const Value& v) { return v.kind == ValueKind::Text ? standin::quoted(v.text) : numberForm(v); }

std::u16string textForm(const Value& v) { return v.kind == ValueKind::Text ? v.text : trivu::platform::utf8ToUtf16(numberForm(v)); }

std::string altForm(const CValue& a) { return numberForm(altValue(a)); }

namespace {

bool readBytes(const std::string& name, std::string* bytes) {
    std::error_code ec;
    const std::filesystem::path path = systemPath(name);
    if (!std::filesystem::is_regular_file(path, ec)) return false;
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    *bytes = s.str();
    return static_cast<bool>(in);
}

std::string hexOf(const std::string& bytes) {
    static const char digits[] = "0123456789abcdef";
    std::string out;
    for (unsigned char c : bytes) {
        out += digits[c >> 4];
        out += digits[c & 15];
    }
    return out;
}

const Instance* instanceFor(Run& run, Scope& scope, const Expr& e) {
    if (e.index < 0) {
        const Instance* in = firstSelected(run, scope, e.object);
        if (!in) warn(run, e.path, "no instance of " + run.sc.objects[e.object].name + " is selected; 0 used");
        return in;
    }
    if (const Instance* in = instanceNumbered(run, e.index); in && in->object == e.object) return in;
    warn(run, e.path, "there is no " + run.sc.objects[e.object].name + "#" + std::to_string(e.index) + "; 0 used");
    return nullptr;
}

Value readInstance(Run& run, Scope& scope, const Expr& e) {
    const Instance* in = instanceFor(run, scope, e);
    if (!in) return intValue(0);
    const headerObject& ho = in->ro.roHo;
    switch (e.op) {
        case ExprOp::X: return intValue(ho.hoX);
        case ExprOp::Y: return intValue(ho.hoY);
        case ExprOp::Width: return intValue(ho.hoImgWidth);
        case ExprOp::Height: return intValue(ho.hoImgHeight);
        case ExprOp::A: return altValue(in->values[0]);
        case ExprOp::B: return altValue(in->values[1]);
        case ExprOp::Anim: return intValue(static_cast<int64_t>(in->ro.roa.raAnimFrameForced) - 1);
        default: return intValue(fixedValueOf(ho));
    }
}

Value evalFile(Run& run, Scope& scope, const Expr& e) {
    const std::string name = trivu::platform::utf16ToUtf8(eval(run, scope, e.args[0]).text);
    if (e.op == ExprOp::Exists) {
        std::error_code ec;
        return intValue(std::filesystem::exists(systemPath(name), ec) ? 1 : 0);
    }
    std::string bytes;
    if (!readBytes(name, &bytes)) {
        warn(run, e.path, "cannot read " + standin::quoted(name) + "; the empty text used");
        return textValue(u"");
    }
    return textValue(e.op == ExprOp::ReadFile ? trivu::platform::utf8ToUtf16(bytes) : trivu::platform::utf8ToUtf16(hexOf(bytes)));
}

}  // namespace

Value eval(Run& run, Scope& scope, int index) {
    const Expr& e = run.sc.exprs[index];
    switch (e.op) {
        case ExprOp::Literal: return e.literal;
        case ExprOp::Extension: return evalExtension(run, scope, e);
        case ExprOp::X:
        case ExprOp::Y:
        case ExprOp::Width:
        case ExprOp::Height:
        case ExprOp::A:
        case ExprOp::B:
        case ExprOp::Anim:
        case ExprOp::Fixed: return readInstance(run, scope, e);
        case ExprOp::Count: {
            int64_t n = 0;
            for (const Instance* in : liveOf(run, e.object))
                if (!(in->ro.roHo.hoFlags & HOF_DESTROYED)) ++n;
            return intValue(n);
        }
        case ExprOp::Concat: {
            std::u16string s;
            for (int part : e.args) s += textForm(eval(run, scope, part));
            return textValue(std::move(s));
        }
        case ExprOp::ReadFile:
        case ExprOp::FileHex:
        case ExprOp::Exists: return evalFile(run, scope, e);
        case ExprOp::Desktop:
            if (e.field == DesktopField::Caption) return textValue(run.desktop.caption);
            return textValue(
                trivu::platform::utf8ToUtf16(e.field == DesktopField::State ? name(run.desktop.state) : name(run.desktop.taskbar)));
        case ExprOp::Tick: return intValue(run.tick);
    }
    return intValue(0);
}

}  // namespace standin::runner
