// Object instances as the host lays them out.
//
// Every object instance of a frame starts with a headerObject. Active objects
// (type 2) continue with the movement, animation and alterable-values blocks
// of RunObject; the stand-in host gives every object instance that layout.
// An extension's RUNDATA starts with a headerObject followed by an rVal block
// (the extension asks for it with OEFLAG_VALUES).
#pragma once

#include "sdk/types.h"

struct RunHeader;

// Object type codes (headerObject::hoType).
inline constexpr int16_t OBJ_ACTIVE = 2;
inline constexpr int16_t OBJ_EXTENSION = 32;  // first code of extension objects

// headerObject::hoFlags.
inline constexpr uint16_t HOF_DESTROYED = 0x0001;
inline constexpr uint16_t HOF_FLOAT = 0x4000;   // expression result is a float's bit pattern
inline constexpr uint16_t HOF_STRING = 0x8000;  // expression result is a UTF-16 text pointer

// Object-extension flags (headerObject::hoOEFlags and kpxRunInfos::editFlags).
inline constexpr uint32_t OEFLAG_MOVEMENTS = 0x0010;
inline constexpr uint32_t OEFLAG_ANIMATIONS = 0x0020;
inline constexpr uint32_t OEFLAG_WINDOWPROC = 0x0080;
inline constexpr uint32_t OEFLAG_VALUES = 0x0100;
inline constexpr uint32_t OEFLAG_SPRITES = 0x0200;

// The frame-editor entry of an object type.
struct ObjInfo {
    const char16_t* oilName;  // the object's name in the frame
};

struct headerObject {
    int16_t hoNumber;        // object number
    uint16_t hoCreationId;   // creation number
    int16_t hoType;          // OBJ_ACTIVE, OBJ_EXTENSION, ...
    uint16_t hoFlags;        // HOF_*
    uint32_t hoOEFlags;      // OEFLAG_* of the object's kind
    int32_t hoX;
    int32_t hoY;
    int32_t hoImgWidth;      // current image width in pixels
    int32_t hoImgHeight;     // current image height in pixels
    RunHeader* hoAdRunHeader;
    ObjInfo* hoOiList;
};

// Movement block: the host redraws an object whose rcChanged is set.
struct rCom {
    int32_t rcChanged;
    int32_t rcImage;  // number of the image shown now
};

// Animation block: raAnimFrameForced holds the forced frame plus one, 0 for none.
struct rAni {
    int32_t raAnimFrameForced;
};

// One alterable value.
inline constexpr int32_t VALUE_INT = 0;
inline constexpr int32_t VALUE_DOUBLE = 2;

struct AltValue {
    int32_t type;  // VALUE_INT or VALUE_DOUBLE; any other type counts as no number
    union {
        int32_t l;
        double d;
    };
};

// Alterable values block: rvpValues[0] is value A, [1] B, and so on.
struct rVal {
    AltValue* rvpValues;
    int32_t rvNumberOfValues;
};

struct RunObject {
    headerObject rHo;
    rCom roc;
    rAni roa;
    rVal rov;
};

// The fixed value by which events and debug texts name an instance.
inline int32_t fixedValueOf(const headerObject& ho) {
    return static_cast<int32_t>((static_cast<uint32_t>(ho.hoCreationId) << 16) +
                                static_cast<uint32_t>(static_cast<int32_t>(ho.hoNumber)));
}
