// The drawing of `run --svg`: well-formed XML, one polyline per instance
// through its traced points, walls and centres from the registrations that
// took, event markers, and the same bytes for the same run.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "trivu-host/svg.h"

using host::Drawing;
using host::MotionCall;

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

MotionCall registration(int code, int number, std::vector<std::u16string> texts, int32_t kind, int32_t loop = 0) {
    MotionCall m;
    m.code = code;
    m.loopIndex = loop;
    m.number = number;
    m.texts = std::move(texts);
    m.markA = loop;
    m.markB = kind;
    return m;
}

// Two frames: a wrap and a flip with their walls and events, and an orbit.
Drawing sample() {
    Drawing d;
    d.startFrame("Walls & <flips>");
    d.motionCall(registration(27, 0, {u"row", u"+1.0, false, -40, 680"}, 1));
    d.motionCall(registration(27, 1, {}, 1, 1));  // a later run: the first one's texts
    d.motionCall(registration(37, 2, {u"", u"-1.2 , false , 0, 200"}, 0));  // refused: no marks
    for (int32_t t = 0; t < 3; ++t) {
        d.position(0, "Ball#0", 678 + t, 100);
        d.position(1, "Ball#1", 10 + t, 150);
        d.position(2, "Box#2", 50, 50);
    }
    d.event(12, 680, 100);
    d.event(11, -39, 100);
    d.event(12, 680, 100);  // the same event at the same place: one marker
    d.startFrame("Ring");
    MotionCall orbit = registration(44, 0, {u"ring", u"50,50, +1.0, false,0,72,10,-5,false,30,-1,72"}, 3);
    orbit.x = 300;
    orbit.y = 200;
    d.motionCall(orbit);
    d.position(0, "Star#0", 350, 200);
    d.position(0, "Star#0", 349, 199);
    return d;
}

}  // namespace

TEST(Drawing, IsWellFormedWithOnePolylinePerInstance) {
    const std::string svg = sample().svg();
    const std::vector<Element> all = parseXml(svg);
    ASSERT_FALSE(all.empty());
    EXPECT_EQ(all[0].name, "svg");
    EXPECT_EQ(named(all, "g", "frame").size(), 2u);

    const auto paths = named(all, "polyline", "path");
    ASSERT_EQ(paths.size(), 4u);
    EXPECT_EQ(paths[0].attributes.at("data-instance"), "Ball#0");
    EXPECT_EQ(paths[0].attributes.at("points"), "678,100 679,100 680,100");
    EXPECT_EQ(paths[3].attributes.at("points"), "350,200 349,199");
    // One group, one colour; the refused registration leaves its instance grey.
    EXPECT_EQ(paths[0].attributes.at("stroke"), paths[1].attributes.at("stroke"));
    EXPECT_EQ(paths[2].attributes.at("stroke"), "#444444");

    const auto walls = named(all, "line", "wall");
    ASSERT_EQ(walls.size(), 2u);  // the same walls twice are drawn once; the refused ones not at all
    EXPECT_EQ(walls[0].attributes.at("x1"), "-40");
    EXPECT_EQ(walls[0].attributes.at("x2"), "-40");
    EXPECT_EQ(walls[1].attributes.at("x1"), "680");
    EXPECT_EQ(walls[0].attributes.at("stroke-dasharray"), "6 4");

    const auto centres = named(all, "path", "centre");
    ASSERT_EQ(centres.size(), 1u);
    EXPECT_EQ(centres[0].attributes.at("d"), "M 305 195 H 315 M 310 190 V 200");  // own place plus the offsets

    const auto marks = named(all, "text");
    std::vector<std::string> texts;
    for (const Element& e : marks) texts.push_back(e.text);
    EXPECT_EQ(texts, (std::vector<std::string>{"Walls &amp; &lt;flips&gt;", "12", "11", "Ring"}));
}

TEST(Drawing, SameInputsSameBytes) {
    EXPECT_EQ(sample().svg(), sample().svg());
    Drawing empty;
    EXPECT_FALSE(parseXml(empty.svg()).empty());
}
