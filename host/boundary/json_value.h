// The JSON value of every document: insertion order of object members is kept.
#pragma once

#include <nlohmann/json.hpp>

namespace trivu {

using Json = nlohmann::ordered_json;

// Null, an object without members and an array without elements are empty;
// every other value (the empty string, 0, false included) is not.
inline bool isEmpty(const Json& value) {
    return value.is_null() || ((value.is_object() || value.is_array()) && value.empty());
}

}  // namespace trivu
