// The stand-in host's scenario parser: its input is written by hand. The
// description tables come from the extension's own exports, as the host
// reads them from the loaded library.
#include <string>
#include <vector>

#include "tests/fuzz/targets.h"
#include "trivu-host/play/library.h"
#include "trivu-host/scenario/scenario.h"

namespace fuzz {
namespace {

const standin::AceDescriptions& descriptions() {
    static const standin::AceDescriptions tables = [] {
        standin::Library library;
        library.GetActionInfos = ::GetActionInfos;
        library.GetConditionInfos = ::GetConditionInfos;
        library.GetExpressionInfos = ::GetExpressionInfos;
        ::GetRunObjectInfos(nullptr, &library.infos);
        return standin::readDescriptions(library, nullptr);
    }();
    return tables;
}

}  // namespace

int scenario(const uint8_t* data, size_t size) {
    std::vector<std::string> errors;
    std::string_view text(reinterpret_cast<const char*>(data), size);
    auto parsed = standin::parseScenario(text, "fuzz.json", descriptions(), &errors);
    if (parsed.has_value() != errors.empty()) violated("a scenario was refused without a reason, or kept with one");
    return 0;
}

}  // namespace fuzz
