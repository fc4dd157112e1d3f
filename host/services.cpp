#include "host/services.h"

#include <bit>

#include "common/notifier.h"

namespace trivu {
namespace {

RunFunction service(const RUNDATA& rd, int function) {
    const RunHeader* rh = rd.rHo.hoAdRunHeader;
    return rh != nullptr ? rh->rh4KpxFunctions[function] : nullptr;
}

// A service about `about` (the calling instance, or the object concerned).
intptr_t call(RUNDATA& rd, int function, headerObject* about, uint32_t request, intptr_t argument) {
    RunFunction f = service(rd, function);
    return f != nullptr ? f(about, request, argument) : 0;
}

std::u16string copyText(intptr_t answer) {
    auto text = reinterpret_cast<const char16_t*>(answer);
    return text != nullptr ? std::u16string(text) : std::u16string();
}

}  // namespace

std::u16string textParam(RUNDATA& rd) {
    return copyText(call(rd, RFUNCTION_GETPARAM, &rd.rHo, PARAM_REQUEST_AS_IS, 0));
}

int32_t intParam(RUNDATA& rd, uint32_t request) {
    return static_cast<int32_t>(call(rd, RFUNCTION_GETPARAM, &rd.rHo, request, 0));
}

headerObject* objectParam(RUNDATA& rd) {
    return reinterpret_cast<headerObject*>(call(rd, RFUNCTION_GETPARAM, &rd.rHo, PARAM_REQUEST_AS_IS, 0));
}

intptr_t ExpressionParams::next(uint32_t request) {
    int function = first_ ? RFUNCTION_GETPARAM1 : RFUNCTION_GETPARAM2;
    first_ = false;
    return call(rd_, function, &rd_.rHo, request, argument_);
}

std::u16string ExpressionParams::text() { return copyText(next(PARAM_REQUEST_STRING)); }

int32_t ExpressionParams::number() { return static_cast<int32_t>(next(PARAM_REQUEST_INT)); }

intptr_t intResult(int32_t value) { return value; }

intptr_t floatResult(RUNDATA& rd, float value) {
    rd.rHo.hoFlags |= HOF_FLOAT;
    return static_cast<intptr_t>(std::bit_cast<uint32_t>(value));
}

intptr_t textResult(RUNDATA& rd, const char16_t* text) {
    rd.rHo.hoFlags |= HOF_STRING;
    return reinterpret_cast<intptr_t>(text);
}

void generateEvent(RUNDATA& rd, int condition) { call(rd, RFUNCTION_GENERATEEVENT, &rd.rHo, condition, 0); }

void requestRehandle(RUNDATA& rd) { call(rd, RFUNCTION_REHANDLE, &rd.rHo, 0, 0); }

void redraw(RUNDATA& rd, headerObject& object) { call(rd, RFUNCTION_REDRAW, &object, 0, 0); }

Redrawer::Redrawer(const RUNDATA& rd) : service_(service(rd, RFUNCTION_REDRAW)) {}

void destroyObject(RUNDATA& rd, headerObject& object) {
    call(rd, RFUNCTION_DESTROY, &object, 0, 0);
    object.hoFlags |= HOF_DESTROYED;
}

int32_t actionLoopIndex(const RUNDATA& rd) {
    return rd.rHo.hoAdRunHeader != nullptr ? rd.rHo.hoAdRunHeader->rh2ActionLoopCount : 0;
}

int32_t imageServiceValue(const RUNDATA& rd, int32_t image) {
    const RunHeader* rh = rd.rHo.hoAdRunHeader;
    return rh != nullptr && rh->rh4ImageService != nullptr ? rh->rh4ImageService(rh->rhIdAppli, image) : 0;
}

bool actionLoopGoesOn(const RUNDATA& rd) {
    return rd.rHo.hoAdRunHeader != nullptr && rd.rHo.hoAdRunHeader->rh2ActionLoop != 0;
}

HWND mainWindow(const RUNDATA& rd) {
    return rd.rHo.hoAdRunHeader != nullptr ? rd.rHo.hoAdRunHeader->rhHMainWin : nullptr;
}

headerObject* usableSprite(RUNDATA& rd, headerObject* object) {
    if (object == nullptr) return nullptr;
    if (object->hoType != OBJ_ACTIVE || (object->hoFlags & HOF_DESTROYED) != 0) {
        notify(rd, notices::notSprite);
        return nullptr;
    }
    return object;
}

void moveObject(RUNDATA& rd, headerObject& object, int32_t x, int32_t y) {
    object.hoX = x;
    object.hoY = y;
    reinterpret_cast<RunObject&>(object).roc.rcChanged = 1;
    redraw(rd, object);
}

void forceAnimationFrame(RUNDATA& rd, headerObject& object, int32_t frame) {
    // The host keeps the frame plus one, 0 meaning "not forced".
    reinterpret_cast<RunObject&>(object).roa.raAnimFrameForced =
        static_cast<int32_t>(static_cast<uint32_t>(frame) + 1u);
    const RunHeader* rh = rd.rHo.hoAdRunHeader;
    if (rh != nullptr && rh->rh4Animate != nullptr) rh->rh4Animate(&object);
}

void setAlterableA(headerObject& object, int32_t value) {
    rVal& values = reinterpret_cast<RunObject&>(object).rov;
    if (values.rvpValues == nullptr || values.rvNumberOfValues < 1) return;
    values.rvpValues[0].type = VALUE_INT;
    values.rvpValues[0].l = value;
}

}  // namespace trivu
