#include "tools/render/Progress.h"

#include <algorithm>
#include <cmath>

namespace Taviro::Render
{
namespace
{

std::string fixed(double value, int decimals)
{
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return text;
}

} // namespace

std::string progressLine(double positionSeconds, double totalSeconds, double realTimeFactor, int barWidth)
{
    double fraction = totalSeconds > 0 ? std::clamp(positionSeconds / totalSeconds, 0.0, 1.0) : 1.0;
    int filled = static_cast<int>(fraction * barWidth);
    std::string line(1, '[');
    line.append(filled, '#').append(barWidth - filled, '.').append("] ");
    line += fixed(positionSeconds, 1) + " s / " + fixed(totalSeconds, 1) + " s";
    if (positionSeconds > totalSeconds)
        line += " (tail)";
    if (realTimeFactor > 0)
        line += ", " + fixed(realTimeFactor, 1) + "x real time";
    return line;
}

std::string peakText(double peak)
{
    if (!(peak > 0))
        return "-inf dBFS";
    return fixed(20.0 * std::log10(peak), 1) + " dBFS";
}

ProgressDisplay::ProgressDisplay(double totalSeconds, bool enabled)
    : totalSeconds(totalSeconds), enabled(enabled)
{
}

double ProgressDisplay::realTimeFactor(double positionSeconds) const
{
    double elapsed = std::chrono::duration<double>(Clock::now() - start).count();
    return elapsed > 0 ? positionSeconds / elapsed : 0.0;
}

void ProgressDisplay::update(double positionSeconds)
{
    if (!enabled)
        return;
    auto now = Clock::now();
    if (drawn && now - lastDrawn < std::chrono::milliseconds(100))
        return;
    lastDrawn = now;
    drawn = true;
    // Clear to the end of the line so that a shorter line leaves no remains.
    std::fprintf(stderr, "\r%s\033[K",
                 progressLine(positionSeconds, totalSeconds, realTimeFactor(positionSeconds)).c_str());
    std::fflush(stderr);
}

void ProgressDisplay::finish()
{
    if (enabled && drawn)
        std::fprintf(stderr, "\r\033[K");
    drawn = false;
}

} // namespace Taviro::Render
