// `trivu-host run`: plays a checked scenario against the loaded extension.
//
// Everything a run owns is in one Run record. The service table the extension
// calls back into has no context argument, so the routines reach the Run
// through `gRun`, which is set only while runScenario runs. Pointers that
// come back from the extension are looked up among the run's own instances
// before they are trusted.
//
// Sections:
//   Run state        instances, calls in progress, the Run
//   Output           trace lines and warnings
//   Instances        creating, selecting, finding by header
//   Values           evaluating expressions, number and text forms
//   Calls            calling routines, answering parameter fetches
//   Services         the run header's service table
//   Events           conditions, actions, triggered events
//   Drawing          what --svg is told
//   Frames           frame start, ticks, frame end
//   runScenario

#include "trivu-host/run.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <memory>
#include <new>
#include <ostream>
#include <sstream>
#include <utility>

#include "trivu-host/desktop.h"
#include "trivu-host/editor.h"
#include "trivu-host/paths.h"
#include "trivu-host/json_reader.h"
#include "trivu-host/scenario.h"
#include "trivu-host/svg.h"
#include "trivu-host/text.h"

namespace host {

namespace {

// ---- Run state ---------------------------------------------------------------------

constexpr int kAltValues = VALUES_NUMBEROF_ALTERABLE;
// Raises nest inside raises; a scenario whose events raise each other
// forever must end in a warning, not a stack overflow.
constexpr int kMaxRaiseDepth = 16;
constexpr int kMaxInstanceNumber = 32767;  // object numbers are 16-bit

// An object instance of any type (Active or not), laid out as the host lays
// out an Active object: the header the extension sees at the start, then the
// common, movement, animation, sprite and values blocks; and the alterable
// values the values block points to.
struct Instance {
    RunObject ro{};
    CValue values[kAltValues]{};
    int object = -1;
    bool removed = false;  // left the selection at the end of its destroying tick
};

// What the host writes at the start of an extension's RUNDATA: the header,
// then the values block (the one block TRIVU's flags ask for).
struct ExtensionHead {
    headerObject rHo;
    rVal rv;
};
static_assert(sizeof(ExtensionHead) == sizeof(headerObject) + sizeof(rVal));

// RUNDATA blocks are aligned for any field an extension may put there
// (std::aligned_alloc is missing from the Windows C runtime).
constexpr std::align_val_t kRecordAlignment{16};

void releaseRecord(RUNDATA* record) { ::operator delete(record, kRecordAlignment); }

struct ExtInstance {
    int type = -1;
    RUNDATA* rd = nullptr;  // owned; freed at frame end, after every destroy call
    CValue values[kAltValues]{};
    bool wanted = true;       // HandleRunObject is called on each tick
    int64_t rehandleAt = -1;  // the tick from which it is wanted again
    bool destroyed = false;   // DestroyRunObject has run: no more calls
    headerObject& ho() { return *reinterpret_cast<headerObject*>(rd); }
};

// An event's picks: an object without one selects all its instances.
struct Pick {
    int object;
    std::vector<Instance*> chosen;
};
struct Scope {
    std::vector<Pick> picks;
};

// One call into the extension in progress, for its parameter fetches.
struct Call {
    Call(ExtInstance& ext, const std::vector<Param>& params, Scope& scope, const std::string& path, std::string what)
        : ext(&ext), params(&params), scope(&scope), path(&path), what(std::move(what)) {}

    ExtInstance* ext = nullptr;
    const std::vector<Param>* params = nullptr;
    Scope* scope = nullptr;
    const std::string* path = nullptr;
    std::string what;  // "action 5", for warnings
    bool expression = false;
    int loopParam = -1;  // the object parameter the action loop runs over
    Instance* loop = nullptr;
    size_t next = 0;
    std::deque<std::u16string> texts;  // answered texts, valid until the routine returns
};

struct Run {
    const Scenario& sc;
    Library& lib;
    Desktop& desktop;
    std::ostream& out;
    std::ostream& err;
    bool trace;

    RunHeader rh{};
    std::vector<EditRecord*> records;  // per extension type
    std::vector<objInfoList> objectInfos, extensionInfos;

    int frame = -1;
    int64_t tick = -1;               // -1 outside ticks
    std::deque<Instance> instances;  // deques: the extension keeps pointers into them
    std::deque<ExtInstance> exts;
    int nextNumber = 0;
    std::vector<Call*> calls;  // innermost last
    int raiseDepth = 0;
    bool frameEnds = false, appEnds = false;
    Drawing* drawing = nullptr;  // --svg

