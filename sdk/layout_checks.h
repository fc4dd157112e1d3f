// The host's binary interface, checked at compile time.
//
// The real host is a 32-bit Windows program: every offset and size below is
// the one it was built with, and the 32-bit build of the library is checked
// against them. Other builds (the Linux stand-in, the 64-bit Windows test
// build) keep the field order with their platform's sizes and check nothing
// here. Included by the library's entry points and by the stand-in host.
#pragma once

#include <cstddef>

#include "sdk/editor.h"
#include "sdk/runheader.h"
#include "sdk/runinfos.h"

#if UINTPTR_MAX == UINT32_MAX

// ---- Packing: the host's structures are aligned to 2, CValue to 8 ----------
static_assert(alignof(headerObject) == 2 && alignof(RunObject) == 2 && alignof(RunHeader) == 2);
static_assert(alignof(kpxRunInfos) == 2 && alignof(mv) == 2 && alignof(objInfoList) == 2);
static_assert(sizeof(CValue) == 16 && alignof(CValue) == 8 && offsetof(CValue, m_long) == 8);

// ---- headerObject (184 bytes) -----------------------------------------------
static_assert(sizeof(headerObject) == 184);
static_assert(offsetof(headerObject, hoNumber) == 0 && offsetof(headerObject, hoAdRunHeader) == 8);
static_assert(offsetof(headerObject, hoType) == 24 && offsetof(headerObject, hoCreationId) == 26);
static_assert(offsetof(headerObject, hoOiList) == 28 && offsetof(headerObject, hoEventNumber) == 60);
static_assert(offsetof(headerObject, hoCalculX) == 72 && offsetof(headerObject, hoX) == 76);
static_assert(offsetof(headerObject, hoY) == 84 && offsetof(headerObject, hoImgWidth) == 96);
static_assert(offsetof(headerObject, hoImgHeight) == 100 && offsetof(headerObject, hoRect) == 104);
static_assert(offsetof(headerObject, hoOEFlags) == 120 && offsetof(headerObject, hoFlags) == 124);
static_assert(offsetof(headerObject, hoOffsetValue) == 128 && offsetof(headerObject, hoBackSave) == 152);
static_assert(offsetof(headerObject, hoCurrentParam) == 172 && offsetof(headerObject, hoIdentifier) == 180);

// ---- RunObject and its blocks (752 bytes) -----------------------------------
static_assert(sizeof(rCom) == 120 && sizeof(rMvt) == 158 && sizeof(rAni) == 80);
static_assert(sizeof(rSpr) == 36 && sizeof(rVal) == 174 && sizeof(RunObject) == 752);
static_assert(offsetof(RunObject, roc) == 184 && offsetof(RunObject, rom) == 304);
static_assert(offsetof(RunObject, roa) == 462 && offsetof(RunObject, ros) == 542);
static_assert(offsetof(RunObject, rov) == 578);
static_assert(offsetof(rCom, rcImage) == 36 && offsetof(rCom, rcAngle) == 48);
static_assert(offsetof(rCom, rcChanged) == 68 && offsetof(rCom, rcFadeOut) == 116);
static_assert(offsetof(rMvt, rmEventFlags) == 36 && offsetof(rMvt, rmMvtNum) == 74);
static_assert(offsetof(rMvt, rmMvData) == 78);
static_assert(offsetof(rAni, raAnimOn) == 16 && offsetof(rAni, raAnimFrame) == 68);
static_assert(offsetof(rAni, raAnimFrameForced) == 76);
static_assert(offsetof(rSpr, rsEffectParam) == 28 && offsetof(rSpr, rsFlags) == 32);
static_assert(offsetof(rVal, rvpValues) == 0 && offsetof(rVal, rvValueFlags) == 104);
static_assert(offsetof(rVal, rvFree2) == 108 && offsetof(rVal, rvStrings) == 134);

// ---- objInfoList (142 bytes), createObjectInfo (28) ------------------------
static_assert(sizeof(objInfoList) == 142 && offsetof(objInfoList, oilOEFlags) == 48);
static_assert(offsetof(objInfoList, oilBackColor) == 70 && offsetof(objInfoList, oilQualifiers) == 74);
static_assert(offsetof(objInfoList, oilName) == 90 && offsetof(objInfoList, oilEventCountOR) == 138);
static_assert(sizeof(createObjectInfo) == 28 && offsetof(createObjectInfo, cobFlags) == 6);
static_assert(offsetof(createObjectInfo, cobX) == 8 && offsetof(createObjectInfo, cobZOrder) == 24);

// ---- kpxRunInfos (34 bytes) -------------------------------------------------
static_assert(sizeof(kpxRunInfos) == 34);
static_assert(offsetof(kpxRunInfos, numOfConditions) == 12 && offsetof(kpxRunInfos, editDataSize) == 18);
static_assert(offsetof(kpxRunInfos, editFlags) == 20 && offsetof(kpxRunInfos, windowProcPriority) == 24);
static_assert(offsetof(kpxRunInfos, editPrefs) == 26 && offsetof(kpxRunInfos, identifier) == 28);
static_assert(offsetof(kpxRunInfos, version) == 32);

// ---- RunHeader: the fields read, and the service table ----------------------
static_assert(offsetof(RunHeader, rhIdAppli) == 8 && offsetof(RunHeader, rhHMainWin) == 16);
static_assert(offsetof(RunHeader, rhNObjects) == 60 && offsetof(RunHeader, rhOiList) == 88);
static_assert(offsetof(RunHeader, rh2) == 264 && sizeof(runHeader2) == 132);
static_assert(offsetof(RunHeader, rh2) + offsetof(runHeader2, rh2ActionLoop) == 281);
static_assert(offsetof(RunHeader, rh2) + offsetof(runHeader2, rh2ActionCount) == 320);
static_assert(offsetof(RunHeader, rh2) + offsetof(runHeader2, rh2ActionLoopCount) == 324);
static_assert(offsetof(RunHeader, rh3) == 396 && sizeof(runHeader3) == 72 && offsetof(RunHeader, rh4) == 468);
static_assert(offsetof(RunHeader, rh4) + offsetof(runHeader4, rh4KpxWindowProc) == 476);
static_assert(offsetof(RunHeader, rh4) + offsetof(runHeader4, rh4KpxFunctions) == 860);
static_assert(offsetof(RunHeader, rh4) + offsetof(runHeader4, rh4Animations) == 988);
static_assert(offsetof(RunHeader, rh4) + offsetof(runHeader4, rh4ColMaskTestPoint) == 1020);

// ---- The editor: mv, extHeader, PropData, property values -------------------
static_assert(offsetof(mv, mvHEditWin) == 20 && offsetof(mv, mvAppMode) == 28);
static_assert(offsetof(mv, mvRunHdr) == 60 && offsetof(mv, mvPrefs) == 64 && offsetof(mv, mvHelpA) == 272);
static_assert(offsetof(mv, mvGetVersion) == 336 && offsetof(mv, mvCallFunction) == 340);
static_assert(offsetof(mv, mvHelpW) == 344 && sizeof(mv) == 348);
static_assert(sizeof(PropData) == 24 && offsetof(PropData, lType) == 12 && offsetof(PropData, lCreateParam) == 20);
static_assert(sizeof(CPropWStringValue) == 12);  // the table pointer, the unused word, the text at 8

#endif
