// The pictures of `run --svg FILE` and `run --html FILE`: the recorder that
// follows the run, and their files, opened before its first frame (a path
// that cannot be written ends the run before it prints anything) and
// written once it has ended.
#pragma once

#include <iosfwd>
#include <optional>
#include <string>

#include "trivu-host/commands/output_file.h"
#include "trivu-host/play/run_report.h"
#include "trivu-host/record/recorder.h"

namespace standin {

struct PictureOptions {
    std::string scenarioPath;           // as given: the page is titled with its file name
    std::string svgPath;                // when not empty, the drawing goes there
    std::optional<TickRange> svgTicks;  // the ticks it draws; all when none
    std::string htmlPath;               // when not empty, the page that plays the run goes there
};

class Pictures {
public:
    explicit Pictures(PictureOptions options);
    Pictures(const Pictures&) = delete;
    Pictures& operator=(const Pictures&) = delete;

    // Who follows the run; null when no picture is wanted.
    RunReport* report();
    // Opens the files; false, having said why on `err`, when one cannot be.
    bool open(std::ostream& err);
    // Writes the pictures of a run that answered `status` (only after a
    // run, status 0) and answers the run's status: 1 when one cannot be
    // written.
    int write(int status, std::ostream& err);

private:
    std::string drawing() const;

    PictureOptions options_;
    Recorder recorder_;
    std::optional<OutputFile> svg_, html_;
};

}  // namespace standin
