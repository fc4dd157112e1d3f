// Every message box the extension shows, in one table: the text, the caption
// and when the box appears. The notifier (common/notifier.h) shows boxes from
// these rows and from nothing else, and a unit test walks the table against
// the reference's table of messages (docs/reference.md, "Messages").
//
// Constants only, with no include of the extension: common/param_formats.h
// names the row a refused parameter text shows, and the stand-in host reads
// that file.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace trivu {

// When a box is shown, by the instance's forcePopup (the check box "Force Pop
// up MessageBox if catch an Error. ( for Debug )"): a forced box only when it
// is 1, a lenient one whenever it is not 0, the others always. The check box
// writes 0 or 1; another value comes only from a record another tool wrote.
enum class Gate : uint8_t { Forced, Lenient, Always };

// What a box's text holds besides the row's fixed parts.
enum class Filling : uint8_t {
    None,   // the row's text alone
    Error,  // the caught error's own message alone (the row's text is empty)
    Path,   // the row's text, the path the game gave, then `after`: a wide box,
            // since the path is the host's UTF-16 text
};

enum class MessageId : uint8_t {
    NotSprite,
    JsonFailure,
    LoadMissingFile,
    LoadFailed,
    EmptyBackup,
    SaveOptionsRefused,
    SequenceRefused,
    Not2DArray,
    RegexError,
    MotionTextRefused,
    Restriction,
    NoMatchedUniqueId,
    GroupNotFound,
    AlignTextRefused,
    NoWindow,
    PathMissing,
    Count
};

struct Message {
    MessageId id;
    std::string_view text;
    std::string_view after;  // Filling::Path: what follows the path
    std::string_view caption;
    Gate gate;
    Filling filling;
};

// The text of every refused parameter text; its caption names the family of
// actions that refused it.
inline constexpr std::string_view kInvalidParameterFormat = "Empty MatchParams... Invalid Parameter Format";

// In the order of the reference's table: the object parameter, then by part
// of the extension.
inline constexpr std::array<Message, static_cast<size_t>(MessageId::Count)> kMessages{{
    {MessageId::NotSprite, "Selected Object is Not the Sprite. || That Instance already had Destoryed.", "",
     "ObjectAlign :: Notification", Gate::Forced, Filling::None},
    // The JSON store.
    {MessageId::JsonFailure, "", "", "DEBUG", Gate::Lenient, Filling::Error},
    {MessageId::LoadMissingFile, "ERR :: Missing :: check the file path below \n\n \"", "\" ",
     "Not Found the File.....", Gate::Always, Filling::Path},
    {MessageId::LoadFailed, "", "", "Exception :: as follows", Gate::Always, Filling::Error},
    {MessageId::EmptyBackup, "Why try to backup Empty JSON Data?", "", "JSON Backup ::.. Notification", Gate::Forced,
     Filling::None},
    {MessageId::SaveOptionsRefused, kInvalidParameterFormat, "", "JSON Save File :: Notification", Gate::Always,
     Filling::None},
    {MessageId::SequenceRefused, kInvalidParameterFormat, "", "Exception :: as follows", Gate::Always,
     Filling::None},
    {MessageId::Not2DArray, "JSON Pointer :: Not 2D-Array", "", "JSON Data Type Error Notification", Gate::Always,
     Filling::None},
    // Regular expressions.
    {MessageId::RegexError, "", "", "INFO", Gate::Forced, Filling::Error},
    // Motions and their controllers.
    {MessageId::MotionTextRefused, kInvalidParameterFormat, "", "ObjCtrl :: Motion Registrate :: Invalid Params",
     Gate::Always, Filling::None},
    {MessageId::Restriction, "ObjCtrl :: Restriction to terminate", "", "NOTIFICATION", Gate::Always,
     Filling::None},
    {MessageId::NoMatchedUniqueId, "ObjCtrl.Search LPRO.Destroy :: ERR = No Matched Unique ID", "",
     "ObjCtrl :: Motion Registrate :: Invalid Params", Gate::Always, Filling::None},
    {MessageId::GroupNotFound, "ObjCtrl :: GrowRad :: Not Found Grp Name", "", "Notice", Gate::Always,
     Filling::None},
    // Alignment.
    {MessageId::AlignTextRefused, kInvalidParameterFormat, "", "ObjectAlign :: Notification", Gate::Always,
     Filling::None},
    // The window and files.
    {MessageId::NoWindow, "Error::HWND_172 ::: hwnd value is 0.", "", "ERROR", Gate::Always, Filling::None},
    {MessageId::PathMissing, "ERR :: Missing :: check the file path below \n\n \"", "\" ", "Not Found the File.....",
     Gate::Lenient, Filling::Path},
}};

constexpr bool eachRowAtItsId() {
    for (size_t i = 0; i < kMessages.size(); ++i)
        if (static_cast<size_t>(kMessages[i].id) != i) return false;
    return true;
}
static_assert(eachRowAtItsId(), "a row of kMessages stands where its id says");

constexpr const Message& message(MessageId id) { return kMessages[static_cast<size_t>(id)]; }

}  // namespace trivu
