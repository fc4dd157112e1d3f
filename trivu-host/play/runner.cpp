// `trivu-host run`: plays a checked scenario against the loaded extension.
//
// Everything a run owns is in one Run record. The service table the extension
// calls back into has no context argument, so the routines reach the Run
// through `gRun`, which is set only while runScenario runs. Pointers that
// come back from the extension are looked up among the run's own instances
// before they are trusted.
//
// The parts of a run are spread over run_state.cpp, run_values.cpp,
// run_calls.cpp and run_events.cpp (see run_state.h); this file prepares a
// run: it reads and checks the scenario, builds the edit-time records, writes
// the scenario's files, lets the caller open the files it writes besides the
// trace (beforeFirstFrame), and then plays the frames, reporting them to the
// run's follower when it has one.

#include "trivu-host/play/run.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <iostream>
#include <memory>
#include <optional>
#include <sstream>
#include <utility>

#include "host/boundary/editdata.h"
#include "trivu-host/base/paths.h"
#include "trivu-host/base/text.h"
#include "trivu-host/play/run_state.h"
#include "trivu-host/scenario/json_reader.h"

namespace standin {

using namespace runner;

namespace {

// The scenario's text; "-" reads standard input.
bool readScenario(const std::string& path, std::string* text, std::ostream& err) {
    if (path == "-") {
        std::ostringstream s;
        s << std::cin.rdbuf();
        *text = s.str();
        if (!std::cin.bad()) return true;
        err << "(standard input): cannot read the scenario\n";
        return false;
    }
    std::error_code ec;
    if (std::filesystem::is_directory(systemPath(path), ec)) {
        err << path << ": cannot read the scenario: it is a directory\n";
        return false;
    }
    std::FILE* in = openFile(path, "rb");
    if (in == nullptr) {
        err << path << ": cannot read the scenario: " << std::strerror(errno) << '\n';
        return false;
    }
    text->clear();
    char buffer[1 << 16];
    for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, in)) > 0;) text->append(buffer, n);
    bool failed = std::ferror(in) != 0;
    int error = errno;
    std::fclose(in);
    if (failed) err << path << ": cannot read the scenario: " << std::strerror(error) << '\n';
    return !failed;
}

// What the disk may still refuse, found before a single file is written, so
// that a refused scenario leaves nothing behind: a folder where a file goes,
// a file where a folder must be.
bool checkFiles(const Scenario& sc, std::ostream& err) {
    bool ok = true;
    for (const ScenarioFile& f : sc.files) {
        std::error_code ec;
        std::filesystem::path p = systemPath(f.name);
        if (std::filesystem::is_directory(p, ec)) {
            err << f.path << ": cannot write " << standin::quoted(f.name) << ": it is a directory\n";
            ok = false;
            continue;
        }
        for (auto folder = p.parent_path(); !folder.empty(); folder = folder.parent_path()) {
            if (std::filesystem::exists(folder, ec) && !std::filesystem::is_directory(folder, ec)) {
                err << f.path << ": cannot write " << standin::quoted(f.name) << ": " << standin::quoted(utf8Name(folder))
                    << " is a file, not a directory\n";
                ok = false;
                break;
            }
        }
    }
    return ok;
}

bool writeFile(const ScenarioFile& f, std::ostream& err) {
    const std::filesystem::path p = systemPath(f.name);
    std::error_code ec;
    if (p.has_parent_path()) std::filesystem::create_directories(p.parent_path(), ec);
    if (ec) {
        err << f.path << ": cannot write " << standin::quoted(f.name) << ": " << ec.message() << '\n';
        return false;
    }
    std::FILE* out = openFile(f.name, "wb");
    bool ok = out != nullptr && std::fwrite(f.content.data(), 1, f.content.size(), out) == f.content.size();
    int error = errno;
    if (out != nullptr && std::fclose(out) != 0 && ok) {
        ok = false;
        error = errno;
    }
    if (!ok) err << f.path << ": cannot write " << standin::quoted(f.name) << ": " << std::strerror(error) << '\n';
    return ok;
}

bool writeFiles(const Scenario& sc, std::ostream& err) {
    for (const ScenarioFile& f : sc.files)
        if (!writeFile(f, err)) return false;
    return true;
}

