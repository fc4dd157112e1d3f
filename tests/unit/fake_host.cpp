#include "fake_host.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <new>

#include "platform/platform.h"
#include "platform/utf.h"

namespace test {

int hostSide = 0;

namespace {

struct OnHostSide {
    OnHostSide() { ++hostSide; }
    ~OnHostSide() { --hostSide; }
    OnHostSide(const OnHostSide&) = delete;
    OnHostSide& operator=(const OnHostSide&) = delete;
};

std::string utf8(const char16_t* text) { return text ? trivu::platform::utf16ToUtf8(text) : std::string(); }

RecordingDesktop* recorder = nullptr;
int nextHandle = 0x1000;

int32_t boxA(void*, HWND, const char* text, const char* caption, uint32_t) {
    OnHostSide host;
    if (recorder) recorder->boxes.push_back({caption ? caption : "", text ? text : "", false});
    return IDOK;
}

int32_t boxW(void*, HWND, const char16_t* text, const char16_t* caption, uint32_t) {
    OnHostSide host;
    if (recorder) recorder->boxes.push_back({utf8(caption), utf8(text), true});
    return IDOK;
}

HMENU createPopupMenu(void*) {
    if (recorder) ++recorder->menusCreated;
    return reinterpret_cast<HMENU>(static_cast<intptr_t>(nextHandle++));
}

int32_t appendMenu(void*, HMENU menu, uint32_t flags, uintptr_t id, const char16_t* text) {
    OnHostSide host;
    if (recorder) recorder->appends.push_back({menu, flags, id, text ? std::u16string(text) : std::u16string()});
    return 1;
}

// The user presses OK at once; then the help command, to see it reach the host.
intptr_t dialogBox(void*, const DesktopDialog*, HWND, DLGPROC proc, intptr_t param) {
    if (recorder) ++recorder->dialogsShown;
    auto dialog = reinterpret_cast<HWND>(intptr_t{0x77});
    proc(dialog, WM_INITDIALOG, 0, param);
    proc(dialog, WM_COMMAND, 20004, 0);
    proc(dialog, WM_COMMAND, IDOK, 0);
    return recorder ? recorder->dialogResult : -1;
}

int32_t endDialog(void*, HWND, intptr_t result) {
    if (recorder) recorder->dialogResult = result;
    return 1;
}

intptr_t setLong(void*, HWND, int32_t, intptr_t value) {
    if (recorder) recorder->dialogUserData = value;
    return 0;
}

intptr_t getLong(void*, HWND, int32_t) { return recorder ? recorder->dialogUserData : 0; }

}  // namespace

RecordingDesktop::RecordingDesktop() {
    table_.size = sizeof(TrivuDesktop);
    table_.messageBoxA = boxA;
    table_.messageBoxW = boxW;
    table_.createPopupMenu = createPopupMenu;
    table_.appendMenuW = appendMenu;
    table_.dialogBoxIndirectParamW = dialogBox;
    table_.endDialog = endDialog;
    table_.setWindowLongPtrW = setLong;
    table_.getWindowLongPtrW = getLong;
    recorder = this;
    AttachDesktop(&table_);
}

RecordingDesktop::~RecordingDesktop() {
    AttachDesktop(nullptr);
    recorder = nullptr;
}

// ---- Editor -------------------------------------------------------------------

namespace {
// The editor's services take no editor block: they reach the newest editor.
FakeEditor* editor = nullptr;
uint32_t WINAPI versionOf() { return editor != nullptr ? editor->version : 0; }
void WINAPI help(const char16_t*, uint32_t, intptr_t) {
    if (recorder) ++recorder->helpRequests;
}
}  // namespace

FakeEditor::FakeEditor(uint32_t version)
    : version(version), record_(std::make_unique<std::vector<uint8_t>>(EDITDATA_FIXED_SIZE, 0)) {
    mv_.mvGetVersion = versionOf;
    mv_.mvCallFunction = callFunction;
    mv_.mvHelpW = help;
    editor = this;
    record()->eHeader.extSize = EDITDATA_FIXED_SIZE;
}

FakeEditor::~FakeEditor() {
    if (editor == this) editor = nullptr;
}

intptr_t WINAPI FakeEditor::callFunction(void* ed, int32_t function, intptr_t a, intptr_t b, intptr_t c) {
    OnHostSide host;
    if (editor == nullptr) return 0;
    editor->calls.push_back({function, a == reinterpret_cast<intptr_t>(ed), b, c});
    switch (function) {
        case EF_INSERTPROPS:
            for (auto props = reinterpret_cast<const PropData*>(a); props->dwID != 0; ++props)
                editor->inserted.push_back(*props);
            return 0;
        case EF_REALLOCEDATA:
            return reinterpret_cast<intptr_t>(editor->reallocate(reinterpret_cast<void*>(a), static_cast<uint32_t>(b)));
        default: return 0;
    }
}

void* FakeEditor::reallocate(void* ed, uint32_t size) {
    if (!allowResize || ed != record_->data()) return nullptr;
    auto moved = std::make_unique<std::vector<uint8_t>>(size, 0);
    std::memcpy(moved->data(), record_->data(), std::min<size_t>(size, record_->size()));
    record_ = std::move(moved);
    record()->eHeader.extSize = size;
    return record();
}

void FakeEditor::load(const std::vector<uint8_t>& stored) {
    record_ = std::make_unique<std::vector<uint8_t>>(std::max<size_t>(stored.size(), EDITDATA_FIXED_SIZE), 0);
    if (!stored.empty()) std::memcpy(record_->data(), stored.data(), stored.size());
    record()->eHeader.extSize = static_cast<uint32_t>(record_->size());
}

EDITDATA* createRecord(FakeEditor& editor, const char16_t* text) {
    CreateObject(editor.block(), nullptr, editor.record());
    if (text != nullptr) {
        CPropWStringValue value(text);
        SetPropValue(editor.block(), editor.record(), 0x80001, &value);
    }
    return editor.record();
}

// ---- Run time -----------------------------------------------------------------

namespace {
Instance* active = nullptr;
}  // namespace

template <int F>
intptr_t WINAPI serviceThunk(headerObject* ho, uintptr_t request, intptr_t argument) {
    return Instance::service(F, ho, request, argument);
}

Instance::Instance(int32_t forcePopup, int32_t regexIcase, int32_t regexControlChars, int32_t jsonShare,
                   const char16_t* text) {
    EDITDATA* ed = createRecord(editor_, text);
    ed->forcePopup = forcePopup;
    ed->regexIcase = regexIcase;
    ed->regexControlChars = regexControlChars;
    ed->jsonShare = jsonShare;
    create(ed);
}

Instance::Instance(const std::vector<uint8_t>& stored) {
    editor_.load(stored);
    create(editor_.record());
}

void Instance::create(EDITDATA* ed) {
    ed_ = ed;
    runHeader.rh4.rh4KpxFunctions[RFUNCTION_REHANDLE] = serviceThunk<RFUNCTION_REHANDLE>;
    runHeader.rh4.rh4KpxFunctions[RFUNCTION_GENERATEEVENT] = serviceThunk<RFUNCTION_GENERATEEVENT>;
    runHeader.rh4.rh4KpxFunctions[RFUNCTION_GETPARAM1] = serviceThunk<RFUNCTION_GETPARAM1>;
    runHeader.rh4.rh4KpxFunctions[RFUNCTION_GETPARAM2] = serviceThunk<RFUNCTION_GETPARAM2>;
    runHeader.rh4.rh4KpxFunctions[RFUNCTION_GETPARAM] = serviceThunk<RFUNCTION_GETPARAM>;
    runHeader.rh4.rh4KpxFunctions[RFUNCTION_REDRAW] = serviceThunk<RFUNCTION_REDRAW>;
    runHeader.rh4.rh4KpxFunctions[RFUNCTION_DESTROY] = serviceThunk<RFUNCTION_DESTROY>;
    runHeader.rh4.rh4Animations = animate;

    size_t size = GetRunObjectDataSize(&runHeader, ed);
    rd_ = static_cast<RUNDATA*>(::operator new(size, std::align_val_t{16}));
    std::memset(static_cast<void*>(rd_), 0, size);
    rd_->rHo.hoType = KPX_BASE;
    rd_->rHo.hoAdRunHeader = &runHeader;
    active = this;
    CreateRunObject(rd_, ed, nullptr);
}

Instance::~Instance() {
    destroy();
    ::operator delete(static_cast<void*>(rd_), std::align_val_t{16});
    if (active == this) active = nullptr;
}

void Instance::destroy() {
    if (destroyed_) return;
    destroyed_ = true;
    active = this;
    DestroyRunObject(rd_, 0);
}

void Instance::queue(std::vector<Param> params) {
    OnHostSide host;
    params_.assign(params.begin(), params.end());
    // The objects of a frame share its run header: calls about them (a
    // redraw, a destroy, the animation step) go through it.
    for (const Param& p : params_)
        if (p.object != nullptr) p.object->hoAdRunHeader = &runHeader;
    active = this;
    rd_->rHo.hoFlags &= static_cast<uint16_t>(~(HOF_STRING | HOF_FLOAT));
}

int16_t Instance::action(int code, std::vector<Param> params) {
    queue(std::move(params));
    kpxRunInfos infos{};
    GetRunObjectInfos(nullptr, &infos);
    return infos.actions[code](rd_, 0, 0);
}

bool Instance::condition(int code, std::vector<Param> params) {
    queue(std::move(params));
    kpxRunInfos infos{};
    GetRunObjectInfos(nullptr, &infos);
    return infos.conditions[code](rd_, 0, 0) != 0;
}

intptr_t Instance::expression(int code, std::vector<Param> params) {
    queue(std::move(params));
    kpxRunInfos infos{};
    GetRunObjectInfos(nullptr, &infos);
    return infos.expressions[code](rd_, 0x5A5A);
}

std::u16string Instance::textExpression(int code, std::vector<Param> params) {
    intptr_t result = expression(code, std::move(params));
    if ((rd_->rHo.hoFlags & HOF_STRING) == 0) return u"<not a text>";
    auto text = reinterpret_cast<const char16_t*>(result);
    return text != nullptr ? text : u"<null>";
}

intptr_t Instance::next(uintptr_t request, int function) {
    requests.push_back(request);
    functions.push_back(function);
    if (params_.empty()) {
        ++unansweredFetches;
        return 0;
    }
    // The text stays in `current` until the next fetch, like a host buffer.
    static std::u16string current;
    Param p = params_.front();
    params_.pop_front();
    if (p.isText) {
        current = p.text;
        return reinterpret_cast<intptr_t>(current.c_str());
    }
    if (p.isObject) return reinterpret_cast<intptr_t>(p.object);
    return p.number;
}

void Instance::animate(headerObject* ho, int32_t anim) {
    OnHostSide host;
    if (active == nullptr) return;
    const int32_t forced = reinterpret_cast<RunObject*>(ho)->roa.raAnimFrameForced;  // a packed field: by value
    active->animated.push_back(forced);
    active->animations.push_back(anim);
}

intptr_t WINAPI Instance::service(int function, headerObject* ho, uintptr_t request, intptr_t) {
    OnHostSide host;
    Instance* self = active;
    if (self == nullptr) return 0;
    switch (function) {
        case RFUNCTION_GETPARAM:
        case RFUNCTION_GETPARAM1:
        case RFUNCTION_GETPARAM2: return self->next(request, function);
        case RFUNCTION_GENERATEEVENT:
            self->events.push_back(static_cast<int>(request));
            if (self->onEvent) self->onEvent(static_cast<int>(request));
            return 0;
        case RFUNCTION_REHANDLE: ++self->rehandles; return 0;
        case RFUNCTION_REDRAW: self->redrawn.push_back(ho); return 0;
        case RFUNCTION_DESTROY: self->destroyed.push_back(ho); return 0;
        default: return 0;
    }
}

}  // namespace test
