#include "trivu-host/commands/output_file.h"

#include <ostream>
#include <utility>

#include "trivu-host/base/paths.h"

namespace standin {

std::optional<OutputFile> openOutputEarly(const std::string& path, std::string failure, std::ostream& err) {
    OutputFile output{path, std::move(failure)};
    output.file.reset(openFile(path, "wb"));
    if (output.file == nullptr) {
        err << path << ": " << output.failure << '\n';
        return std::nullopt;
    }
    return output;
}

bool finishOutput(OutputFile& output, std::string_view bytes, std::ostream& err) {
    std::FILE* f = output.file.release();
    bool ok = f != nullptr && std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    if (f != nullptr) ok = std::fclose(f) == 0 && ok;
    if (!ok) err << output.path << ": " << output.failure << '\n';
    return ok;
}

}  // namespace standin
