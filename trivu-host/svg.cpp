// Index
//   1. What the motion registrations say: group, walls, centre
//   2. Gathering
//   3. Drawing: bounds, panels, the document
#include "trivu-host/svg.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <optional>


namespace host {
namespace {

// ---- 1. What the motion registrations say ------------------------------------------

enum : int {
    NULL_MOTION = 20,
    HORIZONTAL_WRAP = 27,
    TIMED_NULL = 34,
    HORIZONTAL_FLIP = 37,
    VERTICAL_WRAP = 38,
    VERTICAL_FLIP = 39,
    HORIZONTAL_WRAP_WAVE = 40,
    HORIZONTAL_FLIP_WAVE = 41,
    VERTICAL_WRAP_WAVE = 42,
    VERTICAL_FLIP_WAVE = 43,
    ORBIT_OWN = 44,
    ORBIT_TARGET = 45,
};

bool isLine(int code) { return code == HORIZONTAL_WRAP || (code >= HORIZONTAL_FLIP && code <= VERTICAL_FLIP); }
bool isWave(int code) { return code >= HORIZONTAL_WRAP_WAVE && code <= VERTICAL_FLIP_WAVE; }
bool isOrbit(int code) { return code == ORBIT_OWN || code == ORBIT_TARGET; }
bool movesHorizontally(int code) {
    return code == HORIZONTAL_WRAP || code == HORIZONTAL_FLIP || code == HORIZONTAL_WRAP_WAVE ||
           code == HORIZONTAL_FLIP_WAVE;
}

// The numbers of a multi-value parameter text, read as the extension's
// parser prepares it (spaces dropped, "true" and "false" as 1 and 0);
// nothing when a value is not a number.
std::optional<std::vector<double>> numbers(const std::u16string& text) {
    std::string s;
    for (char16_t c : text) {
        if (c == u' ') continue;
        if (c > 0x7F) return std::nullopt;
        s += static_cast<char>(c);
    }
    std::vector<double> out;
    size_t start = 0;
    while (start <= s.size()) {
        size_t end = s.find(',', start);
        if (end == std::string::npos) end = s.size();
        std::string value = s.substr(start, end - start);
        if (value == "true") value = "1";
        if (value == "false") value = "0";
        if (!value.empty() && value[0] == '+') value.erase(0, 1);
        double d = 0;
        auto [ptr, ec] = std::from_chars(value.data(), value.data() + value.size(), d);
        if (value.empty() || ec != std::errc{} || ptr != value.data() + value.size()) return std::nullopt;
        out.push_back(d);
        start = end + 1;
    }
    return out;
}

// The kind index a registration leaves in alterable value B.
int kindIndexOf(int code) {
    if (isLine(code)) return 1;
    if (isWave(code)) return 2;
    if (isOrbit(code)) return 3;
    return 0;
}

int32_t pixel(double v) {
    if (!(std::fabs(v) < 1e9)) return 0;
    return static_cast<int32_t>(v);
}

// ---- 3. Drawing helpers ----------------------------------------------------------------

// Distinct hues for motion groups, in order of registration.
const char* const kColours[] = {"#1f77b4", "#d62728", "#2ca02c", "#9467bd", "#ff7f0e",
                                "#17becf", "#8c564b", "#e377c2", "#bcbd22", "#7f7f7f"};
const char* const kUngrouped = "#444444";

constexpr int32_t kMargin = 24;
constexpr int32_t kTitle = 28;  // the room for a panel's title above it

std::string escape(const std::string& text) {
    std::string out;
    for (char c : text) {
        switch (c) {
            case '&': out += "&amp;"; break;
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            case '"': out += "&quot;"; break;
            default:
                // Control characters are not allowed in XML 1.0.
                if (static_cast<unsigned char>(c) < 0x20 && c != '\t' && c != '\n') continue;
                out += c;
        }
    }
    return out;
}

std::string num(int64_t v) { return std::to_string(v); }

struct Box {
    int64_t minX = std::numeric_limits<int64_t>::max(), minY = std::numeric_limits<int64_t>::max();
    int64_t maxX = std::numeric_limits<int64_t>::min(), maxY = std::numeric_limits<int64_t>::min();
    void addX(int64_t x) {
        minX = std::min(minX, x);
        maxX = std::max(maxX, x);
    }
    void addY(int64_t y) {
        minY = std::min(minY, y);
        maxY = std::max(maxY, y);
    }
    void add(int64_t x, int64_t y) {
        addX(x);
        addY(y);
    }
    void settle() {
        if (minX > maxX) minX = maxX = 0;
        if (minY > maxY) minY = maxY = 0;
    }
    int64_t width() const { return maxX - minX + 2 * kMargin; }
    int64_t height() const { return maxY - minY + 2 * kMargin; }
};

}  // namespace

bool Drawing::isMotionRegistration(int code) {
    return code == NULL_MOTION || code == TIMED_NULL || isLine(code) || isWave(code) || isOrbit(code);
}

// ---- 2. Gathering -------------------------------------------------------------------------

Drawing::Panel& Drawing::panel() {
    if (panels_.empty()) panels_.emplace_back();
    return panels_.back();
}

Drawing::Path& Drawing::path(int number) {
    Panel& p = panel();
    for (Path& path : p.paths)
        if (path.number == number) return path;
    Path& made = p.paths.emplace_back();
    made.number = number;
    return made;
}

void Drawing::startFrame(const std::string& name) {
    panels_.emplace_back().name = name;
    lastTexts_.clear();
}

void Drawing::position(int number, const std::string& label, int32_t x, int32_t y) {
    Path& p = path(number);
    p.label = label;
    p.points.push_back({x, y});
}

void Drawing::motionCall(const MotionCall& call) {
    if (!isMotionRegistration(call.code)) return;
    // The later runs of one action fetch nothing: they use the first's texts.
    if (call.loopIndex == 0) lastTexts_ = call.texts;
    // A registration that took marks the instance with the loop index and
    // its kind; one that was refused leaves no group, wall or centre.
    const bool took = call.markA == call.loopIndex && call.markB == kindIndexOf(call.code);
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
    const auto values = numbers(lastTexts_[1]);
    if (!values) return;
    const std::vector<double>& v = *values;
    auto addWall = [&](bool vertical, int32_t at) {
        for (const Wall& w : p.walls)
            if (w.vertical == vertical && w.at == at) return;
        p.walls.push_back({vertical, at});
    };
    if ((isLine(call.code) && v.size() == 4) || (isWave(call.code) && v.size() == 8)) {
        const size_t first = v.size() - 2;
        addWall(movesHorizontally(call.code), pixel(v[first]));
        addWall(movesHorizontally(call.code), pixel(v[first + 1]));
    } else if (isOrbit(call.code) && v.size() == 12) {
        const int32_t cx = call.code == ORBIT_OWN ? call.x : call.centreX;
        const int32_t cy = call.code == ORBIT_OWN ? call.y : call.centreY;
        p.centres.push_back({pixel(cx + v[6]), pixel(cy + v[7])});
    }
}

// A sleeping object reports the same place every frame: one marker is enough.
void Drawing::event(int condition, int32_t x, int32_t y) {
    for (const Mark& m : panel().marks)
        if (m.condition == condition && m.at.x == x && m.at.y == y) return;
    panel().marks.push_back({condition, {x, y}});
}

// ---- 3. Drawing ---------------------------------------------------------------------------

std::string Drawing::svg() const {
    std::vector<Box> boxes;
    int64_t width = 0, height = 0;
    for (const Panel& p : panels_) {
        Box b;
        for (const Path& path : p.paths)
            for (const Point& pt : path.points) b.add(pt.x, pt.y);
        for (const Point& c : p.centres) b.add(c.x, c.y);
        for (const Mark& m : p.marks) b.add(m.at.x, m.at.y);
        for (const Wall& w : p.walls) w.vertical ? b.addX(w.at) : b.addY(w.at);
        b.settle();
        boxes.push_back(b);
        width = std::max(width, b.width());
        height += kTitle + b.height();
    }
    std::string out = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    out += "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + num(width) + "\" height=\"" + num(height) +
           "\" viewBox=\"0 0 " + num(width) + " " + num(height) + "\" font-family=\"sans-serif\" font-size=\"12\">\n";
    int64_t top = 0;
    for (size_t i = 0; i < panels_.size(); ++i) {
        const Panel& p = panels_[i];
        const Box& b = boxes[i];
        out += "<g class=\"frame\">\n";
        out += "<text x=\"4\" y=\"" + num(top + 18) + "\" font-size=\"14\">" + escape(p.name) + "</text>\n";
        const int64_t dx = kMargin - b.minX, dy = top + kTitle + kMargin - b.minY;
        out += "<g transform=\"translate(" + num(dx) + " " + num(dy) + ")\">\n";
        out += "<rect class=\"panel\" x=\"" + num(b.minX - kMargin) + "\" y=\"" + num(b.minY - kMargin) + "\" width=\"" +
               num(b.width()) + "\" height=\"" + num(b.height()) + "\" fill=\"#fafafa\" stroke=\"#cccccc\"/>\n";
        for (const Wall& w : p.walls) {
            const bool v = w.vertical;
            out += "<line class=\"wall\" x1=\"" + num(v ? w.at : b.minX - kMargin) + "\" y1=\"" +
                   num(v ? b.minY - kMargin : w.at) + "\" x2=\"" + num(v ? w.at : b.maxX + kMargin) + "\" y2=\"" +
                   num(v ? b.maxY + kMargin : w.at) + "\" stroke=\"#999999\" stroke-dasharray=\"6 4\"/>\n";
        }
        for (const Path& path : p.paths) {
            if (path.points.empty()) continue;
            const char* colour = path.group >= 0 ? kColours[path.group % std::size(kColours)] : kUngrouped;
            out += "<polyline class=\"path\" data-instance=\"" + escape(path.label) + "\" points=\"";
            for (size_t k = 0; k < path.points.size(); ++k) {
                if (k > 0) out += ' ';
                out += num(path.points[k].x);
                out += ',';
                out += num(path.points[k].y);
            }
            out += "\" fill=\"none\" stroke=\"";
            out += colour;
            out += "\" stroke-width=\"1.5\"/>\n";
        }
        for (const Point& c : p.centres) {
            out += "<path class=\"centre\" d=\"M " + num(c.x - 5) + " " + num(c.y) + " H " + num(c.x + 5) + " M " +
                   num(c.x) + " " + num(c.y - 5) + " V " + num(c.y + 5) + "\" stroke=\"#000000\"/>\n";
        }
        for (const Mark& m : p.marks) {
            out += "<g class=\"event\"><circle cx=\"" + num(m.at.x) + "\" cy=\"" + num(m.at.y) +
                   "\" r=\"3\" fill=\"#000000\"/><text x=\"" + num(m.at.x + 4) + "\" y=\"" + num(m.at.y - 4) +
                   "\" font-size=\"9\">" + num(m.condition) + "</text></g>\n";
        }
        out += "</g>\n</g>\n";
        top += kTitle + b.height();
    }
    out += "</svg>\n";
    return out;
}

}  // namespace host
