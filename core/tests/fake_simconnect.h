// A recording stand-in for the simulator client, linked into the core's
// *_fake_test binaries instead of the real one: every call is recorded,
// Open answers from a script, and CallDispatch delivers queued messages.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "simclient/sim_types.h"

struct FakeCall {
    std::string call;           // "Open", "RequestDataOnSimObject", ...
    std::vector<uint32_t> args; // numeric arguments in declaration order
    std::string name;           // datum, event or client name
    std::string units;
    std::vector<uint8_t> data;  // SetDataOnSimObject payload
};

namespace fake_sim {

void reset();
std::vector<FakeCall>& calls();
// Calls with the given name, in order.
std::vector<FakeCall> calls_named(const char* call);

// Results of the next Opens, in order; once used up Open fails (E_FAIL).
void script_open(const std::vector<HRESULT_T>& results);

// A message for the next CallDispatch (delivered in queue order).
void queue_message(const std::vector<uint8_t>& bytes);
// The wake event the program gave the client since the last reset, or null
// (may be asked from another thread).
void* wake_event();
// Runs at the start of every CallDispatch (to queue, count passes, ...).
void on_dispatch(std::function<void(int dispatch_number)> hook);
// What CallDispatch returns after delivering (S_OK by default).
void set_dispatch_result(HRESULT_T result);

// Builders for simulator records.
std::vector<uint8_t> quit_message();
std::vector<uint8_t> data_frame(uint32_t request_id, const std::vector<uint8_t>& block);

}  // namespace fake_sim
