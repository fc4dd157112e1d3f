// The entry points an extension library exports, with C linkage.
//
// The extension defines them; the host looks them up by name. Declaring them
// once here lets the compiler check both sides against the same signatures
// (the host uses decltype(&Name) for its lookups).
#pragma once

#include "platform/desktop.h"
#include "sdk/editor.h"
#include "sdk/runheader.h"
#include "sdk/runinfos.h"

#if defined(_WIN32)
#define TRIVU_EXPORT __declspec(dllexport)
#else
#define TRIVU_EXPORT __attribute__((visibility("default")))
#endif

extern "C" {

// ---- Load time and run time -------------------------------------------------
TRIVU_EXPORT uint32_t WINAPI Initialize(mv* mV, int32_t quiet);
TRIVU_EXPORT uint32_t WINAPI Free(mv* mV);
TRIVU_EXPORT uint32_t WINAPI GetInfos(int32_t info);
TRIVU_EXPORT const char16_t** WINAPI GetDependencies();
TRIVU_EXPORT int32_t WINAPI LoadObject(mv* mV, const void* fileName, EDITDATA* edPtr, int32_t reserved);
TRIVU_EXPORT void WINAPI UnloadObject(mv* mV, EDITDATA* edPtr, int32_t reserved);
TRIVU_EXPORT void* WINAPI UpdateEditStructure(mv* mV, void* oldEdPtr);
TRIVU_EXPORT void WINAPI UpdateFileNames(mv* mV, const char16_t* appName, EDITDATA* edPtr,
                                         void(WINAPI* update)(const char16_t*, char16_t*));
TRIVU_EXPORT int16_t WINAPI GetRunObjectInfos(mv* mV, kpxRunInfos* infoPtr);
TRIVU_EXPORT uint16_t WINAPI GetRunObjectDataSize(RunHeader* rhPtr, EDITDATA* edPtr);
TRIVU_EXPORT int16_t WINAPI CreateRunObject(RUNDATA* rdPtr, EDITDATA* edPtr, createObjectInfo* cobPtr);
TRIVU_EXPORT int16_t WINAPI DestroyRunObject(RUNDATA* rdPtr, int32_t fast);
TRIVU_EXPORT int16_t WINAPI HandleRunObject(RUNDATA* rdPtr);
TRIVU_EXPORT int16_t WINAPI DisplayRunObject(RUNDATA* rdPtr);
TRIVU_EXPORT int16_t WINAPI PauseRunObject(RUNDATA* rdPtr);
TRIVU_EXPORT int16_t WINAPI ContinueRunObject(RUNDATA* rdPtr);
TRIVU_EXPORT int32_t WINAPI SaveRunObject(RUNDATA* rdPtr, HANDLE file);
TRIVU_EXPORT int32_t WINAPI LoadRunObject(RUNDATA* rdPtr, HANDLE file);
TRIVU_EXPORT void WINAPI StartApp(mv* mV, void* application);
TRIVU_EXPORT void WINAPI EndApp(mv* mV, void* application);
TRIVU_EXPORT void WINAPI StartFrame(mv* mV, void* application, int32_t frameIndex);
TRIVU_EXPORT void WINAPI EndFrame(mv* mV, void* application, int32_t frameIndex);
TRIVU_EXPORT uint16_t* WINAPI GetDebugTree(RUNDATA* rdPtr);
TRIVU_EXPORT void WINAPI GetDebugItem(char16_t* buffer, RUNDATA* rdPtr, int32_t id);
TRIVU_EXPORT void WINAPI EditDebugItem(RUNDATA* rdPtr, int32_t id);

// ---- Event editor: menus, codes, descriptions, texts ------------------------
TRIVU_EXPORT HMENU WINAPI GetActionMenu(mv* mV, void* oiPtr, EDITDATA* edPtr);
TRIVU_EXPORT HMENU WINAPI GetConditionMenu(mv* mV, void* oiPtr, EDITDATA* edPtr);
TRIVU_EXPORT HMENU WINAPI GetExpressionMenu(mv* mV, void* oiPtr, EDITDATA* edPtr);
TRIVU_EXPORT int16_t WINAPI GetActionCodeFromMenu(mv* mV, int16_t menuId);
TRIVU_EXPORT int16_t WINAPI GetConditionCodeFromMenu(mv* mV, int16_t menuId);
TRIVU_EXPORT int16_t WINAPI GetExpressionCodeFromMenu(mv* mV, int16_t menuId);
TRIVU_EXPORT EventInfos WINAPI GetActionInfos(mv* mV, int16_t code);
TRIVU_EXPORT EventInfos WINAPI GetConditionInfos(mv* mV, int16_t code);
TRIVU_EXPORT EventInfos WINAPI GetExpressionInfos(mv* mV, int16_t code);
TRIVU_EXPORT void WINAPI GetActionString(mv* mV, int16_t code, char16_t* strPtr, int16_t maxLen);
TRIVU_EXPORT void WINAPI GetConditionString(mv* mV, int16_t code, char16_t* strPtr, int16_t maxLen);
TRIVU_EXPORT void WINAPI GetExpressionString(mv* mV, int16_t code, char16_t* strPtr, int16_t maxLen);
TRIVU_EXPORT void WINAPI GetActionTitle(mv* mV, int16_t code, int16_t param, char16_t* strBuf, int16_t maxLen);
TRIVU_EXPORT void WINAPI GetConditionTitle(mv* mV, int16_t code, int16_t param, char16_t* strBuf, int16_t maxLen);
TRIVU_EXPORT void WINAPI GetExpressionTitle(mv* mV, int16_t code, char16_t* strBuf, int16_t maxLen);
TRIVU_EXPORT void WINAPI GetExpressionParam(mv* mV, int16_t code, int16_t param, char16_t* strBuf, int16_t maxLen);
TRIVU_EXPORT void WINAPI GetParameterString(mv* mV, int16_t code, void* paramPtr, char16_t* strBuf, int16_t maxLen);
TRIVU_EXPORT void WINAPI InitParameter(mv* mV, int16_t code, void* paramPtr);
TRIVU_EXPORT void WINAPI EditParameter(mv* mV, int16_t code, void* paramPtr);

// ---- Frame editor: the edit-time record and its property sheet -------------
TRIVU_EXPORT int32_t WINAPI CreateObject(mv* mV, void* loPtr, EDITDATA* edPtr);
TRIVU_EXPORT int32_t WINAPI EditObject(mv* mV, void* oiPtr, void* loPtr, EDITDATA* edPtr);
TRIVU_EXPORT void WINAPI GetObjInfos(mv* mV, EDITDATA* edPtr, char16_t* objName, char16_t* objAuthor,
                                     char16_t* objCopyright, char16_t* objComment, char16_t* objHttp);
TRIVU_EXPORT const char16_t* WINAPI GetHelpFileName();
TRIVU_EXPORT void WINAPI GetObjectRect(mv* mV, RECT* rc, void* loPtr, EDITDATA* edPtr);
TRIVU_EXPORT int32_t WINAPI IsTransparent(mv* mV, void* loPtr, EDITDATA* edPtr, int32_t dx, int32_t dy);
TRIVU_EXPORT int32_t WINAPI GetFilters(mv* mV, EDITDATA* edPtr, uint32_t flags, void* reserved);
TRIVU_EXPORT int32_t WINAPI UsesFile(mv* mV, const char16_t* fileName);
TRIVU_EXPORT void WINAPI CreateFromFile(mv* mV, const char16_t* fileName, EDITDATA* edPtr);
TRIVU_EXPORT void WINAPI PutObject(mv* mV, void* loPtr, EDITDATA* edPtr, uint16_t count);
TRIVU_EXPORT void WINAPI RemoveObject(mv* mV, void* loPtr, EDITDATA* edPtr, uint16_t count);
TRIVU_EXPORT void WINAPI DuplicateObject(mv* mV, void* oiPtr, EDITDATA* edPtr);
TRIVU_EXPORT void WINAPI PrepareToWriteObject(mv* mV, EDITDATA* edPtr, void* oiPtr);
TRIVU_EXPORT int32_t WINAPI GetProperties(mv* mV, EDITDATA* edPtr, int32_t masterItem);
TRIVU_EXPORT void WINAPI ReleaseProperties(mv* mV, EDITDATA* edPtr, int32_t masterItem);
TRIVU_EXPORT intptr_t WINAPI GetPropCreateParam(mv* mV, EDITDATA* edPtr, uint32_t propId);
TRIVU_EXPORT void WINAPI ReleasePropCreateParam(mv* mV, EDITDATA* edPtr, uint32_t propId, intptr_t param);
TRIVU_EXPORT void* WINAPI GetPropValue(mv* mV, EDITDATA* edPtr, uint32_t propId);
TRIVU_EXPORT void WINAPI SetPropValue(mv* mV, EDITDATA* edPtr, uint32_t propId, void* value);
TRIVU_EXPORT int32_t WINAPI GetPropCheck(mv* mV, EDITDATA* edPtr, uint32_t propId);
TRIVU_EXPORT void WINAPI SetPropCheck(mv* mV, EDITDATA* edPtr, uint32_t propId, int32_t check);
TRIVU_EXPORT int32_t WINAPI EditProp(mv* mV, EDITDATA* edPtr, uint32_t propId);
TRIVU_EXPORT int32_t WINAPI IsPropEnabled(mv* mV, EDITDATA* edPtr, uint32_t propId);
TRIVU_EXPORT uint32_t WINAPI GetTextCaps(mv* mV, EDITDATA* edPtr);
TRIVU_EXPORT int32_t WINAPI GetTextFont(mv* mV, EDITDATA* edPtr, void* logFont, char16_t* style, uint32_t size);
TRIVU_EXPORT int32_t WINAPI SetTextFont(mv* mV, EDITDATA* edPtr, void* logFont, const char16_t* style);
TRIVU_EXPORT uint32_t WINAPI GetTextClr(mv* mV, EDITDATA* edPtr);
TRIVU_EXPORT void WINAPI SetTextClr(mv* mV, EDITDATA* edPtr, uint32_t color);
TRIVU_EXPORT uint32_t WINAPI GetTextAlignment(mv* mV, EDITDATA* edPtr);
TRIVU_EXPORT void WINAPI SetTextAlignment(mv* mV, EDITDATA* edPtr, uint32_t alignment);

// ---- The stand-in desktop -----------------------------------------------------
// A loading program without a real desktop (the stand-in host, a test) hands
// the platform layer its simulated one before anything else. The real host
// never calls it: on Windows the platform layer then makes the real calls.
TRIVU_EXPORT void WINAPI AttachDesktop(const TrivuDesktop* desktop);

}  // extern "C"

