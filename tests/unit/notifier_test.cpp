// Which boxes each forcePopup value lets through.
#include <gtest/gtest.h>

#include <stdexcept>

#include "common/notifier.h"
#include "fake_host.h"
#include "host/catalogue.h"

using namespace trivu;

namespace {

struct Shown {
    bool forced, lenient, always;
};

Shown shownFor(int32_t forcePopup) {
    test::RecordingDesktop desktop;
    test::Instance instance(forcePopup);
    Shown shown{};
    notify(instance.rd(), notices::notSprite);
    shown.forced = desktop.boxes.size() == 1;
    notify(instance.rd(), Gate::Lenient, "x", "DEBUG");
    shown.lenient = desktop.boxes.size() == (shown.forced ? 2u : 1u);
    size_t before = desktop.boxes.size();
    notify(instance.rd(), notices::restriction);
    shown.always = desktop.boxes.size() == before + 1;
    return shown;
}

}  // namespace

TEST(Notifier, GatesEachClassByForcePopup) {
    Shown off = shownFor(0), on = shownFor(1), other = shownFor(5);
    EXPECT_FALSE(off.forced);
    EXPECT_FALSE(off.lenient);
    EXPECT_TRUE(off.always);
    EXPECT_TRUE(on.forced);
    EXPECT_TRUE(on.lenient);
    EXPECT_TRUE(on.always);
    // A value written by another tool: only the lenient test lets it through.
    EXPECT_FALSE(other.forced);
    EXPECT_TRUE(other.lenient);
    EXPECT_TRUE(other.always);
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

TEST(Notifier, MissingPathMessageQuotesThePath) {
    EXPECT_EQ(missingPathMessage(u"data/x.json"),
              u"ERR :: Missing :: check the file path below \n\n \"data/x.json\" ");
}
