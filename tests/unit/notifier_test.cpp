// The table of messages: what each row's box shows and for which forcePopup
// values.
#include <gtest/gtest.h>

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
