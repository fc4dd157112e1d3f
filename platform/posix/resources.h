// The resources compiled into the library on Linux: the text of
// resources/trivu.rc, parsed into tables that the resource calls of the
// platform layer serve from.
#pragma once

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/desktop.h"
#include "platform/platform.h"

namespace trivu::platform::posix {

struct DialogControl {
    std::u16string className;
    std::u16string text;
    int32_t id = 0;
    uint32_t style = 0;
    int32_t x = 0, y = 0, cx = 0, cy = 0;
};

// A dialog resource. `desktop` and `desktopControls` point into the strings
// above them, so a template lives behind a unique_ptr and is never copied.
struct DialogTemplate {
    DialogTemplate() = default;
    DialogTemplate(const DialogTemplate&) = delete;
    DialogTemplate& operator=(const DialogTemplate&) = delete;

    int32_t id = 0;
    std::u16string caption;
    std::u16string fontName;
    int32_t fontSize = 0;
    uint32_t style = 0;
    int32_t x = 0, y = 0, cx = 0, cy = 0;
    std::vector<DialogControl> controls;

    DesktopDialog desktop{};
    std::vector<DesktopControl> desktopControls;
};

struct ResourceScript {
    std::map<unsigned, std::u16string> strings;
    std::map<unsigned, std::vector<MenuItem>> menus;  // the top-level items of each menu
    std::map<unsigned, std::unique_ptr<DialogTemplate>> dialogs;
};

// Parses the subset of the resource-script language that trivu.rc is written
// in (STRINGTABLE, MENU, DIALOG/DIALOGEX, VERSIONINFO, preprocessor lines
// ignored). On failure answers nothing and, when `error` is given, a message
// naming the line.
std::optional<ResourceScript> parseResourceScript(std::string_view text, std::string* error);

// The parse of the script compiled into the library, made on first use; empty
// tables if that script does not parse.
const ResourceScript& embeddedResources();

}  // namespace trivu::platform::posix
