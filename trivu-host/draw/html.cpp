// The page of `run --html`: the template with its style and script, the
// marks' names, and the run's record as JSON in a compact form, written
// straight into the page in one pass over the record. Positions are tracks:
// the first position and then the steps, one a tick, as short text (see
// writeTrack()). The JSON is the only text taken from the run, and a `<` in
// it is written \u003c so that no trace line can end its script element.
//
// The JSON is the one nlohmann's compact dump would write for the same
// document (members in the order written, text as UTF-8, ill-formed UTF-8 as
// U+FFFD): the same run gives the same bytes as it always has.
#include "trivu-host/draw/html.h"

#include <algorithm>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "trivu-host/base/text.h"
#include "trivu-host/draw/page_files.h"
#include "trivu-host/draw/svg_layout.h"

namespace standin {
namespace {

// ---- JSON text ---------------------------------------------------------------------

// A JSON string, escaped as nlohmann escapes it, with `<` as \u003c. Bytes
// that are no UTF-8 (a file name's) go through the codec's replacement
// first, as the trace's own quoting does: the same U+FFFD the library's
// replacing dump writes.
void writeString(std::string& out, std::string_view s) {
    standin::appendJsonString(out, trivu::platform::utf16ToUtf8(trivu::platform::utf8ToUtf16(s)), true);
}

void writeNumber(std::string& out, int64_t n) { out += std::to_string(n); }

// [a,b,...] of numbers.
void writeNumbers(std::string& out, std::initializer_list<int64_t> numbers) {
    out += '[';
    bool first = true;
    for (int64_t n : numbers) {
        if (!first) out += ',';
        writeNumber(out, n);
        first = false;
    }
    out += ']';
}

// [each, each, ...]: `write(out, item)` writes one.
template <typename Items, typename Write>
void writeArray(std::string& out, const Items& items, Write write) {
    out += '[';
    bool first = true;
    for (const auto& item : items) {
        if (!first) out += ',';
        write(item);
        first = false;
    }
    out += ']';
}

// ---- Tracks ------------------------------------------------------------------------

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
// takes two characters a tick. The steps text holds nothing to escape.
void writeTrack(std::string& out, const Track& points) {
    if (points.empty()) {
        out += "[]";
        return;
    }
    const Recorder::Point first = points.front();
    out += '[';
    writeNumber(out, first.x);
    out += ',';
    writeNumber(out, first.y);
    out += ",\"";
    std::vector<Step> steps;
    steps.reserve(points.size() - 1);
    Recorder::Point previous = first;
    for (size_t k = 1; k < points.size(); ++k) {
        const Recorder::Point at = points[k];
        steps.push_back({int64_t{at.x} - previous.x, int64_t{at.y} - previous.y});
        previous = at;
    }
    for (size_t at = 0; at < steps.size();) {
        size_t cycle = 0, times = 0;
        for (size_t c = 1; c <= kLongestCycle; ++c)
            if (size_t n = repeats(steps, at, c); n * c > times * cycle) cycle = c, times = n;
        if (times * cycle >= 3) {
            out.append(1, '(').append(std::to_string(cycle)).append(1, ',').append(std::to_string(times)).append(1, ')');
            at += times * cycle;
            continue;
        }
        const Step& s = steps[at++];
        if (s.dx >= -32 && s.dx < 32 && s.dy >= -32 && s.dy < 32) {
            out += kDigits[s.dx + 32];
            out += kDigits[s.dy + 32];
        } else {
            out.append(1, '[').append(std::to_string(s.dx)).append(1, ',').append(std::to_string(s.dy)).append(1, ']');
        }
    }
    out += "\"]";
}

// ---- The run -----------------------------------------------------------------------

void writeInstance(std::string& out, const Recorder::Path& p) {
    out += "{\"n\":";
    writeString(out, p.label);
    out += ",\"w\":";
    writeNumber(out, p.width);
    out += ",\"h\":";
    writeNumber(out, p.height);
    out += ",\"g\":";
    writeNumber(out, p.group);
    out += ",\"t0\":";
    writeNumber(out, p.points.empty() ? 0 : p.points.firstTick());
    out += ",\"p\":";
    writeTrack(out, p.points);
    // The points that begin a new stretch: the trail breaks there.
    std::vector<size_t> breaks;
    for (const layout::Stretch& s : layout::stretches(p))
        if (s.begin > 0) breaks.push_back(s.begin);
    out += ",\"b\":";
    writeArray(out, breaks, [&](size_t k) { writeNumber(out, static_cast<int64_t>(k)); });
    if (p.removedAt >= 0) {
        out += ",\"x\":";
        writeNumber(out, p.removedAt);
    }
    if (p.orbits && !p.centreTrack.empty()) {
        out += ",\"c\":{\"t0\":";
        writeNumber(out, p.centreTrack.firstTick());
        out += ",\"p\":";
        writeTrack(out, p.centreTrack);
        out += '}';
    }
    out += '}';
}

// An event of the page: its tick, its mark, where, and the instance it
// belongs to (-1: none near).
struct Event {
    int64_t tick;
    int kind;
    int64_t x, y;
    int owner;
};

void writeFrame(std::string& out, const Recorder::Panel& panel) {
    out += "{\"name\":";
    writeString(out, panel.name);
    int64_t ticks = panel.lastTick + 1;
    for (const Recorder::Line& l : panel.lines) ticks = std::max(ticks, l.tick + 1);
    out += ",\"ticks\":";
    writeNumber(out, ticks);
    out += ",\"groups\":";
    writeArray(out, panel.groups, [&](const std::u16string& g) { writeString(out, trivu::platform::utf16ToUtf8(g)); });
    out += ",\"walls\":";
    writeArray(out, panel.walls, [&](const Recorder::Wall& w) { writeNumbers(out, {w.group, w.vertical ? 1 : 0, w.at}); });
    out += ",\"inst\":";
    writeArray(out, panel.paths, [&](const Recorder::Path& p) { writeInstance(out, p); });
    // Events in tick order.
    std::vector<Event> events;
    const std::vector<int> owners = layout::owners(panel);
    for (size_t i = 0; i < panel.marks.size(); ++i) {
        const Recorder::Mark& m = panel.marks[i];
        events.push_back({m.tick, m.kind, m.x, m.y, owners[i]});
    }
    for (size_t i = 0; i < panel.paths.size(); ++i) {
        const Recorder::Path& p = panel.paths[i];
        if (p.destroyedAt < 0 || p.points.empty()) continue;
        const Recorder::Point last = p.points.back();
        events.push_back({p.destroyedAt, marks::DESTROYED, int64_t{last.x} + p.width / 2,
                          int64_t{last.y} + p.height / 2, static_cast<int>(i)});
    }
    std::stable_sort(events.begin(), events.end(), [](const Event& a, const Event& b) { return a.tick < b.tick; });
    out += ",\"ev\":";
    writeArray(out, events, [&](const Event& e) { writeNumbers(out, {e.tick, e.kind, e.x, e.y, e.owner}); });
    out += ",\"lines\":";
    writeArray(out, panel.lines, [&](const Recorder::Line& l) {
        out += '[';
        writeNumber(out, l.tick);
        out += ',';
        writeString(out, l.text);
        out += ']';
    });
    out += '}';
}

// ---- The page ----------------------------------------------------------------------

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

void writeRun(std::string& out, const Recorder& drawing, const std::string& title) {
    out += "{\"title\":";
    writeString(out, title);
    out += ",\"frames\":";
    writeArray(out, drawing.panels(), [&](const Recorder::Panel& p) { writeFrame(out, p); });
    out += '}';
}

// The marks' names, by code, for the page's titles and attributes
// (record/marks.h).
void writeMarks(std::string& out) {
    out += '{';
    for (const marks::Name& m : marks::NAMES) {
        if (&m != marks::NAMES) out += ',';
        writeString(out, std::to_string(m.kind));
        out += ':';
        writeString(out, m.page);
    }
    out += '}';
}

// One marker of the template and what replaces it.
struct Part {
    std::string_view marker;
    std::function<void(std::string&)> write;
};

// The template with each marker replaced, the markers in the order they
// stand: what goes in is never searched for markers (a title or a trace line
// may well hold one).
std::string filled(std::string_view form, std::initializer_list<Part> parts) {
    std::string out;
    size_t from = 0;
    for (const Part& part : parts) {
        const size_t at = form.find(part.marker, from);
        if (at == std::string_view::npos) continue;
        out.append(form.substr(from, at - from));
        part.write(out);
        from = at + part.marker.size();
    }
    return out.append(form.substr(from));
}

}  // namespace

std::string page(const Recorder& drawing, const std::string& title) {
    auto text = [](std::string_view t) { return [t](std::string& out) { out.append(t); }; };
    return filled(std::string_view(kPageHtml, kPageHtmlSize),
                  {{"@TITLE@", text(escapeHtml(title))},
                   {"@STYLE@", text(std::string_view(kPageCss, kPageCssSize))},
                   {"@MARKS@", writeMarks},
                   {"@DATA@", [&](std::string& out) { writeRun(out, drawing, title); }},
                   {"@SCRIPT@", text(std::string_view(kPageJs, kPageJsSize))}});
}

}  // namespace standin
