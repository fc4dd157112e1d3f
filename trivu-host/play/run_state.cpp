// The run's trace lines and warnings, each stamped with the frame and tick,
// and its object instances: created as the host lays them out, selected by
// an event's picks, and found again from the pointers the extension hands
// back, which are never trusted before they are found.
#include "trivu-host/play/run_state.h"

#include <algorithm>
#include <cstddef>

namespace standin::runner {

Run* gRun = nullptr;

// ---- Output ----------------------------------------------------------------------------

namespace {

std::string stamp(const Run& run) {
    std::string s = run.frame < 0 ? "-" : std::to_string(run.frame);
    s += ':';
    s += run.tick < 0 ? "-" : std::to_string(run.tick);
    return s;
}

}  // namespace

void line(Run& run, const std::string& text) {
    const std::string stamped = stamp(run) + ' ' + text;
    run.out << stamped << '\n';
    if (run.recorder) run.recorder->traceLine(run.tick, stamped);
}

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

}  // namespace standin::runner
