#include "core/encoder_acceleration.h"

#include "core/bridge_state.h"

namespace {

// Beyond this the steps no longer grow with any limit; the count stops
// there, so that no turn, however long, makes it overflow.
constexpr int32_t kDetentsAtFullSpeed = 2 * kMaxAcceleration;

bool continues(const AccelerationRun& run, uint32_t knob, int direction, uint64_t arrival_ms) {
    return run.detents > 0 && run.knob == knob && run.direction == direction && arrival_ms >= run.last_ms &&
           arrival_ms - run.last_ms < kAccelerationRunGapMs;
}

// The knob together with what one detent sends without acceleration: the
// fast and the plain OBS knob of a two-knob panel are two knobs.
uint32_t knob_key(AcceleratedKnob knob, int single) {
    return static_cast<uint32_t>(knob) | static_cast<uint32_t>(single & 0xFF) << 8;
}

// Only detents taken as they arrive carry their arrival time: those that
// waited for the connection's first frame (no frame in hand yet) come out
// of the socket together however slowly they were turned.
bool acceleration_on() {
    return g_bridge.acceleration >= 2 && g_bridge.keep_frame_rate != 0 && g_bridge.frame_kept != 0;
}

}  // namespace

int acceleration_steps(AccelerationRun* run, int32_t limit, uint32_t knob, int direction, uint64_t arrival_ms) {
    if (continues(*run, knob, direction, arrival_ms)) {
        if (run->detents < kDetentsAtFullSpeed) ++run->detents;
    } else {
        run->detents = 1;
    }
    run->knob = knob;
    run->direction = direction;
    run->last_ms = arrival_ms;
    if (limit < 2) return 1;
    int32_t steps = (run->detents + 1) / 2;  // 1, 1, 2, 2, 3, 3, ...
    return steps < limit ? steps : limit;
}

void acceleration_end_run(AccelerationRun* run) { run->detents = 0; }

DetentSteps accelerated_detent(AcceleratedKnob knob, int direction, int single) {
    AccelerationRun& run = g_bridge.acceleration_run;
    run.detent_taken = 1;
    if (!acceleration_on()) return {single, false};
    int steps = acceleration_steps(&run, g_bridge.acceleration, knob_key(knob, single), direction,
                                   g_bridge.input_arrival_ms);
    return {single * steps, run.detents > 1};
}

void acceleration_datagram_begins() { g_bridge.acceleration_run.detent_taken = 0; }

void acceleration_datagram_ends() {
    if (!g_bridge.acceleration_run.detent_taken) acceleration_end_run(&g_bridge.acceleration_run);
}
