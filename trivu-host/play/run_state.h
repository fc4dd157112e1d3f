// The parts of `trivu-host run` share one Run record: everything a run owns,
// with the instances the extension sees and the calls into it in progress.
// This header holds that record and the functions the parts call across
// files: run_state.cpp (trace lines, warnings, instances), run_values.cpp
// (expressions), run_calls.cpp (calls into the extension and the service
// table it calls back), run_events.cpp (events and frames) and runner.cpp
// (preparing and playing a scenario).
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <new>
#include <optional>
#include <ostream>
#include <string>
#include <unordered_map>
#include <vector>

#include "trivu-host/play/desktop.h"
#include "trivu-host/play/editor.h"
#include "trivu-host/play/library.h"
#include "trivu-host/play/run_report.h"
#include "trivu-host/scenario/scenario.h"

namespace standin::runner {

// ---- Run state ---------------------------------------------------------------------

constexpr int kAltValues = VALUES_NUMBEROF_ALTERABLE;
// Raises nest inside raises; a scenario whose events raise each other
// forever must end in a warning, not a stack overflow.
constexpr int kMaxRaiseDepth = 16;
constexpr int kMaxInstanceNumber = 32767;  // object numbers are 16-bit

// An object instance of any type (Active or not), laid out as the host lays
// out an Active object: the header the extension sees at the start, then the
// common, movement, animation, sprite and values blocks; and the alterable
// values the values block points to.
struct Instance {
    RunObject ro{};
    CValue values[kAltValues]{};
    int object = -1;
    bool removed = false;  // left the selection at the end of its destroying tick
    std::string name;      // "Ball#3", as the trace names it
};

// What the host writes at the start of an extension's RUNDATA: the header,
// then the values block (the one block TRIVU's flags ask for).
struct ExtensionHead {
    headerObject rHo;
    rVal rv;
};
static_assert(sizeof(ExtensionHead) == sizeof(headerObject) + sizeof(rVal));

// RUNDATA blocks are aligned for any field an extension may put there
// (std::aligned_alloc is missing from the Windows C runtime).
constexpr std::align_val_t kRecordAlignment{16};

inline void releaseRecord(RUNDATA* record) { ::operator delete(record, kRecordAlignment); }

struct ExtInstance {
    int type = -1;
    RUNDATA* rd = nullptr;  // owned; freed at frame end, after every destroy call
    CValue values[kAltValues]{};
    bool wanted = true;       // HandleRunObject is called on each tick
    int64_t rehandleAt = -1;  // the tick from which it is wanted again
    bool destroyed = false;   // DestroyRunObject has run: no more calls
    headerObject& ho() { return *reinterpret_cast<headerObject*>(rd); }
};

// An event's picks: an object without one selects all its instances.
struct Pick {
    int object;
    std::vector<Instance*> chosen;
};
struct Scope {
    std::vector<Pick> picks;
};

// One call into the extension in progress, for its parameter fetches.
struct Call {
    Call(ExtInstance& ext, const std::vector<Param>& params, Scope& scope, const std::string& path, std::string what)
        : ext(&ext), params(&params), scope(&scope), path(&path), what(std::move(what)) {}

    ExtInstance* ext = nullptr;
    const std::vector<Param>* params = nullptr;
    Scope* scope = nullptr;
    const std::string* path = nullptr;
    std::string what;  // "action 5", for warnings
    bool expression = false;
    int loopParam = -1;  // the object parameter the action loop runs over
    Instance* loop = nullptr;
    size_t next = 0;
    std::deque<std::u16string> texts;  // answered texts, valid until the routine returns
};

// The frame's instances found without walking the frame: by the header the
// extension hands back (never trusted before it is found here), by number,
// and the live ones (not yet removed) of each object and of all, in creation
// order. Filled as instances are created, emptied when the frame ends.
struct FrameIndex {
    std::unordered_map<const headerObject*, Instance*> instanceAt;
    std::unordered_map<const headerObject*, ExtInstance*> extAt;
    std::vector<Instance*> byNumber;              // null for an extension's number
    std::vector<std::vector<Instance*>> liveOf;   // by object
    std::vector<Instance*> live;
    std::vector<ExtInstance*> extOfType;          // the first of each type, null for none
};

struct Run {
    const Scenario& sc;
    Library& lib;
    Desktop& desktop;
    std::ostream& out;
    std::ostream& err;
    bool trace;

