#include "common/aces.h"

#include <memory>

namespace trivu {

void setText(RUNDATA& rd) {
    auto text = std::make_unique<std::u16string>(textParam(rd));
    delete rd.text;
    rd.text = text.release();
}

intptr_t getText(RUNDATA& rd, ExpressionParams&) {
    return textResult(rd, rd.text != nullptr ? rd.text->c_str() : u"");
}

}  // namespace trivu
