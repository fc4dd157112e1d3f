// Calls into the extension during a run and its calls back: the routines of
// actions, conditions and expressions, the answers to their parameter
// fetches, the run header's service table, and what the run's report is
// told about actions, motion events and positions on the way.
#include "trivu-host/play/run_state.h"

#include <cstring>

#include "host/boundary/ace_numbers.h"
#include "trivu-host/base/text.h"

namespace standin::runner {

// ---- Calls -----------------------------------------------------------------------------

namespace {

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

}  // namespace

ExtInstance* liveExt(Run& run, int type, const std::string& path) {
    ExtInstance* ext = extOf(run, type);
    if (!ext)
        warn(run, path,
             "extension " + standin::quoted(run.sc.extensions[type].name) + " has no live instance now; not called");
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

// ---- Reporting ----------------------------------------------------------------------------

namespace {

// Where the instance (and the second object parameter's, an orbit's centre
// object) stand before an action runs for it.
ActionCall actionBefore(Run& run, Scope& scope, const Action& a, const Instance* loop, size_t index) {
    ActionCall m;
    m.code = a.code;
    m.loopIndex = static_cast<int32_t>(index);
    if (loop) {
        m.number = loop->ro.roHo.hoNumber;
        m.x = loop->ro.roHo.hoX;
        m.y = loop->ro.roHo.hoY;
    }
    int objects = 0;
    for (const Param& p : a.params) {
        if (p.kind != ParamKind::Object || objects++ != 1 || p.object < 0) continue;
        if (const Instance* centre = firstSelected(run, scope, p.object)) {
            m.centreX = centre->ro.roHo.hoX;
            m.centreY = centre->ro.roHo.hoY;
            m.centreNumber = centre->ro.roHo.hoNumber;
        }
    }
    return m;
}

// What the action fetched and left on its instance.
void reportAction(Run& run, ActionCall& m, const Call& call, const Instance* loop) {
    m.texts.assign(call.texts.begin(), call.texts.end());
    if (loop && loop->values[0].m_type == TYPE_LONG) m.markA = loop->values[0].m_long;
    if (loop && loop->values[1].m_type == TYPE_LONG) m.markB = loop->values[1].m_long;
    run.report->action(m);
}

bool isWallOrSleep(int condition) {
    using namespace trivu;
    return condition == CND_WALL_LEFT || condition == CND_WALL_RIGHT || condition == CND_WALL_TOP ||
           condition == CND_WALL_BOTTOM || condition == CND_SLEEPING;
}

// Where the extension says the event happened. It tells no one but its own
// expressions 15 and 16 (the event's place is the motion record's, which
// no header shows), so they are called for the report, and only for it.
void reportMotionEvent(Run& run, ExtInstance& ext, int condition) {
    int32_t at[2] = {0, 0};
    const int codes[2] = {trivu::EXP_EVENT_X, trivu::EXP_EVENT_Y};
    for (int k = 0; k < 2; ++k) {
        if (codes[k] >= run.lib.infos.numOfExpressions || !run.lib.infos.expressions[codes[k]]) return;
        ext.ho().hoFlags &= static_cast<uint16_t>(~(HOF_STRING | HOF_FLOAT));
        at[k] = static_cast<int32_t>(run.lib.infos.expressions[codes[k]](ext.rd, 0));
    }
    run.report->event(condition, at[0], at[1]);
}

}  // namespace

void reportPositions(Run& run) {
    for (const Instance* in : run.index.live)
        run.report->position(in->ro.roHo.hoNumber, nameOf(*in), run.tick, in->ro.roHo.hoX, in->ro.roHo.hoY,
                             in->ro.roHo.hoImgWidth, in->ro.roHo.hoImgHeight);
}

void reportHandled(Run& run) {
    for (const Instance* in : run.index.live)
        run.report->handled(in->ro.roHo.hoNumber, run.tick, in->ro.roHo.hoX, in->ro.roHo.hoY);
}

namespace {

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
    ActionCall reported = run.report ? actionBefore(run, scope, a, loop, index) : ActionCall{};
    run.lib.infos.actions[a.code](ext.rd, 0, 0);
    if (run.report) reportAction(run, reported, call, loop);
    run.rh.rh2.rh2ActionLoopCount = savedIndex;
    run.rh.rh2.rh2ActionLoop = savedMore;
}

}  // namespace

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

namespace {

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

intptr_t WINAPI serviceGenerateEvent(headerObject* ho, uintptr_t condition, intptr_t) {
    Run& run = *gRun;
    ExtInstance* ext = findExt(run, ho);
    if (!ext) {
        warn(run, callPath(run), "GENERATEEVENT for an object that is no extension instance; ignored");
        return 0;
    }
    if (run.trace) line(run, "trigger " + std::to_string(static_cast<int32_t>(condition)));
    if (run.frame < 0) return 0;
    if (run.report && isWallOrSleep(static_cast<int>(condition))) reportMotionEvent(run, *ext, static_cast<int>(condition));
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
        name = nameOf(*in);
        if (run.report) run.report->destroyed(ho->hoNumber);
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

}  // namespace

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

}  // namespace standin::runner
