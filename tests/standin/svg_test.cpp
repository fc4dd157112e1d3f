// The drawing of `run --svg`: well-formed XML, paths that break where an
// instance jumps, the marks and legend that explain them, walls over their
// group only, and the same bytes for the same run; and the page's template
// filled once per marker.
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "trivu-host/draw/html.h"
#include "trivu-host/draw/svg.h"

using standin::Recorder;
using standin::ActionCall;

namespace {

struct Element {
    std::string name;
    std::map<std::string, std::string> attributes;
    std::string text;  // character data directly inside
};

// A small XML reader for what the drawing writes: the declaration, elements
// with quoted attributes, character data and the five entities. Fails the
// test on anything that is not well-formed.
std::vector<Element> parseXml(const std::string& xml) {
    std::vector<Element> all;
    std::vector<size_t> open;
    size_t at = 0;
    if (xml.rfind("<?xml ", 0) == 0) at = xml.find("?>") + 2;
    auto fail = [&](const std::string& why) {
        ADD_FAILURE() << why << " at " << at;
        return std::vector<Element>{};
    };
    while (at < xml.size()) {
        if (xml[at] != '<') {
            size_t end = xml.find('<', at);
            std::string text = xml.substr(at, end - at);
            for (size_t amp = text.find('&'); amp != std::string::npos; amp = text.find('&', amp + 1)) {
                const std::string rest = text.substr(amp);
                bool known = false;
                for (const char* e : {"&amp;", "&lt;", "&gt;", "&quot;", "&apos;"}) known = known || rest.rfind(e, 0) == 0;
                if (!known) return fail("bad entity");
            }
            if (!open.empty()) all[open.back()].text += text;
            else if (text.find_first_not_of(" \n") != std::string::npos) return fail("text outside the root");
            at = end == std::string::npos ? xml.size() : end;
            continue;
        }
        if (xml.compare(at, 2, "</") == 0) {
            size_t end = xml.find('>', at);
            std::string name = xml.substr(at + 2, end - at - 2);
            if (open.empty() || all[open.back()].name != name) return fail("unbalanced </" + name + ">");
            open.pop_back();
            at = end + 1;
            continue;
        }
        size_t end = xml.find('>', at);
        if (end == std::string::npos) return fail("unclosed tag");
        std::string tag = xml.substr(at + 1, end - at - 1);
        const bool empty = !tag.empty() && tag.back() == '/';
        if (empty) tag.pop_back();
        Element e;
        size_t p = tag.find(' ');
        e.name = tag.substr(0, p);
        while (p != std::string::npos && p < tag.size()) {
            p = tag.find_first_not_of(' ', p);
            if (p == std::string::npos) break;
            size_t eq = tag.find("=\"", p);
            if (eq == std::string::npos) return fail("attribute without a quoted value");
            size_t close = tag.find('"', eq + 2);
            if (close == std::string::npos) return fail("unterminated attribute");
            const std::string key = tag.substr(p, eq - p);
            if (e.attributes.count(key)) return fail("attribute twice");
            e.attributes[key] = tag.substr(eq + 2, close - eq - 2);
            p = close + 1;
        }
        if (open.empty() && !all.empty()) return fail("second root");
        all.push_back(e);
        if (!empty) open.push_back(all.size() - 1);
        at = end + 1;
    }
    if (!open.empty()) return fail("unclosed <" + all[open.back()].name + ">");
    return all;
}

std::vector<Element> named(const std::vector<Element>& all, const std::string& name,
                           const std::string& cls = "") {
    std::vector<Element> out;
    for (const Element& e : all)
        if (e.name == name && (cls.empty() || (e.attributes.count("class") && e.attributes.at("class") == cls)))
            out.push_back(e);
    return out;
}

ActionCall registration(int code, int number, std::vector<std::u16string> texts, int32_t kind, int32_t loop = 0) {
    ActionCall m;
    m.code = code;
    m.loopIndex = loop;
    m.number = number;
    m.texts = std::move(texts);
    m.markA = loop;
    m.markB = kind;
    return m;
}

// A controller's run: by group name (texts[0]) or for the instance `number`.
ActionCall controller(int code, std::vector<std::u16string> texts, int number) {
    ActionCall m;
    m.code = code;
    m.number = number;
    m.texts = std::move(texts);
    return m;
}

std::string attr(const Element& e, const std::string& key) {
    auto it = e.attributes.find(key);
    return it == e.attributes.end() ? "" : it->second;
}

int number(const Element& e, const std::string& key) { return std::atoi(attr(e, key).c_str()); }

std::vector<std::string> textsOf(const std::vector<Element>& all) {
    std::vector<std::string> out;
    for (const Element& e : named(all, "text")) out.push_back(e.text);
    return out;
}

bool has(const std::vector<std::string>& texts, const std::string& t) {
    return std::find(texts.begin(), texts.end(), t) != texts.end();
}

// Whether two labels of the panels overlap, taking 6 pixels a character
// and 10 a line.
bool labelsOverlap(const std::vector<Element>& all) {
    std::vector<Element> labels = named(all, "text", "count");
    for (const Element& e : named(all, "text", "wall-label")) labels.push_back(e);
    auto width = [](const Element& e) {
        int chars = 0;
        for (char c : e.text) chars += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
        return 6 * chars;
    };
    for (size_t i = 0; i < labels.size(); ++i)
        for (size_t j = i + 1; j < labels.size(); ++j) {
            const int ax = number(labels[i], "x"), ay = number(labels[i], "y");
            const int bx = number(labels[j], "x"), by = number(labels[j], "y");
            if (ax < bx + width(labels[j]) && bx < ax + width(labels[i]) && ay - 10 < by && by - 10 < ay) return true;
        }
    return false;
}

// A level move of one instance from (x, y), one position per tick.
void walk(Recorder& d, int number, const std::string& label, int64_t& tick, int32_t x, int32_t y, int32_t dx,
          int steps) {
    for (int i = 0; i < steps; ++i) d.position(number, label, tick++, x + i * dx, y, 0, 0);
}

struct Case {
    const char* name;
    std::function<void(Recorder&)> build;
    std::function<void(const std::vector<Element>&)> check;
    std::optional<standin::TickRange> ticks = {};  // --svg-ticks
};

std::vector<std::string> pointsOf(const std::vector<Element>& all) {
    std::vector<std::string> out;
    for (const Element& e : named(all, "polyline", "path")) out.push_back(attr(e, "points"));
    return out;
}

using Strings = std::vector<std::string>;

const Case kCases[] = {
    {"a wrap breaks the path and marks both ends of the jump",
     [](Recorder& d) {
         d.startFrame("Wrap");
         d.action(registration(27, 0, {u"comet", u"+3, false, 40, 360"}, 1));
         int64_t tick = 0;
         walk(d, 0, "Comet#0", tick, 300, 100, 3, 21);  // to 360
         d.event(12, 362, 100);
         d.event(11, 42, 100);
         walk(d, 0, "Comet#0", tick, 42, 100, 3, 10);
     },
     [](const std::vector<Element>& all) {
         EXPECT_EQ(pointsOf(all), (Strings{"300,100 360,100", "42,100 69,100"}));
         EXPECT_EQ(named(all, "circle", "jump-end").size(), 2u);
         EXPECT_TRUE(named(all, "line", "jump").empty());  // a wrap's long link would read as a track
         EXPECT_EQ(named(all, "circle", "start").size(), 1u);
         EXPECT_EQ(named(all, "rect", "end").size(), 1u);
         EXPECT_FALSE(named(all, "path", "direction").empty());
         EXPECT_EQ(named(all, "path", "right-wall").size(), 1u);
         EXPECT_EQ(named(all, "path", "left-wall").size(), 1u);
     }},
    {"a place the game sets breaks the path there and where the motion takes it back",
     [](Recorder& d) {
         d.startFrame("Placed");
         int64_t tick = 0;
         walk(d, 0, "Orb#0", tick, 330, 100, 0, 10);
         d.placed(0);
         d.position(0, "Orb#0", tick++, 380, 100, 0, 0);
         walk(d, 0, "Orb#0", tick, 330, 100, 0, 10);
     },
     [](const std::vector<Element>& all) {
         // Standing still draws no line; the same stretch again is drawn once.
         EXPECT_EQ(pointsOf(all), (Strings{"330,100", "380,100"}));
         EXPECT_EQ(named(all, "line", "jump").size(), 2u);  // short jumps keep a faint link
     }},
    {"events of one instance within 3 pixels merge into one mark with a count",
     [](Recorder& d) {
         d.startFrame("Merging");
         int64_t tick = 0;
         d.event(15, 100, 50);
         d.event(15, 101, 51);
         d.event(15, 103, 50);
         d.event(15, 104, 50);  // 4 from the first: a mark of its own
         d.event(15, 100, 57);  // nearer the other instance
         d.position(0, "Star#0", tick, 100, 50, 0, 0);
         d.position(1, "Star#1", tick, 100, 58, 0, 0);
         // A crowd of sleepers, each with a count to place.
         for (int i = 2; i < 8; ++i) {
             d.event(15, 200, 50 + 4 * i);
             d.event(15, 200, 50 + 4 * i);
             d.position(i, "Star#" + std::to_string(i), tick, 200, 50 + 4 * i, 0, 0);
         }
     },
     [](const std::vector<Element>& all) {
         EXPECT_EQ(named(all, "g", "event").size(), 9u);
         const auto counts = named(all, "text", "count");
         ASSERT_EQ(counts.size(), 7u);
         EXPECT_EQ(counts[0].text, std::string("\xC3\x97") + "3");
     }},
    {"a crowd of events in one tick goes each to the instance nearest it, and merges only with that one's",
     [](Recorder& d) {
         d.startFrame("Crowd");
         // Nine pairs, 5 pixels apart; each instance sleeps a pixel from its
         // place, 3 pixels from its neighbour's mark.
         for (int i = 0; i < 9; ++i) {
             d.event(15, 300 * i, 51);
             d.event(15, 300 * i, 54);
         }
         for (int i = 0; i < 9; ++i) {
             d.position(2 * i, "Star#" + std::to_string(2 * i), 0, 300 * i, 50, 0, 0);
             d.position(2 * i + 1, "Star#" + std::to_string(2 * i + 1), 0, 300 * i, 55, 0, 0);
         }
     },
     [](const std::vector<Element>& all) {
         EXPECT_EQ(named(all, "g", "event").size(), 18u);
         EXPECT_TRUE(named(all, "text", "count").empty());
     }},
    {"a wall is drawn over its own group only, labelled; a far one is an arrow at the edge",
     [](Recorder& d) {
         d.startFrame("Walls");
         d.action(registration(37, 0, {u"guards", u"+2, false, 40, 200"}, 1));
         d.action(registration(27, 1, {u"bats", u"+2, false, 40, 900"}, 1));
         int64_t tick = 0, other = 0;
         walk(d, 0, "Guard#0", tick, 50, 40, 2, 60);
         walk(d, 1, "Bat#1", other, 50, 300, 2, 60);
     },
     [](const std::vector<Element>& all) {
         const auto walls = named(all, "line", "wall");
         ASSERT_EQ(walls.size(), 3u);  // guards at 40 and 200, bats at 40; bats at 900 is far
         for (const Element& w : walls) EXPECT_EQ(attr(w, "x1"), attr(w, "x2"));
         EXPECT_EQ(number(walls[0], "y1"), 28);  // the guards' extent, y = 40, and 12 more either way
         EXPECT_EQ(number(walls[0], "y2"), 52);
         EXPECT_EQ(number(walls[2], "y1"), 288);
         EXPECT_EQ(named(all, "path", "wall-arrow").size(), 1u);
         const auto texts = textsOf(all);
         EXPECT_TRUE(has(texts, "guards wall x=200"));
         EXPECT_TRUE(has(texts, "bats wall x=900"));
         const Element panel = named(all, "rect", "panel").at(0);
         EXPECT_LT(number(panel, "x") + number(panel, "width"), 400);  // framed on the paths, not the far wall
     }},
    {"walls stand where the extension has them: a float's value, saturated past the 32-bit range",
     [](Recorder& d) {
         d.startFrame("Far walls");
         d.action(registration(27, 0, {u"ball", u"+3, false, -3000000000, 16777217"}, 1));
         int64_t tick = 0;
         walk(d, 0, "Ball#0", tick, 16777150, 10, 3, 20);
     },
     [](const std::vector<Element>& all) {
         const auto texts = textsOf(all);
         EXPECT_TRUE(has(texts, "ball wall x=16777216"));  // as a float holds 16777217
         EXPECT_TRUE(has(texts, "ball wall x=-2147483648"));
         EXPECT_EQ(named(all, "path", "wall-arrow").size(), 1u);  // that one, far to the left
         EXPECT_EQ(named(all, "line", "wall").size(), 1u);
     }},
    {"controllers mark the instances of the groups they name, or the one they ran for",
     [](Recorder& d) {
         d.startFrame("Controllers");
         d.action(registration(37, 0, {u"a", u"+2, false, 0, 400"}, 1));
         d.action(registration(37, 1, {u"b", u"+2, false, 0, 400"}, 1));
         d.action(registration(37, 2, {u"a", u"+2, false, 0, 400"}, 1));
         for (int64_t t = 0; t < 3; ++t)
             for (int32_t n = 0; n < 3; ++n) d.position(n, "Ball#" + std::to_string(n), t, 10 + 2 * n, 40 * n, 0, 0);
         d.action(controller(29, {u"a"}, -1));  // stop a: Ball#0 and Ball#2
         d.action(controller(51, {}, 1));       // reverse Ball#1
         d.action(controller(30, {}, 1));       // toggle stop Ball#1, directly
         d.action(controller(21, {u""}, -1));   // reject every group
         d.action(controller(21, {u"c"}, -1));  // no such group
         d.action(controller(33, {}, -1));      // not a controller
     },
     [](const std::vector<Element>& all) {
         EXPECT_EQ(named(all, "path", "stopped").size(), 3u);
         EXPECT_EQ(named(all, "path", "reversed").size(), 1u);
         EXPECT_EQ(named(all, "g", "rejected").size(), 3u);
         EXPECT_EQ(named(all, "g", "event").size(), 7u);
     }},
    {"registrations give groups, colours, walls and centres; refused ones nothing",
     [](Recorder& d) {
         d.startFrame("Walls & <flips>");
         d.action(registration(27, 0, {u"row", u"+1.0, false, -40, 680"}, 1));
         d.action(registration(27, 1, {}, 1, 1));  // a later run: the first one's texts
         d.action(registration(37, 2, {u"", u"-1.2 , false , 0, 200"}, 0));  // refused: no marks
         for (int64_t t = 0; t < 3; ++t) {
             d.position(0, "Ball#0", t, 660 + t, 100, 0, 0);
             d.position(1, "Ball#1", t, -20 + t, 150, 0, 0);
             d.position(2, "Box#2", t, 50, 50, 0, 0);
         }
         d.startFrame("Ring");
         ActionCall orbit = registration(44, 0, {u"ring", u"50,50, +1.0, false,0,72,10,-5,false,30,-1,72"}, 3);
         orbit.x = 300;
         orbit.y = 200;
         d.action(orbit);
         d.destroyed(0);
         d.position(0, "Star#0", 0, 350, 200, 0, 0);
         d.position(0, "Star#0", 1, 349, 199, 0, 0);
     },
     [](const std::vector<Element>& all) {
         EXPECT_EQ(named(all, "g", "frame").size(), 2u);
         const auto paths = named(all, "polyline", "path");
         ASSERT_EQ(paths.size(), 4u);
         EXPECT_EQ(attr(paths[0], "data-instance"), "Ball#0");
         EXPECT_EQ(attr(paths[0], "points"), "660,100 662,100");
         EXPECT_EQ(attr(paths[0], "stroke"), attr(paths[1], "stroke"));
         EXPECT_EQ(attr(paths[2], "stroke"), "#444444");
         EXPECT_EQ(named(all, "line", "wall").size(), 2u);  // the same walls twice are drawn once
         const auto centres = named(all, "path", "centre");
         ASSERT_EQ(centres.size(), 1u);
         EXPECT_EQ(attr(centres[0], "d"), "M 305 195 H 315 M 310 190 V 200");  // own place plus the offsets
         EXPECT_EQ(named(all, "path", "destroyed").size(), 1u);  // the end of Star#0
         const auto texts = textsOf(all);
         EXPECT_TRUE(has(texts, "Walls &amp; &lt;flips&gt;"));
         EXPECT_TRUE(has(texts, "group row"));
         EXPECT_TRUE(has(texts, "in no motion group"));
         EXPECT_TRUE(has(texts, "destroyed through the extension"));
         EXPECT_FALSE(has(texts, "top wall"));  // the legend names only the marks drawn
     }},
    {"a path keeps only its turns: straight runs and standing still are one segment, a turn back is a corner",
     [](Recorder& d) {
         d.startFrame("Corners");
         int64_t tick = 0;
         walk(d, 0, "Ant#0", tick, 0, 0, 3, 11);  // to 30,0
         for (int32_t y : {2, 4, 6, 6, 6}) d.position(0, "Ant#0", tick++, 30, y, 0, 0);
         for (int32_t x : {33, 37, 40, 44, 40, 36}) d.position(0, "Ant#0", tick++, x, 6, 0, 0);  // 3, 4, 3, 4, then back
     },
     [](const std::vector<Element>& all) {
         EXPECT_EQ(pointsOf(all), (Strings{"0,0 30,0 30,6 44,6 36,6"}));
         // The arrows still follow every position: the way is the same.
         ASSERT_EQ(named(all, "path", "direction").size(), 1u);
         EXPECT_EQ(attr(named(all, "path", "direction")[0], "d"), "M 43 6 L 34 10 L 34 2 Z");
     }},
    {"a tick range draws only those ticks: their positions and marks, destroyed only when it was by then",
     [](Recorder& d) {
         d.startFrame("Range");
         d.action(registration(27, 0, {u"ants", u"+2, false, -100, 900"}, 1));
         for (int64_t t = 0; t < 30; ++t) {
             if (t == 5 || t == 15) d.event(15, static_cast<int32_t>(2 * t), 50);
             if (t == 29) d.destroyed(0);
             d.position(0, "Ant#0", t, static_cast<int32_t>(2 * t), 50, 0, 0);
         }
         d.startFrame("Short");
         d.position(0, "Ant#0", 0, 7, 7, 0, 0);
     },
     [](const std::vector<Element>& all) {
         EXPECT_EQ(pointsOf(all), (Strings{"20,50 38,50"}));
         ASSERT_EQ(named(all, "circle", "start").size(), 1u);
         EXPECT_EQ(attr(named(all, "circle", "start")[0], "cx"), "20");
         EXPECT_EQ(named(all, "rect", "end").size(), 1u);
         EXPECT_TRUE(named(all, "path", "destroyed").empty());
         EXPECT_EQ(named(all, "g", "event").size(), 1u);  // tick 15's, not tick 5's
         EXPECT_EQ(named(all, "g", "frame").size(), 2u);  // the short frame: an empty panel
         EXPECT_FALSE(has(textsOf(all), "in no motion group"));
     },
     standin::TickRange{10, 19}},
};

}  // namespace

