// The event loop of a run: frames start with their instances and extension
// objects, each tick handles the extensions and then runs the events whose
// conditions hold, in order; a frame ends by destroying its objects.
#include "trivu-host/play/run_state.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <new>

#include "trivu-host/base/text.h"

namespace standin::runner {

// ---- Events ----------------------------------------------------------------------------

namespace {

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

// The instances a pick names, found through the frame's index in creation
// order: a fixed value is (creation number << 16) + number, one instance's
// at most; numbers are given to instances in creation order. Null when the
// value can name none; a text (which no number check lets through) is
// compared with every live instance.
std::vector<Instance*> namedByPick(Run& run, const Condition& c, const Value& fixed) {
    std::vector<Instance*> out;
    auto add = [&](int number) {
        if (Instance* in = instanceNumbered(run, number); in && in->object == c.object && !in->removed) out.push_back(in);
    };
    if (c.fixed < 0) {
        std::vector<int> numbers(c.numbers.begin(), c.numbers.end());
        std::sort(numbers.begin(), numbers.end());
        numbers.erase(std::unique(numbers.begin(), numbers.end()), numbers.end());
        for (int n : numbers) add(n);
    } else if (fixed.kind == ValueKind::Text) {
        out = liveOf(run, c.object);
    } else {
        const double d = fixed.kind == ValueKind::Int ? static_cast<double>(fixed.i)
                         : fixed.kind == ValueKind::Float ? fixed.f
                                                          : fixed.d;
        if (d >= 0 && d <= INT32_MAX) add(static_cast<int>(static_cast<uint32_t>(d) >> 16));
    }
    return out;
}

// By numbers, or by fixed value as the host's event editor picks: the value
// is computed once, against the selection as it stood before the pick (an
// earlier pick's, or the named instances among the live ones).
bool pick(Run& run, Scope& scope, const Condition& c) {
    const Value fixed = c.fixed >= 0 ? eval(run, scope, c.fixed) : Value{};
    auto keep = [&](const Instance* in) {
        return c.fixed >= 0 ? compareValues(intValue(fixedValueOf(in->ro.roHo)), fixed, CompareOp::Eq)
                            : std::find(c.numbers.begin(), c.numbers.end(), in->ro.roHo.hoNumber) != c.numbers.end();
    };
    const auto found =
        std::find_if(scope.picks.begin(), scope.picks.end(), [&](const Pick& p) { return p.object == c.object; });
    Pick* earlier = found == scope.picks.end() ? nullptr : &*found;
    std::vector<Instance*> chosen;
    for (Instance* in : earlier ? earlier->chosen : namedByPick(run, c, fixed))
        if (keep(in)) chosen.push_back(in);
    const bool any = !chosen.empty();
    if (earlier)
        earlier->chosen = std::move(chosen);
    else
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

std::string dumpLine(const Instance& in) {
    const headerObject& ho = in.ro.roHo;
    std::string s = "dump " + nameOf(in) + " x=" + std::to_string(ho.hoX) + " y=" + std::to_string(ho.hoY) +
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
            for (const Instance* in : liveOf(run, a.object)) line(run, dumpLine(*in));
            return;
        case ActOp::Set: {
            const auto x = number(a.x), y = number(a.y);
            for (Instance* in : selected(run, scope, a.object)) {
                if (x) in->ro.roHo.hoX = *x;
                if (y) in->ro.roHo.hoY = *y;
                if (run.report && (x || y)) run.report->placed(in->ro.roHo.hoNumber);
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

}  // namespace

void runEvent(Run& run, const Event& ev, ExtInstance* raiser) {
    Scope scope;
    for (const Condition& c : ev.conditions)
        if (!test(run, scope, c, raiser)) return;
    for (const Action& a : ev.actions) act(run, scope, a);
}

// ---- Frames ----------------------------------------------------------------------------

namespace {

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
    indexExtension(run, ext);

    createObjectInfo cob{};
    int16_t r = run.lib.CreateRunObject(ext.rd, edPtr, &cob);
    if (r != 0) warn(run, run.sc.extensions[type].path, "CreateRunObject answered " + std::to_string(r));
}

void startFrame(Run& run, const Frame& f) {
    if (run.report) run.report->startFrame(f.name);
    line(run, "frame " + standin::quoted(f.name));
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
    if (run.report) reportHandled(run);
    for (const Event& ev : f.events)
        if (!ev.triggered) runEvent(run, ev, nullptr);
    if (run.report) reportPositions(run);
    removeDestroyed(run);
}

void endFrame(Run& run) {
    for (ExtInstance& ext : run.exts) {
        run.lib.DestroyRunObject(ext.rd, 0);
        ext.destroyed = true;
    }
    for (ExtInstance& ext : run.exts) releaseRecord(ext.rd);
    forgetInstances(run);
}

}  // namespace

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

}  // namespace standin::runner