    Run(const Scenario& s, Library& l, Desktop& d, std::ostream& o, std::ostream& e, bool t)
        : sc(s), lib(l), desktop(d), out(o), err(e), trace(t) {}
    Run(const Run&) = delete;
    Run& operator=(const Run&) = delete;
    // A run stopped by an exception still gives its blocks back.
    ~Run() {
        for (ExtInstance& ext : exts) releaseRecord(ext.rd);
    }
};

Run* gRun = nullptr;

// ---- Output ----------------------------------------------------------------------------

std::string stamp(const Run& run) {
    std::string s = run.frame < 0 ? "-" : std::to_string(run.frame);
    s += ':';
    s += run.tick < 0 ? "-" : std::to_string(run.tick);
    return s;
}

void line(Run& run, const std::string& text) { run.out << stamp(run) << ' ' << text << '\n'; }

void warn(Run& run, const std::string& path, const std::string& text) {
    run.err << stamp(run) << " warning: " << (path.empty() ? "" : path + ": ") << text << '\n';
}

// The path of the innermost call, for warnings raised inside services.
const std::string& callPath(const Run& run) {
    static const std::string none;
    return run.calls.empty() ? none : *run.calls.back()->path;
}

// ---- Instances -------------------------------------------------------------------------

// The frame editor's entry of an object type: the host keeps the name
// inline, at most 23 units and a zero (the scenario reader refuses longer).
objInfoList objectInfoNamed(const std::u16string& name) {
    objInfoList info{};
    const size_t units = std::min<size_t>(name.size(), OIL_NAME_UNITS - 1);
    for (size_t i = 0; i < units; ++i) info.oilName[i] = name[i];
    return info;
}

Instance* createInstance(Run& run, int object, int32_t x, int32_t y, std::optional<int32_t> width,
                         std::optional<int32_t> height, const std::string& path) {
    if (run.nextNumber > kMaxInstanceNumber) {
        warn(run, path, "the frame already holds 32768 instances; none created");
        return nullptr;
    }
    const ObjectType& type = run.sc.objects[object];
    Instance& in = run.instances.emplace_back();
    in.object = object;
    headerObject& ho = in.ro.roHo;
    ho.hoNumber = static_cast<int16_t>(run.nextNumber);
    ho.hoCreationId = static_cast<uint16_t>(run.nextNumber);
    ++run.nextNumber;
    ho.hoType = type.type;
    ho.hoOEFlags =
        type.type == OBJ_SPR ? OEFLAG_MOVEMENTS | OEFLAG_ANIMATIONS | OEFLAG_SPRITES | OEFLAG_VALUES : OEFLAG_VALUES;
    ho.hoX = x;
    ho.hoY = y;
    ho.hoImgWidth = width.value_or(type.width);
    ho.hoImgHeight = height.value_or(type.height);
    ho.hoAdRunHeader = &run.rh;
    ho.hoOiList = &run.objectInfos[object];
    in.ro.rov.rvpValues = in.values;
    ho.hoOffsetValue = static_cast<int32_t>(offsetof(RunObject, rov));
    return &in;
}

std::vector<Instance*> selected(Run& run, const Scope& scope, int object) {
    for (const Pick& p : scope.picks)
        if (p.object == object) return p.chosen;
    std::vector<Instance*> out;
    for (Instance& in : run.instances)
        if (in.object == object && !in.removed) out.push_back(&in);
    return out;
}

Instance* firstSelected(Run& run, const Scope& scope, int object) {
    for (const Pick& p : scope.picks)
        if (p.object == object) return p.chosen.empty() ? nullptr : p.chosen.front();
    for (Instance& in : run.instances)
        if (in.object == object && !in.removed) return &in;
    return nullptr;
}

Instance* findInstance(Run& run, const headerObject* ho) {
    for (Instance& in : run.instances)
        if (&in.ro.roHo == ho) return &in;
    return nullptr;
}

ExtInstance* findExt(Run& run, const headerObject* ho) {
    for (ExtInstance& ext : run.exts)
        if (&ext.ho() == ho) return &ext;
    return nullptr;
}

// The live instance of an extension type in this frame, or null.
ExtInstance* extOf(Run& run, int type) {
    for (ExtInstance& ext : run.exts)
        if (ext.type == type && !ext.destroyed) return &ext;
    return nullptr;
}

std::string nameOf(Run& run, const Instance& in) {
    return run.sc.objects[in.object].name + "#" + std::to_string(in.ro.roHo.hoNumber);
}

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

std::string numberForm(const Value& v) {
    switch (v.kind) {
        case ValueKind::Int: return std::to_string(v.i);
        case ValueKind::Float: return formatFloat(v.f);
        case ValueKind::Double: return formatDouble(v.d);
        case ValueKind::Text: break;
    }
    return "";
}

std::string logForm(const Value& v) { return v.kind == ValueKind::Text ? host::quoted(v.text) : numberForm(v); }

std::u16string textForm(const Value& v) { return v.kind == ValueKind::Text ? v.text : toUtf16(numberForm(v)); }

Value altValue(const CValue& a) {
    if (a.m_type == TYPE_LONG) return intValue(a.m_long);
    Value v;
    v.kind = ValueKind::Double;
    v.d = a.m_type == TYPE_DOUBLE ? a.m_double : 0;  // any other type holds no number
    return v;
}

std::string altForm(const CValue& a) { return numberForm(altValue(a)); }

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

Value eval(Run& run, Scope& scope, int index);
Value evalExtension(Run& run, Scope& scope, const Expr& e);

const Instance* instanceFor(Run& run, Scope& scope, const Expr& e) {
    if (e.index < 0) {
        const Instance* in = firstSelected(run, scope, e.object);
        if (!in) warn(run, e.path, "no instance of " + run.sc.objects[e.object].name + " is selected; 0 used");
        return in;
    }
    for (const Instance& in : run.instances)
        if (in.object == e.object && in.ro.roHo.hoNumber == e.index) return &in;
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
    const std::string name = toUtf8(eval(run, scope, e.args[0]).text);
    if (e.op == ExprOp::Exists) {
        std::error_code ec;
        return intValue(std::filesystem::exists(systemPath(name), ec) ? 1 : 0);
    }
    std::string bytes;
    if (!readBytes(name, &bytes)) {
        warn(run, e.path, "cannot read " + host::quoted(name) + "; the empty text used");
        return textValue(u"");
    }
    return textValue(e.op == ExprOp::ReadFile ? toUtf16(bytes) : toUtf16(hexOf(bytes)));
}

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
            for (const Instance& in : run.instances)
                if (in.object == e.object && !(in.ro.roHo.hoFlags & HOF_DESTROYED)) ++n;
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
                toUtf16(e.field == DesktopField::State ? name(run.desktop.state) : name(run.desktop.taskbar)));
        case ExprOp::Tick: return intValue(run.tick);
    }
    return intValue(0);
}

