// The table of messages: what each row's box shows and for which forcePopup
// values, and that the reference lists every row.
#include <gtest/gtest.h>

#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "common/notifier.h"
#include "fake_host.h"
#include "host/catalogue.h"

using namespace trivu;

namespace {

// The box a row shows with this error message or path.
test::Box expectedBox(const Message& m) {
    switch (m.filling) {
        case Filling::None: return {std::string(m.caption), std::string(m.text), false};
        case Filling::Error: return {std::string(m.caption), "the error", false};
        case Filling::Path:
            return {std::string(m.caption), std::string(m.text) + "data/x.json" + std::string(m.after), true};
    }
    return {};
}

void show(RUNDATA& rd, const Message& m) {
    if (m.filling == Filling::Path)
        notifyPath(rd, m.id, u"data/x.json");
    else
        notify(rd, m.id, "the error");
}

}  // namespace

TEST(Notifier, EachRowShowsItsBoxForTheValuesItsGateLetsThrough) {
    // 5: a value only a record written by another tool holds.
    for (int32_t forcePopup : {0, 1, 5}) {
        for (const Message& m : kMessages) {
            test::RecordingDesktop desktop;
            test::Instance instance(forcePopup);
            show(instance.rd(), m);
            const bool wanted = m.gate == Gate::Always || (m.gate == Gate::Forced && forcePopup == 1) ||
                                (m.gate == Gate::Lenient && forcePopup != 0);
            const auto expected = wanted ? std::vector<test::Box>{expectedBox(m)} : std::vector<test::Box>{};
            EXPECT_EQ(desktop.boxes, expected) << "row " << static_cast<int>(m.id) << ", forcePopup " << forcePopup;
        }
    }
}

TEST(Notifier, APathMessageQuotesThePath) {
    test::RecordingDesktop desktop;
    test::Instance instance(1);
    notifyPath(instance.rd(), MessageId::PathMissing, u"data/x.json");
    EXPECT_EQ(desktop.boxes, (std::vector<test::Box>{
                                 {"Not Found the File.....",
                                  "ERR :: Missing :: check the file path below \n\n \"data/x.json\" ", true}}));
}

TEST(Notifier, JsonPointerErrorsShowDebugAndRaiseConditionThree) {
    test::RecordingDesktop desktop;
    test::Instance instance(2);
    reportJsonPointerError(instance.rd(), std::out_of_range("key 'zz' not found"));
    ASSERT_EQ(desktop.boxes.size(), 1u);
    EXPECT_EQ(desktop.boxes[0], (test::Box{"DEBUG", "key 'zz' not found"}));
    EXPECT_EQ(instance.events, std::vector<int>{CND_JSON_POINTER_ERROR});
}

TEST(Notifier, RegexErrorsShowInfoOnlyWhenForced) {
    test::RecordingDesktop desktop;
    test::Instance lenient(2), forced(1);
    showRegexError(lenient.rd(), std::runtime_error("bad pattern"));
    EXPECT_TRUE(desktop.boxes.empty());
    showRegexError(forced.rd(), std::runtime_error("bad pattern"));
    EXPECT_EQ(desktop.boxes, (std::vector<test::Box>{{"INFO", "bad pattern"}}));
}

// ---- The reference's table of messages ----------------------------------------------

namespace {

using Row = std::vector<std::string>;

std::string trimmed(const std::string& s) {
    const size_t first = s.find_first_not_of(' ');
    if (first == std::string::npos) return {};
    return s.substr(first, s.find_last_not_of(' ') - first + 1);
}

// A table line's cells; a "\|" stays in its cell, as the table writes a "|".
Row cellsOf(const std::string& line) {
    Row cells;
    std::string cell;
    for (size_t i = 1; i < line.size(); ++i) {
        if (line[i] == '|' && line[i - 1] != '\\') {
            cells.push_back(trimmed(cell));
            cell.clear();
        } else {
            cell += line[i];
        }
    }
    return cells;
}

// The rows of the table under "## Messages" in docs/reference.md, without
// its head.
std::vector<Row> referenceRows() {
    std::ifstream in(TRIVU_SOURCE_DIR "/docs/reference.md", std::ios::binary);
    if (!in) throw std::runtime_error("cannot read docs/reference.md");
    std::vector<Row> rows;
    bool inside = false, head = true;
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.starts_with("## ")) {
            inside = line == "## Messages";
            continue;
        }
        if (!inside || !line.starts_with("|") || line.starts_with("|---")) continue;
        if (!head) rows.push_back(cellsOf(line));
        head = false;
    }
    return rows;
}

// A fixed part as a table cell writes it: a line feed as \n (as the trace
// does), a "|" as "\|".
std::string inCell(std::string_view text) {
    std::string out;
    for (char c : text) {
        if (c == '\n')
            out += "\\n";
        else if (c == '|')
            out += "\\|";
        else
            out += c;
    }
    return out;
}

// The three texts one after the other.
std::string joined(std::string_view before, std::string_view text, std::string_view after) {
    std::string out(before);
    out += text;
    out += after;
    return out;
}

// The row says the message's text (in code), its caption and its gate.
bool rowSays(const Row& row, const Message& m) {
    if (row.size() < 3 || row[1] != joined("`", m.caption, "`")) return false;
    const std::string& text = row[0];
    bool textSaid = false;
    switch (m.filling) {
        case Filling::None: textSaid = text.find(joined("`", inCell(m.text), "`")) != std::string::npos; break;
        case Filling::Path:
            textSaid = text.find(joined("`", inCell(m.text), "")) != std::string::npos &&
                       text.find(joined("", inCell(m.after), "`")) != std::string::npos;
            break;
        case Filling::Error: textSaid = !text.starts_with("`") && text.find("message") != std::string::npos; break;
    }
    const std::string& gate = row[2];
    const bool lenient = gate.find("(lenient)") != std::string::npos;
    const bool onlyOn = gate.find("only with the Debug property on") != std::string::npos;
    switch (m.gate) {
        case Gate::Forced: return textSaid && onlyOn && !lenient;
        case Gate::Lenient: return textSaid && onlyOn && lenient;
        case Gate::Always: return textSaid && gate.find("whatever the Debug property says") != std::string::npos;
    }
    return false;
}

}  // namespace

// Every message of the code has its row in the reference's table (its text
// and caption in code, as the box shows them, and when the Debug property
// silences it), and every row there is a message of the code.
TEST(Notifier, TheReferenceListsEveryMessage) {
    const std::vector<Row> rows = referenceRows();
    std::vector<bool> used(rows.size(), false);
    for (const Message& m : kMessages) {
        bool found = false;
        for (size_t r = 0; r < rows.size(); ++r) {
            if (!rowSays(rows[r], m)) continue;
            found = used[r] = true;
        }
        const char* gate = m.gate == Gate::Always ? "always" : m.gate == Gate::Forced ? "forced" : "lenient";
        EXPECT_TRUE(found) << "docs/reference.md, \"Messages\": no row with the text \"" << inCell(m.text)
                           << (m.filling == Filling::Path ? joined("PATH", inCell(m.after), "") : "")
                           << "\", the caption \""
                           << m.caption << "\" and the gate " << gate;
    }
    for (size_t r = 0; r < rows.size(); ++r) {
        std::string line;
        for (const std::string& cell : rows[r]) line += joined("| ", cell, " ");
        EXPECT_TRUE(used[r]) << "docs/reference.md, \"Messages\": a row that is no message of common/messages.h: "
                             << line;
    }
}
