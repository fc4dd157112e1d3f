// The editor's side: its information block (mV), the header of every
// edit-time record, the property sheet and its value classes.
#pragma once

#include <cstdlib>
#include <cstring>
#include <new>

#include "sdk/types.h"

struct RunHeader;

// Version word answered by mv::mvGetVersion: major and minor version in the
// high half, edition flags and the build number in the low half.
inline constexpr uint32_t MMFVERSION_MASK = 0xFFFF0000u;
inline constexpr uint32_t MMFBUILD_MASK = 0x00000FFFu;
inline constexpr uint32_t MMFVERSION_20 = 0x02000000u;

// Header of every edit-time record; the host writes it. It is stored in game
// files, so it is 20 bytes on every build: the two fields that are pointers
// in the host's declaration are kept as 32-bit words.
struct extHeader {
    uint32_t extSize;  // size of the whole record in bytes
    uint32_t extMaxSize;
    uint32_t extVersion;
    uint32_t extID;
    uint32_t extPrivateData;
};
static_assert(sizeof(extHeader) == 20);

// One property of the property sheet; a table of them ends with an entry
// whose dwID is 0.
struct PropData {
    int32_t dwID;
    uintptr_t sName;  // string resource of the name (or a text pointer)
    uintptr_t sInfo;  // string resource of the help line (or a text pointer)
    uintptr_t lType;  // PROPTYPE_*
    uint32_t dwOptions;  // PROPOPT_*
    intptr_t lCreateParam;
};

inline constexpr uintptr_t PROPTYPE_EDIT_STRING = 1005;
inline constexpr uintptr_t PROPTYPE_LEFTCHECKBOX = 1010;
inline constexpr uint32_t PROPOPT_CHECKBOX = 0x1;
inline constexpr uint32_t PROPID_TAB_GENERAL = 1;  // the general tab, where TRIVU inserts its properties

// Function codes of mv::mvCallFunction (its first argument is the edit record).
enum : int32_t {
    EF_INSERTPROPS = 1,   // (table, id to insert after, after?) adds properties to the sheet
    EF_REALLOCEDATA = 5,  // (record, new size) answers the record, perhaps moved, or null
};

// The editor's information block, packed to 2 like the run-time blocks
// (sdk/object.h says how to use packed fields). Only the fields the project
// uses are named; the bytes between them are the host's own.
#pragma pack(push, 2)
struct mv {
    HINSTANCE mvHInst;
    void* mvIdAppli;
    void* mvIdMainWin;
    void* mvIdEditWin;
    HWND mvHMainWin;
    HWND mvHEditWin;  // the editor's window, owner of modal dialogs
    void* mvHPal256;
    uint16_t mvAppMode;
    uint16_t mvScrMode;
    uint8_t mvFree0[28];
    RunHeader* mvRunHdr;
    uint32_t mvPrefs;
    uint8_t mvFree1[184];
    uint8_t mvFree2[20];  // the language and module-text fields of newer hosts
    void* mvHelpA;
    uint8_t mvFree3[60];
    uint32_t(WINAPI* mvGetVersion)();
    intptr_t(WINAPI* mvCallFunction)(void* edPtr, int32_t function, intptr_t a, intptr_t b, intptr_t c);
    void(WINAPI* mvHelpW)(const char16_t* helpFile, uint32_t id, intptr_t l);
};
#pragma pack(pop)

// Property values travel as objects of these classes, with the virtual table
// of the host's compiler: five slots, each a member call with the object as
// its hidden first argument (on the 32-bit build the i686 compiler's member
// calls are the host's thiscall):
//   0  DestroyAndFree(flags): the host's deleting destructor; destroys the
//      value and, with bit 0 of flags, frees its memory
//   1  Delete(): frees the value on the side that made it
//   2  CreateCopy()   3  IsEqual(other)   4  GetClassID()
// There is no virtual destructor (it would take two slots here): the base's
// destructor is protected, and whoever receives a value releases it with
// Delete().
class CPropValue {
public:
    virtual void* DestroyAndFree(uint32_t flags) = 0;
    virtual void Delete() = 0;
    virtual CPropValue* CreateCopy() = 0;
    virtual int32_t IsEqual(CPropValue* other) = 0;
    virtual uint32_t GetClassID() = 0;

protected:
    CPropValue() = default;
    ~CPropValue() = default;
};

// A wide text: an unused word (where the data value keeps its size), then the
// text, allocated with the C runtime and freed by Delete on the same side.
class CPropWStringValue final : public CPropValue {
public:
    static constexpr uint32_t ClassID = 0x53545257;  // 'STRW'

    explicit CPropWStringValue(const char16_t* text) : m_dwUnused(0), m_pWStr(copyOf(text)) {}
    CPropWStringValue(const CPropWStringValue&) = delete;
    CPropWStringValue& operator=(const CPropWStringValue&) = delete;
    ~CPropWStringValue() { std::free(m_pWStr); }  // final: no value is destroyed through a base

    void* DestroyAndFree(uint32_t flags) override {
        if ((flags & 1u) != 0)
            delete this;
        else
            this->~CPropWStringValue();
        return this;
    }
    void Delete() override { delete this; }
    CPropValue* CreateCopy() override { return new CPropWStringValue(m_pWStr ? m_pWStr : u""); }
    int32_t IsEqual(CPropValue* other) override {
        if (other == nullptr || other->GetClassID() != ClassID) return 0;
        auto* o = static_cast<CPropWStringValue*>(other);
        if (m_pWStr == nullptr || o->m_pWStr == nullptr) return m_pWStr == o->m_pWStr;
        return lengthOf(m_pWStr) == lengthOf(o->m_pWStr) &&
               std::memcmp(m_pWStr, o->m_pWStr, lengthOf(m_pWStr) * sizeof(char16_t)) == 0;
    }
    uint32_t GetClassID() override { return ClassID; }
    const char16_t* GetString() const { return m_pWStr; }

    uint32_t m_dwUnused;
    char16_t* m_pWStr;

private:
    static size_t lengthOf(const char16_t* s) {
        size_t n = 0;
        while (s[n] != 0) ++n;
        return n;
    }
    static char16_t* copyOf(const char16_t* s) {
        if (s == nullptr) return nullptr;
        size_t n = lengthOf(s);
        auto* copy = static_cast<char16_t*>(std::malloc((n + 1) * sizeof(char16_t)));
        if (copy == nullptr) throw std::bad_alloc();
        std::memcpy(copy, s, (n + 1) * sizeof(char16_t));
        return copy;
    }
};
