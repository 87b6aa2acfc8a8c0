// Builds request messages the way a client puts them on the wire, so the
// stand-in's tests feed it real bytes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

typedef std::vector<uint8_t> Bytes;

Bytes open_request(const char* name);
Bytes add_datum_request(uint32_t def, const char* var, const char* unit, uint32_t type);
Bytes request_data(uint32_t request, uint32_t def, uint32_t period, uint32_t origin = 0, uint32_t interval = 0,
                   uint32_t limit = 0);
Bytes map_event_request(uint32_t id, const char* name);
Bytes transmit_event(uint32_t id, uint32_t data);
Bytes set_data_request(uint32_t def, const void* data, uint32_t size);
Bytes subscribe_request(uint32_t id, const char* name);

uint32_t u32_at(const Bytes& b, size_t offset);
int32_t i32_at(const Bytes& b, size_t offset);
double f64_at(const Bytes& b, size_t offset);

// Cuts a byte stream from the stand-in into records by their size fields.
std::vector<Bytes> split_records(const Bytes& stream);
