// Writes common/unicode_table.cpp, the engine's character table, from the
// Unicode Character Database (Debian's unicode-data package):
//
//   make_unicode_table UnicodeData.txt CaseFolding.txt OUTPUT
//
// Only the Linux build compiles it, and no build runs it: the table is
// committed, and a test runs this program again and compares. Each UTF-16
// unit gets its general category and its simple case folding (statuses C
// and S); units that the database leaves out are Cn and fold to themselves.
// The table has two stages: a block number for each 128 units, then per
// block an index into the list of distinct (category, folding) records, so
// that the many identical blocks (CJK, Hangul, private use, unassigned) are
// stored once.
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

constexpr unsigned kUnits = 0x10000;
constexpr unsigned kBlockShift = 7;
constexpr unsigned kBlockSize = 1u << kBlockShift;

// In the order of common/unicode.h's Category.
const char* const kCategories[] = {"Cn", "Lu", "Ll", "Lt", "Lm", "Lo", "Mn", "Mc", "Me", "Nd",
                                   "Nl", "No", "Pc", "Pd", "Ps", "Pe", "Pi", "Pf", "Po", "Sm",
                                   "Sc", "Sk", "So", "Zs", "Zl", "Zp", "Cc", "Cf", "Cs", "Co"};

[[noreturn]] void fail(const std::string& why) {
    std::fprintf(stderr, "make_unicode_table: %s\n", why.c_str());
    std::exit(1);
}

std::vector<std::string> fields(const std::string& line) {
    std::vector<std::string> out;
    std::stringstream in(line);
    for (std::string field; std::getline(in, field, ';');) {
        const size_t first = field.find_first_not_of(' '), last = field.find_last_not_of(' ');
        out.push_back(first == std::string::npos ? std::string() : field.substr(first, last - first + 1));
    }
    return out;
}

unsigned categoryNumber(const std::string& name) {
    for (unsigned i = 0; i < sizeof kCategories / sizeof kCategories[0]; ++i)
        if (name == kCategories[i]) return i;
    fail("unknown general category " + name);
}

// UnicodeData.txt: one line per code point, except the ranges written as a
// "<Name, First>" line and a "<Name, Last>" line.
void readCategories(const char* path, std::vector<unsigned>& category) {
    std::ifstream in(path);
    if (!in) fail(std::string("cannot read ") + path);
    unsigned rangeFirst = kUnits;
    for (std::string line; std::getline(in, line);) {
        const std::vector<std::string> f = fields(line);
        if (f.size() < 3) continue;
        const unsigned long code = std::stoul(f[0], nullptr, 16);
        if (code >= kUnits) break;  // the file is in code order
        const unsigned number = categoryNumber(f[2]);
        if (f[1].ends_with(", First>")) {
            rangeFirst = static_cast<unsigned>(code);
        } else if (f[1].ends_with(", Last>")) {
            if (rangeFirst == kUnits) fail("a range without its first line at " + f[0]);
            for (unsigned u = rangeFirst; u <= code; ++u) category[u] = number;
            rangeFirst = kUnits;
        } else {
            category[code] = number;
        }
    }
}

// CaseFolding.txt: "code; status; mapping; # name". C and S are the simple
// folding; F (full) and T (Turkic) are not.
std::string readFoldings(const char* path, std::vector<unsigned>& fold) {
    std::ifstream in(path);
    if (!in) fail(std::string("cannot read ") + path);
    std::string version;
    for (std::string line; std::getline(in, line);) {
        if (version.empty() && line.starts_with("# CaseFolding-")) {
            version = line.substr(14, line.find(".txt") - 14);
            continue;
        }
        if (line.empty() || line[0] == '#') continue;
        const std::vector<std::string> f = fields(line);
        if (f.size() < 3 || (f[1] != "C" && f[1] != "S")) continue;
        const unsigned long code = std::stoul(f[0], nullptr, 16), to = std::stoul(f[2], nullptr, 16);
        if (code >= kUnits) continue;  // two units to the engine, and neither is a letter
        if (to >= kUnits) fail("a unit of the BMP folds outside it: " + f[0]);
        fold[code] = static_cast<unsigned>(to);
    }
    if (version.empty()) fail("no version line in the case folding file");
    return version;
}

void writeList(std::ofstream& out, const std::vector<unsigned>& values, unsigned perLine) {
    for (size_t i = 0; i < values.size(); ++i) {
        out << (i % perLine == 0 ? "\n    " : " ") << values[i] << ',';
    }
    out << '\n';
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) fail("usage: make_unicode_table UnicodeData.txt CaseFolding.txt OUTPUT");
    std::vector<unsigned> category(kUnits, 0), fold(kUnits);
    for (unsigned u = 0; u < kUnits; ++u) fold[u] = u;
    readCategories(argv[1], category);
    const std::string version = readFoldings(argv[2], fold);

    // Records: category and the folding as a distance, modulo 2^16.
    std::map<std::pair<unsigned, unsigned>, unsigned> recordNumber;
    std::vector<std::pair<unsigned, unsigned>> records;
    std::vector<unsigned> recordOfUnit(kUnits);
    for (unsigned u = 0; u < kUnits; ++u) {
        const std::pair<unsigned, unsigned> record{category[u], (fold[u] - u) & 0xFFFF};
        auto [at, added] = recordNumber.try_emplace(record, static_cast<unsigned>(records.size()));
        if (added) records.push_back(record);
        recordOfUnit[u] = at->second;
    }
    std::map<std::vector<unsigned>, unsigned> blockNumber;
    std::vector<unsigned> blockOf, blocks;
    for (unsigned first = 0; first < kUnits; first += kBlockSize) {
        std::vector<unsigned> block(recordOfUnit.begin() + first, recordOfUnit.begin() + first + kBlockSize);
        auto [at, added] = blockNumber.try_emplace(block, static_cast<unsigned>(blockNumber.size()));
        if (added) blocks.insert(blocks.end(), block.begin(), block.end());
        blockOf.push_back(at->second);
    }
    if (records.size() > 256 || blockNumber.size() > 256) fail("the table outgrew its byte indexes");

    std::ofstream out(argv[3]);
    if (!out) fail(std::string("cannot write ") + argv[3]);
    out << "// The character table of the regular-expression engine, generated by\n"
           "// tools/make_unicode_table.cpp from the Unicode Character Database "
        << version
        << "\n"
           "// (UnicodeData.txt and CaseFolding.txt): do not edit. common/unicode.h\n"
           "// says how to read it.\n"
           "#include \"common/unicode.h\"\n\n"
           "namespace trivu::unicode {\n\n"
           "const char kVersion[] = \""
        << version << "\";\n\n";
    out << "const uint8_t kBlockOf[" << blockOf.size() << "] = {";
    writeList(out, blockOf, 16);
    out << "};\n\nconst uint8_t kRecordOf[" << blocks.size() << "] = {";
    writeList(out, blocks, 16);
    out << "};\n\nconst UnitRecord kRecords[" << records.size() << "] = {\n";
    for (const auto& [cat, delta] : records) out << "    {" << kCategories[cat] << ", " << delta << "},\n";
    out << "};\n\n}  // namespace trivu::unicode\n";
    return out.good() ? 0 : 1;
}
