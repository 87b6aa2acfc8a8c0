// One client as the stand-in sees it: its data definitions, event map and
// data requests, and the handling of every request message it sends. All of
// it works on byte buffers (nothing here touches a socket), so the protocol
// is tested without a connection. Replies and frames are appended to an
// outgoing byte vector that the connection thread writes.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "tools/sim_standin/radio_stack.h"

struct Datum {
    std::string name;
    std::string unit;
    uint32_t type;
};

struct DataRequest {
    uint32_t request_id;
    uint32_t definition_id;
    uint32_t period;
    uint32_t origin;    // frames to let pass before the first one
    uint32_t interval;  // frames to skip between two sent
    uint32_t limit;     // frames to send in all, 0 = no limit
    uint32_t frames_seen;
    uint32_t frames_sent;
    uint64_t last_sent_ms;
};

struct ClientSession {
    uint32_t client_number;  // for the log
    bool opened;
    std::string name;
    std::map<uint32_t, std::vector<Datum>> definitions;
    size_t datum_count;
    std::map<uint32_t, std::string> events;
    std::vector<DataRequest> requests;
    std::vector<uint8_t> inbox;  // bytes received but not yet a whole message
};

// Largest request accepted; anything bigger means the stream is garbage.
constexpr uint32_t kMaxRequestSize = 1u << 20;

// Limits per client, so a runaway client cannot eat the stand-in's memory:
// definitions never outgrow a message, requests and event names stay few.
constexpr uint32_t kMaxBlockSize = 1u << 20;
constexpr size_t kMaxDatums = 10000;  // over all definitions of a client
constexpr size_t kMaxRequests = 1000;
constexpr size_t kMaxEventNames = 10000;

// Exception codes sent back for requests the stand-in cannot honour.
enum StandinException : uint32_t {
    EXCEPTION_ERROR = 1,
    EXCEPTION_SIZE_MISMATCH = 2,
    EXCEPTION_UNRECOGNIZED_ID = 3,
    EXCEPTION_NAME_UNRECOGNIZED = 7,
    EXCEPTION_TOO_MANY_EVENT_NAMES = 8,
    EXCEPTION_TOO_MANY_REQUESTS = 12,
};

void session_init(ClientSession* session, uint32_t client_number);

// Bytes of one datum of the type in a frame; 0 for types the stand-in does
// not deliver.
uint32_t datum_size(uint32_t type);
uint32_t definition_block_size(const std::vector<Datum>& datums);

// Appends the data block of a definition, fields in definition order.
void pack_definition(const std::vector<Datum>& datums, const RadioStack& stack, uint64_t now_ms,
                     std::vector<uint8_t>* out);

// Takes received bytes, cuts them into messages and handles each. False when
// the stream is corrupt (a size field below 16 or above kMaxRequestSize):
// the connection must be dropped.
bool session_feed(ClientSession* session, RadioStack* stack, const uint8_t* data, size_t size, uint64_t now_ms,
                  std::vector<uint8_t>* out);

// Handles one whole request message.
void session_handle(ClientSession* session, RadioStack* stack, const uint8_t* msg, uint32_t size, uint64_t now_ms,
                    std::vector<uint8_t>* out);

// One simulation frame has passed: appends the frames that are due.
void session_frame_tick(ClientSession* session, const RadioStack& stack, uint64_t now_ms, std::vector<uint8_t>* out);

// Appends the quit record.
void append_quit(std::vector<uint8_t>* out);
