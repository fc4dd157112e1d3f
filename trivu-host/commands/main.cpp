// trivu-host: the command line.
//
//   1. Usage texts
//   2. Parsing
//   3. Commands
//   4. main
//
// Arguments are read left to right, so an option's value is never mistaken
// for an option ("--text --help" sets the text "--help"). The global
// --extension may come before or after the command.
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <functional>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include <unistd.h>

#if defined(_WIN32)
#include <windows.h>
#include <fcntl.h>
#include <io.h>
#include <shellapi.h>
#endif

#include "trivu-host/base/text.h"
#include "trivu-host/commands/catalogue.h"
#include "trivu-host/commands/pictures.h"
#include "trivu-host/play/run.h"

namespace standin {
namespace {

constexpr int kOk = 0;
constexpr int kFailed = 1;
constexpr int kUsage = 2;

// ---- 1. Usage texts ---------------------------------------------------------------

const char kUsageText[] =
    "Usage: trivu-host [--extension PATH] COMMAND [ARGUMENTS]\n"
    "\n"
    "The stand-in runtime and editor for the TRIVU extension. It loads the\n"
    "extension library (trivu.mfx next to this program unless --extension names\n"
    "another) and talks to it only through its exports.\n"
    "\n"
    "Commands:\n"
    "  run SCENARIO.json [--trace] [--svg FILE [--svg-ticks FROM:TO]] [--html FILE]\n"
    "      [--runtime PATH]             play a scenario and print its trace\n"
    "                                   ('-' reads it from standard input)\n"
    "  catalogue [--json]               the actions, conditions and expressions\n"
    "  menu actions|conditions|expressions\n"
    "                                   the menu tree the menu export returns\n"
    "  editdata [--text T] [--check ID=STATE]...\n"
    "                                   create an edit-time record, print its bytes\n"
    "  about                            open the about box, print what it showed\n"
    "\n"
    "Options:\n"
    "  --extension PATH   load the extension library at PATH\n"
    "  --help, -h         this text; 'trivu-host COMMAND --help' describes a command\n"
    "\n"
    "Exit status: 0 on success; 1 when the library cannot be loaded or refuses a\n"
    "request, or the output cannot be written; 2 for a usage error or an\n"
    "unusable scenario. Messages go to standard error.\n";

struct CommandHelp {
    const char* name;
    const char* text;
};

const CommandHelp kCommandHelp[] = {
    {"run",
     "Usage: trivu-host run SCENARIO.json [--trace] [--svg FILE [--svg-ticks FROM:TO]]\n"
     "                                     [--html FILE] [--runtime PATH]\n"
     "\n"
     "Plays the scenario (a JSON file: desktop, files, extension objects, object\n"
     "types and frames with their events; '-' reads it from standard input) and\n"
     "prints one line per event on standard output, each beginning with\n"
     "FRAME:TICK. --trace adds the lines for triggers, per-frame handler calls,\n"
     "re-handle requests and destructions. --svg FILE also writes a drawing of\n"
     "the run to FILE: per frame, each object's path (broken where it jumps, with\n"
     "its start, end and direction), the virtual walls, orbit centres, the wall\n"
     "and sleep events, stops, reversals, rejections and destructions, and a\n"
     "legend. --svg-ticks FROM:TO draws only ticks FROM to TO of each frame\n"
     "(counted from 0, as in the trace). --html FILE also writes a page that plays the run tick by tick in\n"
     "a browser, with each tick's trace lines beside it; FILE#frame=K&tick=N\n"
     "opens it at that tick.\n"
     "\n"
     "--runtime PATH plays the run as a built game does: the edit-time records\n"
     "are built through the edit-time library, which is then freed, and the\n"
     "run-time library at PATH (runtime/trivu.mfx of the build) plays them.\n"
     "\n"
     "Exit status: 0 after a run; 1 when the extension refused an edit-time\n"
     "record or threw, the trace cannot be written, or FILE cannot be written\n"
     "(found before the first frame: nothing is played); 2 for an unusable\n"
     "scenario, with a message on standard error naming the JSON path of the\n"
     "fault (or the file), a PATH that is no run-time library, or a tick range\n"
     "that is not two whole numbers with FROM <= TO.\n"},
    {"catalogue",
     "Usage: trivu-host catalogue [--json]\n"
     "\n"
     "Lists the actions, conditions and expressions as the edit-time exports\n"
     "describe them: menu item, display text, flags and parameters with their\n"
     "prompts. The default output is a Markdown document (docs/reference.md is\n"
     "this output); --json prints one JSON object\n"
     "  {\"actions\": [...], \"conditions\": [...], \"expressions\": [...]}\n"
     "with entries {\"code\", \"menuId\", \"menu\", \"display\", \"flags\",\n"
     "\"params\": [{\"kind\", \"title\"}]} in code order.\n"
     "\n"
     "Exit status: 0; 1 when the library cannot be loaded; 2 for a usage error.\n"},
    {"menu",
     "Usage: trivu-host menu actions|conditions|expressions\n"
     "\n"
     "Prints the menu tree that the menu export returns, one line per item,\n"
     "indented two spaces per level: '---' for a separator, '+ TEXT' for a popup\n"
     "(its items follow one level deeper), 'ID TEXT' for an item and\n"
     "'ID TEXT (disabled)' for a disabled one.\n"
     "\n"
     "Exit status: 0; 1 when the library serves no such menu; 2 for a usage error.\n"},
    {"editdata",
     "Usage: trivu-host editdata [--text T] [--check ID=STATE]...\n"
     "\n"
     "Creates an edit-time record the way the frame editor does (creation, then\n"
     "the TEXT property set to T, then each check box in the order given; ID in\n"
     "hexadecimal such as 0x80002, STATE a decimal number) and prints 'size N'\n"
     "and the record's bytes in lower-case hexadecimal, 16 a line. Bytes 0 to 19\n"
     "are the editor's header: the record size as a 32-bit little-endian word,\n"
     "then zeros.\n"
     "\n"
     "Exit status: 0; 1 when the library refuses to create the record; 2 for a\n"
     "usage error.\n"},
    {"about",
     "Usage: trivu-host about\n"
     "\n"
     "Creates a fresh edit-time record, asks the extension to edit it (which\n"
     "opens its about box; the stand-in user presses OK) and prints the dialog\n"
     "the desktop was shown: its id and caption, font, size in dialog units,\n"
     "each control (class, id, text), the result it closed with, and the\n"
     "export's answer.\n"
     "\n"
     "Exit status: 0; 1 when the library cannot show it; 2 for a usage error.\n"},
};

const char* commandHelp(const std::string& name) {
    for (const auto& help : kCommandHelp)
        if (name == help.name) return help.text;
    return nullptr;
}

// ---- 2. Parsing -------------------------------------------------------------------------

struct Check {
    uint32_t id = 0;
    int32_t state = 0;
};

struct Arguments {
    std::string extension;  // empty: next to the program
    bool help = false;
    std::string command;
    std::vector<std::string> operands;
    bool json = false, trace = false;
    std::string svg, html, runtime;
    std::optional<TickRange> svgTicks;
    std::optional<std::string> text;
    std::vector<Check> checks;
};

struct UsageError {
    std::string message;
};

bool parseHex(std::string_view text, uint32_t& value) {
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) text.remove_prefix(2);
    if (text.empty()) return false;
    auto result = std::from_chars(text.data(), text.data() + text.size(), value, 16);
    return result.ec == std::errc() && result.ptr == text.data() + text.size();
}

bool parseDecimal(std::string_view text, int32_t& value) {
    if (text.empty()) return false;
    auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    return result.ec == std::errc() && result.ptr == text.data() + text.size();
}

Check parseCheck(const std::string& text) {
    size_t equals = text.find('=');
    Check check;
    if (equals == std::string::npos || !parseHex(std::string_view(text).substr(0, equals), check.id) ||
        !parseDecimal(std::string_view(text).substr(equals + 1), check.state))
        throw UsageError{"--check wants ID=STATE with a hexadecimal ID and a decimal STATE, as 0x80002=1; got '" +
                         text + "'"};
    return check;
}

// FROM:TO, both whole numbers (digits only), FROM <= TO.
TickRange parseTickRange(const std::string& text) {
    auto whole = [](std::string_view digits, int64_t& value) {
        if (digits.empty() || digits.find_first_not_of("0123456789") != std::string_view::npos) return false;
        auto result = std::from_chars(digits.data(), digits.data() + digits.size(), value);
        return result.ec == std::errc() && result.ptr == digits.data() + digits.size();
    };
    const size_t colon = text.find(':');
    TickRange range;
    if (colon == std::string::npos || !whole(std::string_view(text).substr(0, colon), range.from) ||
        !whole(std::string_view(text).substr(colon + 1), range.to) || range.from > range.to)
        throw UsageError{"--svg-ticks wants FROM:TO, two whole numbers with FROM <= TO (as 0:99), not '" + text + "'"};
    return range;
}

// Which options each command takes; the rest of its words are operands.
bool takesOption(const std::string& command, const std::string& option) {
    if (command == "run") return option == "--trace" || option == "--svg" || option == "--svg-ticks" ||
                                   option == "--html" || option == "--runtime";
    if (command == "catalogue") return option == "--json";
    if (command == "editdata") return option == "--text" || option == "--check";
    return false;
}

// Fills `args` as far as it gets, so that a usage message can name the command.
void parseArguments(int argc, char** argv, Arguments& args) {
    auto value = [&](int& i, const std::string& option) {
        if (i + 1 >= argc) throw UsageError{option + " needs a value"};
        return std::string(argv[++i]);
    };
    for (int i = 1; i < argc; ++i) {
        std::string word = argv[i];
        if (word == "--extension") {
            args.extension = value(i, word);
        } else if (word.rfind("--extension=", 0) == 0) {
            args.extension = word.substr(12);
        } else if (word == "--help" || word == "-h") {
            args.help = true;
        } else if (word.size() > 1 && word[0] == '-') {
            if (args.command.empty()) throw UsageError{"unknown option '" + word + "'"};
            if (!takesOption(args.command, word))
                throw UsageError{"unknown option '" + word + "' for " + args.command};
            if (word == "--json") args.json = true;
            if (word == "--trace") args.trace = true;
            if (word == "--svg") args.svg = value(i, word);
            if (word == "--svg-ticks") args.svgTicks = parseTickRange(value(i, word));
            if (word == "--html") args.html = value(i, word);
            if (word == "--runtime") args.runtime = value(i, word);
            if (word == "--text") {
                if (args.text) throw UsageError{"--text given twice"};
                args.text = value(i, word);
            }
            if (word == "--check") args.checks.push_back(parseCheck(value(i, word)));
        } else if (args.command.empty()) {
            // An unknown word is not kept as the command: the usage hint then
            // points to the general help, which works.
            if (commandHelp(word) == nullptr) throw UsageError{"unknown command '" + word + "'"};
            args.command = word;
        } else {
            args.operands.push_back(word);
        }
    }
}

void wantOperands(const Arguments& args, size_t count, const char* what) {
    if (args.operands.size() < count) throw UsageError{args.command + " needs " + what};
    if (args.operands.size() > count) throw UsageError{"unexpected argument '" + args.operands[count] + "'"};
}

std::optional<AceKind> kindNamed(const std::string& name) {
    for (AceKind kind : {AceKind::Action, AceKind::Condition, AceKind::Expression})
        if (name == pluralName(kind)) return kind;
    return std::nullopt;
}

// Catches operand faults before anything is loaded.
void checkOperands(const Arguments& args) {
    if (args.command == "run") {
        wantOperands(args, 1, "a scenario file");
        if (args.svgTicks && args.svg.empty()) throw UsageError{"--svg-ticks needs --svg"};
    } else if (args.command == "menu") {
        wantOperands(args, 1, "actions, conditions or expressions");
        if (!kindNamed(args.operands[0]))
            throw UsageError{"menu wants actions, conditions or expressions, not '" + args.operands[0] + "'"};
    } else {
        wantOperands(args, 0, "");
    }
}

// ---- 3. Commands ---------------------------------------------------------------------------

void printRecord(const EditRecord& record) {
    std::cout << "size " << record.size() << '\n';
    std::vector<uint8_t> bytes = record.bytes();
    for (size_t i = 0; i < bytes.size(); ++i) {
        char hex[3];
        std::snprintf(hex, sizeof hex, "%02x", bytes[i]);
        std::cout << hex << (i % 16 == 15 || i + 1 == bytes.size() ? '\n' : ' ');
    }
}

int runEditdata(EditSession& session, const Arguments& args) {
    std::unique_ptr<EditRecord> record = session.editor.createRecord();
    if (record == nullptr) {
        std::cerr << "trivu-host: the extension refused to create an edit-time record\n";
        return kFailed;
    }
    if (args.text && !session.editor.setText(*record, trivu::platform::utf8ToUtf16(*args.text))) {
        std::cerr << "trivu-host: the edit-time record refused the text (a record holds at most "
                  << EditRecord::kMaxSize << " bytes)\n";
        return kFailed;
    }
    for (const Check& check : args.checks) session.editor.setCheck(*record, check.id, check.state);
    printRecord(*record);
    return kOk;
}

// `releaseEditor` frees the edit-time library, for a run on the run-time one.
int runCommand(EditSession& session, const Arguments& args, std::function<void()> releaseEditor) {
    const std::string& command = args.command;
    if (command == "run") {
        Pictures pictures({args.operands[0], args.svg, args.svgTicks, args.html});
        RunOptions options;
        options.scenarioPath = args.operands[0];
        options.trace = args.trace;
        options.report = pictures.report();
        options.beforeFirstFrame = [&pictures](std::ostream& err) { return pictures.open(err); };
        options.desktop = &session.desktop;
        options.runtimePath = args.runtime;
        options.releaseEditor = std::move(releaseEditor);
        return pictures.write(runScenario(session.library, options, std::cout, std::cerr), std::cerr);
    }
    if (command == "catalogue") {
        Catalogue catalogue = readCatalogue(session, std::cerr);
        if (args.json)
            printCatalogueJson(catalogue, std::cout);
        else
            printCatalogueMarkdown(catalogue, std::cout);
        return kOk;
    }
    if (command == "menu") return printMenu(session, *kindNamed(args.operands[0]), std::cout, std::cerr) ? kOk : kFailed;
    if (command == "editdata") return runEditdata(session, args);
    return printAbout(session, std::cout, std::cerr) ? kOk : kFailed;
}

// Loads the library and prepares it as the editor and runtime do: the host's
// runtime library before it, the desktop first (everything else may show a
// box), then Initialize.
int loadAndRun(const Arguments& args) {
    loadRuntimeLibrary();
    std::string error;
    std::string path = args.extension.empty() ? defaultExtensionPath() : args.extension;
    std::optional<Library> library = Library::load(path, &error);
    if (!library) {
        std::cerr << "trivu-host: " << error << '\n';
        return kFailed;
    }
    Desktop desktop;
    desktop.report = [](const std::string& line) { std::cerr << "trivu-host: desktop: " << line << '\n'; };
    Editor editor(*library);
    if (library->AttachDesktop) library->AttachDesktop(desktop.table());
    if (library->Initialize) library->Initialize(editor.block(), 1);

    // The desktop dies before the library; the library must not keep it.
    auto release = [&] {
        if (!library) return;
        if (library->Free) library->Free(editor.block());
        if (library->AttachDesktop) library->AttachDesktop(nullptr);
        library.reset();
    };
    EditSession session{*library, editor, desktop};
    int status = runCommand(session, args, release);
    std::cout.flush();
    release();
    return status;
}

}  // namespace
}  // namespace standin

