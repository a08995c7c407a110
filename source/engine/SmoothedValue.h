#pragma once

namespace Steinberg::Vst::TaviroPlugIn {

// A value that follows its target by a fixed step per sounding sample step, the step set once per
// block. Rounding must neither carry it past the target (a filter frequency a hair below 0 has no
// cutoff) nor leave it a hair short, so it stops at the target and lands on it exactly when the
// ramp's length has elapsed.
struct SmoothedValue
{
    double value = 0.0;
    double target = 0.0;
    double step = 0.0;
    double stepsLeft = 0.0;

    // Starts a ramp of `length` steps from the current value.
    void aim(double newTarget, double length)
    {
        target = newTarget;
        step = newTarget == value ? 0.0 : (newTarget - value) / length;
        stepsLeft = length;
    }

    // Sets the value at once, with nothing left to smooth.
    void jump(double newValue)
    {
        value = target = newValue;
        step = stepsLeft = 0.0;
    }

    void advance()
    {
        stepsLeft -= 1.0;
        const double next = value + step;
        const bool passes = step > 0.0 ? next > target : next < target;
        value = passes || stepsLeft <= 0.0 ? target : next;
    }

    bool moving() const { return step != 0.0; }
};

} // namespace Steinberg::Vst::TaviroPlugIn
