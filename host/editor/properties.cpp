// Frame-editor exports: the edit-time record's creation, its property sheet,
// the object's information and the about box.
#include <cstring>
#include <string>

#include "host/boundary/editdata.h"
#include "host/editor/editor_support.h"
#include "host/boundary/guard.h"
#include "host/record_text.h"
#include "platform/platform.h"
#include "sdk/exports.h"

using namespace trivu;

namespace {

constexpr char16_t kDefaultText[] = u"日本語表現";
constexpr int kAboutDialog = 20003;
constexpr int kAboutHelpCommand = 20004;

// Names and help lines are string resources 400 to 409; the table ends with
// an entry whose id is 0.
const PropData kProperties[] = {
    {PROPID_TEXT, 400, 401, PROPTYPE_EDIT_STRING, 0, 0},
    {PROPID_FORCE_POPUP, 402, 403, PROPTYPE_LEFTCHECKBOX, PROPOPT_CHECKBOX, 0},
    {PROPID_REGEX_ICASE, 404, 405, PROPTYPE_LEFTCHECKBOX, PROPOPT_CHECKBOX, 0},
    {PROPID_REGEX_CONTROL_CHARS, 406, 407, PROPTYPE_LEFTCHECKBOX, PROPOPT_CHECKBOX, 0},
    {PROPID_JSON_SHARE, 408, 409, PROPTYPE_LEFTCHECKBOX, PROPOPT_CHECKBOX, 0},
    {0, 0, 0, 0, 0, 0},
};

// The flag word and bit mask behind a check-box property.
struct FlagBits {
    int32_t EDITDATA::*word;
    int32_t mask;
};

const FlagBits* flagBits(uint32_t propId) {
    static const FlagBits bits[] = {
        {&EDITDATA::forcePopup, FORCE_POPUP_ON},
        {&EDITDATA::regexIcase, REGEX_ICASE_ON},
        {&EDITDATA::regexControlChars, REGEX_CONTROL_CHARS_ON},
        {&EDITDATA::jsonShare, JSON_SHARE_ON},
    };
    if (propId < PROPID_FORCE_POPUP || propId > PROPID_JSON_SHARE) return nullptr;
    return &bits[propId - PROPID_FORCE_POPUP];
}

// Resizes the record for a text of `text.size()` units and writes the text,
// its terminator and the spare bytes. Null when the host cannot resize it;
// the record is then unchanged.
EDITDATA* storeText(mv* mV, EDITDATA* ed, std::u16string_view text) {
    if (mV == nullptr || mV->mvCallFunction == nullptr) return nullptr;
    uint32_t size = editDataSizeFor(text.size());
    // The record may move: only the answer is used from here on.
    auto* resized = reinterpret_cast<EDITDATA*>(
        mV->mvCallFunction(ed, EF_REALLOCEDATA, reinterpret_cast<intptr_t>(ed), static_cast<intptr_t>(size), 0));
    if (resized == nullptr) return nullptr;
    auto* bytes = reinterpret_cast<uint8_t*>(resized);
    std::memcpy(bytes + offsetof(EDITDATA, text), text.data(), text.size() * sizeof(char16_t));
    std::memset(bytes + offsetof(EDITDATA, text) + text.size() * sizeof(char16_t), 0, 2 + 4);
    return resized;
}

INT_PTR WINAPI aboutProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG:
            platform::setWindowLongPtrW(dialog, DWLP_USER, lParam);
            return 1;
        case WM_COMMAND:
            switch (wParam & 0xFFFF) {
                case IDOK: platform::endDialog(dialog, IDOK); return 1;
                case IDCANCEL: platform::endDialog(dialog, IDCANCEL); return 1;
                case kAboutHelpCommand: {
                    auto* mV = reinterpret_cast<mv*>(platform::getWindowLongPtrW(dialog, DWLP_USER));
                    if (mV != nullptr && mV->mvHelpW != nullptr) mV->mvHelpW(GetHelpFileName(), 0, 0);
                    return 1;
                }
            }
            return 0;
    }
    return 0;
}

void loadInto(unsigned id, char16_t* buffer, int size) {
    if (buffer == nullptr) return;
    if (platform::loadStringW(id, buffer, size) == 0 && size > 0) buffer[0] = 0;
}

}  // namespace