// ---- 4. main ---------------------------------------------------------------------------------

namespace standin {
namespace {

int runMain(int argc, char** argv) {
    Arguments args;
    try {
        parseArguments(argc, argv, args);
        if (args.help) {
            std::cout << (args.command.empty() ? kUsageText : commandHelp(args.command));
            return kOk;
        }
        if (args.command.empty()) throw UsageError{"no command given"};
        checkOperands(args);
    } catch (const UsageError& usage) {
        std::cerr << "trivu-host: " << usage.message << "\n";
        std::cerr << "Run 'trivu-host" << (args.command.empty() ? "" : " " + args.command)
                  << " --help' for usage.\n";
        return kUsage;
    }
    return loadAndRun(args);
}

// Standard output, written with write(2) so that the first error is kept:
// stdio has forgotten it by the time its last flush fails.
class OutputBuffer : public std::streambuf {
public:
    OutputBuffer() { setp(buffer_, buffer_ + sizeof buffer_); }
    int error() const { return error_; }  // 0 while every write went through

protected:
    int_type overflow(int_type c) override {
        if (!drain()) return traits_type::eof();
        if (!traits_type::eq_int_type(c, traits_type::eof())) {
            *pptr() = traits_type::to_char_type(c);
            pbump(1);
        }
        return traits_type::not_eof(c);
    }
    int sync() override { return drain() ? 0 : -1; }

private:
    bool drain() {
        for (const char* p = pbase(); p < pptr() && error_ == 0;) {
            ssize_t n = ::write(STDOUT_FILENO, p, static_cast<size_t>(pptr() - p));
            if (n >= 0)
                p += n;
            else if (errno != EINTR)
                error_ = errno;
        }
        setp(buffer_, buffer_ + sizeof buffer_);
        return error_ == 0;
    }

