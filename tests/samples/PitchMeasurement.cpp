#include "SampleTestSupport.h"

#include <algorithm>
#include <complex>
#include <numbers>

namespace Taviro::Test {

// Offset in (-0.5, 0.5) of the vertex of the parabola through three equally spaced values.
static double parabolicOffset(double left, double centre, double right)
{
    const double curvature = left - 2.0 * centre + right;
    return curvature != 0.0 ? 0.5 * (left - right) / curvature : 0.0;
}

double periodicCents(const std::vector<double>& x, double expected, double rate)
{
    const double period = rate / expected;
    const size_t start = static_cast<size_t>(0.1 * rate), window = std::max(1024.0, 3.0 * period);
    std::vector<double> n(static_cast<size_t>(2.2 * period) + 2, 0.0);
    for (size_t lag = 0; lag < n.size(); ++lag)
    {
        double product = 0.0, energy = 0.0;
        for (size_t i = start; i < start + window; ++i)
        {
            product += x[i] * x[i + lag];
            energy += x[i] * x[i] + x[i + lag] * x[i + lag];
        }
        n[lag] = energy > 0.0 ? 2.0 * product / energy : 0.0;
    }
    // Past the first positive lobe, the first lobe peak that reaches 90% of the highest.
    size_t lag = 1;
    while (lag + 2 < n.size() && n[lag] > 0.0)
        ++lag;
    const double highest = *std::max_element(n.begin() + lag, n.end() - 1);
    while (lag + 2 < n.size() && (n[lag] < 0.9 * highest || n[lag] < n[lag + 1]))
        ++lag;
    return 1200.0 * std::log2(period / (lag + parabolicOffset(n[lag - 1], n[lag], n[lag + 1])));
}

double partialCents(const std::vector<double>& x, double expected, double rate)
{
    const size_t start = static_cast<size_t>(0.05 * rate), length = static_cast<size_t>(0.5 * rate);
    std::vector<double> windowed(length);
    for (size_t i = 0; i < length; ++i)
        windowed[i] = x[start + i] * (0.5 - 0.5 * std::cos(2.0 * std::numbers::pi * i / length));
    const auto logMagnitude = [&](double frequency)
    {
        const auto step = std::polar(1.0, -2.0 * std::numbers::pi * frequency / rate);
        std::complex<double> sum = 0.0, turn = 1.0;
        for (size_t i = 0; i < length; ++i, turn *= step)
            sum += windowed[i] * turn;
        return std::log(std::abs(sum) + 1e-300);
    };
    double strongest = -HUGE_VAL, deviation = 0.0;
    for (int k = 1; k <= 4; ++k)
    {
        std::vector<double> levels; // at -63, -60, ... +63 cents, the peak refined by a parabola
        for (int c = -63; c <= 63; c += 3)
            levels.push_back(logMagnitude(k * expected * std::pow(2.0, c / 1200.0)));
        const auto peak = std::max_element(levels.begin() + 1, levels.end() - 1);
        if (*peak > strongest)
            deviation = 3.0 * (peak - levels.begin() + parabolicOffset(peak[-1], peak[0], peak[1])) - 63.0;
        strongest = std::max(strongest, *peak);
    }
    return deviation;
}

} // namespace Taviro::Test
