// RUNDATA: the run-time record of one TRIVU instance.
//
// The host allocates RUNDATA_SIZE bytes and writes its own blocks at the start
// (the common object header, then the alterable-values block that
// OEFLAG_VALUES asks for; nothing else, as TRIVU asks for no other block).
// The extension's fields follow at the default packing; CreateRunObject
// constructs them in place and DestroyRunObject destroys them, so their
// lifetime is exactly the instance's, and nothing is assumed of their bytes
// before. The host's allocation is aligned for them (Windows' heap to 8).
#pragma once

#include <cstddef>
#include <string>
#include <type_traits>
#include <vector>

#include "host/boundary/json_value.h"
#include "sdk/object.h"

struct RUNDATA {
    headerObject rHo;
    rVal rv;

    // Option flags, copied from EDITDATA unchanged (see host/boundary/editdata.h).
    int32_t forcePopup;
    int32_t regexIcase;
    int32_t regexControlChars;
    int32_t jsonShare;

    std::u16string* text;  // owned; the TEXT property, then action 0's text
    trivu::Json* target;   // null, or the root of `document`
    trivu::Json document;
    std::vector<int32_t> intParams;  // left by the parameter parser for its caller
    std::vector<float> floatParams;

    bool handleEnabled;  // the motion pass wants per-frame calls
    bool inHandler;      // the motion pass is running

    // The last wall or sleep event, for the event-detect expressions.
    int32_t eventX;
    int32_t eventY;
    int32_t eventFixedValue;
    int32_t eventSleepCount;
    double eventAngle;
};

// GetRunObjectDataSize's answer: the record's size on this build, 456 bytes
// on the 32-bit product, exactly as the host's blocks and these fields fill it.
inline constexpr uint16_t RUNDATA_SIZE = sizeof(RUNDATA);
#if UINTPTR_MAX == UINT32_MAX
static_assert(sizeof(RUNDATA) == 456 && offsetof(RUNDATA, rv) == 184 && offsetof(RUNDATA, forcePopup) == 360);
static_assert(offsetof(RUNDATA, handleEnabled) == 424 && offsetof(RUNDATA, eventAngle) == 448);
#endif
// The host hands the record around as its header: they share an address.
static_assert(std::is_standard_layout_v<RUNDATA> && offsetof(RUNDATA, rHo) == 0);
