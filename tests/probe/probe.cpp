// probe.mfx: a tiny extension for testing the host. Each entry exercises one
// host service and reports what it saw in a message box, which the host
// prints as a trace line. It exports only what the host needs to run it, in
// the editor and as a built game.
//
//   actions      0 box(text)              1 raise(number n)
//                2 loop(object)           3 pair(object, object)
//                4 destroy(object)        5 rehandle(number zeros)
//                6 move(object, number x) 7 caption(text)
//                8 show(number window, number command)
//                9 overfetch(number)      10 frame(object, number k)
//                11 stats()               12 info(object)
//   conditions   0 triggered()            1 triggered(number k): k != 0
//                2 evaluated(number k): k > 0
//                3 negatable(text t): t is not empty
//   expressions  0 bracket(text)          1 twice(number)
//                2 quarter(number), a float      3 join(number, text)
//                4 self(), the instance's fixed value
#include <cstring>
#include <iterator>
#include <string>

#include "sdk/exports.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#endif

struct RUNDATA {
    headerObject rHo;
    rVal rv;
    int32_t verbose;      // the record's word at offset 20: boxes on creation and destruction
    int32_t zeroAnswers;  // HandleRunObject answers 0 this many more times
};

namespace {

const TrivuDesktop* gDesktop = nullptr;
int gCreated = 0, gDestroyed = 0;  // process-wide: shows the library stays loaded
std::u16string gResult;            // the text expressions answer

std::u16string wide(const std::string& ascii) { return std::u16string(ascii.begin(), ascii.end()); }

void box(const std::u16string& text) {
    if (gDesktop && gDesktop->messageBoxW) gDesktop->messageBoxW(gDesktop->context, nullptr, text.c_str(), u"probe", 0);
}
void box(const std::string& ascii) { box(wide(ascii)); }

RunHeader& header(RUNDATA* rd) { return *rd->rHo.hoAdRunHeader; }

intptr_t service(RUNDATA* rd, int which, headerObject* ho, uintptr_t request = 0, intptr_t argument = 0) {
    return header(rd).rh4.rh4KpxFunctions[which](ho, request, argument);
}

// The host's runtime library's image call (ordinal 90 of mmfs2.dll; by name
// in the stand-in's mmfs2.so), or -1 when it is not loaded.
int32_t runtimeImage(void* application, int32_t image) {
#if defined(_WIN32)
    HMODULE library = GetModuleHandleW(L"mmfs2.dll");
    FARPROC found = library ? GetProcAddress(library, MAKEINTRESOURCEA(90)) : nullptr;
    auto call = reinterpret_cast<int32_t(WINAPI*)(void*, int32_t)>(reinterpret_cast<void (*)()>(found));
#else
    void* library = dlopen("mmfs2.so", RTLD_LAZY | RTLD_NOLOAD);
    auto call = library ? reinterpret_cast<int32_t (*)(void*, int32_t)>(dlsym(library, "RuntimeOrdinal90")) : nullptr;
    if (library) dlclose(library);
#endif
    return call ? call(application, image) : -1;
}

std::u16string nameOf(const objInfoList* info) {
    std::u16string name;
    for (int i = 0; info && i < OIL_NAME_UNITS && info->oilName[i] != 0; ++i) name.push_back(info->oilName[i]);
    return name.empty() ? u"?" : name;
}

intptr_t param(RUNDATA* rd, uintptr_t request = PARAM_REQUEST_AS_IS) {
    return service(rd, RFUNCTION_GETPARAM, &rd->rHo, request);
}
int32_t number(RUNDATA* rd) { return static_cast<int32_t>(param(rd, PARAM_REQUEST_INT)); }
std::u16string text(intptr_t p) { return p ? reinterpret_cast<const char16_t*>(p) : u""; }
headerObject* object(RUNDATA* rd) { return reinterpret_cast<headerObject*>(param(rd)); }
std::string fixed(const headerObject* ho) { return ho ? std::to_string(fixedValueOf(*ho)) : "null"; }

// ---- Actions ------------------------------------------------------------------

int16_t WINAPI actBox(RUNDATA* rd, intptr_t, intptr_t) {
    box(text(param(rd)));
    return 0;
}

int16_t WINAPI actRaise(RUNDATA* rd, intptr_t, intptr_t) {
    service(rd, RFUNCTION_GENERATEEVENT, &rd->rHo, static_cast<uintptr_t>(number(rd)));
    return 0;
}

int16_t WINAPI actLoop(RUNDATA* rd, intptr_t, intptr_t) {
    headerObject* ho = object(rd);
    box("loop=" + std::to_string(header(rd).rh2.rh2ActionLoopCount) + " more=" + std::to_string(header(rd).rh2.rh2ActionLoop) +
        " fixed=" + fixed(ho));
    return 0;
}

int16_t WINAPI actPair(RUNDATA* rd, intptr_t, intptr_t) {
    headerObject* first = object(rd);
    headerObject* second = object(rd);
    box("first=" + fixed(first) + " second=" + fixed(second));
    return 0;
}

int16_t WINAPI actDestroy(RUNDATA* rd, intptr_t, intptr_t) {
    if (headerObject* ho = object(rd)) service(rd, RFUNCTION_DESTROY, ho);
    return 0;
}

int16_t WINAPI actRehandle(RUNDATA* rd, intptr_t, intptr_t) {
    rd->zeroAnswers = number(rd);
    service(rd, RFUNCTION_REHANDLE, &rd->rHo);
    return 0;
}

int16_t WINAPI actMove(RUNDATA* rd, intptr_t, intptr_t) {
    headerObject* ho = object(rd);
    int32_t x = number(rd);
    if (!ho) return 0;
    ho->hoX = x;
    reinterpret_cast<RunObject*>(ho)->roc.rcChanged = 1;
    service(rd, RFUNCTION_REDRAW, ho);
    return 0;
}

int16_t WINAPI actCaption(RUNDATA* rd, intptr_t, intptr_t) {
    std::u16string caption = text(param(rd));
    if (gDesktop && gDesktop->setWindowTextW)
        gDesktop->setWindowTextW(gDesktop->context, header(rd).rhHMainWin, caption.c_str());
    return 0;
}

int16_t WINAPI actShow(RUNDATA* rd, intptr_t, intptr_t) {
    int32_t which = number(rd);
    int32_t command = number(rd);
    if (!gDesktop) return 0;
    HWND window =
        which == 0 ? header(rd).rhHMainWin : gDesktop->findWindowW(gDesktop->context, u"Shell_TrayWnd", nullptr);
    if (!window)
        box("no window");
    else
        gDesktop->showWindow(gDesktop->context, window, command);
    return 0;
}

// Asks for one parameter more than it declares.
int16_t WINAPI actOverfetch(RUNDATA* rd, intptr_t, intptr_t) {
    int32_t a = number(rd);
    int32_t b = number(rd);
    box("got=" + std::to_string(a) + "," + std::to_string(b));
    return 0;
}

int16_t WINAPI actFrame(RUNDATA* rd, intptr_t, intptr_t) {
    headerObject* ho = object(rd);
    int32_t k = number(rd);
    if (!ho) return 0;
    auto* ro = reinterpret_cast<RunObject*>(ho);
    ro->roa.raAnimFrameForced = k + 1;
    header(rd).rh4.rh4Animations(ho, ro->roa.raAnimOn);
    box("image=" + std::to_string(runtimeImage(header(rd).rhIdAppli, k)));
    return 0;
}

int16_t WINAPI actStats(RUNDATA*, intptr_t, intptr_t) {
    box("created=" + std::to_string(gCreated) + " destroyed=" + std::to_string(gDestroyed));
    return 0;
}

int16_t WINAPI actInfo(RUNDATA* rd, intptr_t, intptr_t) {
    headerObject* ho = object(rd);
    if (!ho) {
        box("null");
        return 0;
    }
    const RunObject* ro = reinterpret_cast<const RunObject*>(ho);
    std::u16string name = nameOf(ho->hoOiList);
    box(u"name=" + name +
        wide(" type=" + std::to_string(ho->hoType) + " oe=" + std::to_string(ho->hoOEFlags) +
             " size=" + std::to_string(ho->hoImgWidth) + "x" + std::to_string(ho->hoImgHeight) + " values=" +
             std::to_string(ro->rov.rvpValues ? VALUES_NUMBEROF_ALTERABLE : 0) + " destroyed=" + std::to_string(ho->hoFlags & HOF_DESTROYED) +
             " header=" + std::to_string(ho->hoAdRunHeader == rd->rHo.hoAdRunHeader)));
    return 0;
}

// ---- Conditions ---------------------------------------------------------------

intptr_t WINAPI condTriggered(RUNDATA*, intptr_t, intptr_t) { return 1; }
intptr_t WINAPI condTriggeredIf(RUNDATA* rd, intptr_t, intptr_t) { return number(rd) != 0; }
intptr_t WINAPI condEvaluated(RUNDATA* rd, intptr_t, intptr_t) { return number(rd) > 0; }
intptr_t WINAPI condNegatable(RUNDATA* rd, intptr_t, intptr_t) { return !text(param(rd)).empty(); }

// ---- Expressions --------------------------------------------------------------

intptr_t textResult(RUNDATA* rd, std::u16string value) {
    gResult = std::move(value);
    rd->rHo.hoFlags |= HOF_STRING;
    return reinterpret_cast<intptr_t>(gResult.c_str());
}

intptr_t WINAPI expBracket(RUNDATA* rd, intptr_t arg) {
    std::u16string t = text(service(rd, RFUNCTION_GETPARAM1, &rd->rHo, PARAM_REQUEST_STRING, arg));
    return textResult(rd, u"[" + t + u"]");
}

intptr_t WINAPI expTwice(RUNDATA* rd, intptr_t arg) {
    auto n = static_cast<int32_t>(service(rd, RFUNCTION_GETPARAM1, &rd->rHo, PARAM_REQUEST_INT, arg));
    return static_cast<intptr_t>(static_cast<int32_t>(static_cast<uint32_t>(n) * 2u));
}

intptr_t WINAPI expQuarter(RUNDATA* rd, intptr_t arg) {
    auto n = static_cast<int32_t>(service(rd, RFUNCTION_GETPARAM1, &rd->rHo, PARAM_REQUEST_INT, arg));
    float f = static_cast<float>(n) / 4.0f;
    uint32_t bits;
    std::memcpy(&bits, &f, sizeof bits);
    rd->rHo.hoFlags |= HOF_FLOAT;
    return static_cast<intptr_t>(bits);
}

intptr_t WINAPI expJoin(RUNDATA* rd, intptr_t arg) {
    auto n = static_cast<int32_t>(service(rd, RFUNCTION_GETPARAM1, &rd->rHo, PARAM_REQUEST_INT, arg));
    std::u16string t = text(service(rd, RFUNCTION_GETPARAM2, &rd->rHo, PARAM_REQUEST_STRING, arg));
    return textResult(rd, wide(std::to_string(n) + ":") + t);
}

intptr_t WINAPI expSelf(RUNDATA* rd, intptr_t) { return fixedValueOf(rd->rHo); }

// ---- Tables -------------------------------------------------------------------
// Each entry: code, flags, parameter count, kinds, titles (0: none).

const ActionRoutine kActions[] = {actBox,     actRaise, actLoop,      actPair,  actDestroy, actRehandle, actMove,
                                  actCaption, actShow,  actOverfetch, actFrame, actStats,   actInfo};
const ConditionRoutine kConditions[] = {condTriggered, condTriggeredIf, condEvaluated, condNegatable};
const ExpressionRoutine kExpressions[] = {expBracket, expTwice, expQuarter, expJoin, expSelf};

constexpr uint16_t O = PARAM_OBJECT, N = PARAM_EXPRESSION, T = PARAM_EXPSTRING;
const uint16_t kActionInfos[][7] = {
    {0, 0, 1, T, 0},       {1, 0, 1, N, 0}, {2, 0, 1, O, 0},        {3, 0, 2, O, O, 0, 0},
    {4, 0, 1, O, 0},       {5, 0, 1, N, 0}, {6, 0, 2, O, N, 0, 0},  {7, 0, 1, T, 0},
    {8, 0, 2, N, N, 0, 0}, {9, 0, 1, N, 0}, {10, 0, 2, O, N, 0, 0}, {11, 0, 0},
    {12, 0, 1, O, 0},
};
const uint16_t kConditionInfos[][5] = {
    {0, 0, 0},
    {1, 0, 1, N, 0},
    {2, EVFLAGS_ALWAYS, 1, N, 0},
    {3, EVFLAGS_ALWAYS | EVFLAG2_NOTABLE, 1, T, 0},
};
const uint16_t kExpressionInfos[][7] = {
    {0, EXPFLAG_STRING, 1, EXPPARAM_STRING, 0},
    {1, EXPFLAG_DOUBLE, 1, EXPPARAM_LONG, 0},
    {2, EXPFLAG_DOUBLE, 1, EXPPARAM_LONG, 0},
    {3, EXPFLAG_STRING, 2, EXPPARAM_LONG, EXPPARAM_STRING, 0, 0},
    {4, EXPFLAG_DOUBLE, 0},
};

template <size_t Count, size_t Width>
EventInfos describe(const uint16_t (&table)[Count][Width], int16_t code) {
    return code >= 0 && static_cast<size_t>(code) < Count ? table[code] : nullptr;
}

}  // namespace

