// Linux side of the resource calls: the script compiled into the library,
// parsed once on first use (resource_script.cpp), and the string, menu and
// dialog lookups the platform layer answers from it.
#include "platform/posix/resources.h"

#include "platform/attached.h"
#include "platform/lifetime.h"

#include <algorithm>
#include <atomic>

namespace trivu::platform::posix {

extern const char* const kResourceScript;

namespace {

constinit std::atomic<HINSTANCE>& currentModule = platformLife.module;  // kept in platform/lifetime.h

}  // namespace

const ResourceScript& embeddedResources() {
    static const ResourceScript script = [] {
        auto parsed = parseResourceScript(kResourceScript, nullptr);
        return parsed ? std::move(*parsed) : ResourceScript{};
    }();
    return script;
}

}  // namespace trivu::platform::posix

namespace trivu::platform {

using posix::embeddedResources;

void setModule(HINSTANCE module) { posix::currentModule = module; }

HINSTANCE module() { return posix::currentModule; }

int loadStringW(unsigned id, char16_t* buffer, int size) {
    if (buffer == nullptr || size < 1) return 0;
    try {
        const auto& strings = embeddedResources().strings;
        auto it = strings.find(id);
        if (it == strings.end()) {
            buffer[0] = 0;
            return 0;
        }
        int n = static_cast<int>(std::min<size_t>(it->second.size(), static_cast<size_t>(size - 1)));
        std::copy_n(it->second.data(), n, buffer);
        buffer[n] = 0;
        return n;
    } catch (...) {
        buffer[0] = 0;
        return 0;
    }
}

std::optional<std::u16string> loadString(unsigned id) {
    try {
        const auto& strings = embeddedResources().strings;
        auto it = strings.find(id);
        // An empty string is no string on Windows, where LoadStringW cannot
        // tell the two apart; so it is here.
        if (it != strings.end() && !it->second.empty()) return it->second;
    } catch (...) {
    }
    return std::nullopt;
}

std::optional<std::vector<MenuItem>> loadMenu(unsigned id) {
    try {
        const auto& menus = embeddedResources().menus;
        auto it = menus.find(id);
        if (it != menus.end()) return it->second;
    } catch (...) {
    }
    return std::nullopt;
}

intptr_t dialogBoxParamW(int dialogId, HWND owner, DLGPROC proc, intptr_t param) {
    try {
        const auto& dialogs = embeddedResources().dialogs;
        auto it = dialogId < 0 ? dialogs.end() : dialogs.find(static_cast<unsigned>(dialogId));
        if (it == dialogs.end()) return -1;
        return dialogBoxIndirect(&it->second->desktop, owner, proc, param);
    } catch (...) {
        return -1;
    }
}

}  // namespace trivu::platform
