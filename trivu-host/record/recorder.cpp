// The record of a run, gathered while it plays: what the run reports
// (positions, placements, destructions, events, actions) is kept per frame,
// and a motion registration is read the way the extension read it (the
// group it names, the walls of a line or a wave, the centre of an orbit),
// only when the instance's marks show that it took. The reading and layout
// are in draw/svg_layout.cpp, the writing in draw/svg.cpp and draw/html.cpp.
#include "trivu-host/record/recorder.h"

#include <algorithm>
#include <cstdint>
#include <optional>

#include "common/param_formats.h"
#include "trivu-host/record/marks.h"

namespace standin {
namespace {

// ---- What the actions say -------------------------------------------------------------
// The numbers, the kinds and the layouts are the extension's: its catalogue
// checks the numbers against its rows, its bodies read the values by the
// same positions from the same fields.

using namespace trivu;

// The mark a controller leaves, and whether it acts on the instance it ran
// for (directly) or on the groups it names.
struct ControllerMark {
    int action;
    int mark;
    bool direct;
};
constexpr ControllerMark kControllerMarks[] = {
    {ACT_REJECT_NAMED, marks::REJECTED, false},     {ACT_REJECT_DESTROY_NAMED, marks::REJECTED, false},
    {ACT_REJECT_DIRECT, marks::REJECTED, true},     {ACT_REJECT_DESTROY_DIRECT, marks::REJECTED, true},
    {ACT_TOGGLE_STOP_NAMED, marks::STOPPED, false}, {ACT_STOP_NAMED, marks::STOPPED, false},
    {ACT_TOGGLE_STOP_DIRECT, marks::STOPPED, true}, {ACT_REVERSE_NAMED, marks::REVERSED, false},
    {ACT_REVERSE_DIRECT, marks::REVERSED, true},
};

const ControllerMark* controllerMark(int code) {
    for (const ControllerMark& c : kControllerMarks)
        if (c.action == code) return &c;
    return nullptr;
}

// A value as the pixel the extension makes of it: truncated toward zero,
// saturated outside the 32-bit range, 0 for NaN. (A far wall stands far,
// not at 0.)
int32_t pixel(double v) {
    if (v > -2147483649.0 && v < 2147483648.0) return static_cast<int32_t>(v);
    return v > 0 ? INT32_MAX : v < 0 ? INT32_MIN : 0;
}

}  // namespace

// ---- Gathering ------------------------------------------------------------------------

Recorder::Panel& Recorder::panel() {
    if (panels_.empty()) panels_.emplace_back();
    return panels_.back();
}

Recorder::Path* Recorder::find(int number) {
    const auto at = static_cast<size_t>(number);
    if (panels_.empty() || number < 0 || at >= pathOf_.size() || pathOf_[at] < 0) return nullptr;
    return &panels_.back().paths[static_cast<size_t>(pathOf_[at])];
}

Recorder::Path& Recorder::path(int number) {
    if (Path* known = find(number)) return *known;
    Panel& p = panel();
    if (number >= 0) {
        const auto at = static_cast<size_t>(number);
        if (at >= pathOf_.size()) pathOf_.resize(at + 1, -1);
        pathOf_[at] = static_cast<int>(p.paths.size());
    }
    Path& made = p.paths.emplace_back();
    made.number = number;
    return made;
}

void Recorder::startFrame(const std::string& name) {
    panels_.emplace_back().name = name;
    pathOf_.clear();
    lastTexts_.clear();
}

void Recorder::position(int number, const std::string& label, int64_t tick, int32_t x, int32_t y, int32_t width,
                       int32_t height) {
    Path& p = path(number);
    if (p.label.empty()) p.label = label;
    p.width = width;
    p.height = height;
    p.points.push(tick, x, y, p.placedNext);
    p.placedNext = false;
    moveCentre(p, tick);
    panel().lastTick = tick;
}

// An orbit follows its centre object only in a tick it moves, from where
// that object stood once the extension had handled the tick; the centre
// freezes for good once the object has left the frame.
void Recorder::moveCentre(Path& p, int64_t tick) {
    if (!p.orbits) return;
    const size_t n = p.points.size();
    const bool moved = !p.centreTrack.empty() && n >= 2 && p.points[n - 2].tick == tick - 1 &&
                       (p.points[n - 2].x != p.points[n - 1].x || p.points[n - 2].y != p.points[n - 1].y);
    if (moved && p.centreOf >= 0) {
        const Path* centre = find(p.centreOf);
        if (centre == nullptr || (centre->removedAt >= 0 && centre->removedAt < tick))
            p.centreOf = -1;
        else if (centre->handledTick == tick) {
            p.centreX = pixel(centre->handledX + p.offsetX);
            p.centreY = pixel(centre->handledY + p.offsetY);
        }
    }
    p.centreTrack.push(tick, p.centreX, p.centreY);
}

void Recorder::handled(int number, int64_t tick, int32_t x, int32_t y) {
    if (Path* p = find(number)) {
        p->handledTick = tick;
        p->handledX = x;
        p->handledY = y;
    }
}

void Recorder::removed(int number, int64_t tick) {
    if (Path* p = find(number)) p->removedAt = tick;
}

// Lines before the first frame belong to no panel.
void Recorder::traceLine(int64_t tick, const std::string& text) {
    if (keepsTraceLines && !panels_.empty()) panels_.back().lines.push_back({tick, text});
}

void Recorder::placed(int number) { path(number).placedNext = true; }

void Recorder::destroyed(int number) {
    Path& p = path(number);
    p.destroyed = true;
    if (p.destroyedAt < 0) p.destroyedAt = panel().lastTick + 1;
}

void Recorder::action(const ActionCall& call) {
    if (const MotionRegistration* r = motionRegistration(call.code)) {
        if (call.number >= 0) registration(*r, call);
    } else if (call.code == ACT_CHANGE_CENTRE) {
        // It acts on its loop's first instance only.
        if (call.loopIndex == 0) changeCentre(call.texts, call.number);
    } else {
        control(call.code, call.texts, call.number);
    }
}

void Recorder::registration(const MotionRegistration& r, const ActionCall& call) {
    // The later runs of one action fetch nothing: they use the first's texts.
    if (call.loopIndex == 0) lastTexts_ = call.texts;
    // A registration that took marks the instance with the loop index and
    // its kind; one that was refused leaves no group, wall or centre.
    const bool took = call.markA == call.loopIndex && call.markB == r.kind;
    if (!took || lastTexts_.empty()) return;
    Panel& p = panel();
    Path& owner = path(call.number);
    if (owner.group < 0) {
        const std::u16string& name = lastTexts_[0];
        auto known = std::find(p.groups.begin(), p.groups.end(), name);
        owner.group = static_cast<int>(known - p.groups.begin());
        if (known == p.groups.end()) p.groups.push_back(name);
    }
    if (lastTexts_.size() < 2) return;
    const std::u16string text = preparedText(lastTexts_[1]);
    const std::vector<std::u16string_view> fields = fieldsOf(text);
    auto value = [&](size_t n) { return floatOf(fields[n]); };
    auto addWall = [&](std::optional<float> at) {
        if (!at) return;
        const Wall wall{owner.group, r.horizontal, pixel(*at)};
        for (const Wall& w : p.walls)
            if (w.group == wall.group && w.vertical == wall.vertical && w.at == wall.at) return;
        p.walls.push_back(wall);
    };
    if (r.kind == INDEX_WRAPFLIP && fields.size() == wrapFlipValue::COUNT) {
        addWall(value(wrapFlipValue::FIRST_WALL));
        addWall(value(wrapFlipValue::SECOND_WALL));
    } else if (r.kind == INDEX_SINEWAVE && fields.size() == sineWaveValue::COUNT) {
        addWall(value(sineWaveValue::FIRST_WALL));
        addWall(value(sineWaveValue::SECOND_WALL));
    } else if (r.kind == INDEX_ORBITAL && fields.size() == orbitalValue::COUNT) {
        const std::optional<float> readX = value(orbitalValue::OFFSET_X), readY = value(orbitalValue::OFFSET_Y);
        if (!readX || !readY) return;
        const double offsetX = *readX, offsetY = *readY;
        const int32_t cx = call.code == ACT_ORBIT_OWN ? call.x : call.centreX;
        const int32_t cy = call.code == ACT_ORBIT_OWN ? call.y : call.centreY;
        p.centres.push_back({p.lastTick + 1, pixel(cx + offsetX), pixel(cy + offsetY), false});
        owner.orbits = true;
        owner.centreTrack.clear();
        owner.centreX = pixel(cx + offsetX);
        owner.centreY = pixel(cy + offsetY);
        owner.offsetX = offsetX;
        owner.offsetY = offsetY;
        owner.centreOf = call.code == ACT_ORBIT_TARGET ? call.centreNumber : -1;
    }
}

// Events raised during a tick come before that tick's positions.
void Recorder::event(int condition, int32_t x, int32_t y) {
    Panel& p = panel();
    p.marks.push_back({condition, p.lastTick + 1, x, y});
}

// A controller is marked on the instances of the groups it names, as the
// registrations drew them, where each stood at the end of the last tick.
void Recorder::control(int code, const std::vector<std::u16string>& texts, int number) {
    const ControllerMark* controller = controllerMark(code);
    if (!controller) return;
    const int kind = controller->mark;
    const bool direct = controller->direct;
    Panel& p = panel();
    if (!direct && texts.empty()) return;
    auto mark = [&](const Path& path) {
        if (path.group >= 0 && !path.points.empty())
            p.marks.push_back({kind, p.lastTick + 1, path.points.back().x, path.points.back().y,
                               static_cast<int>(&path - p.paths.data())});
    };
    if (direct) {
        if (const Path* path = find(number)) mark(*path);
        return;
    }
    for (const Path& path : p.paths)
        if (texts[0].empty() || (path.group >= 0 && p.groups[static_cast<size_t>(path.group)] == texts[0])) mark(path);
}

// The orbits of the named group (every group for an empty name) follow the
// instance `number` from their next move on.
void Recorder::changeCentre(const std::vector<std::u16string>& texts, int number) {
    if (texts.empty() || number < 0) return;
    Panel& p = panel();
    for (Path& path : p.paths)
        if (path.orbits && path.group >= 0 &&
            (texts[0].empty() || p.groups[static_cast<size_t>(path.group)] == texts[0]))
            path.centreOf = number;
}

Recorder Recorder::between(TickRange ticks) const {
    auto outside = [&](int64_t tick) { return tick < ticks.from || tick > ticks.to; };
    auto keep = [&](auto& items) { std::erase_if(items, [&](const auto& item) { return outside(item.tick); }); };
    Recorder out;
    for (const Panel& whole : panels_) {
        Panel& p = out.panels_.emplace_back();
        p.name = whole.name;
        p.groups = whole.groups;
        p.walls = whole.walls;
        p.lines = whole.lines;
        keep(p.lines);
        p.marks = whole.marks;
        keep(p.marks);
        // A centre stays where it was set until the orbit moves it.
        for (const Point& c : whole.centres)
            if (c.tick <= ticks.to) p.centres.push_back(c);
        p.lastTick = std::min(whole.lastTick, ticks.to);
        // One path at a time: its whole copy goes as soon as it is cut.
        for (const Path& path : whole.paths) {
            Path& cut = p.paths.emplace_back(path);
            cut.points = cut.points.slice(ticks.from, ticks.to);
            cut.centreTrack = cut.centreTrack.slice(ticks.from, ticks.to);
            // Destroyed later, it still moves on at the range's end.
            cut.destroyed = cut.destroyed && cut.destroyedAt <= ticks.to;
        }
    }
    return out;
}

}  // namespace standin