extern "C" {

int32_t WINAPI CreateObject(mv* mV, void*, EDITDATA* ed) {
    if (!hostCompatible(mV) || ed == nullptr) return -1;
    return guarded(-1, [&] {
        ed->regexIcase &= ~REGEX_ICASE_ON;
        ed->regexControlChars &= ~REGEX_CONTROL_CHARS_ON;
        ed->jsonShare &= ~JSON_SHARE_ON;
        ed->forcePopup = FORCE_POPUP_ON;
        return storeText(mV, ed, kDefaultText) != nullptr ? 0 : -1;
    });
}

int32_t WINAPI EditObject(mv* mV, void*, void*, EDITDATA*) {
    if (!hostCompatible(mV)) return 0;
    intptr_t answer = guarded(intptr_t{0}, [&] {
        return platform::dialogBoxParamW(kAboutDialog, mV->mvHEditWin, aboutProc, reinterpret_cast<intptr_t>(mV));
    });
    return answer == IDOK ? 1 : 0;
}

void WINAPI GetObjInfos(mv*, EDITDATA*, char16_t* objName, char16_t* objAuthor, char16_t* objCopyright,
                        char16_t* objComment, char16_t* objHttp) {
    guarded([&] {
        loadInto(128, objName, 255);
        loadInto(129, objAuthor, 255);
        loadInto(130, objCopyright, 255);
        loadInto(131, objComment, 1024);
        loadInto(132, objHttp, 255);
    });
}

// Relative to the host's folder: the package puts the help file there, in Help/.
const char16_t* WINAPI GetHelpFileName() { return u"Help\\TRIVU.chm"; }

void WINAPI GetObjectRect(mv*, RECT* rc, void*, EDITDATA*) {
    if (rc == nullptr) return;
    rc->right = rc->left + 32;
    rc->bottom = rc->top + 32;
}

int32_t WINAPI IsTransparent(mv*, void*, EDITDATA*, int32_t, int32_t) { return 0; }
int32_t WINAPI GetFilters(mv*, EDITDATA*, uint32_t, void*) { return 0; }
int32_t WINAPI UsesFile(mv*, const char16_t*) { return 0; }
void WINAPI CreateFromFile(mv*, const char16_t*, EDITDATA*) {}
void WINAPI PutObject(mv*, void*, EDITDATA*, uint16_t) {}
void WINAPI RemoveObject(mv*, void*, EDITDATA*, uint16_t) {}
void WINAPI DuplicateObject(mv*, void*, EDITDATA*) {}
void WINAPI PrepareToWriteObject(mv*, EDITDATA*, void*) {}

int32_t WINAPI GetProperties(mv* mV, EDITDATA* ed, int32_t) {
    if (mV != nullptr && mV->mvCallFunction != nullptr) {
        mV->mvCallFunction(ed, EF_INSERTPROPS, reinterpret_cast<intptr_t>(kProperties), PROPID_TAB_GENERAL, 1);
    }
    return 1;
}

void WINAPI ReleaseProperties(mv*, EDITDATA*, int32_t) {}
intptr_t WINAPI GetPropCreateParam(mv*, EDITDATA*, uint32_t) { return 0; }
void WINAPI ReleasePropCreateParam(mv*, EDITDATA*, uint32_t, intptr_t) {}

void* WINAPI GetPropValue(mv*, EDITDATA* ed, uint32_t propId) {
    if (propId != PROPID_TEXT) return nullptr;
    return guarded(static_cast<void*>(nullptr), [&]() -> void* {
        std::u16string text = ed != nullptr ? recordText(*ed) : std::u16string();
        return static_cast<CPropValue*>(new CPropWStringValue(text.c_str()));
    });
}

void WINAPI SetPropValue(mv* mV, EDITDATA* ed, uint32_t propId, void* value) {
    if (propId != PROPID_TEXT || ed == nullptr || value == nullptr) return;
    auto* property = static_cast<CPropValue*>(value);
    if (property->GetClassID() != CPropWStringValue::ClassID) return;
    const char16_t* text = static_cast<CPropWStringValue*>(property)->GetString();
    guarded([&] { storeText(mV, ed, text != nullptr ? std::u16string_view(text) : std::u16string_view()); });
}

int32_t WINAPI GetPropCheck(mv*, EDITDATA* ed, uint32_t propId) {
    const FlagBits* bits = flagBits(propId);
    if (bits == nullptr || ed == nullptr) return 0;
    return (ed->*bits->word & bits->mask) != 0 ? 1 : 0;
}

void WINAPI SetPropCheck(mv*, EDITDATA* ed, uint32_t propId, int32_t check) {
    const FlagBits* bits = flagBits(propId);
    if (bits == nullptr || ed == nullptr) return;
    int32_t& word = ed->*bits->word;
    word &= ~bits->mask;
    if (check == 1) word |= bits->mask;
}

int32_t WINAPI EditProp(mv*, EDITDATA*, uint32_t) { return 0; }
int32_t WINAPI IsPropEnabled(mv*, EDITDATA*, uint32_t) { return 1; }

// The object shows no text.
uint32_t WINAPI GetTextCaps(mv*, EDITDATA*) { return 0; }
int32_t WINAPI GetTextFont(mv*, EDITDATA*, void*, char16_t*, uint32_t) { return 1; }
int32_t WINAPI SetTextFont(mv*, EDITDATA*, void*, const char16_t*) { return 1; }
uint32_t WINAPI GetTextClr(mv*, EDITDATA*) { return 0; }
void WINAPI SetTextClr(mv*, EDITDATA*, uint32_t) {}
uint32_t WINAPI GetTextAlignment(mv*, EDITDATA*) { return 0; }
void WINAPI SetTextAlignment(mv*, EDITDATA*, uint32_t) {}

}  // extern "C"
