#pragma once

namespace ui {

// Shows the hourglass for the guard's lifetime, also when an exception leaves
// the scope.
class HourglassCursor {
public:
    HourglassCursor();
    ~HourglassCursor();
    HourglassCursor(const HourglassCursor&) = delete;
    HourglassCursor& operator=(const HourglassCursor&) = delete;
};

}  // namespace ui
