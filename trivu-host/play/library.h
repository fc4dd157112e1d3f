// The loaded extension library and its exports.
#pragma once

#include <optional>
#include <string>

#include "sdk/exports.h"

namespace standin {

// Every export the host knows, as X(Name). Those marked REQUIRED must be
// present for a library to count as an extension the editor can use.
#define TRIVU_HOST_EXPORTS(REQUIRED, OPTIONAL)                                                       \
    REQUIRED(GetRunObjectInfos) REQUIRED(GetRunObjectDataSize) REQUIRED(CreateRunObject)             \
    REQUIRED(DestroyRunObject) REQUIRED(HandleRunObject) REQUIRED(GetActionInfos)                    \
    REQUIRED(GetConditionInfos) REQUIRED(GetExpressionInfos)                                         \
    OPTIONAL(Initialize) OPTIONAL(Free) OPTIONAL(GetInfos) OPTIONAL(GetDependencies)                 \
    OPTIONAL(LoadObject) OPTIONAL(UnloadObject) OPTIONAL(UpdateEditStructure)                        \
    OPTIONAL(UpdateFileNames) OPTIONAL(DisplayRunObject) OPTIONAL(PauseRunObject)                    \
    OPTIONAL(ContinueRunObject) OPTIONAL(SaveRunObject) OPTIONAL(LoadRunObject) OPTIONAL(StartApp)   \
    OPTIONAL(EndApp) OPTIONAL(StartFrame) OPTIONAL(EndFrame) OPTIONAL(GetDebugTree)                  \
    OPTIONAL(GetDebugItem) OPTIONAL(EditDebugItem) OPTIONAL(GetActionMenu)                           \
    OPTIONAL(GetConditionMenu) OPTIONAL(GetExpressionMenu) OPTIONAL(GetActionCodeFromMenu)           \
    OPTIONAL(GetConditionCodeFromMenu) OPTIONAL(GetExpressionCodeFromMenu)                           \
    OPTIONAL(GetActionString) OPTIONAL(GetConditionString) OPTIONAL(GetExpressionString)             \
    OPTIONAL(GetActionTitle) OPTIONAL(GetConditionTitle) OPTIONAL(GetExpressionTitle)                \
    OPTIONAL(GetExpressionParam) OPTIONAL(GetParameterString) OPTIONAL(InitParameter)                \
    OPTIONAL(EditParameter) OPTIONAL(CreateObject) OPTIONAL(EditObject) OPTIONAL(GetObjInfos)        \
    OPTIONAL(GetHelpFileName) OPTIONAL(GetObjectRect) OPTIONAL(IsTransparent) OPTIONAL(GetFilters)   \
    OPTIONAL(UsesFile) OPTIONAL(CreateFromFile) OPTIONAL(PutObject) OPTIONAL(RemoveObject)           \
    OPTIONAL(DuplicateObject) OPTIONAL(PrepareToWriteObject) OPTIONAL(GetProperties)                 \
    OPTIONAL(ReleaseProperties) OPTIONAL(GetPropCreateParam) OPTIONAL(ReleasePropCreateParam)        \
    OPTIONAL(GetPropValue) OPTIONAL(SetPropValue) OPTIONAL(GetPropCheck) OPTIONAL(SetPropCheck)      \
    OPTIONAL(EditProp) OPTIONAL(IsPropEnabled) OPTIONAL(GetTextCaps) OPTIONAL(GetTextFont)           \
    OPTIONAL(SetTextFont) OPTIONAL(GetTextClr) OPTIONAL(SetTextClr) OPTIONAL(GetTextAlignment)       \
    OPTIONAL(SetTextAlignment) OPTIONAL(AttachDesktop)

// What a built game's run-time library must export, as X(Name): the load-time
// and run-time entry points, and nothing of the editor.
#define TRIVU_HOST_RUNTIME_EXPORTS(X)                                                                 \
    X(Initialize) X(Free) X(GetInfos) X(GetDependencies) X(LoadObject) X(UnloadObject)               \
    X(UpdateEditStructure) X(UpdateFileNames) X(GetRunObjectInfos) X(GetRunObjectDataSize)           \
    X(CreateRunObject) X(DestroyRunObject) X(HandleRunObject) X(DisplayRunObject) X(PauseRunObject)  \
    X(ContinueRunObject) X(SaveRunObject) X(LoadRunObject) X(StartApp) X(EndApp) X(StartFrame)       \
    X(EndFrame) X(GetDebugTree) X(GetDebugItem) X(EditDebugItem)

// The editor loads the edit-time library; a built game, the run-time one.
enum class LibraryKind { EditTime, RunTime };

// A library loaded with dlopen, kept loaded for the life of the object (the
// host keeps it for the whole run, so process-wide state lives from frame to
// frame). Each export is a member of the same name; missing optional ones are
// null.
struct Library {
#define TRIVU_HOST_MEMBER(name) decltype(&::name) name = nullptr;
    TRIVU_HOST_EXPORTS(TRIVU_HOST_MEMBER, TRIVU_HOST_MEMBER)
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

// The path of trivu.mfx next to the running trivu-host.
std::string defaultExtensionPath();

// Loads the host's runtime library, as the real host does before any
// extension: the stand-in's mmfs2.dll (mmfs2.so on Linux) next to the
// program, whose export 90 answers an image number plus 100. Without it the
// extension's image call answers 0; that is no error.
void loadRuntimeLibrary();

}  // namespace standin
