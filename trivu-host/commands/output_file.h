// Files a run writes besides its trace, such as the --svg drawing. Each is
// opened (created or truncated) before the first frame, once the scenario's
// own files are written (they may make its folder), and kept open: a path
// that cannot be written ends the run before it prints anything, rather than
// after the whole run. The content goes in when the run has ended.
#pragma once

#include <cstdio>
#include <iosfwd>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace standin {

struct OutputFile {
    std::string path;     // as the user gave it (UTF-8)
    std::string failure;  // the message after "PATH: ", e.g. "cannot write the drawing"
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file{nullptr, std::fclose};
};

// Opens `path` for writing in binary mode. When that fails (no such folder,
// a folder at the path, no permission) prints "PATH: FAILURE" to `err` and
// answers nothing.
std::optional<OutputFile> openOutputEarly(const std::string& path, std::string failure, std::ostream& err);

// Writes `bytes` and closes the file; a write or close that fails prints the
// same message and answers false.
bool finishOutput(OutputFile& output, std::string_view bytes, std::ostream& err);

}  // namespace standin
