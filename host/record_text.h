// The TEXT property as stored in an edit-time record.
#pragma once

#include <string>

#include "host/boundary/editdata.h"

namespace trivu {

// The record's text up to its terminator, never reading past the record's
// size (a record written by another tool may lack the terminator).
inline std::u16string recordText(const EDITDATA& ed) {
    uint32_t size = ed.eHeader.extSize >= EDITDATA_FIXED_SIZE ? ed.eHeader.extSize : EDITDATA_FIXED_SIZE;
    size_t units = (size - offsetof(EDITDATA, text)) / sizeof(char16_t);
    const char16_t* text = ed.text;
    size_t n = 0;
    while (n < units && text[n] != 0) ++n;
    return std::u16string(text, n);
}

}  // namespace trivu
