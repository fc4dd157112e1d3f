// The catalogue tables and the jump tables built from them.
//
// Index
//   1. Rows: one per ACE, in number order: flags, parameters (kind and title
//      string), body. Every row has a body; the body fetches its parameters.
//   2. Packed description tables, as the host reads them.
//   3. Routines: one per row, each guarded so that no exception leaves it.

#include "host/catalogue.h"

#include <array>
#include <utility>

#include "align/aces.h"
#include "common/aces.h"
#include "host/boundary/guard.h"
#include "host/boundary/services.h"
#include "json/aces.h"
#include "objctrl/aces.h"
#include "regex/aces.h"
#include "window/aces.h"

namespace trivu {
namespace {

// ---- 1. Rows ----------------------------------------------------------------

struct Param {
    uint16_t kind = 0;  // 0 ends the list
    uint16_t title = 0;
};

constexpr Param O(uint16_t title) { return {PARAM_OBJECT, title}; }
constexpr Param N(uint16_t title) { return {PARAM_EXPRESSION, title}; }
constexpr Param T(uint16_t title) { return {PARAM_EXPSTRING, title}; }
constexpr Param EN(uint16_t title) { return {EXPPARAM_LONG, title}; }
constexpr Param ET(uint16_t title) { return {EXPPARAM_STRING, title}; }

using ActionBody = void (*)(RUNDATA&);
using ConditionBody = bool (*)(RUNDATA&);
using ExpressionBody = intptr_t (*)(RUNDATA&, ExpressionParams&);

// The bodies have no default, and a row left without one stops the build.
#pragma GCC diagnostic error "-Wmissing-field-initializers"

struct ActionRow {
    Param params[4];
    ActionBody body;
};

struct ConditionRow {
    uint16_t flags;
    Param params[4];
    ConditionBody body;
};

struct ExpressionRow {
    uint16_t flags;
    Param params[4];
    ExpressionBody body;
};

constexpr uint16_t TRIGGERED = 0;
constexpr uint16_t EVALUATED = EVFLAGS_ALWAYS;
constexpr uint16_t NEGATABLE = EVFLAGS_ALWAYS | EVFLAG2_NOTABLE;
constexpr uint16_t TEXT_RESULT = EXPFLAG_STRING;
constexpr uint16_t NUMBER_RESULT = EXPFLAG_DOUBLE;

// Conditions whose raising is their whole test.
bool raised(RUNDATA&) { return true; }

constexpr ActionRow kActionRows[] = {
    /*  0 Set String : %0 */
    {{T(5500)}, setText},
    /*  1 Title Bar : %0 */
    {{T(5501)}, setCaption},
    /*  2 LoAD JSON Path : %0 */
    {{T(5502)}, loadDocument},
    /*  3 Toggle Flag :: Regex :: Case Sensitivity */
    {{}, toggleCaseSensitivity},
    /*  4 Toggle Flag :: Regex :: Control Characters */
    {{}, toggleControlCharacters},
    /*  5 Target JSON Pointer : %0 : ID = %1 (the ID title is the conditions' string) */
    {{T(5503), N(6503)}, setTarget},
    /*  6 Toggle Flag :: Window Controll Alternative = %0 */
    {{N(5504)}, controlWindow},
    /*  7 Align = %0 :: Grid :: L2R + offset = %1 */
    {{O(5505), T(5506)}, alignGrid},
    /*  8 Array Name = %0 :: push_back = %1 :: Data Type = %2 */
    {{T(5507), N(5508), N(5509)}, buildArrayOfKind},
    /*  9 SaVE JSON Path : %0 : options = %1 */
    {{T(5502), T(5510)}, saveDocument},
    /* 10 Create New Empty JSON Object */
    {{}, newEmptyObject},
    /* 11 Target = %0 :: Create Array  = %1 : repeat = %2 */
    {{O(5511), T(5507), N(5508)}, buildArrayOfInstances},
    /* 12 Path = %0 :: Params ( repeat, start, increment ) = %1 */
    {{T(5503), T(5512)}, numberColumn},
    /* 13 Align = %0 :: Horizontal L2R :: Width + offset = %1 */
    {{O(5505), T(5513)}, alignLeftToRight},
    /* 14 Align = %0 :: Horizontal R2L :: Width + offset = %1 :: Num = %2 */
    {{O(5505), T(5513), T(5514)}, alignRightToLeft},
    /* 15 Push_back with = %0 */
    {{T(5515)}, pushTextToTarget},
    /* 16 Align = %0 :: Vertical T2B :: Height + offset = %1 */
    {{O(5505), T(5513)}, alignTopToBottom},
    /* 17 Align = %0 :: Vertical B2T :: Height + offset = %1 */
    {{O(5505), T(5513)}, alignBottomToTop},
    /* 18 Set As Boolean :: TargetedArray[ %0 ] = %1 */
    {{N(5516), N(5517)}, setBooleanInTarget},
    /* 19 Set As Boolean :: JSON Pointer = %0 :: Bool = %1 */
    {{T(5503), N(5517)}, setBooleanAtPointer},
    /* 20 Null Motion = %0 : %1 */
    {{O(5505), T(5518)}, registerNullMotion},
    /* 21 %0 : Reject (ByName) = %1 */
    {{T(5518), N(5519)}, rejectGroup},
    /* 22 %0 : Reject + Destroy (ByName) = %1 */
    {{T(5518), N(5519)}, rejectAndDestroyGroup},
    /* 23 Copy the JSON data to Backup on the Memory */
    {{}, backupDocument},
    /* 24 Restoration from the Backuped */
    {{}, restoreBackup},
    /* 25 %0 : Reject (Directly) = %1 */
    {{O(5505), N(5519)}, rejectObject},
    /* 26 %0 : Reject + Destroy (Directly) = %1 */
    {{O(5505), N(5519)}, rejectAndDestroyObject},
    /* 27 Horizontal Wrap = %0 : %1 = %2 */
    {{O(5505), T(5518), T(5520)}, registerHorizontalWrap},
    /* 28 %0 : Toggle Stop (ByName) */
    {{T(5518)}, toggleStopByName},
    /* 29 %0 : Stop (ByName) */
    {{T(5518)}, stopByName},
    /* 30 %0 : Toggle Stop (Direct) */
    {{O(5505)}, toggleStopDirect},
    /* 31 Clear : JSON Data Sharing */
    {{}, clearSharedSlot},
    /* 32 Clear : JSON Backuped Data */
    {{}, clearBackupSlot},
    /* 33 Clear : JSON Data */
    {{}, clearDocument},
    /* 34 Null = %0 : %1 (Destroy After %2 FTimes) */
    {{O(5505), T(5518), N(5521)}, registerTimedNullMotion},
    /* 35 Sleep : %0 : (Ft,Re,Wt = %1) */
    {{T(5518), T(5522)}, sleepByName},
    /* 36 Sleep : %0 : Direct (Ft,Re,Wt = %1) */
    {{O(5505), T(5522)}, sleepDirect},
    /* 37 Horizontal Flip = %0 : %1 = %2 */
    {{O(5505), T(5518), T(5523)}, registerHorizontalFlip},
    /* 38 Vertical Wrap = %0 : %1 = %2 */
    {{O(5505), T(5518), T(5524)}, registerVerticalWrap},
    /* 39 Vertical Flip = %0 : %1 = %2 */
    {{O(5505), T(5518), T(5525)}, registerVerticalFlip},
    /* 40 Horizontal Wrap SineWave = %0 : %1 = %2 */
    {{O(5505), T(5518), T(5526)}, registerHorizontalWrapWave},
    /* 41 Horizontal Flip SineWave = %0 : %1 = %2 */
    {{O(5505), T(5518), T(5526)}, registerHorizontalFlipWave},
    /* 42 Vertical Wrap SineWave = %0 : %1 = %2 */
    {{O(5505), T(5518), T(5526)}, registerVerticalWrapWave},
    /* 43 Vertical Flip SineWave = %0 : %1 = %2 */
    {{O(5505), T(5518), T(5526)}, registerVerticalFlipWave},
    /* 44 Orbital :: OwnXY :: %0 = %1 :: Params = %2 */
    {{O(5505), T(5518), T(5528)}, registerOrbitOwn},
    /* 45 Orbital :: TargetXY :: %0 :: Center = %1 :: %2 :: Params = %3 */
    {{O(5505), O(5527), T(5518), T(5528)}, registerOrbitTarget},
    /* 46 Path = %0 :: Param (bool) = %1 */
    {{T(5507), N(5508), N(5529)}, buildArrayOfBooleans},
    /* 47 Grow Radius : GrpName = %0 : Param = %1 */
    {{T(5518), T(5530)}, growOrbitRadius},
    /* 48 Grow Radius : GrpName = %0 : Param = %1 */
    {{T(5518), T(5531)}, growWaveAmplitude},
    /* 49 Change the Target Centre = %0 : Group Name = %1 */
    {{O(5532), T(5518)}, changeCentre},
    /* 50 Reverse Movement :: Target = %0 */
    {{T(5518)}, reverseByName},
    /* 51 Reverse Movement :: Target = %0 */
    {{O(5505)}, reverseDirect},
    /* 52 Push to %0 :: Submatches :: Exact Match :: */
    {{T(5503)}, pushExactMatches},
    /* 53 Push to %0 :: Submatches :: Partial Match */
    {{T(5503)}, pushPartialMatches},
};

constexpr ConditionRow kConditionRows[] = {
    /*  0 %o : REGEX Expression ERROR */
    {TRIGGERED, {}, raised},
    /*  1 %o : Partial Match = %1 : ID = %2 */
    {EVALUATED, {T(6500), T(6501), N(6502)}, partialMatch},
    /*  2 %o : REGEX Missmatch : ID = %0 */
    {TRIGGERED, {N(6502)}, mismatchHasId},
    /*  3 %o : JSON Pointer Error */
    {TRIGGERED, {}, raised},
    /*  4 %o : Array ( Targeted ) ID = %0 */
    {TRIGGERED, {N(6503)}, targetIdMatches},
    /*  5 %o : Exact Match = %1 : ID = %2 */
    {EVALUATED, {T(6500), T(6501), N(6502)}, exactMatch},
    /*  6 %o : Check the Path = %0 */
    {NEGATABLE, {T(6504)}, pathExists},
    /*  7 %o : Boolean is True  ( Targeted ) ID = %0 */
    {TRIGGERED, {N(6503)}, targetIdMatches},
    /*  8 %o : Boolean is False ( Targeted ) ID = %0 */
    {TRIGGERED, {N(6503)}, targetIdMatches},
    /*  9 %o : Rejected Motion Grp Name = %0 */
    {TRIGGERED, {T(6505)}, groupWasRejected},
    /* 10 %o : JSON DATA Share : Data Empty */
    {NEGATABLE, {}, sharedSlotIsEmpty},
    /* 11 %o : if Collision on the Wall A (Left) */
    {TRIGGERED, {}, raised},
    /* 12 %o : if Collision on the Wall B (Right) */
    {TRIGGERED, {}, raised},
    /* 13 %o : if Collision on the Wall C (Top) */
    {TRIGGERED, {}, raised},
    /* 14 %o : if Collision on the Wall D (Bottom) */
    {TRIGGERED, {}, raised},
    /* 15 %o : if the Object now sleeping */
    {TRIGGERED, {}, raised},
};

constexpr ExpressionRow kExpressionRows[] = {
    /*  0 ExStrGet( */
    {TEXT_RESULT, {}, getText},
    /*  1 ExStrAsJsp( */
    {TEXT_RESULT, {ET(7500)}, textAtPointer},
    /*  2 ExStrRgxReplace( */
    {TEXT_RESULT, {ET(7501), ET(7502)}, replaceInText},
    /*  3 ExStrAsTgtArrIdx( */
    {TEXT_RESULT, {EN(7503)}, textOfWorkElement},
    /*  4 ExNumTgtArrEle( */
    {NUMBER_RESULT, {}, workArraySize},
    /*  5 ExNumRgxMatchSub( */
    {NUMBER_RESULT, {}, exactMatchCount},
    /*  6 ExStrRgxMatchSub( */
    {TEXT_RESULT, {EN(7504)}, exactMatchAt},
    /*  7 ExNumRgxSearchSub( */
    {NUMBER_RESULT, {}, partialMatchCount},
    /*  8 ExStrRgxSearchSub( */
    {TEXT_RESULT, {EN(7504)}, partialMatchAt},
    /*  9 ExStrAsDumpPPJsp( */
    {TEXT_RESULT, {ET(7505), EN(7506)}, dumpWithIndent},
    /* 10 ExStrAsFrmTgt( */
    {TEXT_RESULT, {}, textOfTarget},
    /* 11 ExStrTgtPath( */
    {TEXT_RESULT, {}, targetPath},
    /* 12 ExNumAsTgtArrIdx( */
    {NUMBER_RESULT, {EN(7507)}, numberOfTargetElement},
    /* 13 ExNumMotionGrp( */
    {NUMBER_RESULT, {EN(7508)}, registeredCount},
    /* 14 ExStrDebugInfo( */
    {TEXT_RESULT, {ET(7509)}, debugInfo},
    /* 15 ExNumCollXpos( */
    {NUMBER_RESULT, {}, eventX},
    /* 16 ExNumCollYpos( */
    {NUMBER_RESULT, {}, eventY},
    /* 17 ExNumevdFixdV( */
    {NUMBER_RESULT, {}, eventFixedValue},
    /* 18 ExNumSlpCt( */
    {NUMBER_RESULT, {}, eventSleepCount},
    /* 19 ExNumAG( */
    {NUMBER_RESULT, {EN(7510)}, eventAngle},
};

static_assert(std::size(kActionRows) == ACTION_COUNT);
static_assert(std::size(kConditionRows) == CONDITION_COUNT);

// Each condition a body raises by number is a triggered row whose body reads
// what the raiser recorded.
constexpr bool raisedAs(int code, ConditionBody body) {
    return kConditionRows[code].flags == TRIGGERED && kConditionRows[code].body == body;
}
static_assert(raisedAs(CND_REGEX_ERROR, raised) && raisedAs(CND_REGEX_MISMATCH, mismatchHasId) &&
              raisedAs(CND_JSON_POINTER_ERROR, raised) && raisedAs(CND_TARGET_IS_ARRAY, targetIdMatches) &&
              raisedAs(CND_TARGET_IS_TRUE, targetIdMatches) && raisedAs(CND_TARGET_IS_FALSE, targetIdMatches) &&
              raisedAs(CND_GROUP_REJECTED, groupWasRejected) && raisedAs(CND_WALL_LEFT, raised) &&
              raisedAs(CND_WALL_RIGHT, raised) && raisedAs(CND_WALL_TOP, raised) &&
              raisedAs(CND_WALL_BOTTOM, raised) && raisedAs(CND_SLEEPING, raised));
static_assert(std::size(kExpressionRows) == EXPRESSION_COUNT);

// The numbers a loading program follows name the rows of these bodies.
constexpr bool actionIs(int code, ActionBody body) { return kActionRows[code].body == body; }
static_assert(actionIs(ACT_NULL_MOTION, registerNullMotion) && actionIs(ACT_REJECT_NAMED, rejectGroup) &&
              actionIs(ACT_REJECT_DESTROY_NAMED, rejectAndDestroyGroup) && actionIs(ACT_REJECT_DIRECT, rejectObject) &&
              actionIs(ACT_REJECT_DESTROY_DIRECT, rejectAndDestroyObject) &&
              actionIs(ACT_HORIZONTAL_WRAP, registerHorizontalWrap) && actionIs(ACT_TOGGLE_STOP_NAMED, toggleStopByName) &&
              actionIs(ACT_STOP_NAMED, stopByName) && actionIs(ACT_TOGGLE_STOP_DIRECT, toggleStopDirect) &&
              actionIs(ACT_TIMED_NULL_MOTION, registerTimedNullMotion) &&
              actionIs(ACT_HORIZONTAL_FLIP, registerHorizontalFlip) && actionIs(ACT_VERTICAL_WRAP, registerVerticalWrap) &&
              actionIs(ACT_VERTICAL_FLIP, registerVerticalFlip) &&
              actionIs(ACT_HORIZONTAL_WRAP_WAVE, registerHorizontalWrapWave) &&
              actionIs(ACT_HORIZONTAL_FLIP_WAVE, registerHorizontalFlipWave) &&
              actionIs(ACT_VERTICAL_WRAP_WAVE, registerVerticalWrapWave) &&
              actionIs(ACT_VERTICAL_FLIP_WAVE, registerVerticalFlipWave) && actionIs(ACT_ORBIT_OWN, registerOrbitOwn) &&
              actionIs(ACT_ORBIT_TARGET, registerOrbitTarget) && actionIs(ACT_CHANGE_CENTRE, changeCentre) &&
              actionIs(ACT_REVERSE_NAMED, reverseByName) && actionIs(ACT_REVERSE_DIRECT, reverseDirect));
static_assert(kExpressionRows[EXP_EVENT_X].body == eventX && kExpressionRows[EXP_EVENT_Y].body == eventY);

constexpr int paramCount(const Param (&params)[4]) {
    int n = 0;
    while (n < 4 && params[n].kind != 0) ++n;
    return n;
}

// ---- 2. Packed description tables -------------------------------------------
// Per entry: menu id, display string id, code, flags, p, p kinds, p titles.

constexpr uint16_t flagsOf(const ActionRow&) { return 0; }
constexpr uint16_t flagsOf(const ConditionRow& row) { return row.flags; }
constexpr uint16_t flagsOf(const ExpressionRow& row) { return row.flags; }

template <typename Row, size_t N>
constexpr size_t packedSize(const Row (&rows)[N]) {
    size_t size = 0;
    for (const Row& row : rows) size += 5 + 2 * paramCount(row.params);
    return size;
}

template <size_t Size, typename Row, size_t N>
constexpr std::array<uint16_t, Size> pack(const Row (&rows)[N], int menuBase, int textBase) {
    std::array<uint16_t, Size> table{};
    size_t at = 0;
    for (size_t code = 0; code < N; ++code) {
        const Row& row = rows[code];
        int p = paramCount(row.params);
        table[at++] = static_cast<uint16_t>(menuBase + code);
        table[at++] = static_cast<uint16_t>(textBase + code);
        table[at++] = static_cast<uint16_t>(code);
        table[at++] = flagsOf(row);
        table[at++] = static_cast<uint16_t>(p);
        for (int i = 0; i < p; ++i) table[at++] = row.params[i].kind;
        for (int i = 0; i < p; ++i) table[at++] = row.params[i].title;
    }
    return table;
}

constexpr int kAct = static_cast<int>(AceKind::Action);
constexpr int kCnd = static_cast<int>(AceKind::Condition);
constexpr int kExp = static_cast<int>(AceKind::Expression);
constexpr auto kActionInfos = pack<packedSize(kActionRows)>(kActionRows, MENU_ID_BASE[kAct], DISPLAY_TEXT_BASE[kAct]);
constexpr auto kConditionInfos =
    pack<packedSize(kConditionRows)>(kConditionRows, MENU_ID_BASE[kCnd], DISPLAY_TEXT_BASE[kCnd]);
constexpr auto kExpressionInfos =
    pack<packedSize(kExpressionRows)>(kExpressionRows, MENU_ID_BASE[kExp], DISPLAY_TEXT_BASE[kExp]);

struct PackedTable {
    const uint16_t* words;
    size_t size;
};

PackedTable packedTable(AceKind kind) {
    switch (kind) {
        case AceKind::Action: return {kActionInfos.data(), kActionInfos.size()};
        case AceKind::Condition: return {kConditionInfos.data(), kConditionInfos.size()};
        case AceKind::Expression: return {kExpressionInfos.data(), kExpressionInfos.size()};
    }
    return {nullptr, 0};
}

// Entries have different lengths, so lookups walk the table from its start.
template <typename Match>
const uint16_t* findEntry(AceKind kind, Match match) {
    PackedTable table = packedTable(kind);
    for (size_t at = 0; at + 5 <= table.size; at += 5 + 2 * table.words[at + 4]) {
        if (match(table.words + at)) return table.words + at;
    }
    return nullptr;
}

// ---- 3. Routines --------------------------------------------------------------

template <int Code>
int16_t WINAPI actionRoutine(RUNDATA* rd, intptr_t, intptr_t) {
    guarded([rd] { kActionRows[Code].body(*rd); });
    return 0;
}

template <int Code>
intptr_t WINAPI conditionRoutine(RUNDATA* rd, intptr_t, intptr_t) {
    return guarded(intptr_t{0}, [rd]() -> intptr_t { return kConditionRows[Code].body(*rd) ? 1 : 0; });
}

intptr_t emptyResult(RUNDATA& rd, const ExpressionRow& row) {
    return (row.flags & EXPFLAG_STRING) ? textResult(rd, u"") : intResult(0);
}

template <int Code>
intptr_t WINAPI expressionRoutine(RUNDATA* rd, intptr_t argument) {
    const ExpressionRow& row = kExpressionRows[Code];
    try {
        ExpressionParams params(*rd, argument);
        return row.body(*rd, params);
    } catch (...) {
        // A body may have marked its result before failing.
        rd->rHo.hoFlags &= static_cast<uint16_t>(~(HOF_STRING | HOF_FLOAT));
    }
    return emptyResult(*rd, row);
}

// Each table ends with a null entry after its last routine, as the host's
// templates lay them out; the counts in kpxRunInfos leave it out.
template <size_t... Code>
constexpr std::array<ActionRoutine, sizeof...(Code) + 1> actionTable(std::index_sequence<Code...>) {
    return {&actionRoutine<Code>..., nullptr};
}
template <size_t... Code>
constexpr std::array<ConditionRoutine, sizeof...(Code) + 1> conditionTable(std::index_sequence<Code...>) {
    return {&conditionRoutine<Code>..., nullptr};
}
template <size_t... Code>
constexpr std::array<ExpressionRoutine, sizeof...(Code) + 1> expressionTable(std::index_sequence<Code...>) {
    return {&expressionRoutine<Code>..., nullptr};
}

constexpr auto kActionRoutines = actionTable(std::make_index_sequence<ACTION_COUNT>{});
constexpr auto kConditionRoutines = conditionTable(std::make_index_sequence<CONDITION_COUNT>{});
constexpr auto kExpressionRoutines = expressionTable(std::make_index_sequence<EXPRESSION_COUNT>{});

}  // namespace

int aceCount(AceKind kind) {
    switch (kind) {
        case AceKind::Action: return ACTION_COUNT;
        case AceKind::Condition: return CONDITION_COUNT;
        case AceKind::Expression: return EXPRESSION_COUNT;
    }
    return 0;
}

int menuIdBase(AceKind kind) { return MENU_ID_BASE[static_cast<int>(kind)]; }
int displayTextBase(AceKind kind) { return DISPLAY_TEXT_BASE[static_cast<int>(kind)]; }
unsigned menuResource(AceKind kind) { return MENU_RESOURCE[static_cast<int>(kind)]; }

EventInfos aceInfos(AceKind kind, int code) {
    const uint16_t* entry = findEntry(kind, [code](const uint16_t* e) { return e[2] == code; });
    return entry != nullptr ? entry + 2 : nullptr;
}

int codeFromMenu(AceKind kind, int menuId) {
    const uint16_t* entry = findEntry(kind, [menuId](const uint16_t* e) { return e[0] == menuId; });
    return entry != nullptr ? entry[2] : -1;
}

const ActionRoutine* actionRoutines() { return kActionRoutines.data(); }
const ConditionRoutine* conditionRoutines() { return kConditionRoutines.data(); }
const ExpressionRoutine* expressionRoutines() { return kExpressionRoutines.data(); }

}  // namespace trivu
