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
// Calls about another object go through that object's own run header, on
// behalf of the instance `rd`.
void redraw(RUNDATA& rd, headerObject& object);
// The redraw request looked up once, for a loop that moves many objects:
// every object of a frame shares the instance's run header, so its table is
// theirs (and the motion pass does not read one more cache line per object).
class Redrawer {
public:
    explicit Redrawer(const RUNDATA& rd);
    void operator()(headerObject& object) const {
        if (service_ != nullptr) service_(&object, 0, 0);
    }

private:
    RunFunction service_;
};
void destroyObject(RUNDATA& rd, headerObject& object);

int32_t actionLoopIndex(const RUNDATA& rd);
// The host's runtime library's image call for an image number of the frame's
// application; 0 when the library or its export is absent.
int32_t imageServiceValue(const RUNDATA& rd, int32_t image);
bool actionLoopGoesOn(const RUNDATA& rd);
HWND mainWindow(const RUNDATA& rd);

// ---- Object parameters ------------------------------------------------------

// The calls below write an Active object's blocks: pass only usable sprites.

// Moves the object: X and Y, its changed flag, then a redraw at the new place.
void moveObject(RUNDATA& rd, headerObject& object, int32_t x, int32_t y);
// Shows `frame` from now on, at once, through the host's animation step.
void forceAnimationFrame(RUNDATA& rd, headerObject& object, int32_t frame);
// Alterable value A becomes the integer `value` (objects without a values
// array keep none).
void setAlterableA(headerObject& object, int32_t value);

}  // namespace trivu
