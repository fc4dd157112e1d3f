// What an extension reports about itself: library information, the run-time
// information record and the event-information layout of its catalogue.
#pragma once

#include "sdk/types.h"

// GetInfos query codes and answers.
inline constexpr int32_t KGI_VERSION = 0;
inline constexpr int32_t KGI_NOTUSED = 1;
inline constexpr int32_t KGI_PLUGIN = 2;
inline constexpr int32_t KGI_MULTIPLESUBTYPE = 3;
inline constexpr int32_t KGI_ATX_CONTROL = 5;
inline constexpr int32_t KGI_PRODUCT = 6;
inline constexpr int32_t KGI_BUILD = 7;
inline constexpr int32_t KGI_UNICODE = 8;

inline constexpr uint32_t EXT_VERSION2 = 0x300;
inline constexpr uint32_t EXT_PLUGIN_VERSION1 = 0x100;

// Routine shapes of the three jump tables. `p1` and `p2` of actions and
// conditions are the host's own and are ignored; an expression's `argument`
// is handed back when it fetches its parameters.
typedef int16_t(WINAPI* ActionRoutine)(RUNDATA* rdPtr, intptr_t p1, intptr_t p2);
typedef intptr_t(WINAPI* ConditionRoutine)(RUNDATA* rdPtr, intptr_t p1, intptr_t p2);
typedef intptr_t(WINAPI* ExpressionRoutine)(RUNDATA* rdPtr, intptr_t argument);

// The run-time information record the host hands to GetRunObjectInfos:
// 34 bytes on the 32-bit host, packed to 2 (sdk/object.h says how to use
// packed fields). The extension writes it field by field.
#pragma pack(push, 2)
struct kpxRunInfos {
    const ConditionRoutine* conditions;
    const ActionRoutine* actions;
    const ExpressionRoutine* expressions;
    int16_t numOfConditions;
    int16_t numOfActions;
    int16_t numOfExpressions;
    uint16_t editDataSize;  // starting size of EDITDATA
    uint32_t editFlags;     // OEFLAG_*
    uint8_t windowProcPriority;
    int8_t free;
    int16_t editPrefs;
    // Four characters. The host's template headers put the first one in the
    // highest byte, a newer template in the lowest; TRIVU keeps the lowest.
    uint32_t identifier;
    int16_t version;
};
#pragma pack(pop)

// Condition flags.
inline constexpr uint16_t EVFLAGS_ALWAYS = 0x0020;
inline constexpr uint16_t EVFLAG2_NOTABLE = 0x0200;

// Expression flags.
inline constexpr uint16_t EXPFLAG_STRING = 0x0001;
inline constexpr uint16_t EXPFLAG_DOUBLE = 0x0002;

// Parameter kinds of actions and conditions.
inline constexpr uint16_t PARAM_OBJECT = 1;
inline constexpr uint16_t PARAM_EXPRESSION = 22;
inline constexpr uint16_t PARAM_EXPSTRING = 45;

// Parameter kinds of expressions.
inline constexpr uint16_t EXPPARAM_LONG = 1;
inline constexpr uint16_t EXPPARAM_STRING = 3;

// Event information, as the Get...Infos exports return it: a pointer into a
// table of 16-bit words, each entry
//   menu id, display text id, code, flags, parameter count p,
//   p parameter kinds, p title string ids,
// pointing at the entry's code word (the host's infosEventsV2).
typedef const uint16_t* EventInfos;

inline uint16_t eventCode(EventInfos e) { return e[0]; }
inline uint16_t eventFlags(EventInfos e) { return e[1]; }
inline uint16_t eventParamCount(EventInfos e) { return e[2]; }
inline uint16_t eventParamKind(EventInfos e, int i) { return e[3 + i]; }
inline uint16_t eventParamTitle(EventInfos e, int i) { return e[3 + e[2] + i]; }
