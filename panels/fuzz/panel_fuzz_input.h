// The panel fuzzer's input, as the fuzzer reads it and the seed writer
// builds it:
//
//   byte 0      the program: a ProgramId, modulo PROGRAM_COUNT
//   byte 1      settings: bit 0 the panel version (0: 1, 1: 2), bits 1-2
//               TESTMODE, bit 3 STANDBY, bit 4 ADF_STBY, bits 5-6 FL_MODE,
//               bit 7 ACCELERATION 10 (with KEEP_FRAME_RATE)
//   bytes 2-5   XPDR_CODE, little endian (any value the configuration could
//               give)
//   byte 6      START_DISPLAY
//   then operations until the input ends: one byte, modulo OP_COUNT, and its
//   operands.
#pragma once

#include <cfloat>
#include <cmath>
#include <cstddef>
#include <cstdint>

constexpr size_t kFuzzHeaderSize = 7;

enum FuzzOp : uint8_t {
    // Length byte and that many bytes: one datagram from the panel, handed to
    // the input step at the next frame (the frame takes at most as many as
    // the update cycle does).
    OP_DATAGRAM,
    // One update cycle on the current block: preparation, the datagrams
    // since the last frame, display, countdown.
    OP_FRAME,
    // Two offset bytes (little endian, modulo the block size), a length byte
    // (modulo 16) and that many bytes copied into the block.
    OP_PATCH,
    // One byte choosing a field of the program's data block (modulo its
    // count), then its new value: four bytes for an integer field; for a
    // floating-point field a byte that picks one of kAwkwardDoubles (below
    // their count) or else eight raw bytes.
    OP_FIELD,
    // The frame of the initial data request on the current block.
    OP_INITIAL_FRAME,
    // One byte: milliseconds that pass before the next datagram arrives;
    // without it datagrams arrive together, as a knob turned fast.
    OP_PAUSE,
    OP_COUNT
};

// Values a simulator should never send, and a few that sit on an edge.
constexpr int kAwkwardDoubleCount = 16;
inline const double kAwkwardDoubles[kAwkwardDoubleCount] = {
    0.0,     -0.0,         NAN,           -NAN, INFINITY, -INFINITY, DBL_MAX, -DBL_MAX,
    DBL_MIN, 2147483648.0, -2147483649.0, 1e10, -1e10,    359.9999,  0.5,     -0.5,
};

inline uint8_t fuzz_settings(int panel_version, bool accelerate = false) {
    return static_cast<uint8_t>((panel_version == 2 ? 1 : 0) | (accelerate ? 0x80 : 0));
}
