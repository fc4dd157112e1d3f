// JSON files: reading a text JSON file into a document, and writing one as
// compact text, indented text or MessagePack without ever losing the file
// that was there before.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "host/boundary/json_value.h"

namespace trivu {

// The first JSON value of `text`; what follows it is not examined. Comments
// are not accepted. Nesting deeper than kMaxJsonDepth is refused like a
// syntax error. Throws the library's parse_error, or DepthError.
Json parseJsonText(std::string_view text);

// The whole content of a file, or nothing when it cannot be opened or read
// (a directory among them).
std::optional<std::string> readFileBytes(std::u16string_view path);

enum class SaveForm { Compact, Indented, MessagePack };

// The bytes that the given form writes: the compact dump; the dump indented
// by 4 spaces and one newline; or the MessagePack encoding.
std::string encodeDocument(const Json& document, SaveForm form);

// Writes `bytes` into a new file beside `path` and renames it over `path`, so
// that a failure at any point leaves the old file whole. Text forms are
// written as text files (on Windows each newline becomes CR LF). Answers
// false when anything failed; the temporary file is removed then.
bool replaceFile(std::u16string_view path, const std::string& bytes, bool asText);

}  // namespace trivu
