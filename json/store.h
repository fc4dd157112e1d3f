// The JSON store's process-wide part: the shared and backup slots, which live
// as long as the library, and the working state of the pointer and array
// operations, which the destruction of any instance resets.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "host/rundata.h"
#include "json/value.h"

namespace trivu {

struct JsonSlots {
    Json shared;  // handed from one frame to the next
    Json backup;  // actions 23, 24, 32
};

struct JsonWork {
    std::u16string resultText;   // result buffer of the text expressions
    Json::json_pointer targetPointer;
    Json::json_pointer workPointer;
    int32_t targetId = 0;
    std::string arrayKeyName;
    int32_t arrayRepeatCount = 0;
    std::vector<std::array<int32_t, 7>> objectRecords;
};

JsonSlots& jsonSlots();
JsonWork& jsonWork();
void resetJsonWork();  // the storage is given back

// Frame hand-over. Share-in tests the backup slot's emptiness but copies the
// shared slot; share-out stores a non-empty document only.
void shareIn(RUNDATA& rd);
void shareOut(const RUNDATA& rd);

}  // namespace trivu
