// Loading the extension library and looking up its exports.
#include "trivu-host/play/library.h"

#include <utility>

#if defined(_WIN32)
#include "trivu-host/base/paths.h"
#include "trivu-host/base/text.h"
#else
#include <dlfcn.h>
#include <unistd.h>
#endif

namespace standin {
namespace {

// ---- The system's loader: dlopen on Linux, LoadLibraryW on Windows ------------

#if defined(_WIN32)

std::string lastError() {
    wchar_t* text = nullptr;
    DWORD length = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                      FORMAT_MESSAGE_IGNORE_INSERTS,
                                  nullptr, GetLastError(), 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::u16string message(reinterpret_cast<const char16_t*>(text), length);
    LocalFree(text);
    while (!message.empty() && (message.back() == u'\n' || message.back() == u'\r')) message.pop_back();
    return message.empty() ? "unknown error" : trivu::platform::utf16ToUtf8(message);
}

// A relative name without a separator would make the loader search the
// system's folders instead of the file the user named.
void* openLibrary(const std::string& path, std::string* why) {
    std::string file = path.find_first_of("/\\") == std::string::npos ? ".\\" + path : path;
    HMODULE module = LoadLibraryW(systemPath(file).make_preferred().c_str());
    if (module == nullptr) *why = lastError();
    return reinterpret_cast<void*>(module);
}

void* findExport(void* library, const char* name) {
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(library), name));
}

void closeLibrary(void* library) { FreeLibrary(static_cast<HMODULE>(library)); }

#else

void* openLibrary(const std::string& path, std::string* why) {
    // A relative name without a slash would make dlopen search the library
    // path instead of the file the user named.
    std::string file = path.find('/') == std::string::npos ? "./" + path : path;
    // RTLD_NOW: an extension with an unresolved symbol fails here, with a
    // message, rather than in the middle of a run.
    void* handle = dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) {
        const char* error = dlerror();
        *why = error ? error : "unknown error";
        // dlerror names the file itself; the message already starts with it.
        if (why->rfind(file + ": ", 0) == 0) why->erase(0, file.size() + 2);
    }
    return handle;
}

void* findExport(void* library, const char* name) { return dlsym(library, name); }

void closeLibrary(void* library) { dlclose(library); }

#endif

// What the editor needs of a library before it counts as an extension: the
// run-time information, the object's life and the three catalogue tables.
// The rest may be missing. (Members of Library, so each is a declared export.)
#define TRIVU_HOST_EDIT_TIME_REQUIRED(X)                                                                    \
    X(GetRunObjectInfos) X(GetRunObjectDataSize) X(CreateRunObject) X(DestroyRunObject) X(HandleRunObject) \
    X(GetActionInfos) X(GetConditionInfos) X(GetExpressionInfos)

}  // namespace

Library::Library(Library&& other) noexcept { *this = std::move(other); }

Library& Library::operator=(Library&& other) noexcept {
    if (this == &other) return *this;
    if (handle_) closeLibrary(handle_);
#define TRIVU_HOST_MOVE(name) name = std::exchange(other.name, nullptr);
    TRIVU_HOST_EXPORTS(TRIVU_HOST_MOVE)
#undef TRIVU_HOST_MOVE
    infos = std::exchange(other.infos, kpxRunInfos{});
    handle_ = std::exchange(other.handle_, nullptr);
    return *this;
}

Library::~Library() {
    if (handle_) closeLibrary(handle_);
}

std::optional<Library> Library::load(const std::string& path, std::string* error, LibraryKind kind) {
    auto fail = [&](const std::string& why) -> std::optional<Library> {
        if (error) *error = path + ": " + why;
        return std::nullopt;
    };

    std::string why;
    void* handle = openLibrary(path, &why);
    if (handle == nullptr) return fail("cannot load the library: " + why);

    Library library;
    library.handle_ = handle;  // from here on the destructor closes it
#define TRIVU_HOST_LOOKUP(name) \
    library.name = reinterpret_cast<decltype(&::name)>(findExport(handle, #name));
    TRIVU_HOST_EXPORTS(TRIVU_HOST_LOOKUP)
#undef TRIVU_HOST_LOOKUP
    if (kind == LibraryKind::EditTime) {
#define TRIVU_HOST_REQUIRE(name) \
    if (library.name == nullptr) return fail("not an extension library: missing export " #name);
        TRIVU_HOST_EDIT_TIME_REQUIRED(TRIVU_HOST_REQUIRE)
#undef TRIVU_HOST_REQUIRE
    } else {
#define TRIVU_HOST_REQUIRE(name) \
    if (library.name == nullptr) return fail("not a run-time library: missing export " #name);
        TRIVU_RUNTIME_EXPORTS(TRIVU_HOST_REQUIRE)
#undef TRIVU_HOST_REQUIRE
    }

    // The extension fills the record without consulting the editor block.
    library.GetRunObjectInfos(nullptr, &library.infos);
    return library;
}

// A routine-less entry cannot be called, whatever its description says.
AceDescriptions readDescriptions(const Library& library, mv* mV) {
    const kpxRunInfos& infos = library.infos;
    auto read = [&](auto describeAce, int16_t count, const auto* routines) {
        std::vector<AceDescription> out(count > 0 ? static_cast<size_t>(count) : 0);
        for (int16_t code = 0; code < count; ++code) {
            EventInfos e = describeAce ? describeAce(mV, code) : nullptr;
            if (!e || !routines || !routines[code]) continue;
            AceDescription& info = out[code];
            info.present = true;
            info.flags = eventFlags(e);
            for (int i = 0; i < eventParamCount(e); ++i) info.kinds.push_back(eventParamKind(e, i));
        }
        return out;
    };
    AceDescriptions c;
    c.actions = read(library.GetActionInfos, infos.numOfActions, infos.actions);
    c.conditions = read(library.GetConditionInfos, infos.numOfConditions, infos.conditions);
    c.expressions = read(library.GetExpressionInfos, infos.numOfExpressions, infos.expressions);
    return c;
}

// A file next to the running trivu-host, or the bare name when the program's
// own path is unknown.
std::string besideProgram(const std::string& name) {
#if defined(_WIN32)
    wchar_t buffer[4096];
    DWORD length = GetModuleFileNameW(nullptr, buffer, 4096);
    if (length == 0 || length >= 4096) return name;
    std::string self = trivu::platform::utf16ToUtf8(std::u16string(buffer, buffer + length));
    size_t slash = self.find_last_of("/\\");
#else
    char buffer[4096];
    ssize_t length = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (length <= 0) return name;
    std::string self(buffer, static_cast<size_t>(length));
    size_t slash = self.rfind('/');
#endif
    return slash == std::string::npos ? name : self.substr(0, slash + 1) + name;
}

std::string defaultExtensionPath() { return besideProgram("trivu.mfx"); }

void loadRuntimeLibrary() {
#if defined(_WIN32)
    const std::string name = "mmfs2.dll";
#else
    const std::string name = "mmfs2.so";
#endif
    std::string why;
    openLibrary(besideProgram(name), &why);  // kept loaded for the process's life
}

}  // namespace standin
