// Object instances as the host lays them out.
//
// Every object instance of a frame starts with a headerObject. Active objects
// (hoType OBJ_SPR) continue with the common, movement, animation, sprite and
// alterable-values blocks of RunObject. An extension's RUNDATA starts with a
// headerObject followed by the blocks its flags ask for: TRIVU asks for the
// values block only (OEFLAG_VALUES), so its rVal follows the header at once.
//
// The host's structures are packed to 2 bytes. Their offsets and sizes are the
// 32-bit host's (sdk/layout_checks.h checks every one the project relies on);
// other builds keep the field order with their own sizes. A packed field is
// read and written by value only: never bind a reference or a pointer to one
// (several sit at 2-byte offsets, and a wider one would be misaligned).
#pragma once

#include "sdk/types.h"

struct RunHeader;
struct objInfoList;

// Object type codes (headerObject::hoType).
inline constexpr int16_t OBJ_SPR = 2;   // an Active object: a RunObject
inline constexpr int16_t KPX_BASE = 32;  // first code of extension objects

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

// One alterable value (default packing: the host declares it outside its
// packed region). Value A is entry 0 of the values array, B entry 1.
inline constexpr uint32_t TYPE_LONG = 0;
inline constexpr uint32_t TYPE_STRING = 1;
inline constexpr uint32_t TYPE_DOUBLE = 2;
inline constexpr int VALUES_NUMBEROF_ALTERABLE = 26;
inline constexpr int STRINGS_NUMBEROF_ALTERABLE = 10;

struct CValue {
    uint32_t m_type;  // TYPE_LONG, TYPE_DOUBLE; any other type counts as no number
    uint32_t m_paddle;
    union {
        int32_t m_long;
        double m_double;
        char16_t* m_pString;
    };
};

#pragma pack(push, 2)

struct saveRect {
    uint8_t* pData;
    RECT rect;
};

struct headerObject {
    int16_t hoNumber;  // object number
    int16_t hoNextSelected;
    int32_t hoSize;
    RunHeader* hoAdRunHeader;
    headerObject* hoAddress;
    int16_t hoHFII;
    int16_t hoOi;
    int16_t hoNumPrev;
    int16_t hoNumNext;
    int16_t hoType;         // OBJ_SPR, KPX_BASE + n, ...
    uint16_t hoCreationId;  // creation number
    objInfoList* hoOiList;  // the object's frame-editor entry (its name)
    uint32_t* hoEvents;
    uint32_t hoFree0;
    uint8_t* hoPrevNoRepeat;
    uint8_t* hoBaseNoRepeat;
    int32_t hoMark1;
    int32_t hoMark2;
    char16_t* hoMT_NodeName;
    int32_t hoEventNumber;  // the code of the routine the host calls
    int32_t hoFree2;
    void* hoCommon;
    // The host also sees the four words below as two 64-bit coordinates.
    int32_t hoCalculX;
    int32_t hoX;
    int32_t hoCalculY;
    int32_t hoY;
    int32_t hoImgXSpot;
    int32_t hoImgYSpot;
    int32_t hoImgWidth;   // current image width in pixels
    int32_t hoImgHeight;  // current image height in pixels
    RECT hoRect;
    uint32_t hoOEFlags;  // OEFLAG_* of the object's kind
    uint16_t hoFlags;    // HOF_*
    uint8_t hoSelectedInOR;
    uint8_t hoFree;
    int32_t hoOffsetValue;  // offset of the values block
    uint32_t hoLayer;
    void* hoHandleRoutine;
    void* hoModifRoutine;
    void* hoDisplayRoutine;
    int16_t hoLimitFlags;
    int16_t hoNextQuickDisplay;
    saveRect hoBackSave;
    void* hoCurrentParam;
    int32_t hoOffsetToWindows;
    uint32_t hoIdentifier;
};

// Common block: the host redraws an object whose rcChanged is set.
struct rCom {
    int32_t rcOffsetAnimation;
    int32_t rcOffsetSprite;
    void* rcRoutineMove;
    void* rcRoutineAnimation;
    int32_t rcPlayer;
    int32_t rcNMovement;
    void* rcRunMvt;
    void* rcSprite;
    int32_t rcAnim;
    int32_t rcImage;  // number of the image shown now
    float rcScaleX;
    float rcScaleY;
    int32_t rcAngle;  // an int in older hosts, a float in newer ones
    int32_t rcDir;
    int32_t rcSpeed;
    int32_t rcMinSpeed;
    int32_t rcMaxSpeed;
    int32_t rcChanged;
    int32_t rcCheckCollides;
    int32_t rcOldX;
    int32_t rcOldY;
    int32_t rcOldImage;
    int32_t rcOldAngle;
    int32_t rcOldDir;
    int32_t rcOldX1;
    int32_t rcOldY1;
    int32_t rcOldX2;
    int32_t rcOldY2;
    int32_t rcFadeIn;
    int32_t rcFadeOut;
};

