// EDITDATA: the edit-time record, stored byte for byte in the game file.
#pragma once

#include <cstddef>

#include "sdk/editor.h"

// The four option flags keep their numeric encoding everywhere: "on" is the
// flag's own value, "off" is 0, and every test compares with the "on" value.
inline constexpr int32_t FORCE_POPUP_ON = 1;
inline constexpr int32_t REGEX_ICASE_ON = 2;
inline constexpr int32_t REGEX_CONTROL_CHARS_ON = 3;
inline constexpr int32_t JSON_SHARE_ON = 4;

// The property sheet's ids of the TEXT property and the four check boxes, as
// the editor and every program that fills a record name them.
inline constexpr uint32_t PROPID_TEXT = 0x80001;
inline constexpr uint32_t PROPID_FORCE_POPUP = 0x80002;
inline constexpr uint32_t PROPID_REGEX_ICASE = 0x80003;
inline constexpr uint32_t PROPID_REGEX_CONTROL_CHARS = 0x80004;
inline constexpr uint32_t PROPID_JSON_SHARE = 0x80005;

struct EDITDATA {
    extHeader eHeader;          // written by the host
    int32_t forcePopup;         // 1: error boxes are forced
    int32_t regexIcase;         // 2: case-insensitive regular expressions
    int32_t regexControlChars;  // 3: control-character escapes in replacements
    int32_t jsonShare;          // 4: the document moves from frame to frame
    char16_t text[2];           // the TEXT property; really n units and a zero,
                                // then 4 spare bytes: the record grows with it
};

// The fixed part the host is told about: header, flags and room for two units.
inline constexpr uint32_t EDITDATA_FIXED_SIZE = 40;
static_assert(sizeof(EDITDATA) == EDITDATA_FIXED_SIZE);
static_assert(offsetof(EDITDATA, forcePopup) == 20 && offsetof(EDITDATA, text) == 36);

// Record size that holds a text of `units` code units.
inline constexpr uint32_t editDataSizeFor(size_t units) {
    return static_cast<uint32_t>(EDITDATA_FIXED_SIZE + 2 * (units + 1));
}
