#include "objctrl/debug_text.h"

#include <charconv>
#include <cmath>
#include <string_view>

#include "objctrl/engine.h"
#include "objctrl/registry.h"

namespace trivu {
namespace {

// ---- Fields ----------------------------------------------------------------------
// Widths are minimums: a longer value is written whole.

void put(std::string_view ascii) { debugText().append(ascii.begin(), ascii.end()); }

void padded(std::u16string_view value, size_t width, bool left, char16_t fill = u' ') {
    const size_t pad = value.size() < width ? width - value.size() : 0;
    if (!left) debugText().append(pad, fill);
    debugText().append(value);
    if (left) debugText().append(pad, fill);
}

std::u16string widen(std::string_view ascii) { return std::u16string(ascii.begin(), ascii.end()); }

std::u16string decimal(int64_t v) { return widen(std::to_string(v)); }

// The shortest form that reads back to the same value.
template <typename Float>
std::u16string shortest(Float v) {
    char buffer[64];
    auto end = std::to_chars(buffer, buffer + sizeof buffer, v).ptr;
    return widen(std::string_view(buffer, static_cast<size_t>(end - buffer)));
}

std::u16string hex(uint32_t v) {
    char buffer[16];
    auto end = std::to_chars(buffer, buffer + sizeof buffer, v, 16).ptr;
    std::string digits(buffer, end);
    for (char& c : digits)
        if (c >= 'a' && c <= 'f') c = static_cast<char>(c - 'a' + 'A');
    return widen(digits);
}

void left(int64_t v, size_t width) { padded(decimal(v), width, true); }
void right(int64_t v, size_t width) { padded(decimal(v), width, false); }

// ---- Lines -------------------------------------------------------------------------

void groupLine(const MotionGroup& g) {
    padded(g.name, 20, true);
    put(" uID.");
    left(g.groupId, 3);
    put(" : REG [ ");
    left(g.count[0], 3);
    for (int k = 1; k < KIND_INDEX_COUNT; ++k) {
        put(", ");
        left(g.count[k], 3);
    }
    put("]\r\n");
}

void prefix(const MotionRecord& r) {
    padded(hex(static_cast<uint32_t>(fixedValueOf(*r.object))), 9, false, u'*');
    put(" : uID.");
    left(r.groupId, 3);
    put(" : Mot.");
    debugText() += decimal(r.kindIndex);
}

void suffix(const MotionRecord& r) {
    if (r.rejectArmed) {
        put(" : Rjct = ");
        left(r.rejectCountdown, 5);
    }
    if (r.destroyOnReject) put(" : DEST");
    put("\r\n");
}

void sleepPart(const SleepBlock& s) {
    if (s.stopped) put(" : STOP");
    if (s.asleep) {
        put(" : Slp = ");
        left(s.sleepLeft, 4);
        put(" (");
        right(s.repetitions, 3);
        put(" )");
    }
}

void lineFields(const WrapFlipRecord& r) {
    put(" : x.y [ ");
    right(toPixel(r.x), 4);
    put(" :  ");
    left(toPixel(r.y), 4);
    put(" ]");
    put(r.wrap ? (r.horizontal ? " : HW" : " : VW") : (r.horizontal ? " : HF" : " : VF"));
    put(r.horizontal ? ".xv [ " : ".yv [ ");
    padded(shortest(static_cast<float>(r.horizontal ? r.velocityX : r.velocityY)), 5, false);
    put(" ] : wall A.B [ ");
    right(r.wallA, 4);
    put(" : ");
    left(r.wallB, 4);
    put(" ]");
}

void kindFields(const MotionRecord&) {}

void kindFields(const WrapFlipRecord& r) {
    lineFields(r);
    sleepPart(r.sleep);
}

void kindFields(const SineWaveRecord& r) {
    lineFields(r);
    put(" : AG [ ");
    padded(shortest(std::floor(r.angle * 100) / 100), 7, false);
    put(" ]");
    sleepPart(r.sleep);
}

// Two decimals, cut in single precision.
std::u16string cut(double v) {
    const float f = static_cast<float>(v);
    return shortest(std::floor(f * 100.0f) / 100.0f);
}

void kindFields(const OrbitalRecord& r) {
    put("[");
    right(r.centreMode, 2);
    put("] : OM [ ");
    padded(cut(r.omega), 5, false);
    put(" ] : AG [ ");
    padded(cut(r.angle), 7, false);
    put(" ]");
    sleepPart(r.sleep);
}

void kindFields(const MoveTowardRecord&) {}

template <typename Container>
void recordLines(const Container& records, const MotionGroup* only) {
    forEachLive(records, [&](const auto& r) {
        if (only != nullptr && r.groupId != only->groupId) return;
        prefix(r);
        kindFields(r);
        suffix(r);
    });
}

}  // namespace

const std::u16string& buildDebugText(const std::u16string& group) {
    debugText().clear();
    MotionRegistry& reg = registry();
    if (reg.groups.empty()) {
        put("============ Noone Registered ============");
        return debugText();
    }
    put("============ TRIVU Debug Info ============\r\n");
    const MotionGroup* only = group.empty() ? nullptr : findGroupByName(group);
    const bool any = group.empty() || only != nullptr;
    if (any) {
        for (const MotionGroup& g : reg.groups)
            if (only == nullptr || &g == only) groupLine(g);
    }
    put("\r\n");
    if (any) forEachContainer(reg, [&](const auto& records) { recordLines(records, only); });
    return debugText();
}

}  // namespace trivu
