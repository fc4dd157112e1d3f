// The record of a run that `run --svg FILE` draws and `run --html FILE`
// plays, one panel per frame.
//
// The runner hands over what it sees while it plays (positions at the end
// of each tick, the extension's motion registrations as it called them, the
// wall and sleep events it raised, the objects it destroyed and the ones the
// game placed, the trace lines); draw/svg.h draws it all at the end,
// draw/html.h writes the page. The output depends on nothing but those inputs, so the
// same scenario gives the same bytes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace standin {

// A call of one of the extension's motion registrations, as the host made it.
struct MotionCall {
    int code = -1;              // the action
    int32_t loopIndex = 0;      // the action loop index of this run
    std::vector<std::u16string> texts;  // the text parameters fetched, in order
    int number = -1;            // the instance it ran for
    int32_t x = 0, y = 0;       // its position before the call
    int32_t centreX = 0, centreY = 0;  // the centre object's position (orbit around an object)
    int centreNumber = -1;             // and its number
    int32_t markA = -1, markB = -1;    // the instance's alterable values A and B afterwards, when integers
};

// Ticks FROM to TO of each frame, both included, counted from 0 as in the
// trace.
struct TickRange {
    int64_t from = 0, to = 0;
};

class Recorder {
public:
    void startFrame(const std::string& name);
    // An instance's position at the end of tick `tick`.
    void position(int number, const std::string& label, int64_t tick, int32_t x, int32_t y, int32_t width = 0,
                  int32_t height = 0);
    // Where an instance stands once the extension has handled tick `tick`,
    // before the events: where an orbit around it finds its centre.
    void handled(int number, int64_t tick, int32_t x, int32_t y);
    // The instance left the frame at the end of tick `tick`.
    void removed(int number, int64_t tick);
    // A line the trace printed, its stamp included; tick -1 outside ticks.
    // Kept only when asked (the page shows them; the drawing does not).
    void traceLine(int64_t tick, const std::string& text);
    bool keepsTraceLines = false;
    // Motion registrations give instances their group's colour, and walls
    // and centres to draw; other actions are ignored.
    void motionCall(const MotionCall& call);
    // A wall (11 to 14) or sleep (15) event at the position it reported.
    void event(int condition, int32_t x, int32_t y);
    // The game set the instance's position: its path breaks there.
    void placed(int number);
    // The extension destroyed the instance.
    void destroyed(int number);
    // A controller action ran: stop, reverse or reject, by group name
    // (texts[0]; empty for every group) or for the instance `number`.
    // Other actions are ignored.
    void control(int code, const std::vector<std::u16string>& texts, int number);

    // The same record with only what happened in `ticks`: the positions,
    // marks and lines of those ticks, and the centres set by their end.
    Recorder between(TickRange ticks) const;

    static bool isMotionRegistration(int code);
    static bool isController(int code);
    static bool isCentreChange(int code);

    struct Point {
        int64_t tick;
        int32_t x, y;
        bool placed;  // the game put it here
    };
    struct Path {
        int number;
        std::string label;
        int group = -1;  // index into the panel's groups, -1 for none
        std::vector<Point> points;
        bool placedNext = false;
        bool destroyed = false;
        // For the page: its size, when it left the frame, when the
        // extension destroyed it, and an orbit's centre at each tick from
        // its registration on.
        int32_t width = 0, height = 0;
        int64_t removedAt = -1, destroyedAt = -1;
        std::vector<Point> centreTrack;
        bool orbits = false;
        int32_t centreX = 0, centreY = 0;
        int centreOf = -1;  // the number of the instance the centre follows, -1 when fixed
        double offsetX = 0, offsetY = 0;
        int64_t handledTick = -1;
        int32_t handledX = 0, handledY = 0;
    };
    struct Wall {
        int group;
        bool vertical;  // a line x = at (a horizontal motion's wall), else y = at
        int32_t at;
    };
    // A wall or sleep event (its condition, 11 to 15) or a controller that
    // reached an instance (record/marks.h).
    struct Mark {
        int kind;
        int64_t tick;
        int32_t x, y;
        int owner = -1;  // the path's index, -1 for the one nearest
    };
    struct Line {
        int64_t tick;
        std::string text;
    };
    struct Panel {
        std::string name;
        std::vector<Line> lines;
        std::vector<Path> paths;
        std::vector<std::u16string> groups;  // in order of first registration
        std::vector<Wall> walls;
        std::vector<Point> centres;
        std::vector<Mark> marks;
        int64_t lastTick = -1;
    };

    const std::vector<Panel>& panels() const { return panels_; }

private:
    Panel& panel();
    Path& path(int number);
    Path* find(int number);
    void moveCentre(Path& p, int64_t tick);
    void changeCentre(const std::vector<std::u16string>& texts, int number);

    std::vector<Panel> panels_;
    std::vector<int> pathOf_;  // the last panel's path of each instance number, -1 for none
    std::vector<std::u16string> lastTexts_;  // of the loop's first run
};

}  // namespace standin
