#include "objctrl/aces.h"

#include <algorithm>
#include <cmath>

#include "common/notifier.h"
#include "common/params.h"
#include "objctrl/debug_text.h"
#include "objctrl/engine.h"
#include "objctrl/registry.h"

namespace trivu {
namespace {

// ---- Registration -------------------------------------------------------------

void registerNull(RUNDATA& rd, bool timed) {
    headerObject* object = usableSprite(rd, objectParam(rd));
    if (object == nullptr) return;
    const std::u16string name = textParam(rd);
    const int32_t frames = timed ? intParam(rd) : 0;
    MotionRegistry& reg = registry();
    if (frames > 0) {
        reg.pendingNullTimer = true;
        reg.pendingNullFrames = frames;
    }
    // The request belongs to this registration only, whether it took or not.
    const bool registered = registerObject(rd, *object, chooseGroupName(*object, name), MotionRecord{});
    reg.pendingNullTimer = false;
    reg.pendingNullFrames = 0;
    if (registered && frames > 0) wakeMotionPass(rd);
}

// The parameters of a moving registration, parsed for the first selected
// instance and reused by the later ones (floatParams then holds the values
// with the subKind appended). Answers false when this instance registers
// nothing.
bool movingParams(RUNDATA& rd, const headerObject& object, const ParamFormat& format, size_t values, int subKind) {
    if (actionLoopIndex(rd) != 0) return rd.floatParams.size() == values + 1 && rd.floatParams.back() == subKind;
    MotionRegistry& reg = registry();
    reg.currentGroupName = chooseGroupName(object, textParam(rd));
    const std::u16string text = textParam(rd);
    if (!MatchParams(rd, text, format)) {
        rd.floatParams.clear();
        return false;
    }
    if (rd.floatParams.size() != values) {
        // A value left empty would shift the subKind into its place.
        showBox(kInvalidParameterFormat, format.caption);
        rd.floatParams.clear();
        return false;
    }
    rd.floatParams.resize(values + 1, static_cast<float>(subKind));
    return true;
}

void registerWrapFlip(RUNDATA& rd, int subKind) {
    if (refusedWhileWalking(rd)) return;
    headerObject* object = usableSprite(rd, objectParam(rd));
    if (object == nullptr) return;
    if (!movingParams(rd, *object, formats::wrapFlip, 4, subKind)) return;
    const std::vector<float>& p = rd.floatParams;
    WrapFlipRecord r;
    r.sleep.stopped = p[1] != 0;
    r.wallA = toPixel(p[2]);
    r.wallB = toPixel(p[3]);
    r.x = object->hoX;
    r.y = object->hoY;
    r.wrap = subKind == SUB_HORIZONTAL_WRAP || subKind == SUB_VERTICAL_WRAP;
    r.horizontal = subKind == SUB_HORIZONTAL_WRAP || subKind == SUB_HORIZONTAL_FLIP;
    (r.horizontal ? r.velocityX : r.velocityY) = p[0];
    if (registerObject(rd, *object, registry().currentGroupName, r)) wakeMotionPass(rd);
}

// ---- Rejection ------------------------------------------------------------------

void rejectNamed(RUNDATA& rd, bool destroy) {
    if (refusedWhileWalking(rd)) return;
    const std::u16string name = textParam(rd);
    const int32_t frames = std::max(intParam(rd, PARAM_REQUEST_AS_IS), 0);
    const bool wake = name.empty() ? rejectAll(rd, frames, destroy) : rejectByName(rd, name, frames, destroy);
    if (wake) wakeMotionPass(rd);
}

void rejectOne(RUNDATA& rd, bool destroy) {
    if (refusedWhileWalking(rd)) return;
    headerObject* object = usableSprite(rd, objectParam(rd));
    if (object == nullptr) return;
    const int32_t frames = intParam(rd);
    if (rejectDirect(rd, *object, frames, destroy)) wakeMotionPass(rd);
}

}  // namespace

void registerNullMotion(RUNDATA& rd) { registerNull(rd, false); }
void registerTimedNullMotion(RUNDATA& rd) { registerNull(rd, true); }
void registerHorizontalWrap(RUNDATA& rd) { registerWrapFlip(rd, SUB_HORIZONTAL_WRAP); }
void registerHorizontalFlip(RUNDATA& rd) { registerWrapFlip(rd, SUB_HORIZONTAL_FLIP); }
void registerVerticalWrap(RUNDATA& rd) { registerWrapFlip(rd, SUB_VERTICAL_WRAP); }
void registerVerticalFlip(RUNDATA& rd) { registerWrapFlip(rd, SUB_VERTICAL_FLIP); }

void rejectGroup(RUNDATA& rd) { rejectNamed(rd, false); }
void rejectAndDestroyGroup(RUNDATA& rd) { rejectNamed(rd, true); }
void rejectObject(RUNDATA& rd) { rejectOne(rd, false); }
void rejectAndDestroyObject(RUNDATA& rd) { rejectOne(rd, true); }

bool groupWasRejected(RUNDATA& rd) { return textParam(rd) == registry().lastRejectedGroup; }

// ---- Expressions --------------------------------------------------------------------

intptr_t registeredCount(RUNDATA&, ExpressionParams& params) { return intResult(countRegistered(params.number())); }

intptr_t debugInfo(RUNDATA& rd, ExpressionParams& params) {
    return textResult(rd, buildDebugText(params.text()).c_str());
}

intptr_t eventX(RUNDATA& rd, ExpressionParams&) { return intResult(rd.eventX); }
intptr_t eventY(RUNDATA& rd, ExpressionParams&) { return intResult(rd.eventY); }
intptr_t eventFixedValue(RUNDATA& rd, ExpressionParams&) { return intResult(rd.eventFixedValue); }
intptr_t eventSleepCount(RUNDATA& rd, ExpressionParams&) { return intResult(rd.eventSleepCount); }

intptr_t eventAngle(RUNDATA& rd, ExpressionParams& params) {
    const double degrees = params.number() == 0 ? std::floor(rd.eventAngle) : directionIndex(rd.eventAngle);
    return intResult(toPixel(degrees));
}

}  // namespace trivu