// ---- Calls -----------------------------------------------------------------------------

struct CallScope {
    Run& run;
    CallScope(Run& r, Call& call) : run(r) { run.calls.push_back(&call); }
    ~CallScope() { run.calls.pop_back(); }
};

// The answer to a parameter fetch. Parameters are evaluated when fetched, as
// the game does it: a condition that stops early leaves the rest unevaluated.
intptr_t answerParam(Run& run, Call& call) {
    if (call.next >= call.params->size()) {
        warn(run, *call.path,
             call.what + " fetched parameter " + std::to_string(call.next + 1) + " but has " +
                 std::to_string(call.params->size()) + "; 0 answered");
        ++call.next;
        return 0;
    }
    const size_t i = call.next++;
    const Param& p = (*call.params)[i];
    switch (p.kind) {
        case ParamKind::Object: {
            if (p.object < 0) return 0;
            Instance* in =
                static_cast<int>(i) == call.loopParam ? call.loop : firstSelected(run, *call.scope, p.object);
            return in ? reinterpret_cast<intptr_t>(&in->ro.roHo) : 0;
        }
        case ParamKind::Number: return static_cast<intptr_t>(toInt32(eval(run, *call.scope, p.expr)));
        case ParamKind::Text:
            call.texts.push_back(textForm(eval(run, *call.scope, p.expr)));
            return reinterpret_cast<intptr_t>(call.texts.back().c_str());
    }
    return 0;
}

// The extension's answer, in the kind its description promises; a mismatch
// is the extension's fault and is reported, but the run goes on.
Value expressionResult(Run& run, const Expr& e, const headerObject& ho, intptr_t r) {
    Value v;
    if (ho.hoFlags & HOF_STRING) {
        if (r)
            v = textValue(reinterpret_cast<const char16_t*>(r));
        else {
            warn(run, e.path, "expression " + std::to_string(e.code) + " answered a null text; the empty text used");
            v = textValue(u"");
        }
    } else if (ho.hoFlags & HOF_FLOAT) {
        uint32_t bits = static_cast<uint32_t>(r);
        v.kind = ValueKind::Float;
        std::memcpy(&v.f, &bits, sizeof bits);
    } else {
        v = intValue(static_cast<int32_t>(static_cast<uint32_t>(r)));
    }
    if (e.type == Type::Text && v.kind != ValueKind::Text) {
        warn(run, e.path,
             "expression " + std::to_string(e.code) + " is described as giving a text but answered a number");
        return textValue(textForm(v));
    }
    if (e.type == Type::Number && v.kind == ValueKind::Text) {
        warn(run, e.path,
             "expression " + std::to_string(e.code) + " is described as giving a number but answered a text; 0 used");
        return intValue(0);
    }
    return v;
}

ExtInstance* liveExt(Run& run, int type, const std::string& path) {
    ExtInstance* ext = extOf(run, type);
    if (!ext)
        warn(run, path,
             "extension " + host::quoted(run.sc.extensions[type].name) + " has no live instance now; not called");
    return ext;
}

Value evalExtension(Run& run, Scope& scope, const Expr& e) {
    ExtInstance* ext = liveExt(run, e.ext, e.path);
    if (!ext) return e.type == Type::Text ? textValue(u"") : intValue(0);
    Call call(*ext, e.params, scope, e.path, "expression " + std::to_string(e.code));
    call.expression = true;
    CallScope inCall(run, call);
    headerObject& ho = ext->ho();
    ho.hoFlags &= static_cast<uint16_t>(~(HOF_STRING | HOF_FLOAT));
    intptr_t r = run.lib.infos.expressions[e.code](ext->rd, reinterpret_cast<intptr_t>(&call));
    return expressionResult(run, e, ho, r);
}

bool callCondition(Run& run, Scope& scope, const Condition& c, ExtInstance& ext) {
    Call call(ext, c.params, scope, c.path, "condition " + std::to_string(c.code));
    CallScope inCall(run, call);
    bool result = run.lib.infos.conditions[c.code](ext.rd, 0, 0) != 0;
    return c.negate ? !result : result;
}

// ---- Drawing -----------------------------------------------------------------------------

// Where the instance (and an orbit's centre object, the second object
// parameter) stand before a motion registration.
MotionCall motionBefore(Run& run, Scope& scope, const Action& a, const Instance& loop, size_t index) {
    MotionCall m;
    m.code = a.code;
    m.loopIndex = static_cast<int32_t>(index);
    m.number = loop.ro.roHo.hoNumber;
    m.x = loop.ro.roHo.hoX;
    m.y = loop.ro.roHo.hoY;
    int objects = 0;
    for (const Param& p : a.params) {
        if (p.kind != ParamKind::Object || objects++ != 1 || p.object < 0) continue;
        if (const Instance* centre = firstSelected(run, scope, p.object)) {
            m.centreX = centre->ro.roHo.hoX;
            m.centreY = centre->ro.roHo.hoY;
        }
    }
    return m;
}

