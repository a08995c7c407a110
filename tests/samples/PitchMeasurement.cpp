#include "PitchMeasurement.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <numbers>

namespace Taviro::Test {
namespace {

std::vector<double> normalisedSquareDifference(const std::vector<double>& signal, size_t start, size_t window,
                                               size_t maxLag)
{
    std::vector<double> nsdf(maxLag + 1, 0.0);
    for (size_t lag = 0; lag <= maxLag; ++lag)
    {
        double product = 0.0, energy = 0.0;
        for (size_t i = start; i < start + window; ++i)
        {
            product += signal[i] * signal[i + lag];
            energy += signal[i] * signal[i] + signal[i + lag] * signal[i + lag];
        }
        nsdf[lag] = energy > 0.0 ? 2.0 * product / energy : 0.0;
    }
    return nsdf;
}

// Offset in (-0.5, 0.5) of the vertex of the parabola through three equally spaced values.
double parabolicOffset(double left, double centre, double right)
{
    const double curvature = left - 2.0 * centre + right;
    return curvature != 0.0 ? 0.5 * (left - right) / curvature : 0.0;
}

// In-place radix-2 transform; the size must be a power of two.
void fourierTransform(std::vector<std::complex<double>>& values)
{
    const size_t n = values.size();
    for (size_t i = 1, j = 0; i < n; ++i)
    {
        size_t bit = n >> 1;
        for (; j & bit; bit >>= 1)
            j ^= bit;
        j ^= bit;
        if (i < j)
            std::swap(values[i], values[j]);
    }
    for (size_t length = 2; length <= n; length <<= 1)
    {
        const auto step = std::polar(1.0, -2.0 * std::numbers::pi / static_cast<double>(length));
        for (size_t block = 0; block < n; block += length)
        {
            std::complex<double> twiddle = 1.0;
            for (size_t i = 0; i < length / 2; ++i)
            {
                const auto even = values[block + i];
                const auto odd = values[block + i + length / 2] * twiddle;
                values[block + i] = even + odd;
                values[block + i + length / 2] = even - odd;
                twiddle *= step;
            }
        }
    }
}

} // namespace

double measurePeriodicPitch(const std::vector<double>& signal, size_t start, size_t window, size_t maxLag,
                            double sampleRate)
{
    if (start + window + maxLag >= signal.size())
        return 0.0;
    const std::vector<double> nsdf = normalisedSquareDifference(signal, start, window, maxLag);

    // The peak lag of every whole positive lobe after the first negative stretch.
    std::vector<size_t> peaks;
    size_t lag = 1;
    while (lag < maxLag && nsdf[lag] > 0.0)
        ++lag;
    while (lag < maxLag)
    {
        while (lag < maxLag && nsdf[lag] <= 0.0)
            ++lag;
        size_t best = lag;
        while (lag < maxLag && nsdf[lag] > 0.0)
        {
            if (nsdf[lag] > nsdf[best])
                best = lag;
            ++lag;
        }
        if (lag < maxLag)
            peaks.push_back(best);
    }
    if (peaks.empty())
        return 0.0;

    double highest = 0.0;
    for (size_t peak : peaks)
        highest = std::max(highest, nsdf[peak]);
    const size_t chosen =
        *std::find_if(peaks.begin(), peaks.end(), [&](size_t peak) { return nsdf[peak] >= 0.9 * highest; });
    const double offset = parabolicOffset(nsdf[chosen - 1], nsdf[chosen], nsdf[chosen + 1]);
    return sampleRate / (static_cast<double>(chosen) + offset);
}

double measurePartialPitch(const std::vector<double>& signal, size_t start, size_t length,
                           double expectedFrequency, double sampleRate)
{
    constexpr size_t kPoints = 1 << 16;
    length = std::min({length, kPoints, signal.size() > start ? signal.size() - start : 0});
    if (length < 2)
        return 0.0;
    std::vector<std::complex<double>> spectrum(kPoints, 0.0);
    for (size_t i = 0; i < length; ++i)
        spectrum[i] =
            signal[start + i] * (0.5 - 0.5 * std::cos(2.0 * std::numbers::pi * static_cast<double>(i) /
                                                      static_cast<double>(length)));
    fourierTransform(spectrum);

    const double binWidth = sampleRate / kPoints;
    const auto logMagnitude = [&](size_t bin) { return std::log(std::abs(spectrum[bin]) + 1e-300); };
    struct Partial
    {
        double frequency = 0.0;
        double logMagnitude = -1e300;
    };
    std::vector<Partial> partials;
    for (int k = 1; k <= 4; ++k)
    {
        const double centre = k * expectedFrequency;
        const auto first = static_cast<size_t>(centre * std::pow(2.0, -60.0 / 1200.0) / binWidth);
        const auto last = static_cast<size_t>(centre * std::pow(2.0, 60.0 / 1200.0) / binWidth) + 1;
        if (first < 1 || last + 1 >= kPoints / 2)
            break;
        size_t best = first;
        for (size_t bin = first; bin <= last; ++bin)
            if (std::abs(spectrum[bin]) > std::abs(spectrum[best]))
                best = bin;
        const double offset =
            parabolicOffset(logMagnitude(best - 1), logMagnitude(best), logMagnitude(best + 1));
        partials.push_back({(static_cast<double>(best) + offset) * binWidth / k, logMagnitude(best)});
    }
    if (partials.empty())
        return 0.0;

    return std::max_element(partials.begin(), partials.end(),
                            [](const Partial& a, const Partial& b)
                            { return a.logMagnitude < b.logMagnitude; })
        ->frequency;
}

} // namespace Taviro::Test
