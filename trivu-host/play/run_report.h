// What a run reports as it plays, to whoever follows it: the recorder of
// the pictures (record/recorder.h) implements this, and play/ names no
// picture. Nothing is reported, and nothing extra is asked of the extension,
// when no one follows.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace standin {

// One run of an extension action for one instance of its loop (or the one
// run of an action without one), as the host made it.
struct ActionCall {
    int code = -1;                      // the action
    int32_t loopIndex = 0;              // the action loop index of this run
    std::vector<std::u16string> texts;  // the text parameters fetched, in order
    int number = -1;                    // the instance it ran for, -1 for none
    int32_t x = 0, y = 0;               // its position before the call
    int32_t centreX = 0, centreY = 0;   // the second object parameter's position before the call
    int centreNumber = -1;              // and its number, -1 for none
    int32_t markA = -1, markB = -1;     // the instance's alterable values A and B afterwards, when integers
};

class RunReport {
public:
    virtual ~RunReport() = default;

    virtual void startFrame(const std::string& name) = 0;
    // Where an instance stands once the extension has handled tick `tick`,
    // before the events.
    virtual void handled(int number, int64_t tick, int32_t x, int32_t y) = 0;
    // Where it stands at the end of tick `tick`, every tick from the one it
    // was created in to the one it leaves the frame at.
    virtual void position(int number, const std::string& label, int64_t tick, int32_t x, int32_t y, int32_t width,
                          int32_t height) = 0;
    virtual void placed(int number) = 0;                 // the game set its position
    virtual void destroyed(int number) = 0;              // the extension destroyed it
    virtual void removed(int number, int64_t tick) = 0;  // it left the frame at the end of tick `tick`
    // A wall (conditions 11 to 14) or sleep (15) event, where the extension
    // says it happened.
    virtual void event(int condition, int32_t x, int32_t y) = 0;
    virtual void action(const ActionCall& call) = 0;
    // A line the trace printed, its stamp included; tick -1 outside ticks.
    virtual void traceLine(int64_t tick, const std::string& text) = 0;
};

}  // namespace standin
