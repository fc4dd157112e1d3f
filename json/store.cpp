#include "json/store.h"

#include "host/editdata.h"

namespace trivu {
namespace {
JsonSlots slots;
JsonWork work;
}  // namespace

JsonSlots& jsonSlots() { return slots; }
JsonWork& jsonWork() { return work; }

void resetJsonWork() { work = JsonWork(); }

void shareIn(RUNDATA& rd) {
    if (rd.jsonShare != JSON_SHARE_ON || isEmpty(slots.backup)) return;
    rd.document = slots.shared;
    rd.target = &rd.document;
}

void shareOut(const RUNDATA& rd) {
    if (rd.jsonShare != JSON_SHARE_ON || isEmpty(rd.document)) return;
    slots.shared = rd.document;
}

}  // namespace trivu
