// A minimal host for the extension's unit tests: a desktop that records its
// boxes, an editor block whose records live in test memory, and a run header
// whose services answer from a queue of parameters and record what the
// extension asked for.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "host/boundary/editdata.h"
#include "host/boundary/rundata.h"
#include "sdk/exports.h"

namespace test {

struct Box {
    std::string caption;
    std::string text;
    bool wide = false;
    bool operator==(const Box&) const = default;
};

// Attached on construction, detached on destruction.
class RecordingDesktop {
public:
    RecordingDesktop();
    ~RecordingDesktop();
    std::vector<Box> boxes;
    struct Append {
        HMENU menu;
        uint32_t flags;
        uintptr_t id;
        std::u16string text;
    };
    std::vector<Append> appends;
    int menusCreated = 0;
    int dialogsShown = 0;
    int helpRequests = 0;
    intptr_t dialogUserData = 0;
    intptr_t dialogResult = -1;

private:
    TrivuDesktop table_{};
};

// The editor's block with one edit-time record in test memory. Every
// reallocation moves the record, so a stale pointer would show up.
class FakeEditor {
public:
    explicit FakeEditor(uint32_t version = MMFVERSION_20 | 285);
    ~FakeEditor();
    FakeEditor(const FakeEditor&) = delete;
    FakeEditor& operator=(const FakeEditor&) = delete;
    mv* block() { return &mv_; }
    EDITDATA* record() { return reinterpret_cast<EDITDATA*>(record_->data()); }
    uint32_t size() const { return static_cast<uint32_t>(record_->size()); }
    std::vector<uint8_t> bytes() const { return *record_; }
    // Replaces the record by `stored` as a game file holds it, grown to the
    // fixed size if shorter; the header's size is the host's, as it writes it.
    void load(const std::vector<uint8_t>& stored);
    bool allowResize = true;
    std::vector<PropData> inserted;
    // The editor functions called: code, whether the first argument was the
    // record itself, and the next two.
    struct Call {
        int32_t function;
        bool recordFirst;
        intptr_t b, c;
        bool operator==(const Call&) const = default;
    };
    std::vector<Call> calls;
    uint32_t version;

private:
    static intptr_t WINAPI callFunction(void* ed, int32_t function, intptr_t a, intptr_t b, intptr_t c);
    void* reallocate(void* ed, uint32_t size);
    mv mv_{};
    std::unique_ptr<std::vector<uint8_t>> record_;
};

// A record made as the editor makes one: CreateObject, then the TEXT property.
EDITDATA* createRecord(FakeEditor& editor, const char16_t* text = nullptr);

// A parameter the host hands over: a number, a text or an object.
struct Param {
    Param(int32_t number) : number(number) {}
    Param(const char16_t* text) : isText(true), text(text) {}
    Param(headerObject* object) : isObject(true), object(object) {}
    int32_t number = 0;
    bool isText = false;
    std::u16string text;
    bool isObject = false;
    headerObject* object = nullptr;
};

// One TRIVU instance created through the exports, on its own run header.
class Instance {
public:
    // forcePopup etc. are written into the record after CreateObject.
    explicit Instance(int32_t forcePopup = 1, int32_t regexIcase = 0, int32_t regexControlChars = 0,
                      int32_t jsonShare = 0, const char16_t* text = u"日本語表現");
    // An instance made from a stored record, as a game file hands it over.
    explicit Instance(const std::vector<uint8_t>& stored);
    ~Instance();
    RUNDATA& rd() { return *rd_; }

    // Calls ACE `code` with the given parameters queued.
    int16_t action(int code, std::vector<Param> params = {});
    bool condition(int code, std::vector<Param> params = {});
    intptr_t expression(int code, std::vector<Param> params = {});
    std::u16string textExpression(int code, std::vector<Param> params = {});

    // What the extension asked of the host.
    std::vector<uint32_t> requests;  // request codes of parameter fetches
    std::vector<int> functions;      // service numbers used for fetches
    std::vector<int> events;         // conditions raised
    std::function<void(int)> onEvent;  // runs inside each raise, as the game's events would
    std::vector<headerObject*> destroyed;  // objects the extension destroyed, in order
    int rehandles = 0;
    std::vector<headerObject*> redrawn;  // objects the extension asked to redraw
    std::vector<int32_t> animated;       // forced frames (plus one) as the animation step saw them
    std::vector<int32_t> animations;     // the animation numbers it was called with
    int unansweredFetches = 0;
    RunHeader runHeader{};
    void destroy();  // DestroyRunObject now (the destructor then does nothing)

private:
    void create(EDITDATA* ed);
    static intptr_t WINAPI service(int function, headerObject* ho, uintptr_t request, intptr_t argument);
    static void animate(headerObject* ho, int32_t anim);
    void queue(std::vector<Param> params);
    intptr_t next(uintptr_t request, int function);
    FakeEditor editor_;
    EDITDATA* ed_ = nullptr;
    RUNDATA* rd_ = nullptr;
    std::deque<Param> params_;
    bool destroyed_ = false;
    template <int F>
    friend intptr_t WINAPI serviceThunk(headerObject*, uintptr_t, intptr_t);
};

// Nonzero while the fake host itself runs (its services, its desktop, the
// queueing of parameters): the allocation-failure tests fail only the
// extension's own requests.
extern int hostSide;

// An Active object (or another kind) for object parameters, with object and
// creation number `number`, the name "Sprite" and its alterable values. A
// copy points at the original's name and values: keep sprites in place.
struct Sprite {
    explicit Sprite(int16_t type = OBJ_SPR, int16_t number = 0, int32_t x = 0, int32_t y = 0) {
        object.roHo.hoType = type;
        object.roHo.hoNumber = number;
        object.roHo.hoCreationId = static_cast<uint16_t>(number);
        object.roHo.hoX = x;
        object.roHo.hoY = y;
        object.roHo.hoOiList = &info;
        object.rov.rvpValues = values;
        for (int i = 0; i < 6; ++i) info.oilName[i] = u"Sprite"[i];
    }
    RunObject object{};
    objInfoList info{};
    CValue values[VALUES_NUMBEROF_ALTERABLE]{};
    headerObject* header() { return &object.roHo; }
};

// A sprite of a given size, as the alignment and the motions read it. It
// points into itself, so it is made in place and never copied.
struct Piece : Sprite {
    explicit Piece(int32_t x = 0, int32_t y = 0, int32_t width = 16, int32_t height = 24)
        : Sprite(OBJ_SPR, 0, x, y) {
        object.roHo.hoImgWidth = width;
        object.roHo.hoImgHeight = height;
    }
    Piece(const Piece&) = delete;
    Piece& operator=(const Piece&) = delete;
};

}  // namespace test
