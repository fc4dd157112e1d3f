// JSON ACEs: the document as a whole, the target pointer and the array
// builders, and the read side (conditions and expressions).
#pragma once

#include <cstdint>

#include "host/boundary/rundata.h"
#include "host/boundary/services.h"

namespace trivu {

// ---- The document ---------------------------------------------------------------
void loadDocument(RUNDATA& rd);         // action 2
void saveDocument(RUNDATA& rd);         // action 9
void newEmptyObject(RUNDATA& rd);       // action 10
void backupDocument(RUNDATA& rd);       // action 23
void restoreBackup(RUNDATA& rd);        // action 24
void clearSharedSlot(RUNDATA& rd);      // action 31
void clearBackupSlot(RUNDATA& rd);      // action 32
void clearDocument(RUNDATA& rd);        // action 33
bool sharedSlotIsEmpty(RUNDATA& rd);    // condition 10

// ---- Target and arrays ------------------------------------------------------------
void setTarget(RUNDATA& rd);            // action 5
void buildArrayOfKind(RUNDATA& rd);     // action 8
void buildArrayOfInstances(RUNDATA& rd);  // action 11
void numberColumn(RUNDATA& rd);         // action 12
void pushTextToTarget(RUNDATA& rd);     // action 15
void setBooleanInTarget(RUNDATA& rd);   // action 18
void setBooleanAtPointer(RUNDATA& rd);  // action 19
void buildArrayOfBooleans(RUNDATA& rd); // action 46

// Conditions 4, 7 and 8: raised by action 5 for the kind of the new target;
// true for the events that carry action 5's ID.
bool targetIdMatches(RUNDATA& rd);

// ---- Reading --------------------------------------------------------------------
intptr_t textAtPointer(RUNDATA& rd, ExpressionParams& params);       // expression 1
intptr_t textOfWorkElement(RUNDATA& rd, ExpressionParams& params);   // expression 3
intptr_t workArraySize(RUNDATA& rd, ExpressionParams& params);       // expression 4
intptr_t dumpWithIndent(RUNDATA& rd, ExpressionParams& params);      // expression 9
intptr_t textOfTarget(RUNDATA& rd, ExpressionParams& params);        // expression 10
intptr_t targetPath(RUNDATA& rd, ExpressionParams& params);          // expression 11
intptr_t numberOfTargetElement(RUNDATA& rd, ExpressionParams& params);  // expression 12

// What the array builder fills a member with, by the "Data Type" code of
// action 8 (5 and 6 come from action 46). Unknown codes give [].
enum ElementCode : int32_t {
    ELEMENTS_EMPTY = 0,
    ELEMENTS_NUMBERS = 1,
    ELEMENTS_STRINGS = 2,
    ELEMENTS_ARRAYS = 3,
    ELEMENTS_OBJECTS = 4,
    ELEMENTS_FALSE = 5,
    ELEMENTS_TRUE = 6,
};

// The array that codes other than ELEMENTS_OBJECTS put in place (n being the
// repeat count).
Json elementsOf(int32_t code, int32_t n);

// Action 12's row and column tokens: an optional sign after leading white
// space, then decimal digits; what follows is ignored. Throws for a token
// that does not begin with a number or lies outside 0 .. 2^31-1.
size_t indexToken(const std::string& token);

// Action 12's walk over the rows of `table`, from `row` on: see aces.cpp.
void writeColumn(Json& table, size_t row, size_t column, int32_t repeat, int32_t start, int32_t step);

}  // namespace trivu
