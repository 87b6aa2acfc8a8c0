#include "tools/sim_standin/tests/request_builder.h"

#include <cstring>

#include "simclient/sim_types.h"

namespace {

uint32_t g_send_id = 0;

void put(Bytes* b, uint32_t v) {
    uint8_t x[4];
    std::memcpy(x, &v, 4);
    b->insert(b->end(), x, x + 4);
}

void put_text(Bytes* b, const char* text) {
    uint8_t field[256] = {};
    if (text) std::strncpy(reinterpret_cast<char*>(field), text, 255);
    b->insert(b->end(), field, field + 256);
}

Bytes header(uint32_t id) {
    Bytes b;
    put(&b, 0);  // size, filled in by finish()
    put(&b, SIM_PROTOCOL_VERSION);
    put(&b, id);
    put(&b, ++g_send_id);
    return b;
}

Bytes finish(Bytes b) {
    uint32_t size = static_cast<uint32_t>(b.size());
    std::memcpy(b.data(), &size, 4);
    return b;
}

}  // namespace

Bytes open_request(const char* name) {
    Bytes b = header(SIM_MSG_OPEN);
    put_text(&b, name);
    put(&b, 0);
    const uint8_t tag[4] = {0x00, 0x48, 0x4B, 0x00};
    b.insert(b.end(), tag, tag + 4);
    put(&b, 11);
    put(&b, 0);
    put(&b, 62651);
    put(&b, 3);
    return finish(b);
}

Bytes add_datum_request(uint32_t def, const char* var, const char* unit, uint32_t type) {
    Bytes b = header(SIM_MSG_ADD_TO_DATA_DEFINITION);
    put(&b, def);
    put_text(&b, var);
    put_text(&b, unit);
    put(&b, type);
    put(&b, 0);  // epsilon 0.0f
    put(&b, SIMCONNECT_UNUSED);
    return finish(b);
}

Bytes request_data(uint32_t request, uint32_t def, uint32_t period, uint32_t origin, uint32_t interval,
                   uint32_t limit) {
    Bytes b = header(SIM_MSG_REQUEST_DATA_ON_SIM_OBJECT);
    for (uint32_t v : {request, def, SIMCONNECT_OBJECT_ID_USER, period, 0u, origin, interval, limit}) put(&b, v);
    return finish(b);
}

Bytes map_event_request(uint32_t id, const char* name) {
    Bytes b = header(SIM_MSG_MAP_CLIENT_EVENT);
    put(&b, id);
    put_text(&b, name);
    return finish(b);
}

Bytes transmit_event(uint32_t id, uint32_t data) {
    Bytes b = header(SIM_MSG_TRANSMIT_CLIENT_EVENT);
    for (uint32_t v : {SIMCONNECT_OBJECT_ID_USER, id, data, SIMCONNECT_GROUP_PRIORITY_STANDARD,
                       SIMCONNECT_EVENT_FLAG_GROUPID_IS_PRIORITY}) {
        put(&b, v);
    }
    return finish(b);
}

Bytes set_data_request(uint32_t def, const void* data, uint32_t size) {
    Bytes b = header(SIM_MSG_SET_DATA_ON_SIM_OBJECT);
    for (uint32_t v : {def, SIMCONNECT_OBJECT_ID_USER, 0u, 1u, size}) put(&b, v);
    const uint8_t* p = static_cast<const uint8_t*>(data);
    b.insert(b.end(), p, p + size);
    return finish(b);
}

Bytes subscribe_request(uint32_t id, const char* name) {
    Bytes b = header(SIM_MSG_SUBSCRIBE_TO_SYSTEM_EVENT);
    put(&b, id);
    put_text(&b, name);
    return finish(b);
}

uint32_t u32_at(const Bytes& b, size_t offset) {
    uint32_t v = 0;
    if (offset + 4 <= b.size()) std::memcpy(&v, b.data() + offset, 4);
    return v;
}

int32_t i32_at(const Bytes& b, size_t offset) { return static_cast<int32_t>(u32_at(b, offset)); }

double f64_at(const Bytes& b, size_t offset) {
    double v = 0;
    if (offset + 8 <= b.size()) std::memcpy(&v, b.data() + offset, 8);
    return v;
}

std::vector<Bytes> split_records(const Bytes& stream) {
    std::vector<Bytes> out;
    size_t pos = 0;
    while (stream.size() - pos >= 4) {
        uint32_t size = u32_at(stream, pos);
        if (size < 12 || stream.size() - pos < size) break;
        out.emplace_back(stream.begin() + static_cast<long>(pos), stream.begin() + static_cast<long>(pos + size));
        pos += size;
    }
    return out;
}
