// The loaded extension library and its exports.
#pragma once

#include <optional>
#include <string>

#include "sdk/exports.h"
#include "trivu-host/scenario/descriptions.h"

namespace standin {

// Every export the host knows, as X(Name): the lists of sdk/exports.h.
#define TRIVU_HOST_EXPORTS(X) TRIVU_RUNTIME_EXPORTS(X) TRIVU_EDITOR_EXPORTS(X) TRIVU_DESKTOP_EXPORTS(X)

// The editor loads the edit-time library; a built game, the run-time one.
enum class LibraryKind { EditTime, RunTime };

// A library loaded with dlopen, kept loaded for the life of the object (the
// host keeps it for the whole run, so process-wide state lives from frame to
// frame). Each export is a member of the same name; missing optional ones are
// null.
struct Library {
#define TRIVU_HOST_MEMBER(name) decltype(&::name) name = nullptr;
    TRIVU_HOST_EXPORTS(TRIVU_HOST_MEMBER)
#undef TRIVU_HOST_MEMBER

    // The run-time information record, read once at load.
    kpxRunInfos infos{};

    Library() = default;
    Library(const Library&) = delete;
    Library& operator=(const Library&) = delete;
    Library(Library&& other) noexcept;
    Library& operator=(Library&& other) noexcept;
    ~Library();

    // Loads the library at `path`, looks up its exports, checks that it has
    // those its kind needs and asks for its run-time information. On failure
    // answers nothing and says why in `error`.
    static std::optional<Library> load(const std::string& path, std::string* error,
                                       LibraryKind kind = LibraryKind::EditTime);

private:
    void* handle_ = nullptr;
};

// The description tables of the codes the library counts, read through its
// editor exports (`mV` is the editor block they are handed).
AceDescriptions readDescriptions(const Library& library, mv* mV);

// The path of trivu.mfx next to the running trivu-host.
std::string defaultExtensionPath();

// Loads the host's runtime library, as the real host does before any
// extension: the stand-in's mmfs2.dll (mmfs2.so on Linux) next to the
// program, whose export 90 answers an image number plus 100. Without it the
// extension's image call answers 0; that is no error.
void loadRuntimeLibrary();

}  // namespace standin
