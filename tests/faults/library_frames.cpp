// Where the JSON library's destructor is. Destroying a non-empty array or
// object allocates (the library flattens it onto a stack of its own first),
// and the destructor is noexcept: a failure there ends the process, whatever
// the extension does. The injection therefore passes over the requests made
// from inside it and fails the next one instead.
//
// Only this file sees the library's private members, to take the address.
#define JSON_TESTS_PRIVATE
#include "host/boundary/json_value.h"

#include <unwind.h>

#include <cstring>

#include "tests/faults/inject.h"

namespace faults {
namespace {

using Json = trivu::Json;

void* destroyAddress() {
    auto member = &Json::json_value::destroy;
    void* address = nullptr;
    static_assert(sizeof(member) >= sizeof(address));
    std::memcpy(&address, &member, sizeof(address));  // a non-virtual member: its first word is the code
    return address;
}

_Unwind_Reason_Code visit(_Unwind_Context* context, void* found) {
    static void* const destroy = destroyAddress();
    void* function = _Unwind_FindEnclosingFunction(reinterpret_cast<void*>(_Unwind_GetIP(context)));
    if (function != destroy) return _URC_NO_REASON;
    *static_cast<bool*>(found) = true;
    return _URC_END_OF_STACK;
}

}  // namespace

bool insideLibraryDestructor() {
    bool found = false;
    _Unwind_Backtrace(visit, &found);
    return found;
}

}  // namespace faults
