// The simulated desktop's states, as a scenario sets them and the trace and
// the desktop expressions name them.
#pragma once

namespace standin {

enum class WindowState { Normal, Maximized, Minimized };
enum class TaskbarState { Visible, Hidden, Absent };

inline const char* name(WindowState state) {
    switch (state) {
        case WindowState::Normal: return "normal";
        case WindowState::Maximized: return "maximized";
        case WindowState::Minimized: return "minimized";
    }
    return "normal";
}

inline const char* name(TaskbarState state) {
    switch (state) {
        case TaskbarState::Visible: return "visible";
        case TaskbarState::Hidden: return "hidden";
        case TaskbarState::Absent: return "absent";
    }
    return "visible";
}

}  // namespace standin
