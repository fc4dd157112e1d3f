// The notifier: every message box of the extension, and when it is shown.
//
// A box belongs to one of three classes. Forced boxes appear only when the
// instance's forcePopup is 1, lenient ones whenever it is not 0, and the rest
// always. Boxes have no owner window, an OK button and no icon; the game
// waits until the user closes them.
#pragma once

#include <exception>
#include <string>
#include <string_view>

#include "host/boundary/rundata.h"

namespace trivu {

enum class Gate { Forced, Lenient, Always };

struct Notice {
    const char* text;
    const char* caption;
    Gate gate;
};

// The fixed messages.
namespace notices {
inline constexpr Notice notSprite{"Selected Object is Not the Sprite. || That Instance already had Destoryed.",
                                  "ObjectAlign :: Notification", Gate::Forced};
inline constexpr Notice emptyBackup{"Why try to backup Empty JSON Data?", "JSON Backup ::.. Notification",
                                    Gate::Forced};
inline constexpr Notice hwndZero{"Error::HWND_172 ::: hwnd value is 0.", "ERROR", Gate::Always};
inline constexpr Notice not2DArray{"JSON Pointer :: Not 2D-Array", "JSON Data Type Error Notification",
                                   Gate::Always};
inline constexpr Notice groupNotFound{"ObjCtrl :: GrowRad :: Not Found Grp Name", "Notice", Gate::Always};
inline constexpr Notice noMatchedUniqueId{"ObjCtrl.Search LPRO.Destroy :: ERR = No Matched Unique ID",
                                          "ObjCtrl :: Motion Registrate :: Invalid Params", Gate::Always};
inline constexpr Notice restriction{"ObjCtrl :: Restriction to terminate", "NOTIFICATION", Gate::Always};
}  // namespace notices

inline constexpr const char* kInvalidParameterFormat = "Empty MatchParams... Invalid Parameter Format";
inline constexpr const char* kExceptionCaption = "Exception :: as follows";
inline constexpr const char16_t* kFileNotFoundCaption = u"Not Found the File.....";

bool shouldShow(const RUNDATA& rd, Gate gate);

// Unconditional boxes, narrow (UTF-8 here) or wide.
void showBox(std::string_view text, std::string_view caption);
void showWideBox(std::u16string_view text, std::u16string_view caption);

void notify(const RUNDATA& rd, const Notice& notice);
void notify(const RUNDATA& rd, Gate gate, std::string_view text, std::string_view caption);
void notifyWide(const RUNDATA& rd, Gate gate, std::u16string_view text, std::u16string_view caption);

// A usable object: not null, an Active object, not destroyed. For an object
// that is there but unusable, shows the forced "not the sprite" box.
headerObject* usableSprite(RUNDATA& rd, headerObject* object);

// A failed JSON Pointer lookup: the "DEBUG" box (lenient), then condition
// CND_JSON_POINTER_ERROR.
void reportJsonPointerError(RUNDATA& rd, const std::exception& error);

// A regular-expression error: the "INFO" box (forced). The caller keeps the
// message and raises its condition.
void showRegexError(const RUNDATA& rd, const std::exception& error);

// "ERR :: Missing :: check the file path below ", two line feeds, a space,
// the path in double quotes and a space.
std::u16string missingPathMessage(std::u16string_view path);

}  // namespace trivu
