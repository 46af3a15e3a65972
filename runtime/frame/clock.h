// The runtime's one millisecond clock.
#pragma once

namespace vlm {

struct ClockState {
    bool TimerIsHighResolution = false;
    double CounterFrequency = 0.0;
    double StartTime = 0.0;          // MillisecondsNow at the end of start-up
    double LastFrameStart = 0.0;     // stamps of the last two ShowFrame calls
    double PreviousFrameStart = 0.0;
};

ClockState& TheClock();
void InitTimer();

// ---- Program-facing ---------------------------------------------------------
double MillisecondsNow();
double ElapsedMilliseconds(); // since StartTime
double FrameDuration();       // between the last two frames; 1.0 when not positive
void SleepMilliseconds(double ms);

} // namespace vlm