// Movement block (the extension never touches it).
struct rMvt {
    int32_t rmAcc;
    int32_t rmDec;
    int32_t rmCollisionCount;
    int32_t rmFree2;
    int32_t rmStopSpeed;
    int32_t rmFree0;
    int32_t rmFree1;
    int32_t rmAccValue;
    int32_t rmDecValue;
    int16_t rmEventFlags;
    int32_t rmFree3;
    int32_t rmFree4;
    int32_t rmFree5;
    int32_t rmFree6;
    int32_t rmFree7;
    int32_t rmMoveFlag;
    int32_t rmWrapping;
    int32_t rmReverse;
    int32_t rmBouncing;
    int32_t rmMvtNum;
    uint8_t rmMvData[80];
};

// Animation block. raAnimFrameForced holds the forced frame plus one, 0 for
// none (the host's encoding as TRIVU relies on it).
struct rAni {
    int32_t raAnimForced;
    int32_t raAnimDirForced;
    int32_t raAnimSpeedForced;
    int32_t raAnimStopped;
    int32_t raAnimOn;  // the animation playing now
    void* raAnimOffset;
    int32_t raAnimDir;
    int32_t raAnimPreviousDir;
    void* raAnimDirOffset;
    int32_t raAnimSpeed;
    int32_t raAnimMinSpeed;
    int32_t raAnimMaxSpeed;
    int32_t raAnimDeltaSpeed;
    int32_t raAnimCounter;
    int32_t raAnimDelta;
    int32_t raAnimRepeat;
    int32_t raAnimRepeatLoop;
    int32_t raAnimFrame;
    int32_t raAnimNumberOfFrame;
    int32_t raAnimFrameForced;
};

// Sprite block (the extension never touches it).
struct rSpr {
    int32_t rsFlash;
    int32_t rsFlashCpt;
    int32_t rsLayer;
    int32_t rsZOrder;
    int32_t rsCreaFlags;
    uint32_t rsBackColor;
    uint32_t rsEffect;
    intptr_t rsEffectParam;
    uint16_t rsFlags;
    uint16_t rsFadeCreaFlags;
};

// Alterable values block. It has no count: the array behind rvpValues holds
// the VALUES_NUMBEROF_ALTERABLE values (TRIVU relies on that), or is null.
struct rVal {
    CValue* rvpValues;
    int32_t rvFree1[VALUES_NUMBEROF_ALTERABLE - 1];
    int32_t rvValueFlags;
    uint8_t rvFree2[VALUES_NUMBEROF_ALTERABLE];
    char16_t* rvStrings[STRINGS_NUMBEROF_ALTERABLE];
};

// An Active object.
struct RunObject {
    headerObject roHo;
    rCom roc;
    rMvt rom;
    rAni roa;
    rSpr ros;
    rVal rov;
};

// The frame editor's entry of an object: its name is held inline, at most 23
// units and a zero (TRIVU reads at most 24 units and stops at the first zero).
inline constexpr int OIL_NAME_UNITS = 24;

struct objInfoList {
    int16_t oilOi;
    int16_t oilListSelected;
    int16_t oilType;
    int16_t oilObject;
    uint32_t oilEvents;
    int8_t oilWrap;
    int8_t oilNextFlag;
    uint16_t oilFree;
    int32_t oilNObjects;
    int32_t oilActionCount;
    int32_t oilActionLoopCount;
    void* oilCurrentRoutine;
    int32_t oilCurrentOi;
    int32_t oilNext;
    int32_t oilEventCount;
    int32_t oilNumOfSelected;
    uint32_t oilOEFlags;
    int16_t oilLimitFlags;
    int16_t oilLimitList;
    int16_t oilOIFlags;
    int16_t oilOCFlags2;
    int32_t oilInkEffect;
    int32_t oilEffectParam;
    int16_t oilHFII;
    uint32_t oilBackColor;
    int16_t oilQualifiers[8];
    char16_t oilName[OIL_NAME_UNITS];
    int32_t oilEventCountOR;
};

#pragma pack(pop)

// The fixed value by which events and debug texts name an instance.
inline int32_t fixedValueOf(const headerObject& ho) {
    return static_cast<int32_t>((static_cast<uint32_t>(ho.hoCreationId) << 16) +
                                static_cast<uint32_t>(static_cast<int32_t>(ho.hoNumber)));
}
