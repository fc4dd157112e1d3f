// Loading the extension library and looking up its exports.
#include "trivu-host/library.h"

#include <dlfcn.h>
#include <unistd.h>

#include <utility>

namespace host {

Library::Library(Library&& other) noexcept { *this = std::move(other); }

Library& Library::operator=(Library&& other) noexcept {
    if (this == &other) return *this;
    if (handle_) dlclose(handle_);
#define TRIVU_HOST_MOVE(name) name = std::exchange(other.name, nullptr);
    TRIVU_HOST_EXPORTS(TRIVU_HOST_MOVE, TRIVU_HOST_MOVE)
#undef TRIVU_HOST_MOVE
    infos = std::exchange(other.infos, kpxRunInfos{});
    handle_ = std::exchange(other.handle_, nullptr);
    return *this;
}

Library::~Library() {
    if (handle_) dlclose(handle_);
}

std::optional<Library> Library::load(const std::string& path, std::string* error) {
    auto fail = [&](const std::string& why) -> std::optional<Library> {
        if (error) *error = path + ": " + why;
        return std::nullopt;
    };

    // A relative name without a slash would make dlopen search the library
    // path instead of the file the user named.
    std::string file = path.find('/') == std::string::npos ? "./" + path : path;
    // RTLD_NOW: an extension with an unresolved symbol fails here, with a
    // message, rather than in the middle of a run.
    void* handle = dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) {
        const char* error = dlerror();
        std::string why = error ? error : "unknown error";
        // dlerror names the file itself; the message already starts with it.
        if (why.rfind(file + ": ", 0) == 0) why.erase(0, file.size() + 2);
        return fail("cannot load the library: " + why);
    }

    Library library;
    library.handle_ = handle;  // from here on the destructor closes it
#define TRIVU_HOST_LOOKUP(name) \
    library.name = reinterpret_cast<decltype(&::name)>(dlsym(handle, #name));
#define TRIVU_HOST_REQUIRE(name)                                                       \
    TRIVU_HOST_LOOKUP(name)                                                            \
    if (library.name == nullptr) return fail("not an extension library: missing export " #name);
    TRIVU_HOST_EXPORTS(TRIVU_HOST_REQUIRE, TRIVU_HOST_LOOKUP)
#undef TRIVU_HOST_REQUIRE
#undef TRIVU_HOST_LOOKUP

    // The extension fills the record without consulting the editor block.
    library.GetRunObjectInfos(nullptr, &library.infos);
    return library;
}

std::string defaultExtensionPath() {
    char buffer[4096];
    ssize_t length = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (length <= 0) return "trivu.mfx";
    std::string self(buffer, static_cast<size_t>(length));
    size_t slash = self.rfind('/');
    return slash == std::string::npos ? "trivu.mfx" : self.substr(0, slash + 1) + "trivu.mfx";
}

}  // namespace host
