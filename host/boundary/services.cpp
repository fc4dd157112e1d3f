#include "host/boundary/services.h"

#include <bit>

#include "platform/platform.h"

namespace trivu {
namespace {

// Slot `function` of a run header's service table; null when there is none.
RunFunction service(const RunHeader* rh, int function) {
    return rh != nullptr ? rh->rh4.rh4KpxFunctions[function] : nullptr;
}

// A service about `about`, through `about`'s own run header: the calling
// instance's header for its own requests, another object's for a call about
// that object (a redraw, a destroy).
intptr_t call(int function, headerObject& about, uintptr_t request, intptr_t argument) {
    RunFunction f = service(about.hoAdRunHeader, function);
    return f != nullptr ? f(&about, request, argument) : 0;
}

std::u16string copyText(intptr_t answer) {
    auto text = reinterpret_cast<const char16_t*>(answer);
    return text != nullptr ? std::u16string(text) : std::u16string();
}

}  // namespace

std::u16string textParam(RUNDATA& rd) {
    return copyText(call(RFUNCTION_GETPARAM, rd.rHo, PARAM_REQUEST_AS_IS, 0));
}

int32_t intParam(RUNDATA& rd, uintptr_t request) {
    return static_cast<int32_t>(call(RFUNCTION_GETPARAM, rd.rHo, request, 0));
}

// The host answers an object parameter with the object's RunObject, whose
// header is at its start.
headerObject* objectParam(RUNDATA& rd) {
    return reinterpret_cast<headerObject*>(call(RFUNCTION_GETPARAM, rd.rHo, PARAM_REQUEST_AS_IS, 0));
}

intptr_t ExpressionParams::next(uintptr_t request) {
    int function = first_ ? RFUNCTION_GETPARAM1 : RFUNCTION_GETPARAM2;
    first_ = false;
    return call(function, rd_.rHo, request, argument_);
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

void generateEvent(RUNDATA& rd, int condition) {
    call(RFUNCTION_GENERATEEVENT, rd.rHo, static_cast<uintptr_t>(condition), 0);
}

void requestRehandle(RUNDATA& rd) { call(RFUNCTION_REHANDLE, rd.rHo, 0, 0); }

Redrawer::Redrawer(const headerObject& object) : service_(service(object.hoAdRunHeader, RFUNCTION_REDRAW)) {}

void destroyObject(RUNDATA&, headerObject& object) {
    call(RFUNCTION_DESTROY, object, 0, 0);
    object.hoFlags |= HOF_DESTROYED;
}

int32_t actionLoopIndex(const RUNDATA& rd) {
    const RunHeader* rh = rd.rHo.hoAdRunHeader;
    return rh != nullptr ? rh->rh2.rh2ActionLoopCount : 0;
}

int32_t imageServiceValue(const RUNDATA& rd, const headerObject& object) {
    const RunHeader* rh = rd.rHo.hoAdRunHeader;
    const int32_t image = reinterpret_cast<const RunObject&>(object).roc.rcImage;
    return platform::runtimeImageValue(rh != nullptr ? rh->rhIdAppli : nullptr, image);
}

bool actionLoopGoesOn(const RUNDATA& rd) {
    const RunHeader* rh = rd.rHo.hoAdRunHeader;
    return rh != nullptr && rh->rh2.rh2ActionLoop != 0;
}

HWND mainWindow(const RUNDATA& rd) {
    const RunHeader* rh = rd.rHo.hoAdRunHeader;
    return rh != nullptr ? rh->rhHMainWin : nullptr;
}

// The host keeps the frame plus one, 0 meaning "not forced". Its animation
// step, run with the object's current animation, shows the frame at once.
void forceAnimationFrame(RUNDATA&, headerObject& object, int32_t frame) {
    RunObject& ro = reinterpret_cast<RunObject&>(object);
    ro.roa.raAnimFrameForced = static_cast<int32_t>(static_cast<uint32_t>(frame) + 1u);
    const RunHeader* rh = object.hoAdRunHeader;
    AnimationRoutine animate = rh != nullptr ? rh->rh4.rh4Animations : nullptr;
    if (animate != nullptr) animate(&object, ro.roa.raAnimOn);
}

// The values array holds every alterable value of the object (the host has
// no count of them, and A and B are always among them); an object may have none.
const CValue* alterableValue(const headerObject& object, Alterable which) {
    const CValue* values = reinterpret_cast<const RunObject&>(object).rov.rvpValues;
    return values != nullptr ? &values[static_cast<int>(which)] : nullptr;
}

void setAlterableValue(headerObject& object, Alterable which, int32_t value) {
    CValue* values = reinterpret_cast<RunObject&>(object).rov.rvpValues;
    if (values == nullptr) return;
    values[static_cast<int>(which)].m_type = TYPE_LONG;
    values[static_cast<int>(which)].m_long = value;
}

}  // namespace trivu