void noteMotion(Run& run, MotionCall& m, const Call& call, const Instance& loop) {
    m.texts.assign(call.texts.begin(), call.texts.end());
    if (loop.values[0].m_type == TYPE_LONG) m.markA = loop.values[0].m_long;
    if (loop.values[1].m_type == TYPE_LONG) m.markB = loop.values[1].m_long;
    run.drawing->motionCall(m);
}

// Where the extension says the event happened, read through its own
// expressions.
void drawEvent(Run& run, ExtInstance& ext, int condition) {
    int32_t at[2] = {0, 0};
    const int codes[2] = {EVENT_X_EXPRESSION, EVENT_Y_EXPRESSION};
    for (int k = 0; k < 2; ++k) {
        if (codes[k] >= run.lib.infos.numOfExpressions || !run.lib.infos.expressions[codes[k]]) return;
        ext.ho().hoFlags &= static_cast<uint16_t>(~(HOF_STRING | HOF_FLOAT));
        at[k] = static_cast<int32_t>(run.lib.infos.expressions[codes[k]](ext.rd, 0));
    }
    run.drawing->event(condition, at[0], at[1]);
}

void recordPositions(Run& run) {
    for (const Instance& in : run.instances)
        if (!in.removed)
            run.drawing->position(in.ro.roHo.hoNumber, nameOf(run, in), run.tick, in.ro.roHo.hoX, in.ro.roHo.hoY);
}

void callAction(Run& run, Scope& scope, const Action& a, ExtInstance& ext, int loopParam, Instance* loop, size_t index,
                size_t count) {
    Call call(ext, a.params, scope, a.path, "action " + std::to_string(a.code));
    call.loopParam = loopParam;
    call.loop = loop;
    CallScope inCall(run, call);
    // Actions of triggered events run inside this one: give the outer loop
    // its fields back afterwards.
    const int32_t savedIndex = run.rh.rh2.rh2ActionLoopCount, savedMore = run.rh.rh2.rh2ActionLoop;
    run.rh.rh2.rh2ActionLoopCount = static_cast<int32_t>(index);
    run.rh.rh2.rh2ActionLoop = index + 1 < count ? 1 : 0;
    const bool drawn = run.drawing && loop && Drawing::isMotionRegistration(a.code);
    MotionCall motion = drawn ? motionBefore(run, scope, a, *loop, index) : MotionCall{};
    run.lib.infos.actions[a.code](ext.rd, 0, 0);
    if (drawn) noteMotion(run, motion, call, *loop);
    if (run.drawing && Drawing::isController(a.code))
        run.drawing->control(a.code, {call.texts.begin(), call.texts.end()}, loop ? loop->ro.roHo.hoNumber : -1);
    run.rh.rh2.rh2ActionLoopCount = savedIndex;
    run.rh.rh2.rh2ActionLoop = savedMore;
}

void extensionAction(Run& run, Scope& scope, const Action& a) {
    ExtInstance* ext = liveExt(run, a.ext, a.path);
    if (!ext) return;
    int loopParam = -1;
    for (size_t i = 0; i < a.params.size() && loopParam < 0; ++i)
        if (a.params[i].kind == ParamKind::Object) loopParam = static_cast<int>(i);
    if (loopParam < 0 || a.params[loopParam].object < 0) {
        callAction(run, scope, a, *ext, -1, nullptr, 0, 1);
        return;
    }
    // The list is taken once: instances created by the runs do not join it.
    const std::vector<Instance*> loop = selected(run, scope, a.params[loopParam].object);
    for (size_t k = 0; k < loop.size(); ++k) callAction(run, scope, a, *ext, loopParam, loop[k], k, loop.size());
}

// ---- Services --------------------------------------------------------------------------

Call* findCall(Run& run, intptr_t argument) {
    for (Call* c : run.calls)
        if (reinterpret_cast<intptr_t>(c) == argument && c->expression) return c;
    return nullptr;
}

intptr_t WINAPI serviceGetParam(headerObject*, uintptr_t, intptr_t) {
    Run& run = *gRun;
    if (run.calls.empty() || run.calls.back()->expression) {
        warn(run, callPath(run), "GETPARAM outside an action or a condition; 0 answered");
        return 0;
    }
    return answerParam(run, *run.calls.back());
}

intptr_t expressionParam(intptr_t argument, bool first) {
    Run& run = *gRun;
    Call* call = findCall(run, argument);
    if (!call) {
        warn(run, callPath(run),
             std::string(first ? "GETPARAM1" : "GETPARAM2") +
                 " with an argument that no expression in progress was given; 0 answered");
        return 0;
    }
    if (first) call->next = 0;
    return answerParam(run, *call);
}

intptr_t WINAPI serviceGetParam1(headerObject*, uintptr_t, intptr_t argument) { return expressionParam(argument, true); }
intptr_t WINAPI serviceGetParam2(headerObject*, uintptr_t, intptr_t argument) {
    return expressionParam(argument, false);
}

void runEvent(Run& run, const Event& ev, ExtInstance* raiser);

