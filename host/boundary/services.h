// The host's services as the ACE bodies use them: parameters, results,
// events, and the host objects that object parameters point to.
//
// Every call goes through the service table of a run header: the instance's
// own for its parameters, results and events, and the object's own for a
// call about another object (a redraw, a destroy, its animation step). The
// one other way into the host is its runtime library's image call.
#pragma once

#include <string>

#include "host/boundary/rundata.h"
#include "sdk/runheader.h"

namespace trivu {

// ---- Parameters of actions and conditions -----------------------------------
// Each fetch takes the next parameter in catalogue order. A text is copied at
// once, so no body ever keeps the host's pointer.

std::u16string textParam(RUNDATA& rd);
int32_t intParam(RUNDATA& rd, uintptr_t request = PARAM_REQUEST_INT);
headerObject* objectParam(RUNDATA& rd);

// ---- Parameters of expressions ----------------------------------------------

class ExpressionParams {
public:
    ExpressionParams(RUNDATA& rd, intptr_t argument) : rd_(rd), argument_(argument) {}
    std::u16string text();
    int32_t number();

private:
    intptr_t next(uintptr_t request);
    RUNDATA& rd_;
    intptr_t argument_;
    bool first_ = true;
};

// ---- Expression results -----------------------------------------------------

intptr_t intResult(int32_t value);
intptr_t floatResult(RUNDATA& rd, float value);
// `text` must stay valid after the call (the instance's text or a result
// buffer); the host copies it at once.
intptr_t textResult(RUNDATA& rd, const char16_t* text);

// ---- Events and the frame ---------------------------------------------------

void generateEvent(RUNDATA& rd, int condition);
void requestRehandle(RUNDATA& rd);
// The host's redraw request, looked up once. A call about one object goes
// through that object's own run header; a loop that moves many objects looks
// it up in the instance's, since every object of a frame shares it (and the
// motion pass then reads no more cache lines per object).
class Redrawer {
public:
    explicit Redrawer(const headerObject& object);
    explicit Redrawer(const RUNDATA& rd) : Redrawer(rd.rHo) {}
    void operator()(headerObject& object) const {
        if (service_ != nullptr) service_(&object, 0, 0);
    }

private:
    RunFunction service_;
};
// Calls about another object go through that object's own run header, on
// behalf of the instance `rd`.
void destroyObject(RUNDATA& rd, headerObject& object);

int32_t actionLoopIndex(const RUNDATA& rd);
// The host's runtime library's image call for the image an animated object
// shows, in the frame's application; 0 when the library or its export is
// absent.
int32_t imageServiceValue(const RUNDATA& rd, const headerObject& object);
bool actionLoopGoesOn(const RUNDATA& rd);
HWND mainWindow(const RUNDATA& rd);

// ---- Object parameters ------------------------------------------------------

// The calls below write an Active object's blocks: pass only usable sprites.

// Moves the object: X and Y, its changed flag, then a redraw at the new place.
// Inline: the motion pass moves every registered object each frame.
inline void moveObject(const Redrawer& redraw, headerObject& object, int32_t x, int32_t y) {
    object.hoX = x;
    object.hoY = y;
    reinterpret_cast<RunObject&>(object).roc.rcChanged = 1;
    redraw(object);
}
// Shows `frame` from now on, at once, through the host's animation step.
void forceAnimationFrame(RUNDATA& rd, headerObject& object, int32_t frame);

// The alterable values the extension uses, by their index in the object's
// array of values.
enum class Alterable { A = 0, B = 1 };
// Alterable value `which` as the host keeps it; null for an object without a
// values array.
const CValue* alterableValue(const headerObject& object, Alterable which);
// Alterable value `which` becomes the integer `value` (an object without a
// values array keeps none).
void setAlterableValue(headerObject& object, Alterable which, int32_t value);

}  // namespace trivu
