// Regular-expression ACEs.
#pragma once

#include "host/boundary/services.h"

namespace trivu {

void toggleCaseSensitivity(RUNDATA& rd);    // action 3
void toggleControlCharacters(RUNDATA& rd);  // action 4

bool partialMatch(RUNDATA& rd);   // condition 1
bool mismatchHasId(RUNDATA& rd);  // condition 2
bool exactMatch(RUNDATA& rd);     // condition 5

intptr_t replaceInText(RUNDATA& rd, ExpressionParams& params);         // expression 2
intptr_t exactMatchCount(RUNDATA& rd, ExpressionParams& params);       // expression 5
intptr_t exactMatchAt(RUNDATA& rd, ExpressionParams& params);          // expression 6
intptr_t partialMatchCount(RUNDATA& rd, ExpressionParams& params);     // expression 7
intptr_t partialMatchAt(RUNDATA& rd, ExpressionParams& params);        // expression 8

void pushExactMatches(RUNDATA& rd);    // action 52
void pushPartialMatches(RUNDATA& rd);  // action 53

// The text of expressions 6 and 8 for an index outside a non-empty list.
inline constexpr const char16_t* kNoSuchSubMatch = u"No Such Elements in Regex Sub-Matches";

}  // namespace trivu