intptr_t WINAPI serviceGenerateEvent(headerObject* ho, uintptr_t condition, intptr_t) {
    Run& run = *gRun;
    ExtInstance* ext = findExt(run, ho);
    if (!ext) {
        warn(run, callPath(run), "GENERATEEVENT for an object that is no extension instance; ignored");
        return 0;
    }
    if (run.trace) line(run, "trigger " + std::to_string(static_cast<int32_t>(condition)));
    if (run.frame < 0) return 0;
    if (run.drawing && Drawing::isMotionEvent(static_cast<int>(condition))) drawEvent(run, *ext, static_cast<int>(condition));
    if (run.raiseDepth >= kMaxRaiseDepth) {
        warn(run, callPath(run), "raises nest deeper than " + std::to_string(kMaxRaiseDepth) + "; this one is ignored");
        return 0;
    }
    ++run.raiseDepth;
    for (const Event& ev : run.sc.frames[run.frame].events) {
        if (ev.conditions.empty()) continue;
        const Condition& first = ev.conditions.front();
        if (first.op == CondOp::Extension && first.ext == ext->type && static_cast<uintptr_t>(first.code) == condition)
            runEvent(run, ev, ext);
    }
    --run.raiseDepth;
    return 0;
}

intptr_t WINAPI serviceRehandle(headerObject* ho, uintptr_t, intptr_t) {
    Run& run = *gRun;
    ExtInstance* ext = findExt(run, ho);
    if (!ext) {
        warn(run, callPath(run), "REHANDLE for an object that is no extension instance; ignored");
        return 0;
    }
    if (run.trace) line(run, "rehandle");
    if (ext->rehandleAt < 0) ext->rehandleAt = run.tick < 0 ? 0 : run.tick + 1;
    return 0;
}

intptr_t WINAPI serviceRedraw(headerObject* ho, uintptr_t, intptr_t) {
    Run& run = *gRun;
    if (!findInstance(run, ho) && !findExt(run, ho))
        warn(run, callPath(run), "REDRAW for an object that is not in the frame; ignored");
    return 0;
}

intptr_t WINAPI serviceDestroy(headerObject* ho, uintptr_t, intptr_t) {
    Run& run = *gRun;
    std::string name;
    if (Instance* in = findInstance(run, ho)) {
        name = nameOf(run, *in);
        if (run.drawing) run.drawing->destroyed(ho->hoNumber);
    } else if (ExtInstance* ext = findExt(run, ho)) {
        name = run.sc.extensions[ext->type].name + "#" + std::to_string(ho->hoNumber);
    } else {
        warn(run, callPath(run), "DESTROY for an object that is not in the frame; ignored");
        return 0;
    }
    ho->hoFlags |= HOF_DESTROYED;
    if (run.trace) line(run, "destroy " + name);
    return 0;
}

// The host's animation step (a C routine). The forced frame is already in
// raAnimFrameForced; nothing is drawn here.
void animationStep(headerObject*, int32_t) {}

void fillRunHeader(Run& run) {
    static int application;  // only its address is handed out
    RunHeader& rh = run.rh;
    rh.rhHMainWin = run.desktop.mainWindow();
    rh.rhIdAppli = &application;
    rh.rh4.rh4Animations = animationStep;
    rh.rh4.rh4KpxFunctions[RFUNCTION_REHANDLE] = serviceRehandle;
    rh.rh4.rh4KpxFunctions[RFUNCTION_GENERATEEVENT] = serviceGenerateEvent;
    rh.rh4.rh4KpxFunctions[RFUNCTION_GETPARAM1] = serviceGetParam1;
    rh.rh4.rh4KpxFunctions[RFUNCTION_GETPARAM2] = serviceGetParam2;
    rh.rh4.rh4KpxFunctions[RFUNCTION_GETPARAM] = serviceGetParam;
    rh.rh4.rh4KpxFunctions[RFUNCTION_REDRAW] = serviceRedraw;
    rh.rh4.rh4KpxFunctions[RFUNCTION_DESTROY] = serviceDestroy;
}

// ---- Events ----------------------------------------------------------------------------

bool compareValues(const Value& l, const Value& r, CompareOp op) {
    int order;  // -1, 0, 1, or 2 when unordered (NaN)
    if (l.kind == ValueKind::Text || r.kind == ValueKind::Text) {
        int c = textForm(l).compare(textForm(r));
        order = c < 0 ? -1 : c > 0 ? 1 : 0;
    } else if (l.kind == ValueKind::Int && r.kind == ValueKind::Int) {
        order = l.i < r.i ? -1 : l.i > r.i ? 1 : 0;
    } else {
        auto d = [](const Value& v) {
            return v.kind == ValueKind::Int ? static_cast<double>(v.i) : v.kind == ValueKind::Float ? v.f : v.d;
        };
        double a = d(l), b = d(r);
        order = a < b ? -1 : a > b ? 1 : a == b ? 0 : 2;
    }
    switch (op) {
        case CompareOp::Eq: return order == 0;
        case CompareOp::Ne: return order != 0;
        case CompareOp::Lt: return order == -1;
        case CompareOp::Le: return order == -1 || order == 0;
        case CompareOp::Gt: return order == 1;
        case CompareOp::Ge: return order == 1 || order == 0;
    }
    return false;
}

