// Encoder acceleration (ACCELERATION, with KEEP_FRAME_RATE): a knob turned
// fast sends more than one step a detent, a knob turned slowly exactly one.
// A detent of the same knob in the same direction less than 80 ms after the
// one before continues a run; any other detent starts a new run. Within a
// run the steps per detent grow by one every two detents (1, 1, 2, 2, 3, 3,
// ...) up to the configured largest number. Any input that is not such a
// detent (a key, a page or mode change, another knob's detent) ends the run.
//
// The rule works on the arrival times it is given; the program's knobs use
// it through accelerated_detent, with the arrival time of the datagram
// being handled.
#pragma once

#include <cstdint>

// The largest number of steps one detent may send, and the gap between two
// detents that ends a run.
constexpr int32_t kMaxAcceleration = 10;
constexpr uint64_t kAccelerationRunGapMs = 80;

// The knobs that accelerate, by what they step. The simulator's own steps
// of the NAV standby frequency and the step and set of the active frequency
// are different knobs: a run of one never continues on the other.
enum AcceleratedKnob : uint8_t {
    KNOB_COM_WHOLE,
    KNOB_COM_FRACTION,
    KNOB_NAV_WHOLE,
    KNOB_NAV_FRACTION,
    KNOB_NAV_SET_WHOLE,
    KNOB_NAV_SET_FRACTION,
    KNOB_OBS,
    KNOB_ADF_CARD,
};

// The run of detents so far; all zero is no run.
struct AccelerationRun {
    uint32_t knob;      // the last detent's knob, with its steps without acceleration
    int32_t direction;  // -1 or +1
    uint64_t last_ms;   // the last detent's arrival
    int32_t detents;    // in the run, the last one included; 0: no run
    uint8_t detent_taken;  // the datagram being handled was an accelerated detent
};

// Takes one detent into the run and returns its steps: 1 while `limit` is
// below 2, else the run's steps for it, at most `limit`.
int acceleration_steps(AccelerationRun* run, int32_t limit, uint32_t knob, int direction, uint64_t arrival_ms);

void acceleration_end_run(AccelerationRun* run);

// ---- The program's knobs -------------------------------------------------

struct DetentSteps {
    int count;           // times the knob's step goes out for this detent
    bool continues_run;  // an earlier detent of this run was the last input
};

// For a detent of the datagram the input step is handling: `single` is what
// the knob sends a detent without acceleration (1, or 5 in a fast mode),
// multiplied by the run's steps while acceleration is on. With it off every
// detent is `single` steps and starts no run.
DetentSteps accelerated_detent(AcceleratedKnob knob, int direction, int single);

// Around each datagram handed to the panel's input step: one that was not
// an accelerated detent ends the run.
void acceleration_datagram_begins();
void acceleration_datagram_ends();
