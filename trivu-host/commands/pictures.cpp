#include "trivu-host/commands/pictures.h"

#include <exception>
#include <ostream>
#include <utility>

#include "trivu-host/draw/html.h"
#include "trivu-host/draw/svg.h"

namespace standin {
namespace {

// The page is titled with the scenario's file name, without its folders: the
// same run gives the same page wherever it is played from.
std::string titleOf(const std::string& scenarioPath) {
    if (scenarioPath == "-") return "(standard input)";
    const size_t slash = scenarioPath.find_last_of("/\\");
    return slash == std::string::npos ? scenarioPath : scenarioPath.substr(slash + 1);
}

}  // namespace

Pictures::Pictures(PictureOptions options) : options_(std::move(options)) {
    recorder_.keepsTraceLines = !options_.htmlPath.empty();
}

RunReport* Pictures::report() {
    return options_.svgPath.empty() && options_.htmlPath.empty() ? nullptr : &recorder_;
}

bool Pictures::open(std::ostream& err) {
    if (!options_.svgPath.empty() && !(svg_ = openOutputEarly(options_.svgPath, "cannot write the drawing", err)))
        return false;
    if (!options_.htmlPath.empty() && !(html_ = openOutputEarly(options_.htmlPath, "cannot write the page", err)))
        return false;
    return true;
}

// The drawing of the ticks asked for; the whole record is drawn where it is.
std::string Pictures::drawing() const {
    return options_.svgTicks ? svg(recorder_.between(*options_.svgTicks)) : svg(recorder_);
}

int Pictures::write(int status, std::ostream& err) {
    try {
        if (status == 0 && svg_ && !finishOutput(*svg_, drawing(), err)) status = 1;
        if (status == 0 && html_ && !finishOutput(*html_, page(recorder_, titleOf(options_.scenarioPath)), err))
            status = 1;
    } catch (const std::exception& e) {
        err << "trivu-host: the run stopped: " << e.what() << '\n';
        status = 1;
    }
    return status;
}

}  // namespace standin