TEST(Recorder, TableOfRuns) {
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.name);
        Recorder first, second;
        c.build(first);
        c.build(second);
        const std::string drawn = svg(c.ticks ? first.between(*c.ticks) : first);
        EXPECT_EQ(drawn, svg(c.ticks ? second.between(*c.ticks) : second));
        const std::vector<Element> all = parseXml(drawn);
        ASSERT_FALSE(all.empty());
        EXPECT_EQ(all[0].name, "svg");
        EXPECT_EQ(named(all, "g", "legend").size(), named(all, "g", "frame").size());
        EXPECT_FALSE(labelsOverlap(all));
        c.check(all);
    }
    EXPECT_FALSE(parseXml(svg(Recorder())).empty());
}

// The page's markers are replaced in the order they stand, each once: a
// title (or a trace line) that holds one is written as it is.
TEST(Page, TextsHoldingMarkersStayTexts) {
    const std::string title = "@STYLE@ @MARKS@ @DATA@ @SCRIPT@.json";
    const std::string page = standin::page(Recorder(), title);
    EXPECT_NE(page.find("<title>" + title + "</title>"), std::string::npos);
    EXPECT_NE(page.find("id=\"run\">{\"title\":\"" + title + "\",\"frames\":[]}</script>"), std::string::npos);
    std::string rest = page;  // without the title: every marker replaced
    for (size_t at; (at = rest.find(title)) != std::string::npos;) rest.erase(at, title.size());
    for (const char* marker : {"@TITLE@", "@STYLE@", "@MARKS@", "@DATA@", "@SCRIPT@"})
        EXPECT_EQ(rest.find(marker), std::string::npos) << marker;
}
