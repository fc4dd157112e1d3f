// The debug text of expression 14: the motion groups and records of the
// registry, one line each.
#pragma once

#include <string>

namespace trivu {

// The buffer the text is built in, kept in host/lifetimes.h as long as the
// library lives.
std::u16string& debugText();

// Rebuilds the debug text for the group named `group` (every
// group when empty) and answers it; it stays valid until the next call.
const std::u16string& buildDebugText(const std::u16string& group);

}  // namespace trivu
