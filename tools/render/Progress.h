#pragma once

#include <chrono>
#include <cstdio>
#include <string>

namespace Taviro::Render
{

// The line that a render prints while it runs: a bar, the position against the song's length and
// how many times faster than real time it renders. The tail after the song's end shows as a full
// bar with the position still counting.
std::string progressLine(double positionSeconds, double totalSeconds, double realTimeFactor,
                         int barWidth = 30);

// Level of a linear peak in dB below full scale, with one decimal ("-6.0 dBFS", "-inf dBFS").
std::string peakText(double peak);

// Redraws the progress line on standard error when that is a terminal, a few times per second.
class ProgressDisplay
{
  public:
    ProgressDisplay(double totalSeconds, bool enabled);

    void update(double positionSeconds);
    void finish();
    double realTimeFactor(double positionSeconds) const;

  private:
    using Clock = std::chrono::steady_clock;

    double totalSeconds;
    bool enabled;
    bool drawn = false;
    Clock::time_point start = Clock::now();
    Clock::time_point lastDrawn = start;
};

} // namespace Taviro::Render
