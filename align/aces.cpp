#include "align/aces.h"

#include <algorithm>

#include "align/layout.h"
#include "align/state.h"
#include "common/notifier.h"
#include "common/params.h"

namespace trivu {
namespace {

enum class Line { LeftToRight, RightToLeft, TopToBottom, BottomToTop };

constexpr bool isHorizontal(Line line) { return line == Line::LeftToRight || line == Line::RightToLeft; }
constexpr bool isForward(Line line) { return line == Line::LeftToRight || line == Line::TopToBottom; }

// The instance this call is for, or null. An unusable first instance ends
// the whole action: its later calls must not run on what an earlier
// alignment left behind.
headerObject* instanceFor(RUNDATA& rd, int32_t k) {
    headerObject* object = usableSprite(rd, objectParam(rd));
    if (object == nullptr && k == 0) alignState().ok = false;
    return object;
}

void place(RUNDATA& rd, headerObject& object, int32_t k, Spot spot, bool forceFrame, int32_t frame) {
    setAlterableValue(object, Alterable::A, k);
    if (forceFrame) forceAnimationFrame(rd, object, frame);
    moveObject(Redrawer(object), object, spot.x, spot.y);
}

// A grid without columns has no cell for anything: refused like a malformed text.
bool startGrid(RUNDATA& rd) {
    if (!MatchParams(rd, textParam(rd), formats::grid)) return false;
    auto layout = gridLayout(rd.intParams);
    if (layout && layout->columns != 0) return true;
    notify(rd, formats::grid.refusal);
    return false;
}

// Takes the number text of a right-to-left row, reversed so that position k
// is the character the k-th instance from the right shows.
bool takeNumber(RUNDATA& rd) {
    AlignState& state = alignState();
    state.number = textParam(rd);
    std::vector<std::u16string> groups;
    if (!MatchOnly(rd, state.number, kAlignNumberPattern, MessageId::AlignTextRefused, groups)) return false;
    std::reverse(state.number.begin(), state.number.end());
    return true;
}

bool startLine(RUNDATA& rd, Line line) {
    if (!MatchParams(rd, textParam(rd), formats::rowColumn)) return false;
    AlignState& state = alignState();
    (isHorizontal(line) ? state.runX : state.runY) = 0;
    return line != Line::RightToLeft || takeNumber(rd);
}

void alignLine(RUNDATA& rd, Line line) {
    int32_t k = actionLoopIndex(rd);
    headerObject* object = instanceFor(rd, k);
    if (object == nullptr) return;
    AlignState& state = alignState();
    if (k == 0) {
        // Refused until the parameters are read: a first call that fails
        // halfway (memory running out) must not leave the later calls the
        // previous action's verdict and parameters.
        state.ok = false;
        state.ok = startLine(rd, line);
    }
    auto layout = lineLayout(rd.intParams);
    if (!state.ok || !layout) return;

    bool horizontal = isHorizontal(line);
    int32_t& run = horizontal ? state.runX : state.runY;
    Spot spot = horizontal ? Spot{shifted(layout->x, run), layout->y} : Spot{layout->x, shifted(layout->y, run)};
    int32_t frame = line == Line::RightToLeft ? GlyphCode(state.number, static_cast<size_t>(k)) : k;
    place(rd, *object, k, spot, layout->forceFrame, frame);
    run = advanced(run, horizontal ? object->hoImgWidth : object->hoImgHeight, layout->gap, isForward(line));
}

}  // namespace

void alignGrid(RUNDATA& rd) {
    int32_t k = actionLoopIndex(rd);
    headerObject* object = instanceFor(rd, k);
    if (object == nullptr) return;
    AlignState& state = alignState();
    if (k == 0) {
        state.ok = false;  // as for a line
        state.ok = startGrid(rd);
    }
    auto layout = gridLayout(rd.intParams);
    if (!state.ok || !layout || layout->columns == 0) return;
    place(rd, *object, k, gridSpot(*layout, k, object->hoImgWidth, object->hoImgHeight), layout->forceFrame, k);
}

void alignLeftToRight(RUNDATA& rd) { alignLine(rd, Line::LeftToRight); }
void alignRightToLeft(RUNDATA& rd) { alignLine(rd, Line::RightToLeft); }
void alignTopToBottom(RUNDATA& rd) { alignLine(rd, Line::TopToBottom); }
void alignBottomToTop(RUNDATA& rd) { alignLine(rd, Line::BottomToTop); }

}  // namespace trivu
