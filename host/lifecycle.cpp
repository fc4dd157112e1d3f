// Run-time exports: what the library reports about itself, and the life of
// an instance from CreateRunObject to DestroyRunObject.
#include <memory>

#include "host/catalogue.h"
#include "host/boundary/editdata.h"
#include "host/boundary/guard.h"
#include "host/lifetimes.h"
#include "host/record_text.h"
#include "objctrl/engine.h"
#include "sdk/exports.h"

using namespace trivu;

namespace {

// The four characters "7KQ4", the first one in the lowest byte: the bytes
// "7KQ4" in this order in memory. (The host's older template headers build
// identifiers the other way round; existing games know TRIVU by this one.)
constexpr uint32_t kIdentifier = '7' | ('K' << 8) | ('Q' << 16) | (uint32_t{'4'} << 24);

// Constructs the extension's fields in the host's block; none of these throws.
void constructFields(RUNDATA& rd, const EDITDATA& ed) {
    rd.forcePopup = ed.forcePopup;
    rd.regexIcase = ed.regexIcase;
    rd.regexControlChars = ed.regexControlChars;
    rd.jsonShare = ed.jsonShare;
    rd.text = nullptr;
    rd.target = nullptr;
    std::construct_at(&rd.document);
    std::construct_at(&rd.intParams);
    std::construct_at(&rd.floatParams);
    rd.handleEnabled = false;
    rd.inHandler = false;
    rd.eventX = rd.eventY = rd.eventFixedValue = rd.eventSleepCount = 0;
    rd.eventAngle = 0.0;
}

}  // namespace

extern "C" {

int16_t WINAPI GetRunObjectInfos(mv*, kpxRunInfos* info) {
    if (info == nullptr) return 0;
    // Field by field: the host's record is exactly as long as its fields.
    info->conditions = conditionRoutines();
    info->actions = actionRoutines();
    info->expressions = expressionRoutines();
    info->numOfConditions = CONDITION_COUNT;
    info->numOfActions = ACTION_COUNT;
    info->numOfExpressions = EXPRESSION_COUNT;
    info->editDataSize = EDITDATA_FIXED_SIZE;
    // The window-procedure flag is set, but no window procedure is exported.
    info->editFlags = OEFLAG_WINDOWPROC | OEFLAG_VALUES;
    info->windowProcPriority = 100;
    info->free = 0;
    info->editPrefs = 0;
    info->identifier = kIdentifier;
    info->version = 1;
    return 1;
}

uint16_t WINAPI GetRunObjectDataSize(RunHeader*, EDITDATA*) { return RUNDATA_SIZE; }

int16_t WINAPI CreateRunObject(RUNDATA* rd, EDITDATA* ed, createObjectInfo*) {
    if (rd == nullptr || ed == nullptr) return 0;
    constructFields(*rd, *ed);
    guarded([&] { rd->text = new std::u16string(recordText(*ed)); });
    guarded([&] { shareIn(*rd); });
    return 0;
}

int16_t WINAPI DestroyRunObject(RUNDATA* rd, int32_t) {
    if (rd == nullptr) return 0;
    delete rd->text;
    rd->text = nullptr;
    guarded([] { resetSharedWork(); });
    guarded([&] { shareOut(*rd); });
    rd->target = nullptr;
    std::destroy_at(&rd->document);
    std::destroy_at(&rd->intParams);
    std::destroy_at(&rd->floatParams);
    return 0;
}

int16_t WINAPI HandleRunObject(RUNDATA* rd) {
    if (rd == nullptr || !rd->handleEnabled) return REFLAG_ONESHOT;
    return guarded(REFLAG_ONESHOT, [rd]() -> int16_t {
        rd->inHandler = true;
        try {
            return runMotionPass(*rd) ? REFLAG_ONESHOT : 0;
        } catch (...) {
            rd->inHandler = false;
            throw;
        }
    });
}

int16_t WINAPI DisplayRunObject(RUNDATA*) { return 0; }
int16_t WINAPI PauseRunObject(RUNDATA*) { return 0; }
int16_t WINAPI ContinueRunObject(RUNDATA*) { return 0; }

// Nothing of an instance is saved with a game: both answer success.
int32_t WINAPI SaveRunObject(RUNDATA*, HANDLE) { return 1; }
int32_t WINAPI LoadRunObject(RUNDATA*, HANDLE) { return 1; }

}  // extern "C"