bool pick(Run& run, Scope& scope, const Condition& c) {
    std::vector<Instance*> chosen;
    for (Instance* in : selected(run, scope, c.object))
        if (std::find(c.numbers.begin(), c.numbers.end(), in->ro.roHo.hoNumber) != c.numbers.end()) chosen.push_back(in);
    const bool any = !chosen.empty();
    for (Pick& p : scope.picks) {
        if (p.object != c.object) continue;
        p.chosen = std::move(chosen);
        return any;
    }
    scope.picks.push_back({c.object, std::move(chosen)});
    return any;
}

bool test(Run& run, Scope& scope, const Condition& c, ExtInstance* raiser) {
    switch (c.op) {
        case CondOp::Start: return run.tick == 0;
        case CondOp::Always: return true;
        case CondOp::Tick: return run.tick == c.n;
        case CondOp::Every: return run.tick >= 0 && run.tick % c.n == 0;
        case CondOp::Compare: return compareValues(eval(run, scope, c.lhs), eval(run, scope, c.rhs), c.compare);
        case CondOp::Pick: return pick(run, scope, c);
        case CondOp::Extension: {
            ExtInstance* ext = c.triggered && raiser ? raiser : liveExt(run, c.ext, c.path);
            return ext && callCondition(run, scope, c, *ext);
        }
    }
    return false;
}

std::string dumpLine(Run& run, const Instance& in) {
    const headerObject& ho = in.ro.roHo;
    std::string s = "dump " + nameOf(run, in) + " x=" + std::to_string(ho.hoX) + " y=" + std::to_string(ho.hoY) +
                    " A=" + altForm(in.values[0]) + " B=" + altForm(in.values[1]) +
                    " anim=" + std::to_string(static_cast<int64_t>(in.ro.roa.raAnimFrameForced) - 1);
    if (ho.hoFlags & HOF_DESTROYED) s += " destroyed";
    return s;
}

CValue toAlt(const Value& v) {
    CValue a{};
    if (v.kind == ValueKind::Int) {
        a.m_type = TYPE_LONG;
        a.m_long = toInt32(v);
    } else {
        a.m_type = TYPE_DOUBLE;
        a.m_double = v.kind == ValueKind::Float ? v.f : v.d;
    }
    return a;
}

void act(Run& run, Scope& scope, const Action& a) {
    auto number = [&](int expr) {
        return expr < 0 ? std::nullopt : std::optional<int32_t>(toInt32(eval(run, scope, expr)));
    };
    switch (a.op) {
        case ActOp::Extension: extensionAction(run, scope, a); return;
        case ActOp::Log: line(run, "log " + logForm(eval(run, scope, a.expr))); return;
        case ActOp::Dump:
            for (const Instance& in : run.instances)
                if (in.object == a.object && !in.removed) line(run, dumpLine(run, in));
            return;
        case ActOp::Set: {
            const auto x = number(a.x), y = number(a.y);
            for (Instance* in : selected(run, scope, a.object)) {
                if (x) in->ro.roHo.hoX = *x;
                if (y) in->ro.roHo.hoY = *y;
                if (run.drawing && (x || y)) run.drawing->placed(in->ro.roHo.hoNumber);
            }
            return;
        }
        case ActOp::Alt: {
            const std::optional<CValue> va = a.a < 0 ? std::nullopt : std::optional(toAlt(eval(run, scope, a.a)));
            const std::optional<CValue> vb = a.b < 0 ? std::nullopt : std::optional(toAlt(eval(run, scope, a.b)));
            for (Instance* in : selected(run, scope, a.object)) {
                if (va) in->values[0] = *va;
                if (vb) in->values[1] = *vb;
            }
            return;
        }
        case ActOp::Create:
            createInstance(run, a.object, number(a.x).value_or(0), number(a.y).value_or(0), number(a.width),
                           number(a.height), a.path);
            return;
        case ActOp::Destroy:
            for (Instance* in : selected(run, scope, a.object)) in->ro.roHo.hoFlags |= HOF_DESTROYED;
            return;
        case ActOp::Desktop:
            if (a.state) run.desktop.state = *a.state;
            if (a.taskbar) run.desktop.taskbar = *a.taskbar;
            if (a.caption) run.desktop.caption = *a.caption;
            return;
        case ActOp::NextFrame: run.frameEnds = true; return;
        case ActOp::End: run.appEnds = true; return;
    }
}

void runEvent(Run& run, const Event& ev, ExtInstance* raiser) {
    Scope scope;
    for (const Condition& c : ev.conditions)
        if (!test(run, scope, c, raiser)) return;
    for (const Action& a : ev.actions) act(run, scope, a);
}

// ---- Frames ----------------------------------------------------------------------------

void createExtension(Run& run, int type) {
    if (run.nextNumber > kMaxInstanceNumber) {
        warn(run, run.sc.extensions[type].path, "the frame already holds 32768 instances; none created");
        return;
    }
    EDITDATA* edPtr = run.records[type]->data();
    const size_t asked = run.lib.GetRunObjectDataSize(&run.rh, edPtr);
    // The host's head is written whatever the extension asked for.
    const size_t size = (std::max(asked, sizeof(ExtensionHead)) + 15) & ~size_t{15};
    void* block = ::operator new(size, kRecordAlignment);
    std::memset(block, 0, size);

    ExtInstance& ext = run.exts.emplace_back();
    ext.type = type;
    ext.rd = static_cast<RUNDATA*>(block);
    auto* head = static_cast<ExtensionHead*>(block);
    head->rHo.hoNumber = static_cast<int16_t>(run.nextNumber);
    head->rHo.hoCreationId = static_cast<uint16_t>(run.nextNumber);
    ++run.nextNumber;
    head->rHo.hoType = KPX_BASE;
    head->rHo.hoOEFlags = run.lib.infos.editFlags;
    head->rHo.hoAdRunHeader = &run.rh;
    head->rHo.hoOiList = &run.extensionInfos[type];
    head->rv.rvpValues = ext.values;
    head->rHo.hoOffsetValue = static_cast<int32_t>(offsetof(ExtensionHead, rv));

    createObjectInfo cob{};
    int16_t r = run.lib.CreateRunObject(ext.rd, edPtr, &cob);
    if (r != 0) warn(run, run.sc.extensions[type].path, "CreateRunObject answered " + std::to_string(r));
}

