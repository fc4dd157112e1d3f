// The record of a run that `run --svg FILE` draws and `run --html FILE`
// plays, one panel per frame.
//
// It follows the run (RunReport, play/run_report.h): positions at the end of
// each tick, the extension's motion registrations and controllers as it
// called them, the wall and sleep events it raised, the objects it destroyed
// and the ones the game placed, the trace lines; draw/svg.h draws it all at
// the end, draw/html.h writes the page. The output depends on nothing but
// those inputs, so the same scenario gives the same bytes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "host/boundary/ace_numbers.h"
#include "trivu-host/play/run_report.h"
#include "trivu-host/record/track.h"

namespace standin {

// Ticks FROM to TO of each frame, both included, counted from 0 as in the
// trace.
struct TickRange {
    int64_t from = 0, to = 0;
};

class Recorder final : public RunReport {
public:
    void startFrame(const std::string& name) override;
    void position(int number, const std::string& label, int64_t tick, int32_t x, int32_t y, int32_t width,
                  int32_t height) override;
    // Where an orbit around the instance finds its centre.
    void handled(int number, int64_t tick, int32_t x, int32_t y) override;
    void removed(int number, int64_t tick) override;
    // Kept only when asked (the page shows them; the drawing does not).
    void traceLine(int64_t tick, const std::string& text) override;
    bool keepsTraceLines = false;
    // Motion registrations give instances their group's colour, and walls
    // and centres to draw; controllers (stop, reverse, reject, by group name
    // or for the instance they ran for) leave marks; a centre change moves
    // the orbits of a group to another centre; other actions are ignored.
    void action(const ActionCall& call) override;
    void event(int condition, int32_t x, int32_t y) override;
    // The path breaks where the game placed the instance.
    void placed(int number) override;
    void destroyed(int number) override;

    // The same record with only what happened in `ticks`: the positions,
    // marks and lines of those ticks, and the centres set by their end.
    Recorder between(TickRange ticks) const;

    using Point = Track::Point;
    // An instance's record: what each tick costs is its place in `points`
    // (and, for an orbit, in `centreTrack`); the rest is fixed.
    struct Path {
        int number;
        std::string label;
        int group = -1;  // index into the panel's groups, -1 for none
        Track points;
        bool placedNext = false;
        bool destroyed = false;
        // For the page: its size, when it left the frame, when the
        // extension destroyed it, and an orbit's centre at each tick from
        // its registration on.
        int32_t width = 0, height = 0;
        int64_t removedAt = -1, destroyedAt = -1;
        Track centreTrack;
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
    void registration(const trivu::MotionRegistration& r, const ActionCall& call);
    void control(int code, const std::vector<std::u16string>& texts, int number);
    void changeCentre(const std::vector<std::u16string>& texts, int number);

    std::vector<Panel> panels_;
    std::vector<int> pathOf_;  // the last panel's path of each instance number, -1 for none
    std::vector<std::u16string> lastTexts_;  // of the loop's first run
};

}  // namespace standin
