#pragma once

#include "pluginterfaces/base/ftypes.h"

#include <algorithm>
#include <cmath>

namespace Steinberg::Vst::TaviroPlugIn {

inline const double kLn2 = std::log(2.0);

// Normalised biquad coefficients (already divided by a0), each rounded to single precision.
struct BiquadCoefficients
{
    double b0 = 1.0;
    double b1 = 0.0;
    double b2 = 0.0;
    double a1 = 0.0;
    double a2 = 0.0;
};

// A second-order filter in Direct Form I with double-precision history; coefficients from the
// band-width form of the Audio EQ Cookbook.
class BiquadFilter
{
public:
    enum Type : int32
    {
        kLowpass = 0,
        kHighpass = 1,
        kBandpass = 2
    };

    // Highest cutoff as a fraction of the sample rate. Keeps the filter stable at low sample rates,
    // where the top of the cutoff range would reach or pass the Nyquist frequency; from 44.1 kHz up
    // the cutoff range never comes near it.
    static constexpr double kHighestCutoffRatio = 0.49;

    // Cutoff in Hz (raised to 80 Hz, held below Nyquist), bandwidth in octaves.
    static BiquadCoefficients compute(int32 type, double cutoff, double bandwidth, double sampleRate,
                                      double inverseSampleRate)
    {
        double f = std::max(cutoff, 80.0);
        f = std::min(f, kHighestCutoffRatio * sampleRate);
        const double w0 = f * 6.283185307179586 * inverseSampleRate;
        const double sw = std::sin(w0);
        const double cw = std::cos(w0);
        const double alpha = sw * std::sinh(kLn2 / 2.0 * bandwidth * w0 / sw);

        double b0, b1, b2;
        switch (type)
        {
        case kHighpass:
            b0 = (1.0 + cw) / 2.0;
            b1 = -(1.0 + cw);
            b2 = (1.0 + cw) / 2.0;
            break;
        case kBandpass:
            b0 = sw / 2.0;
            b1 = 0.0;
            b2 = -sw / 2.0;
            break;
        default:
            b0 = (1.0 - cw) / 2.0;
            b1 = 1.0 - cw;
            b2 = (1.0 - cw) / 2.0;
            break;
        }
        const double a0 = 1.0 + alpha;
        const double inverseA0 = 1.0 / a0;
        auto single = [](double v) { return static_cast<double>(static_cast<float>(v)); };
        return {single(b0 * inverseA0), single(b1 * inverseA0), single(b2 * inverseA0),
                single(-2.0 * cw * inverseA0), single((1.0 - alpha) * inverseA0)};
    }

    void setSampleRate(double rate)
    {
        sampleRate = rate;
        inverseSampleRate = 1.0 / rate;
    }

    void setType(int32 filterType) { type = filterType; }
    void setCoefficients(const BiquadCoefficients& c) { coefficients = c; }
    // Coefficients that come out not finite (from a cutoff or bandwidth that is not a number) are
    // not taken: the filter keeps its last ones.
    void setCutoff(double cutoff, double bandwidth)
    {
        const BiquadCoefficients c = compute(type, cutoff, bandwidth, sampleRate, inverseSampleRate);
        if (std::isfinite(c.b0 + c.b1 + c.b2 + c.a1 + c.a2))
            coefficients = c;
    }

    // Clears the history and makes the filter pass its input unchanged.
    void reset()
    {
        x1 = x2 = y1 = y2 = 0.0;
        coefficients = {};
    }

    double process(double x)
    {
        const BiquadCoefficients& c = coefficients;
        const double y = c.b0 * x + c.b1 * x1 + c.b2 * x2 - c.a1 * y1 - c.a2 * y2;
        x2 = x1;
        x1 = x;
        y2 = y1;
        y1 = y;
        return y;
    }

    // The last two inputs and outputs, for block routines that keep them in registers.
    struct History
    {
        double x1, x2, y1, y2;
    };
    History getHistory() const { return {x1, x2, y1, y2}; }
    void setHistory(const History& h)
    {
        x1 = h.x1;
        x2 = h.x2;
        y1 = h.y1;
        y2 = h.y2;
    }

    int32 getType() const { return type; }
    double getSampleRate() const { return sampleRate; }
    double getInverseSampleRate() const { return inverseSampleRate; }
    const BiquadCoefficients& getCoefficients() const { return coefficients; }

private:
    int32 type = kLowpass;
    double sampleRate = 44100.0;
    double inverseSampleRate = 1.0 / 44100.0;
    double x1 = 0.0, x2 = 0.0, y1 = 0.0, y2 = 0.0;
    BiquadCoefficients coefficients;
};

} // namespace Steinberg::Vst::TaviroPlugIn
