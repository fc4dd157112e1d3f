// Event-editor exports: the three menus, menu ids to codes, description
// entries, display texts and parameter titles.
#include <optional>
#include <string>

#include "host/catalogue.h"
#include "host/editor/editor_support.h"
#include "host/boundary/guard.h"
#include "platform/platform.h"
#include "sdk/exports.h"

using namespace trivu;

namespace {

constexpr size_t kLongestMenuText = 79;

void copyMenu(HMENU menu, const std::vector<platform::MenuItem>& items) {
    for (const platform::MenuItem& item : items) {
        std::u16string text = item.text.substr(0, kLongestMenuText);
        uint32_t state = item.disabled ? uint32_t{MF_GRAYED} : 0u;
        if (item.isPopup) {
            HMENU popup = platform::createPopupMenu();
            if (popup == nullptr) continue;
            copyMenu(popup, item.popup);
            platform::appendMenuW(menu, MF_POPUP | state, reinterpret_cast<uintptr_t>(popup), text.c_str());
        } else if (item.separator || item.id == 0) {
            platform::appendMenuW(menu, MF_SEPARATOR, 0, nullptr);
        } else {
            platform::appendMenuW(menu, MF_STRING | state, item.id, text.c_str());
        }
    }
}

// A new popup menu holding a copy of the first submenu of the kind's menu
// resource.
HMENU buildMenu(mv* mV, AceKind kind) {
    if (!hostCompatible(mV)) return nullptr;
    return guarded(HMENU{nullptr}, [kind]() -> HMENU {
        auto resource = platform::loadMenu(menuResource(kind));
        if (!resource) return nullptr;
        for (const platform::MenuItem& item : *resource) {
            if (!item.isPopup) continue;
            HMENU menu = platform::createPopupMenu();
            if (menu != nullptr) copyMenu(menu, item.popup);
            return menu;
        }
        return nullptr;
    });
}

const platform::MenuItem* findItem(const std::vector<platform::MenuItem>& items, unsigned id) {
    for (const platform::MenuItem& item : items) {
        if (item.isPopup) {
            if (const platform::MenuItem* found = findItem(item.popup, id)) return found;
        } else if (!item.separator && item.id == id) {
            return &item;
        }
    }
    return nullptr;
}

// The text of an entry's menu item, for a parameter without a title of its own.
std::u16string menuText(AceKind kind, int code) {
    auto resource = platform::loadMenu(menuResource(kind));
    if (!resource) return {};
    const platform::MenuItem* item = findItem(*resource, static_cast<unsigned>(menuIdBase(kind) + code));
    return item != nullptr ? item->text : std::u16string();
}

void displayText(mv* mV, AceKind kind, int code, char16_t* buffer, int size) {
    if (!hostCompatible(mV) || aceInfos(kind, code) == nullptr) return;
    guarded([&] {
        platform::loadStringW(static_cast<unsigned>(displayTextBase(kind) + code), buffer, size);
    });
}

// The title of parameter `param`; an empty text for a parameter the entry
// does not have. A title id of 0 means the entry's menu text, or nothing when
// `menuFallback` is off.
void paramTitle(AceKind kind, int code, int param, char16_t* buffer, int size, bool menuFallback) {
    copyToBuffer(u"", buffer, size);
    EventInfos infos = aceInfos(kind, code);
    if (infos == nullptr || param < 0 || param >= eventParamCount(infos)) return;
    guarded([&] {
        uint16_t title = eventParamTitle(infos, param);
        if (title != 0)
            copyToBuffer(platform::loadString(title).value_or(u""), buffer, size);
        else if (menuFallback)
            copyToBuffer(menuText(kind, code), buffer, size);
    });
}

}  // namespace

extern "C" {

HMENU WINAPI GetActionMenu(mv* mV, void*, EDITDATA*) { return buildMenu(mV, AceKind::Action); }
HMENU WINAPI GetConditionMenu(mv* mV, void*, EDITDATA*) { return buildMenu(mV, AceKind::Condition); }
HMENU WINAPI GetExpressionMenu(mv* mV, void*, EDITDATA*) { return buildMenu(mV, AceKind::Expression); }

int16_t WINAPI GetActionCodeFromMenu(mv*, int16_t menuId) {
    return static_cast<int16_t>(codeFromMenu(AceKind::Action, menuId));
}
int16_t WINAPI GetConditionCodeFromMenu(mv*, int16_t menuId) {
    return static_cast<int16_t>(codeFromMenu(AceKind::Condition, menuId));
}
int16_t WINAPI GetExpressionCodeFromMenu(mv*, int16_t menuId) {
    return static_cast<int16_t>(codeFromMenu(AceKind::Expression, menuId));
}

EventInfos WINAPI GetActionInfos(mv*, int16_t code) { return aceInfos(AceKind::Action, code); }
EventInfos WINAPI GetConditionInfos(mv*, int16_t code) { return aceInfos(AceKind::Condition, code); }
EventInfos WINAPI GetExpressionInfos(mv*, int16_t code) { return aceInfos(AceKind::Expression, code); }

void WINAPI GetActionString(mv* mV, int16_t code, char16_t* strPtr, int16_t maxLen) {
    displayText(mV, AceKind::Action, code, strPtr, maxLen);
}
void WINAPI GetConditionString(mv* mV, int16_t code, char16_t* strPtr, int16_t maxLen) {
    displayText(mV, AceKind::Condition, code, strPtr, maxLen);
}
void WINAPI GetExpressionString(mv* mV, int16_t code, char16_t* strPtr, int16_t maxLen) {
    displayText(mV, AceKind::Expression, code, strPtr, maxLen);
}

void WINAPI GetActionTitle(mv*, int16_t code, int16_t param, char16_t* strBuf, int16_t maxLen) {
    paramTitle(AceKind::Action, code, param, strBuf, maxLen, true);
}
void WINAPI GetConditionTitle(mv*, int16_t code, int16_t param, char16_t* strBuf, int16_t maxLen) {
    paramTitle(AceKind::Condition, code, param, strBuf, maxLen, true);
}
void WINAPI GetExpressionTitle(mv*, int16_t code, char16_t* strBuf, int16_t maxLen) {
    paramTitle(AceKind::Expression, code, 0, strBuf, maxLen, true);
}
void WINAPI GetExpressionParam(mv*, int16_t code, int16_t param, char16_t* strBuf, int16_t maxLen) {
    paramTitle(AceKind::Expression, code, param, strBuf, maxLen, false);
}

// The extension defines no parameter kinds of its own.
void WINAPI GetParameterString(mv*, int16_t, void*, char16_t*, int16_t) {}
void WINAPI InitParameter(mv*, int16_t, void*) {}
void WINAPI EditParameter(mv*, int16_t, void*) {}

}  // extern "C"
