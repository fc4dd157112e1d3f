// The run's trace lines and warnings, each stamped with the frame and tick,
// and its object instances: created as the host lays them out, selected by
// an event's picks, and found again from the pointers the extension hands
// back, which are never trusted before they are found. Every lookup goes
// through the frame's index (FrameIndex), never along the frame.
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
    if (run.report) run.report->traceLine(run.tick, stamped);
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
    in.name = type.name + "#" + std::to_string(run.nextNumber);
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

    FrameIndex& index = run.index;
    index.instanceAt.emplace(&ho, &in);
    index.byNumber.resize(static_cast<size_t>(run.nextNumber), nullptr);
    index.byNumber.back() = &in;
    if (index.liveOf.size() < run.sc.objects.size()) index.liveOf.resize(run.sc.objects.size());
    index.liveOf[static_cast<size_t>(object)].push_back(&in);
    index.live.push_back(&in);
    return &in;
}

void indexExtension(Run& run, ExtInstance& ext) {
    FrameIndex& index = run.index;
    index.extAt.emplace(&ext.ho(), &ext);
    index.byNumber.resize(static_cast<size_t>(run.nextNumber), nullptr);
    if (index.extOfType.size() < run.sc.extensions.size()) index.extOfType.resize(run.sc.extensions.size(), nullptr);
    if (!index.extOfType[static_cast<size_t>(ext.type)]) index.extOfType[static_cast<size_t>(ext.type)] = &ext;
}

// Destroyed instances leave the selection, in creation order; the lists
// are compacted only in a tick that removed one.
void removeDestroyed(Run& run) {
    bool any = false;
    for (Instance* in : run.index.live)
        if (in->ro.roHo.hoFlags & HOF_DESTROYED) {
            in->removed = any = true;
            if (run.report) run.report->removed(in->ro.roHo.hoNumber, run.tick);
        }
    if (!any) return;
    auto removed = [](const Instance* in) { return in->removed; };
    std::erase_if(run.index.live, removed);
    for (std::vector<Instance*>& of : run.index.liveOf) std::erase_if(of, removed);
}

void forgetInstances(Run& run) {
    run.index = {};
    run.exts.clear();
    run.instances.clear();
    run.nextNumber = 0;
}

std::vector<Instance*> selected(Run& run, const Scope& scope, int object) {
    for (const Pick& p : scope.picks)
        if (p.object == object) return p.chosen;
    return liveOf(run, object);
}

Instance* firstSelected(Run& run, const Scope& scope, int object) {
    for (const Pick& p : scope.picks)
        if (p.object == object) return p.chosen.empty() ? nullptr : p.chosen.front();
    const std::vector<Instance*>& live = liveOf(run, object);
    return live.empty() ? nullptr : live.front();
}

const std::vector<Instance*>& liveOf(Run& run, int object) {
    static const std::vector<Instance*> none;
    const auto at = static_cast<size_t>(object);
    return at < run.index.liveOf.size() ? run.index.liveOf[at] : none;
}

Instance* findInstance(Run& run, const headerObject* ho) {
    const auto found = run.index.instanceAt.find(ho);
    return found == run.index.instanceAt.end() ? nullptr : found->second;
}

// Removed ones included: their memory stays valid until the frame ends.
Instance* instanceNumbered(Run& run, int number) {
    const auto at = static_cast<size_t>(number);
    return number >= 0 && at < run.index.byNumber.size() ? run.index.byNumber[at] : nullptr;
}

ExtInstance* findExt(Run& run, const headerObject* ho) {
    const auto found = run.index.extAt.find(ho);
    return found == run.index.extAt.end() ? nullptr : found->second;
}

// The live instance of an extension type in this frame, or null.
ExtInstance* extOf(Run& run, int type) {
    const auto at = static_cast<size_t>(type);
    ExtInstance* ext = at < run.index.extOfType.size() ? run.index.extOfType[at] : nullptr;
    return ext && !ext->destroyed ? ext : nullptr;
}

const std::string& nameOf(const Instance& in) { return in.name; }

}  // namespace standin::runner
