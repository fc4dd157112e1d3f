// The run header: what the host's runtime shares with every object of a
// frame, with the service table through which an extension calls back into
// the host, and the creation record of an extension object.
//
// Packed to 2 bytes like the object blocks (sdk/object.h says how to use
// packed fields). Only the fields the project reads are named; the bytes
// between them are the host's own.
#pragma once

#include "sdk/object.h"

// Service numbers, indexes of runHeader4::rh4KpxFunctions.
enum : int32_t {
    RFUNCTION_REHANDLE = 0,       // call HandleRunObject again from the next frame on
    RFUNCTION_GENERATEEVENT = 1,  // (condition number) run the matching events now
    RFUNCTION_GETPARAM1 = 4,      // (request, expression argument) first expression parameter
    RFUNCTION_GETPARAM2 = 5,      // (request, expression argument) next expression parameter
    RFUNCTION_REDRAW = 12,        // (about the moved object) redraw it at its new place
    RFUNCTION_DESTROY = 13,       // (about the object) the object leaves the game
    RFUNCTION_GETPARAM = 17,      // (request) next action or condition parameter
};
inline constexpr int KPX_FUNCTIONS = 32;  // size of the service table

// Request codes of the parameter services.
inline constexpr uintptr_t PARAM_REQUEST_AS_IS = 0xFFFFFFFFu;  // actions' and conditions' texts and objects
inline constexpr uintptr_t PARAM_REQUEST_INT = 0;              // numbers (TYPE_INT)
inline constexpr uintptr_t PARAM_REQUEST_STRING = 1;           // expressions' texts
inline constexpr uintptr_t PARAM_REQUEST_FLOAT = 2;            // a float's bit pattern (TYPE_FLOAT)

// A service routine: `ho` is the object the call is about (the calling
// extension's own header, or the moved or destroyed object).
typedef intptr_t(WINAPI* RunFunction)(headerObject* ho, uintptr_t w, intptr_t l);

// The host's animation step for an object (a C routine: the caller pops its
// arguments). With the object's current animation it shows a forced frame at
// once, as TRIVU uses it.
typedef void (*AnimationRoutine)(headerObject* ho, int32_t anim);

#pragma pack(push, 2)

struct runHeader2 {
    uint8_t rh2Free0[17];
    uint8_t rh2ActionLoop;  // non-zero while the action loop goes on after this call
    uint8_t rh2ActionOn;
    uint8_t rh2EnablePick;
    uint8_t rh2Free1[36];
    int32_t rh2ActionCount;
    int32_t rh2ActionLoopCount;  // index of the instance the action runs for, 0 first
    uint8_t rh2Free2[68];
};

struct runHeader3 {
    uint8_t rh3Free[72];
};

struct runHeader4 {
    void* rh4KpxJumps;
    int16_t rh4KpxNumOfWindowProcs;
    int16_t rh4Free0;
    void* rh4KpxWindowProc[96];
    RunFunction rh4KpxFunctions[KPX_FUNCTIONS];  // the service table
    AnimationRoutine rh4Animations;
    void* rh4DirAtStart;
    void* rh4MoveIt;
    void* rh4ApproachObject;
    void* rh4Collisions;
    void* rh4TestPosition;
    void* rh4GetJoystick;
    void* rh4ColMaskTestRect;
    void* rh4ColMaskTestPoint;
};

struct RunHeader {
    void* rhIdEditWin;
    void* rhIdMainWin;
    void* rhIdAppli;  // the application, first argument of the runtime library's image calls
    HWND rhHEditWin;
    HWND rhHMainWin;  // the game's main window
    HWND rhHTopLevelWnd;
    void* rhApp;
    void* rhFrame;
    uint8_t rhFree0[28];
    int32_t rhNObjects;
    int32_t rhMaxObjects;
    uint8_t rhFree1[16];
    int32_t rhNumberOi;
    void* rhOiList;
    uint8_t rhFree2[172];
    runHeader2 rh2;
    runHeader3 rh3;
    runHeader4 rh4;
};

// Creation parameters handed to CreateRunObject.
struct createObjectInfo {
    void* cobLevObj;
    uint16_t cobLevObjSeg;
    uint16_t cobFlags;
    int32_t cobX;
    int32_t cobY;
    int32_t cobDir;
    int32_t cobLayer;
    int32_t cobZOrder;
};

#pragma pack(pop)

// HandleRunObject's answer flags.
inline constexpr int16_t REFLAG_ONESHOT = 0x0001;  // stop calling until a re-handle request
inline constexpr int16_t REFLAG_DISPLAY = 0x0002;
