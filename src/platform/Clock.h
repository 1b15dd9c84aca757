#pragma once

namespace hvx {

// The parts of the local wall-clock time the program uses.
struct LocalTime {
    int hour = 0;     // 0..23
    int minute = 0;   // 0..59
    int weekday = 0;  // 0 Sunday .. 6 Saturday
};

class IClock {
  public:
    virtual ~IClock() = default;
    virtual LocalTime Now() = 0;
};

}  // namespace hvx