extern "C" {

int16_t WINAPI GetRunObjectInfos(mv*, kpxRunInfos* info) {
    std::memset(static_cast<void*>(info), 0, sizeof *info);
    info->conditions = kConditions;
    info->actions = kActions;
    info->expressions = kExpressions;
    info->numOfConditions = static_cast<int16_t>(std::size(kConditions));
    info->numOfActions = static_cast<int16_t>(std::size(kActions));
    info->numOfExpressions = static_cast<int16_t>(std::size(kExpressions));
    info->editDataSize = 40;
    info->editFlags = OEFLAG_VALUES;
    info->identifier = 'P' | 'R' << 8 | 'B' << 16 | '1' << 24;
    info->version = 1;
    return 1;
}

uint16_t WINAPI GetRunObjectDataSize(RunHeader*, EDITDATA*) { return sizeof(RUNDATA); }

int16_t WINAPI CreateRunObject(RUNDATA* rd, EDITDATA* edPtr, createObjectInfo*) {
    std::memcpy(&rd->verbose, reinterpret_cast<const unsigned char*>(edPtr) + 20, sizeof rd->verbose);
    rd->zeroAnswers = 0;
    ++gCreated;
    if (rd->verbose) box("create #" + std::to_string(rd->rHo.hoNumber));
    return 0;
}

int16_t WINAPI DestroyRunObject(RUNDATA* rd, int32_t) {
    ++gDestroyed;
    if (rd->verbose) box("destroy #" + std::to_string(rd->rHo.hoNumber));
    return 0;
}

int16_t WINAPI HandleRunObject(RUNDATA* rd) {
    if (rd->zeroAnswers <= 0) return REFLAG_ONESHOT;
    --rd->zeroAnswers;
    return 0;
}

EventInfos WINAPI GetActionInfos(mv*, int16_t code) { return describe(kActionInfos, code); }
EventInfos WINAPI GetConditionInfos(mv*, int16_t code) { return describe(kConditionInfos, code); }
EventInfos WINAPI GetExpressionInfos(mv*, int16_t code) { return describe(kExpressionInfos, code); }

// The record keeps its fixed 40 bytes; properties change nothing.
int32_t WINAPI CreateObject(mv*, void*, EDITDATA*) { return 0; }
void WINAPI SetPropValue(mv*, EDITDATA*, uint32_t, void*) {}
void WINAPI SetPropCheck(mv*, EDITDATA*, uint32_t, int32_t) {}

void WINAPI AttachDesktop(const TrivuDesktop* desktop) { gDesktop = desktop; }

// The rest of the load-time and run-time entry points, which do nothing: with
// them the probe is a run-time library too (trivu-host run --runtime).
uint32_t WINAPI Initialize(mv*, int32_t) { return 0; }
uint32_t WINAPI Free(mv*) { return 0; }
uint32_t WINAPI GetInfos(int32_t) { return 0; }
const char16_t** WINAPI GetDependencies() { return nullptr; }
int32_t WINAPI LoadObject(mv*, const void*, EDITDATA*, int32_t) { return 0; }
void WINAPI UnloadObject(mv*, EDITDATA*, int32_t) {}
void* WINAPI UpdateEditStructure(mv*, void*) { return nullptr; }
void WINAPI UpdateFileNames(mv*, const char16_t*, EDITDATA*, void(WINAPI*)(const char16_t*, char16_t*)) {}
int16_t WINAPI DisplayRunObject(RUNDATA*) { return 0; }
int16_t WINAPI PauseRunObject(RUNDATA*) { return 0; }
int16_t WINAPI ContinueRunObject(RUNDATA*) { return 0; }
int32_t WINAPI SaveRunObject(RUNDATA*, HANDLE) { return 1; }
int32_t WINAPI LoadRunObject(RUNDATA*, HANDLE) { return 1; }
void WINAPI StartApp(mv*, void*) {}
void WINAPI EndApp(mv*, void*) {}
void WINAPI StartFrame(mv*, void*, int32_t) {}
void WINAPI EndFrame(mv*, void*, int32_t) {}
uint16_t* WINAPI GetDebugTree(RUNDATA*) { return nullptr; }
void WINAPI GetDebugItem(char16_t*, RUNDATA*, int32_t) {}
void WINAPI EditDebugItem(RUNDATA*, int32_t) {}

}  // extern "C"
