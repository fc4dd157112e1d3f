// The page of `run --html`: the template with its style and script, and the
// run's record as JSON in a compact form. Positions are tracks: the first
// position and then the steps, one a tick, as short text (see track()). The JSON is the only text taken
// from the run, and a `<` in it is written \u003c so that no trace line
// can end its script element.
#include "trivu-host/draw/html.h"

#include <algorithm>
#include <cstdint>
#include <nlohmann/json.hpp>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "trivu-host/draw/page_files.h"
#include "trivu-host/draw/svg_layout.h"
#include "trivu-host/base/text.h"

namespace standin {
namespace {

using Json = nlohmann::ordered_json;

constexpr char kDigits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
constexpr size_t kLongestCycle = 4;

struct Step {
    int64_t dx, dy;
    bool operator==(const Step&) const = default;
};

// How many times the last `cycle` steps before `at` repeat from `at` on.
size_t repeats(const std::vector<Step>& steps, size_t at, size_t cycle) {
    if (at < cycle) return 0;
    size_t k = at;
    while (k < steps.size() && steps[k] == steps[k - cycle]) ++k;
    return (k - at) / cycle;
}

// [x0, y0, "STEPS"]: a step of at most 32 pixels either way is two digits
// of kDigits (dx + 32, dy + 32), a longer one [dx,dy], and (K,N) repeats the
// last K steps N times more. A moving instance mostly repeats a short cycle
// of steps (+3.5 pixels a tick is 3, 4, 3, 4, ...), and an orbit or a wave
// takes two characters a tick.
Json track(const std::vector<Recorder::Point>& points) {
    Json out = Json::array();
    if (points.empty()) return out;
    out.push_back(points[0].x);
    out.push_back(points[0].y);
    std::vector<Step> steps;
    for (size_t k = 1; k < points.size(); ++k)
        steps.push_back({int64_t{points[k].x} - points[k - 1].x, int64_t{points[k].y} - points[k - 1].y});
    std::string text;
    for (size_t at = 0; at < steps.size();) {
        size_t cycle = 0, times = 0;
        for (size_t c = 1; c <= kLongestCycle; ++c)
            if (size_t n = repeats(steps, at, c); n * c > times * cycle) cycle = c, times = n;
        if (times * cycle >= 3) {
            text.append(1, '(').append(std::to_string(cycle)).append(1, ',').append(std::to_string(times)).append(1, ')');
            at += times * cycle;
            continue;
        }
        const Step& s = steps[at++];
        if (s.dx >= -32 && s.dx < 32 && s.dy >= -32 && s.dy < 32) {
            text += kDigits[s.dx + 32];
            text += kDigits[s.dy + 32];
        } else {
            text.append(1, '[').append(std::to_string(s.dx)).append(1, ',').append(std::to_string(s.dy)).append(1, ']');
        }
    }
    out.push_back(text);
    return out;
}

Json instanceOf(const Recorder::Path& p) {
    Json o;
    o["n"] = p.label;
    o["w"] = p.width;
    o["h"] = p.height;
    o["g"] = p.group;
    o["t0"] = p.points.empty() ? 0 : p.points[0].tick;
    o["p"] = track(p.points);
    // The points that begin a new stretch: the trail breaks there.
    Json breaks = Json::array();
    for (const layout::Stretch& s : layout::stretches(p))
        if (s.begin > 0) breaks.push_back(s.begin);
    o["b"] = breaks;
    if (p.removedAt >= 0) o["x"] = p.removedAt;
    if (p.orbits && !p.centreTrack.empty()) o["c"] = {{"t0", p.centreTrack[0].tick}, {"p", track(p.centreTrack)}};
    return o;
}

Json frameOf(const Recorder::Panel& panel) {
    Json f;
    f["name"] = panel.name;
    int64_t ticks = panel.lastTick + 1;
    for (const Recorder::Line& l : panel.lines) ticks = std::max(ticks, l.tick + 1);
    f["ticks"] = ticks;
    Json groups = Json::array();
    for (const std::u16string& g : panel.groups) groups.push_back(trivu::platform::utf16ToUtf8(g));
    f["groups"] = groups;
    Json walls = Json::array();
    for (const Recorder::Wall& w : panel.walls) walls.push_back({w.group, w.vertical ? 1 : 0, w.at});
    f["walls"] = walls;
    Json instances = Json::array();
    for (const Recorder::Path& p : panel.paths) instances.push_back(instanceOf(p));
    f["inst"] = instances;
    // Events in tick order, each with the instance it belongs to (-1: none near).
    std::vector<std::vector<int64_t>> events;
    for (const Recorder::Mark& m : panel.marks)
        events.push_back({m.tick, m.kind, m.x, m.y, m.owner >= 0 ? m.owner : layout::ownerOf(panel, m)});
    for (size_t i = 0; i < panel.paths.size(); ++i) {
        const Recorder::Path& p = panel.paths[i];
        if (p.destroyedAt < 0 || p.points.empty()) continue;
        const Recorder::Point& last = p.points.back();
        events.push_back({p.destroyedAt, marks::DESTROYED, last.x + p.width / 2, last.y + p.height / 2, static_cast<int64_t>(i)});
    }
    std::stable_sort(events.begin(), events.end(), [](const auto& a, const auto& b) { return a[0] < b[0]; });
    f["ev"] = events;
    Json lines = Json::array();
    for (const Recorder::Line& l : panel.lines) lines.push_back({l.tick, l.text});
    f["lines"] = lines;
    return f;
}

std::string escapeHtml(const std::string& s) {
    std::string out;
    for (char c : s) {
        if (c == '&') out += "&amp;";
        else if (c == '<') out += "&lt;";
        else if (c == '>') out += "&gt;";
        else out += c;
    }
    return out;
}

// Ill-formed UTF-8 in a trace line becomes U+FFFD rather than a failed page.
std::string dataOf(const Recorder& drawing, const std::string& title) {
    Json run;
    run["title"] = title;
    Json frames = Json::array();
    for (const Recorder::Panel& p : drawing.panels()) frames.push_back(frameOf(p));
    run["frames"] = frames;
    const std::string json = run.dump(-1, ' ', false, Json::error_handler_t::replace);
    std::string out;
    out.reserve(json.size());
    for (char c : json) {
        if (c == '<') out += "\\u003c";
        else out += c;
    }
    return out;
}

// The marks' names, by code, for the page's titles and attributes
// (record/marks.h).
std::string marksOf() {
    Json names = Json::object();
    for (const marks::Name& m : marks::NAMES) names[std::to_string(m.kind)] = m.page;
    return names.dump();
}

struct Part {
    std::string_view marker;
    std::string_view text;
};

// The template with each marker given its text, the markers in the order
// they stand: what goes in is never searched for markers (a title or a
// trace line may well hold one).
std::string filled(std::string_view form, std::initializer_list<Part> parts) {
    std::string out;
    size_t from = 0;
    for (const Part& part : parts) {
        const size_t at = form.find(part.marker, from);
        if (at == std::string_view::npos) continue;
        out.append(form.substr(from, at - from)).append(part.text);
        from = at + part.marker.size();
    }
    return out.append(form.substr(from));
}

}  // namespace

std::string page(const Recorder& drawing, const std::string& title) {
    return filled(std::string_view(kPageHtml, kPageHtmlSize),
                  {{"@TITLE@", escapeHtml(title)},
                   {"@STYLE@", std::string_view(kPageCss, kPageCssSize)},
                   {"@MARKS@", marksOf()},
                   {"@DATA@", dataOf(drawing, title)},
                   {"@SCRIPT@", std::string_view(kPageJs, kPageJsSize)}});
}

}  // namespace standin