// Which library exports which entry point, as X(Name) in the order declared
// above. These lists, not the declarations' grouping, decide each library's
// export table: cmake/exports.cmake reads them for the Linux version scripts
// and the export checks of both systems, and a loading program builds its
// table of entry points from them. The reader fails when a declaration is in
// no list or a listed name is not declared.
//
// Both libraries: what a built game needs to load and run the object.
#define TRIVU_RUNTIME_EXPORTS(X)                                                                     \
    X(Initialize) X(Free) X(GetInfos) X(GetDependencies) X(LoadObject) X(UnloadObject)               \
    X(UpdateEditStructure) X(UpdateFileNames) X(GetRunObjectInfos) X(GetRunObjectDataSize)           \
    X(CreateRunObject) X(DestroyRunObject) X(HandleRunObject) X(DisplayRunObject) X(PauseRunObject)  \
    X(ContinueRunObject) X(SaveRunObject) X(LoadRunObject) X(StartApp) X(EndApp) X(StartFrame)       \
    X(EndFrame) X(GetDebugTree) X(GetDebugItem) X(EditDebugItem)

// The edit-time library only: the event editor's and the frame editor's.
#define TRIVU_EDITOR_EXPORTS(X)                                                                      \
    X(GetActionMenu) X(GetConditionMenu) X(GetExpressionMenu) X(GetActionCodeFromMenu)               \
    X(GetConditionCodeFromMenu) X(GetExpressionCodeFromMenu) X(GetActionInfos) X(GetConditionInfos)  \
    X(GetExpressionInfos) X(GetActionString) X(GetConditionString) X(GetExpressionString)            \
    X(GetActionTitle) X(GetConditionTitle) X(GetExpressionTitle) X(GetExpressionParam)               \
    X(GetParameterString) X(InitParameter) X(EditParameter) X(CreateObject) X(EditObject)            \
    X(GetObjInfos) X(GetHelpFileName) X(GetObjectRect) X(IsTransparent) X(GetFilters) X(UsesFile)    \
    X(CreateFromFile) X(PutObject) X(RemoveObject) X(DuplicateObject) X(PrepareToWriteObject)        \
    X(GetProperties) X(ReleaseProperties) X(GetPropCreateParam) X(ReleasePropCreateParam)            \
    X(GetPropValue) X(SetPropValue) X(GetPropCheck) X(SetPropCheck) X(EditProp) X(IsPropEnabled)     \
    X(GetTextCaps) X(GetTextFont) X(SetTextFont) X(GetTextClr) X(SetTextClr) X(GetTextAlignment)     \
    X(SetTextAlignment)

// Both libraries: the loading program's simulated desktop.
#define TRIVU_DESKTOP_EXPORTS(X) X(AttachDesktop)
