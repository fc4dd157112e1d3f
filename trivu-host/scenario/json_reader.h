// Reading a scenario file's JSON: the library's parser, with the checks a
// hostile or mistyped file needs before any of it is looked at.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

namespace standin {

using Json = nlohmann::ordered_json;

// Arrays and objects nest at most this deep. Far more than any scenario
// needs (64 levels of expressions take about 140), and shallow enough that
// nothing that walks or copies a value recursively can exhaust the stack.
inline constexpr size_t kMaxJsonDepth = 256;

// JSON paths as faults name them: `frames[0].events`, `files["a b.txt"]`.
std::string memberPath(const std::string& path, std::string_view key);
std::string itemPath(const std::string& path, size_t index);

struct JsonFault {
    bool syntax = false;  // the text is no JSON at all: `what` names line and column
    std::string path;     // otherwise the faulty element's path ("" for the top)
    std::string what;
};

// The document, or the first fault: invalid JSON, a number beyond a double,
// nesting deeper than kMaxJsonDepth, a key given twice in one object.
std::optional<Json> readJson(std::string_view text, JsonFault* fault);

}  // namespace standin
