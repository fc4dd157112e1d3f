// The editor's side: its information block (mV), the header of every
// edit-time record, the property sheet and its value classes.
#pragma once

#include <cstring>

#include "sdk/types.h"

// Version word answered by mv::mvGetVersion: major version in the high half,
// build number in the low bits.
inline constexpr uint32_t MMFVERSION_MASK = 0xFFFF0000u;
inline constexpr uint32_t MMFBUILD_MASK = 0x00000FFFu;
inline constexpr uint32_t MMFVERSION_20 = 0x02000000u;

// Header of every edit-time record; the host writes it.
struct extHeader {
    uint32_t extSize;  // size of the whole record in bytes
    uint32_t extMaxSize;
    uint32_t extVersion;
    uint32_t extID;
    uint32_t extPrivateData;
};
static_assert(sizeof(extHeader) == 20);

// One property of the property sheet.
struct PropData {
    uint32_t dwID;
    uint32_t sName;  // string resource of the name
    uint32_t sInfo;  // string resource of the help line
    uint32_t type;   // PROPTYPE_*
    uint32_t options;
    intptr_t lCreateParam;
};

inline constexpr uint32_t PROPTYPE_EDIT_STRING = 1005;
inline constexpr uint32_t PROPTYPE_LEFTCHECKBOX = 1010;
inline constexpr uint32_t PROPOPT_CHECKBOX = 1;
inline constexpr uint32_t PROPID_TAB_GENERAL = 0x00010001u;

struct mv;

// The editor's information block.
struct mv {
    HWND mvHEditWin;  // the editor's window, owner of modal dialogs
    uint32_t(WINAPI* mvGetVersion)(mv* mV);
    // Resizes the record; keeps its content; answers the new record or null.
    void*(WINAPI* mvReAllocEditData)(mv* mV, void* edPtr, uint32_t newSize);
    // Adds properties to the sheet after (or before) the property `insertId`.
    void(WINAPI* mvInsertProps)(mv* mV, void* edPtr, const PropData* props, uint32_t insertId,
                                int32_t after);
    // Opens a help file.
    void(WINAPI* mvHelp)(mv* mV, const char16_t* helpFile);
    void* mvHostContext;  // the host's own
};

// Property values travel as objects of these classes; whoever receives one
// releases it with Delete(), which frees it on the side that made it.
class CPropValue {
public:
    virtual ~CPropValue() = default;
    virtual void Delete() { delete this; }
    virtual CPropValue* CreateCopy() = 0;
    virtual int32_t IsEqual(CPropValue* other) = 0;
    virtual uint32_t GetClassID() = 0;
};

class CPropWStringValue : public CPropValue {
public:
    static constexpr uint32_t ClassID = 0x53545257;  // 'STRW'

    explicit CPropWStringValue(const char16_t* text) : m_dwDummy(0), m_pStr(copyOf(text)) {}
    CPropWStringValue(const CPropWStringValue&) = delete;
    CPropWStringValue& operator=(const CPropWStringValue&) = delete;
    ~CPropWStringValue() override { delete[] m_pStr; }

    // Frees the text, then the object.
    void Delete() override { delete this; }
    CPropValue* CreateCopy() override { return new CPropWStringValue(m_pStr ? m_pStr : u""); }
    int32_t IsEqual(CPropValue* other) override {
        auto* o = static_cast<CPropWStringValue*>(other);
        if (m_pStr == nullptr || o->m_pStr == nullptr) return m_pStr == o->m_pStr;
        return lengthOf(m_pStr) == lengthOf(o->m_pStr) &&
               std::memcmp(m_pStr, o->m_pStr, lengthOf(m_pStr) * sizeof(char16_t)) == 0;
    }
    uint32_t GetClassID() override { return ClassID; }
    const char16_t* GetString() const { return m_pStr; }

    int32_t m_dwDummy;
    char16_t* m_pStr;

private:
    static size_t lengthOf(const char16_t* s) {
        size_t n = 0;
        while (s[n] != 0) ++n;
        return n;
    }
    static char16_t* copyOf(const char16_t* s) {
        if (s == nullptr) return nullptr;
        size_t n = lengthOf(s);
        auto* copy = new char16_t[n + 1];
        std::memcpy(copy, s, (n + 1) * sizeof(char16_t));
        return copy;
    }
};
