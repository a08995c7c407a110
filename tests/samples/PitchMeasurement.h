#pragma once

#include <cstddef>
#include <vector>

namespace Taviro::Test {

// Period of a stretch of signal by the normalised square difference function
// n(lag) = 2 sum x[i] x[i+lag] / sum (x[i]^2 + x[i+lag]^2) over `window` samples from `start`
// (McLeod's method): of the positive lobes of n, the first whose peak reaches 90% of the highest
// gives the period, refined by a parabola through the peak and its neighbours. A period is what the
// waveform repeats, so it is found even where the fundamental partial itself is missing, and it
// tells octaves and semitones apart reliably; beating strings make it only a coarse figure. Returns
// the frequency, or 0 when no period is found below maxLag.
double measurePeriodicPitch(const std::vector<double>& signal, size_t start, size_t window, size_t maxLag,
                            double sampleRate);

// Fine pitch from the partials near the expected ones: a Hann-windowed stretch of `length` samples
// from `start`, zero-padded to 65536 points, transformed; near k times the expected frequency
// (within 60 cents) the strongest bin of partial k = 1..4 is refined by a parabola through the log
// magnitudes of it and its neighbours. The strongest of these partials, divided by its number, is
// the pitch: the fundamental on most keys; the second or third partial on the lowest piano keys,
// whose fundamental is weak or all but absent and which the ear hears from their partials.
double measurePartialPitch(const std::vector<double>& signal, size_t start, size_t length,
                           double expectedFrequency, double sampleRate);

} // namespace Taviro::Test
