// The run header: what the host's runtime shares with every object of a frame,
// and the service table through which an extension calls back into the host.
#pragma once

#include "sdk/object.h"

// Service numbers, indexes of RunHeader::rh4KpxFunctions.
enum : int32_t {
    RFUNCTION_REHANDLE = 0,       // (extension) call HandleRunObject again from the next frame on
    RFUNCTION_GENERATEEVENT = 1,  // (extension, condition number) run the matching events now
    RFUNCTION_GETPARAM1 = 2,      // (extension, request, expression argument) first expression parameter
    RFUNCTION_GETPARAM2 = 3,      // (extension, request, expression argument) next expression parameter
    RFUNCTION_GETPARAM = 4,       // (extension, request) next action or condition parameter
    RFUNCTION_REDRAW = 5,         // (moved object) redraw it at its new place
    RFUNCTION_DESTROY = 6,        // (object) the object leaves the game
    RFUNCTION_COUNT = 7
};

// Request codes of the parameter services.
inline constexpr uint32_t PARAM_REQUEST_AS_IS = 0xFFFFFFFFu;  // actions' and conditions' texts and objects
inline constexpr uint32_t PARAM_REQUEST_INT = 0;              // actions' numbers; expressions' numbers
inline constexpr uint32_t PARAM_REQUEST_STRING = 1;           // expressions' texts

// A service routine: `ho` is the object the call is about (the calling
// extension, or the moved or destroyed object).
typedef intptr_t(WINAPI* RunFunction)(headerObject* ho, uint32_t request, intptr_t argument);

// Shows an object's forced animation frame at once.
typedef void(WINAPI* AnimateRoutine)(headerObject* ho);

// The host library's image service (export ordinal 90 of the host's runtime
// library on Windows): answers for an application handle and an image number.
typedef int32_t(WINAPI* ImageService)(void* application, int32_t image);

struct RunHeader {
    HWND rhHMainWin;             // the game's main window
    void* rhIdAppli;             // application handle for the image service
    int32_t rh2ActionLoopCount;  // index of the instance the action runs for, 0 first
    int32_t rh2ActionLoop;       // non-zero when the action loop goes on after this run
    AnimateRoutine rh4Animate;
    ImageService rh4ImageService;
    RunFunction rh4KpxFunctions[RFUNCTION_COUNT];
};

// HandleRunObject's answer flags.
inline constexpr int16_t REFLAG_ONESHOT = 0x0001;  // stop calling until a re-handle request
inline constexpr int16_t REFLAG_DISPLAY = 0x0002;

// Creation parameters handed to CreateRunObject.
struct CreateObjectInfo {
    int32_t cobX;
    int32_t cobY;
    int32_t cobDir;
};