    RunHeader rh{};
    std::vector<EditRecord*> records;  // per extension type
    std::vector<objInfoList> objectInfos, extensionInfos;

    int frame = -1;
    int64_t tick = -1;               // -1 outside ticks
    std::deque<Instance> instances;  // deques: the extension keeps pointers into them
    std::deque<ExtInstance> exts;
    FrameIndex index;
    int nextNumber = 0;
    std::vector<Call*> calls;  // innermost last
    int raiseDepth = 0;
    bool frameEnds = false, appEnds = false;
    RunReport* report = nullptr;  // who follows the run, or null

    Run(const Scenario& s, Library& l, Desktop& d, std::ostream& o, std::ostream& e, bool t)
        : sc(s), lib(l), desktop(d), out(o), err(e), trace(t) {}
    Run(const Run&) = delete;
    Run& operator=(const Run&) = delete;
    // A run stopped by an exception still gives its blocks back.
    ~Run() {
        for (ExtInstance& ext : exts) releaseRecord(ext.rd);
    }
};

// The run in progress: the service table the extension calls back into has
// no context argument. Set only while a scenario plays.
extern Run* gRun;

// ---- Output (run_state.cpp) ---------------------------------------------------------

void line(Run& run, const std::string& text);  // a trace line, stamped frame:tick
void warn(Run& run, const std::string& path, const std::string& text);
const std::string& callPath(const Run& run);  // the innermost call's, for services

// ---- Instances (run_state.cpp) ------------------------------------------------------

objInfoList objectInfoNamed(const std::u16string& name);
Instance* createInstance(Run& run, int object, int32_t x, int32_t y, std::optional<int32_t> width,
                         std::optional<int32_t> height, const std::string& path);
const std::vector<Instance*>& liveOf(Run& run, int object);  // not yet removed, in creation order
std::vector<Instance*> selected(Run& run, const Scope& scope, int object);
Instance* firstSelected(Run& run, const Scope& scope, int object);
void indexExtension(Run& run, ExtInstance& ext);
void removeDestroyed(Run& run);  // at the end of a tick
void forgetInstances(Run& run);  // at the end of a frame
Instance* findInstance(Run& run, const headerObject* ho);
Instance* instanceNumbered(Run& run, int number);
ExtInstance* findExt(Run& run, const headerObject* ho);
ExtInstance* extOf(Run& run, int type);
const std::string& nameOf(const Instance& in);

// ---- Values (run_values.cpp) ---------------------------------------------------------

Value intValue(int64_t i);
Value textValue(std::u16string text);
int32_t toInt32(const Value& v);
std::string logForm(const Value& v);
std::u16string textForm(const Value& v);
std::string altForm(const CValue& a);
Value eval(Run& run, Scope& scope, int index);

// ---- Calls (run_calls.cpp) -----------------------------------------------------------

Value evalExtension(Run& run, Scope& scope, const Expr& e);
ExtInstance* liveExt(Run& run, int type, const std::string& path);
bool callCondition(Run& run, Scope& scope, const Condition& c, ExtInstance& ext);
void extensionAction(Run& run, Scope& scope, const Action& a);
void reportPositions(Run& run);
void reportHandled(Run& run);
void fillRunHeader(Run& run);

// ---- Events and frames (run_events.cpp) ----------------------------------------------

void runEvent(Run& run, const Event& ev, ExtInstance* raiser);
void runFrame(Run& run, int index);

}  // namespace standin::runner