    char buffer_[1 << 16];
    int error_ = 0;
};

// Output that did not reach its reader (a full disk, say) is a failure,
// whatever the command itself answered.
int runWithCheckedOutput(int argc, char** argv) {
    OutputBuffer buffer;
    std::streambuf* previous = std::cout.rdbuf(&buffer);
    int status = runMain(argc, argv);
    std::cout.flush();
    std::cout.rdbuf(previous);
    if (buffer.error() == 0) return status;
    std::cerr << "trivu-host: cannot write the output: " << std::strerror(buffer.error()) << '\n';
    return kFailed;
}

#if defined(_WIN32)
// Windows hands a program its words in the ANSI code page and turns "\n"
// into "\r\n" on the way out. The host reads its words as UTF-8 and prints
// the very bytes of the Linux build, so that both give the same trace.
std::vector<std::string> utf8Words() {
    int count = 0;
    wchar_t** words = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::string> out;
    for (int i = 0; words != nullptr && i < count; ++i)
        out.push_back(trivu::platform::utf16ToUtf8(std::u16string(words[i], words[i] + wcslen(words[i]))));
    LocalFree(words);
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
    return out;
}
#endif

}  // namespace
}  // namespace standin

int main(int argc, char** argv) {
#if defined(_WIN32)
    std::vector<std::string> words = standin::utf8Words();
    std::vector<char*> pointers;
    for (std::string& word : words) pointers.push_back(word.data());
    pointers.push_back(nullptr);
    argc = static_cast<int>(words.size());
    argv = pointers.data();
#endif
    return standin::runWithCheckedOutput(argc, argv);
}
