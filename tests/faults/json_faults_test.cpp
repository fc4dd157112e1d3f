// The JSON store under failing allocations and failing file writes: the
// document and the saved files stay as they were or become what the call
// makes of them, never anything else.
#include <gtest/gtest.h>

#include <sys/resource.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>

#include "tests/faults/inject.h"
#include "tests/faults/sequence.h"
#include "tests/unit/fake_host.h"

namespace {

namespace fs = std::filesystem;

constexpr char kDocument[] =
    R"({"a":[1,2.5,{"b":true}],"s":"text","o":{"k":[[0,1],[2,3]],"e":[]},"t":[false,"x"]})";

std::string contentOf(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) return "<none>";
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void write(const fs::path& file, const std::string& text) { std::ofstream(file, std::ios::binary) << text; }

std::u16string hostText(const fs::path& file) {
    std::string s = file.string();
    return {s.begin(), s.end()};  // the folder's name is ASCII
}

// A folder of the test's own, with the document to load and an old saved
// file that every save replaces.
class Folder {
public:
    Folder() {
        char name[] = "/tmp/trivu-faults-XXXXXX";
        path_ = mkdtemp(name);
        write(path_ / "in.json", kDocument);
    }
    ~Folder() {
        std::error_code ignored;
        fs::remove_all(path_, ignored);
    }
    const fs::path& path() const { return path_; }
    // The folder's files and their contents, in name order.
    std::string listing() const {
        std::vector<fs::path> files;
        for (const auto& entry : fs::directory_iterator(path_)) files.push_back(entry.path());
        std::sort(files.begin(), files.end());
        std::string out;
        for (const fs::path& f : files) out += f.filename().string() + "=" + contentOf(f) + "\n";
        return out;
    }

private:
    fs::path path_;
};

struct JsonWorld {
    std::optional<Folder> folder;
    std::optional<test::RecordingDesktop> desktop;
    std::optional<test::Instance> instance;
    std::u16string in, out, packed;

    void start() {
        ++test::hostSide;
        finish();
        folder.emplace();
        write(folder->path() / "out.json", "OLD");
        in = hostText(folder->path() / "in.json");
        out = hostText(folder->path() / "out.json");
        packed = hostText(folder->path() / "out.msgpack");
        desktop.emplace();
        instance.emplace(0);
        --test::hostSide;
    }
    void finish() {
        ++test::hostSide;
        instance.reset();
        desktop.reset();
        folder.reset();
        --test::hostSide;
    }
    std::string observe() {
        RUNDATA& rd = instance->rd();
        return rd.document.dump() + (rd.target == &rd.document ? " target " : " no target ") + folder->listing();
    }
};

JsonWorld world;

// Parameters made on the host's side, so that only the extension's requests count.
template <typename... Params>
void action(int code, Params... params) {
    ++test::hostSide;
    std::vector<test::Param> queued{test::Param(params)...};
    --test::hostSide;
    world.instance->action(code, std::move(queued));
}

TEST(AllocationFailures, LoadBuildSaveAndBackUpADocument) {
    faults::Sequence sequence{
        [] { world.start(); },
        {
            {"load", [] { action(2, world.in.c_str()); }},
            {"target", [] { action(5, u"/a", int32_t{1}); }},
            {"numbers", [] { action(8, u"/n", int32_t{5}, int32_t{1}); }},
            {"objects", [] { action(8, u"/o/e", int32_t{2}, int32_t{4}); }},
            {"booleans", [] { action(46, u"/b", int32_t{3}, int32_t{1}); }},
            {"sequence", [] { action(12, u"/o/k", u"2, 10, -3"); }},
            {"push", [] { action(15, u"pushed"); }},
            {"boolean", [] { action(19, u"/a/2/b", int32_t{0}); }},
            {"save compact", [] { action(9, world.out.c_str(), u"0,0"); }},
            {"save indented", [] { action(9, world.out.c_str(), u"0,1"); }},
            {"save packed", [] { action(9, world.packed.c_str(), u"1,0"); }},
            {"back up", [] { action(23); }},
            {"clear", [] { action(33); }},
            {"restore", [] { action(24); }},
        },
        [] { return world.observe(); },
        [] { world.finish(); }};
    int points = faults::runWithFailures(sequence);
    EXPECT_GT(points, 0);
    std::printf("JSON store: %d injection points (%llu requests of the library's destructor passed over)\n",
                points, static_cast<unsigned long long>(faults::passedOver()));
}

// A file write that fails part way (the file-size limit stands in for a
// full disk): the old file stays whole and no temporary file is left.
TEST(FileWriteFailures, TheOldFileStaysWhole) {
    Folder folder;
    const std::string old(4000, 'o');
    write(folder.path() / "out.json", old);
    test::RecordingDesktop desktop;
    test::Instance instance(0);
    instance.action(8, {u"/big", int32_t{20000}, int32_t{1}});  // far beyond the limit below
    std::u16string out = hostText(folder.path() / "out.json");

    auto handler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    struct Form {
        const char16_t* options;
        const char* name;
    };
    for (Form form : {Form{u"0,0", "compact"}, Form{u"0,1", "indented"}, Form{u"1,0", "MessagePack"}}) {
        rlimit small = saved;
        small.rlim_cur = 1024;
        setrlimit(RLIMIT_FSIZE, &small);
        instance.action(9, {out.c_str(), form.options});
        setrlimit(RLIMIT_FSIZE, &saved);
        EXPECT_TRUE(folder.listing() == std::string("in.json=") + kDocument + "\nout.json=" + old + "\n") << form.name;
    }
    std::signal(SIGXFSZ, handler);

    instance.action(9, {out.c_str(), u"0,0"});  // and without the limit, the save is made
    EXPECT_EQ(contentOf(folder.path() / "out.json"), instance.rd().document.dump());
}

}  // namespace