void startFrame(Run& run, const Frame& f) {
    line(run, "frame " + host::quoted(f.name));
    if (run.drawing) run.drawing->startFrame(f.name);
    for (const StartInstance& start : f.instances)
        createInstance(run, start.object, start.x, start.y, start.width, start.height, f.path);
    for (int type : f.extensions) createExtension(run, type);
}

void handleExtensions(Run& run) {
    for (ExtInstance& ext : run.exts) {
        if (ext.rehandleAt >= 0 && ext.rehandleAt <= run.tick) {
            ext.wanted = true;
            ext.rehandleAt = -1;
        }
        if (!ext.wanted) continue;
        int16_t r = run.lib.HandleRunObject(ext.rd);
        if (run.trace) line(run, "handle " + std::to_string(r));
        if (r & REFLAG_ONESHOT) ext.wanted = false;
    }
}

void runTick(Run& run, const Frame& f) {
    handleExtensions(run);
    for (const Event& ev : f.events)
        if (!ev.triggered) runEvent(run, ev, nullptr);
    if (run.drawing) recordPositions(run);
    for (Instance& in : run.instances)
        if (in.ro.roHo.hoFlags & HOF_DESTROYED) in.removed = true;
}

void endFrame(Run& run) {
    for (ExtInstance& ext : run.exts) {
        run.lib.DestroyRunObject(ext.rd, 0);
        ext.destroyed = true;
    }
    for (ExtInstance& ext : run.exts) releaseRecord(ext.rd);
    run.exts.clear();
    run.instances.clear();
    run.nextNumber = 0;
}

void runFrame(Run& run, int index) {
    const Frame& f = run.sc.frames[index];
    run.frame = index;
    run.tick = -1;
    run.frameEnds = false;
    startFrame(run, f);
    for (int64_t t = 0; t < f.ticks && !run.frameEnds && !run.appEnds; ++t) {
        run.tick = t;
        runTick(run, f);
    }
    run.tick = -1;
    endFrame(run);
}

// ---- runScenario -----------------------------------------------------------------------

// The scenario's text; "-" reads standard input.
bool readScenario(const std::string& path, std::string* text, std::ostream& err) {
    if (path == "-") {
        std::ostringstream s;
        s << std::cin.rdbuf();
        *text = s.str();
        if (!std::cin.bad()) return true;
        err << "(standard input): cannot read the scenario\n";
        return false;
    }
    std::error_code ec;
    if (std::filesystem::is_directory(systemPath(path), ec)) {
        err << path << ": cannot read the scenario: it is a directory\n";
        return false;
    }
    std::FILE* in = openFile(path, "rb");
    if (in == nullptr) {
        err << path << ": cannot read the scenario: " << std::strerror(errno) << '\n';
        return false;
    }
    text->clear();
    char buffer[1 << 16];
    for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, in)) > 0;) text->append(buffer, n);
    bool failed = std::ferror(in) != 0;
    int error = errno;
    std::fclose(in);
    if (failed) err << path << ": cannot read the scenario: " << std::strerror(error) << '\n';
    return !failed;
}

// What the disk may still refuse, found before a single file is written, so
// that a refused scenario leaves nothing behind: a folder where a file goes,
// a file where a folder must be.
bool checkFiles(const Scenario& sc, std::ostream& err) {
    bool ok = true;
    for (const ScenarioFile& f : sc.files) {
        std::error_code ec;
        std::filesystem::path p = systemPath(f.name);
        if (std::filesystem::is_directory(p, ec)) {
            err << f.path << ": cannot write " << host::quoted(f.name) << ": it is a directory\n";
            ok = false;
            continue;
        }
        for (auto folder = p.parent_path(); !folder.empty(); folder = folder.parent_path()) {
            if (std::filesystem::exists(folder, ec) && !std::filesystem::is_directory(folder, ec)) {
                err << f.path << ": cannot write " << host::quoted(f.name) << ": " << host::quoted(utf8Name(folder))
                    << " is a file, not a directory\n";
                ok = false;
                break;
            }
        }
    }
    return ok;
}

bool writeFile(const ScenarioFile& f, std::ostream& err) {
    const std::filesystem::path p = systemPath(f.name);
    std::error_code ec;
    if (p.has_parent_path()) std::filesystem::create_directories(p.parent_path(), ec);
    if (ec) {
        err << f.path << ": cannot write " << host::quoted(f.name) << ": " << ec.message() << '\n';
        return false;
    }
    std::FILE* out = openFile(f.name, "wb");
    bool ok = out != nullptr && std::fwrite(f.content.data(), 1, f.content.size(), out) == f.content.size();
    int error = errno;
    if (out != nullptr && std::fclose(out) != 0 && ok) {
        ok = false;
        error = errno;
    }
    if (!ok) err << f.path << ": cannot write " << host::quoted(f.name) << ": " << std::strerror(error) << '\n';
    return ok;
}