// Edit-time records, built as the editor would: creation defaults, the text,
// the check boxes, and last the raw words of a record another tool wrote.
bool buildRecords(const Scenario& sc, Editor& editor, std::vector<std::unique_ptr<EditRecord>>& records,
                  std::ostream& err) {
    // Indexed by the scenario's PROP_* order; ids and places are the record's own.
    static const uint32_t propIds[PROP_COUNT] = {PROPID_FORCE_POPUP, PROPID_REGEX_ICASE, PROPID_REGEX_CONTROL_CHARS,
                                                 PROPID_JSON_SHARE};
    static const uint32_t offsets[PROP_COUNT] = {offsetof(EDITDATA, forcePopup), offsetof(EDITDATA, regexIcase),
                                                 offsetof(EDITDATA, regexControlChars), offsetof(EDITDATA, jsonShare)};
    for (const ExtensionType& t : sc.extensions) {
        std::unique_ptr<EditRecord> record = editor.createRecord();
        if (!record) {
            err << t.path << ": the extension refused to create its edit-time record\n";
            return false;
        }
        if (t.text && !editor.setText(*record, *t.text)) {
            err << memberPath(t.path, "text") << ": the edit-time record refused the text (" << t.text->size()
                << " UTF-16 units; a record holds at most " << EditRecord::kMaxSize << " bytes)\n";
            return false;
        }
        for (int p = 0; p < PROP_COUNT; ++p)
            if (t.props[p].how == PropSetting::Check) editor.setCheck(*record, propIds[p], t.props[p].value);
        for (int p = 0; p < PROP_COUNT; ++p)
            if (t.props[p].how == PropSetting::Raw && offsets[p] + 4 <= record->size())
                record->writeWord(offsets[p], t.props[p].value);
        records.push_back(std::move(record));
    }
    return true;
}

struct CurrentRun {
    explicit CurrentRun(Run& run) { gRun = &run; }
    ~CurrentRun() { gRun = nullptr; }
};

int play(Library& library, const Scenario& sc, std::vector<std::unique_ptr<EditRecord>>& records, Desktop& desktop,
         bool trace, RunReport* report, std::ostream& out, std::ostream& err) {
    Run run(sc, library, desktop, out, err, trace);
    run.report = report;
    CurrentRun current(run);
    for (auto& r : records) run.records.push_back(r.get());
    for (const ObjectType& t : sc.objects) run.objectInfos.push_back(objectInfoNamed(t.name16));
    for (const ExtensionType& t : sc.extensions) run.extensionInfos.push_back(objectInfoNamed(t.name16));
    fillRunHeader(run);

    desktop.caption = sc.caption;
    desktop.state = sc.state;
    desktop.taskbar = sc.taskbar;
    auto previousReport = desktop.report;
    desktop.report = [&run](const std::string& text) { line(run, text); };
    struct Restore {
        Desktop& d;
        std::function<void(const std::string&)> report;
        ~Restore() { d.report = std::move(report); }
    } restore{desktop, std::move(previousReport)};

    for (size_t f = 0; f < sc.frames.size() && !run.appEnds; ++f) runFrame(run, static_cast<int>(f));
    return 0;
}

}  // namespace

int runScenario(Library& library, const RunOptions& options, std::ostream& out, std::ostream& err) {
    std::string text;
    if (!readScenario(options.scenarioPath, &text, err)) return 2;
    std::vector<std::string> errors;
    std::optional<Scenario> sc;
    // The records outlive the run: instances keep pointers into them.
    Editor editor(library);
    {
        std::string name = options.scenarioPath == "-" ? "(standard input)" : options.scenarioPath;
        sc = parseScenario(text, name, readDescriptions(library, editor.block()), &errors);
    }
    text.clear();
    text.shrink_to_fit();
    if (!sc) {
        for (const std::string& e : errors) err << e << '\n';
        return 2;
    }
    // Everything is checked before the first file is written.
    std::vector<std::unique_ptr<EditRecord>> records;
    try {
        if (!buildRecords(*sc, editor, records, err)) return 1;
    } catch (const std::exception& e) {
        err << "trivu-host: the edit-time records could not be built: " << e.what() << '\n';
        return 1;
    }

    // A built game's road: the editor's library is gone before the game
    // starts, and the run-time library plays the records the editor made.
    std::optional<Library> runtime;
    mv runtimeBlock{};
    Library* player = &library;
    if (!options.runtimePath.empty()) {
        if (options.releaseEditor) options.releaseEditor();
        std::string error;
        runtime = Library::load(options.runtimePath, &error, LibraryKind::RunTime);
        if (!runtime) {
            err << "trivu-host: " << error << '\n';
            return 2;
        }
        player = &*runtime;
    }
    if (!checkFiles(*sc, err) || !writeFiles(*sc, err)) return 2;
    if (options.beforeFirstFrame && !options.beforeFirstFrame(err)) return 1;

    std::unique_ptr<Desktop> own;
    Desktop* desktop = options.desktop;
    if (!desktop) {
        own = std::make_unique<Desktop>();
        desktop = own.get();
    }
    // The editor's library already has the desktop it was given.
    bool attach = own || runtime;
    if (attach && player->AttachDesktop) player->AttachDesktop(desktop->table());
    if (runtime) runtime->Initialize(&runtimeBlock, 1);
    int status;
    try {
        status = play(*player, *sc, records, *desktop, options.trace, options.report, out, err);
    } catch (const std::exception& e) {
        err << "trivu-host: the run stopped: " << e.what() << '\n';
        status = 1;
    }
    out.flush();
    if (runtime) runtime->Free(&runtimeBlock);
    if (attach && player->AttachDesktop) player->AttachDesktop(nullptr);
    return status;
}

}  // namespace standin