bool writeFiles(const Scenario& sc, std::ostream& err) {
    for (const ScenarioFile& f : sc.files)
        if (!writeFile(f, err)) return false;
    return true;
}

// Edit-time records, built as the editor would: creation defaults, the text,
// the check boxes, and last the raw words of a record another tool wrote.
bool buildRecords(const Scenario& sc, Editor& editor, std::vector<std::unique_ptr<EditRecord>>& records,
                  std::ostream& err) {
    static const uint32_t propIds[PROP_COUNT] = {0x80002, 0x80003, 0x80004, 0x80005};
    static const uint32_t offsets[PROP_COUNT] = {20, 24, 28, 32};
    for (const ExtensionType& t : sc.extensions) {
        std::unique_ptr<EditRecord> record = editor.createRecord();
        if (!record) {
            err << t.path << ": the extension refused to create its edit-time record\n";
            return false;
        }
        if (t.text && !editor.setText(*record, *t.text)) {
            err << memberPath(t.path, "text") << ": the edit-time record refused the text (" << t.text->size()
                << " UTF-16 units; a record holds at most " << EditRecord::kMaxSize << " bytes)\n";
            return false;
        }
        for (int p = 0; p < PROP_COUNT; ++p)
            if (t.props[p].how == PropSetting::Check) editor.setCheck(*record, propIds[p], t.props[p].value);
        for (int p = 0; p < PROP_COUNT; ++p)
            if (t.props[p].how == PropSetting::Raw && offsets[p] + 4 <= record->size())
                record->writeWord(offsets[p], t.props[p].value);
        records.push_back(std::move(record));
    }
    return true;
}

bool writeDrawing(const Drawing& drawing, const std::string& path, std::ostream& err) {
    std::ofstream o(path, std::ios::binary | std::ios::trunc);
    o << drawing.svg();
    o.close();
    if (!o) err << path << ": cannot write the drawing\n";
    return static_cast<bool>(o);
}

struct CurrentRun {
    explicit CurrentRun(Run& run) { gRun = &run; }
    ~CurrentRun() { gRun = nullptr; }
};

int play(Library& library, const Scenario& sc, std::vector<std::unique_ptr<EditRecord>>& records, Desktop& desktop,
         bool trace, Drawing* drawing, std::ostream& out, std::ostream& err) {
    Run run(sc, library, desktop, out, err, trace);
    run.drawing = drawing;
    CurrentRun current(run);
    for (auto& r : records) run.records.push_back(r.get());
    for (const ObjectType& t : sc.objects) run.objectInfos.push_back(objectInfoNamed(t.name16));
    for (const ExtensionType& t : sc.extensions) run.extensionInfos.push_back(objectInfoNamed(t.name16));
    fillRunHeader(run);

    desktop.caption = sc.caption;
    desktop.state = sc.state;
    desktop.taskbar = sc.taskbar;
    auto previousReport = desktop.report;
    desktop.report = [&run](const std::string& text) { line(run, text); };
    struct Restore {
        Desktop& d;
        std::function<void(const std::string&)> report;
        ~Restore() { d.report = std::move(report); }
    } restore{desktop, std::move(previousReport)};

    for (size_t f = 0; f < sc.frames.size() && !run.appEnds; ++f) runFrame(run, static_cast<int>(f));
    return 0;
}

}  // namespace

int runScenario(Library& library, const RunOptions& options, std::ostream& out, std::ostream& err) {
    std::string text;
    if (!readScenario(options.scenarioPath, &text, err)) return 2;
    std::vector<std::string> errors;
    std::optional<Scenario> sc;
    // The records outlive the run: instances keep pointers into them.
    Editor editor(library);
    {
        std::string name = options.scenarioPath == "-" ? "(standard input)" : options.scenarioPath;
        sc = parseScenario(text, name, readDescriptions(library, editor.block()), &errors);
    }
    text.clear();
    text.shrink_to_fit();
    if (!sc) {
        for (const std::string& e : errors) err << e << '\n';
        return 2;
    }
    // Everything is checked before the first file is written.
    std::vector<std::unique_ptr<EditRecord>> records;
    try {
        if (!buildRecords(*sc, editor, records, err)) return 1;
    } catch (const std::exception& e) {
        err << "trivu-host: the edit-time records could not be built: " << e.what() << '\n';
        return 1;
    }
    if (!checkFiles(*sc, err) || !writeFiles(*sc, err)) return 2;

    std::unique_ptr<Desktop> own;
    Desktop* desktop = options.desktop;
    if (!desktop) {
        own = std::make_unique<Desktop>();
        desktop = own.get();
        if (library.AttachDesktop) library.AttachDesktop(desktop->table());
    }
    int status;
    try {
        Drawing drawing;
        status = play(library, *sc, records, *desktop, options.trace, options.svgPath.empty() ? nullptr : &drawing, out,
                      err);
        if (status == 0 && !options.svgPath.empty() && !writeDrawing(drawing, options.svgPath, err)) status = 1;
    } catch (const std::exception& e) {
        err << "trivu-host: the run stopped: " << e.what() << '\n';
        status = 1;
    }
    out.flush();
    if (own && library.AttachDesktop) library.AttachDesktop(nullptr);
    return status;
}

}  // namespace host
