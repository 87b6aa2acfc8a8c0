#include "tools/sim_standin/standin_session.h"

#include <cmath>
#include <cstring>
#include <cctype>

#include "simclient/sim_types.h"
#include "tools/sim_standin/standin_log.h"

namespace {

uint32_t get_u32(const uint8_t* p) {
    uint32_t v;
    std::memcpy(&v, p, 4);
    return v;
}

void put_u32(std::vector<uint8_t>* out, uint32_t v) {
    uint8_t b[4];
    std::memcpy(b, &v, 4);
    out->insert(out->end(), b, b + 4);
}

void put_bytes(std::vector<uint8_t>* out, const void* p, size_t n) {
    const uint8_t* b = static_cast<const uint8_t*>(p);
    out->insert(out->end(), b, b + n);
}

// A fixed 256-byte text field; a field without its NUL is cut at 255.
std::string text_field(const uint8_t* p) {
    size_t n = 0;
    while (n < SIM_TEXT_FIELD_SIZE - 1 && p[n]) ++n;
    return std::string(reinterpret_cast<const char*>(p), n);
}

void put_header(std::vector<uint8_t>* out, uint32_t size, uint32_t id) {
    put_u32(out, size);
    put_u32(out, SIM_PROTOCOL_VERSION);
    put_u32(out, id);
}

void send_exception(ClientSession* s, std::vector<uint8_t>* out, uint32_t code, uint32_t send_id, uint32_t index,
                    const char* why) {
    standin_log(0, "exception: client %u send id %u code %u (%s)", s->client_number, send_id, code, why);
    put_header(out, 24, SIMCONNECT_RECV_ID_EXCEPTION);
    put_u32(out, code);
    put_u32(out, send_id);
    put_u32(out, index);
}

void send_open_reply(std::vector<uint8_t>* out) {
    put_header(out, sizeof(SIMCONNECT_RECV_OPEN), SIMCONNECT_RECV_ID_OPEN);
    char name[256] = "KittyHawk";
    put_bytes(out, name, sizeof(name));
    const uint32_t versions[10] = {11, 0, 62651, 3, 11, 0, 62651, 3, 0, 0};
    for (uint32_t v : versions) put_u32(out, v);
}

void send_frame(const ClientSession& s, const DataRequest& r, const std::vector<Datum>& datums,
                const RadioStack& stack, uint64_t now_ms, std::vector<uint8_t>* out) {
    uint32_t size = SIM_SIMOBJECT_DATA_OFFSET + definition_block_size(datums);
    put_header(out, size, SIMCONNECT_RECV_ID_SIMOBJECT_DATA);
    put_u32(out, r.request_id);
    put_u32(out, SIMCONNECT_OBJECT_ID_USER);
    put_u32(out, r.definition_id);
    put_u32(out, 0);  // flags
    put_u32(out, 1);  // entry number
    put_u32(out, 1);  // out of
    put_u32(out, static_cast<uint32_t>(datums.size()));
    pack_definition(datums, stack, now_ms, out);
    standin_log(2, "frame: client %u request %u definition %u, %u bytes", s.client_number, r.request_id,
                r.definition_id, size);
}

const char* period_name(uint32_t period) {
    switch (period) {
    case SIMCONNECT_PERIOD_NEVER: return "NEVER";
    case SIMCONNECT_PERIOD_ONCE: return "ONCE";
    case SIMCONNECT_PERIOD_VISUAL_FRAME: return "VISUAL_FRAME";
    case SIMCONNECT_PERIOD_SIM_FRAME: return "SIM_FRAME";
    case SIMCONNECT_PERIOD_SECOND: return "SECOND";
    }
    return "?";
}

const char* type_name(uint32_t type) {
    static const char* names[] = {"INVALID", "INT32", "INT64", "FLOAT32", "FLOAT64", "STRING8",
                                  "STRING32", "STRING64", "STRING128", "STRING256"};
    return type < sizeof(names) / sizeof(names[0]) ? names[type] : "?";
}

bool same_text_ignoring_case(const std::string& a, const char* b) {
    size_t n = std::strlen(b);
    if (a.size() != n) return false;
    for (size_t i = 0; i < n; ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) {
            return false;
        }
    }
    return true;
}

bool is_string_type(uint32_t type) {
    return type >= SIMCONNECT_DATATYPE_STRING8 && type <= SIMCONNECT_DATATYPE_STRING256;
}

// Fixed size of each request kind (SetData: its header part); 0 = unknown.
uint32_t expected_size(uint32_t id) {
    switch (id) {
    case SIM_MSG_OPEN: return SIM_SIZE_OPEN;
    case SIM_MSG_MAP_CLIENT_EVENT: return SIM_SIZE_MAP_CLIENT_EVENT;
    case SIM_MSG_TRANSMIT_CLIENT_EVENT: return SIM_SIZE_TRANSMIT_CLIENT_EVENT;
    case SIM_MSG_ADD_CLIENT_EVENT_TO_GROUP: return SIM_SIZE_ADD_CLIENT_EVENT_TO_GROUP;
    case SIM_MSG_SET_GROUP_PRIORITY: return SIM_SIZE_SET_GROUP_PRIORITY;
    case SIM_MSG_ADD_TO_DATA_DEFINITION: return SIM_SIZE_ADD_TO_DATA_DEFINITION;
    case SIM_MSG_REQUEST_DATA_ON_SIM_OBJECT: return SIM_SIZE_REQUEST_DATA_ON_SIM_OBJECT;
    case SIM_MSG_SET_DATA_ON_SIM_OBJECT: return SIM_SIZE_SET_DATA_HEADER;
    case SIM_MSG_SUBSCRIBE_TO_SYSTEM_EVENT: return SIM_SIZE_SUBSCRIBE_TO_SYSTEM_EVENT;
    }
    return 0;
}

void handle_transmit(ClientSession* s, RadioStack* stack, const uint8_t* m, uint32_t send_id, uint64_t now_ms,
                     std::vector<uint8_t>* out) {
    uint32_t object = get_u32(m + 16), event_id = get_u32(m + 20), data = get_u32(m + 24);
    uint32_t group = get_u32(m + 28), flags = get_u32(m + 32);
    standin_log(1, "request: client %u TransmitClientEvent object %u event %u data %u group %u flags 0x%X",
                s->client_number, object, event_id, data, group, flags);
    auto it = s->events.find(event_id);
    if (it == s->events.end()) {
        send_exception(s, out, EXCEPTION_UNRECOGNIZED_ID, send_id, 2, "event id not mapped");
        return;
    }
    const char* name = it->second.c_str();
    switch (radio_apply_event(stack, name, data, now_ms)) {
    case EVENT_APPLIED:
        standin_log(0, "event: client %u %s data %u (0x%X)", s->client_number, name, data, data);
        break;
    case EVENT_BAD_DATA:
        standin_log(0, "event: client %u %s data %u (0x%X) ignored: not a valid value", s->client_number, name, data,
                    data);
        break;
    case EVENT_UNKNOWN:
        standin_log(0, "event: client %u %s data %u (0x%X) not modelled", s->client_number, name, data, data);
        break;
    }
}

void handle_add_datum(ClientSession* s, const uint8_t* m, uint32_t send_id, std::vector<uint8_t>* out) {
    uint32_t def = get_u32(m + 16);
    Datum d;
    d.name = text_field(m + 20);
    d.unit = text_field(m + 276);
    d.type = get_u32(m + 532);
    float epsilon;
    std::memcpy(&epsilon, m + 536, 4);
    standin_log(1, "request: client %u AddToDataDefinition %u \"%s\" \"%s\" %s epsilon %g datum %u",
                s->client_number, def, d.name.c_str(), d.unit.c_str(), type_name(d.type), epsilon, get_u32(m + 540));
    if (d.name.empty()) {
        send_exception(s, out, EXCEPTION_NAME_UNRECOGNIZED, send_id, 2, "empty variable name");
        return;
    }
    if (datum_size(d.type) == 0) {
        send_exception(s, out, EXCEPTION_ERROR, send_id, 4, "datum type not supported");
        return;
    }
    if (s->datum_count >= kMaxDatums) {
        send_exception(s, out, EXCEPTION_ERROR, send_id, 1, "too many datums");
        return;
    }
    std::vector<Datum>& datums = s->definitions[def];
    if (definition_block_size(datums) + datum_size(d.type) > kMaxBlockSize) {
        send_exception(s, out, EXCEPTION_ERROR, send_id, 1, "definition too large");
        return;
    }
    datums.push_back(d);
    ++s->datum_count;
}

void handle_request_data(ClientSession* s, const RadioStack& stack, const uint8_t* m, uint32_t send_id,
                         uint64_t now_ms, std::vector<uint8_t>* out) {
    DataRequest r = {};
    r.request_id = get_u32(m + 16);
    r.definition_id = get_u32(m + 20);
    uint32_t object = get_u32(m + 24);
    r.period = get_u32(m + 28);
    uint32_t flags = get_u32(m + 32);
    r.origin = get_u32(m + 36);
    r.interval = get_u32(m + 40);
    r.limit = get_u32(m + 44);
    standin_log(1,
                "request: client %u RequestDataOnSimObject request %u definition %u object %u period %s flags 0x%X "
                "origin %u interval %u limit %u",
                s->client_number, r.request_id, r.definition_id, object, period_name(r.period), flags, r.origin,
                r.interval, r.limit);
    auto def = s->definitions.find(r.definition_id);
    if (def == s->definitions.end()) {
        send_exception(s, out, EXCEPTION_UNRECOGNIZED_ID, send_id, 2, "unknown definition");
        return;
    }
    if (object != SIMCONNECT_OBJECT_ID_USER) {
        send_exception(s, out, EXCEPTION_UNRECOGNIZED_ID, send_id, 3, "only the user aircraft is modelled");
        return;
    }
    if (r.period > SIMCONNECT_PERIOD_SECOND) {
        send_exception(s, out, EXCEPTION_ERROR, send_id, 4, "unknown period");
        return;
    }
    // A request id names one request: a new one replaces it, NEVER ends it.
    for (size_t i = 0; i < s->requests.size(); ++i) {
        if (s->requests[i].request_id == r.request_id) {
            s->requests.erase(s->requests.begin() + static_cast<long>(i));
            break;
        }
    }
    if (r.period == SIMCONNECT_PERIOD_NEVER) return;
    if (r.period != SIMCONNECT_PERIOD_ONCE && s->requests.size() >= kMaxRequests) {
        send_exception(s, out, EXCEPTION_TOO_MANY_REQUESTS, send_id, 1, "too many requests");
        return;
    }
    if (r.period == SIMCONNECT_PERIOD_ONCE) {
        send_frame(*s, r, def->second, stack, now_ms, out);
        return;
    }
    s->requests.push_back(r);
}

void handle_set_data(ClientSession* s, RadioStack* stack, const uint8_t* m, uint32_t size, uint32_t send_id,
                     uint64_t now_ms, std::vector<uint8_t>* out) {
    uint32_t def_id = get_u32(m + 16), object = get_u32(m + 20), flags = get_u32(m + 24);
    uint32_t count = get_u32(m + 28), unit_size = get_u32(m + 32);
    standin_log(1, "request: client %u SetDataOnSimObject definition %u object %u flags 0x%X count %u size %u",
                s->client_number, def_id, object, flags, count, unit_size);
    if (count == 0) count = 1;
    uint64_t bytes = static_cast<uint64_t>(count) * unit_size;
    if (bytes != size - SIM_SIZE_SET_DATA_HEADER) {
        send_exception(s, out, EXCEPTION_SIZE_MISMATCH, send_id, 5, "data length does not match count and size");
        return;
    }
    auto def = s->definitions.find(def_id);
    if (def == s->definitions.end()) {
        send_exception(s, out, EXCEPTION_UNRECOGNIZED_ID, send_id, 1, "unknown definition");
        return;
    }
    if (object != SIMCONNECT_OBJECT_ID_USER) {
        send_exception(s, out, EXCEPTION_UNRECOGNIZED_ID, send_id, 2, "only the user aircraft is modelled");
        return;
    }
    if (unit_size != definition_block_size(def->second)) {
        send_exception(s, out, EXCEPTION_SIZE_MISMATCH, send_id, 5, "element size is not the definition's size");
        return;
    }
    // One object: the first element is the one that counts.
    const uint8_t* p = m + SIM_SIZE_SET_DATA_HEADER;
    for (const Datum& d : def->second) {
        uint32_t n = datum_size(d.type);
        double value = 0;
        std::string error;
        bool ok = true;
        if (is_string_type(d.type)) {
            std::string text(reinterpret_cast<const char*>(p), strnlen(reinterpret_cast<const char*>(p), n));
            std::string key;
            if (normalize_var_name(d.name.c_str(), &key) && key == "TITLE" && text.size() < n) {
                radio_set_title(stack, text.c_str());
                standin_log(0, "set: client %u %s = \"%s\"", s->client_number, d.name.c_str(), text.c_str());
            } else {
                standin_log(0, "set: client %u %s ignored: not a text variable", s->client_number, d.name.c_str());
            }
            p += n;
            continue;
        }
        if (d.type == SIMCONNECT_DATATYPE_INT32) {
            int32_t v;
            std::memcpy(&v, p, 4);
            value = v;
        } else if (d.type == SIMCONNECT_DATATYPE_INT64) {
            int64_t v;
            std::memcpy(&v, p, 8);
            value = static_cast<double>(v);
        } else if (d.type == SIMCONNECT_DATATYPE_FLOAT32) {
            float v;
            std::memcpy(&v, p, 4);
            value = v;
        } else {
            std::memcpy(&value, p, 8);
        }
        ok = radio_set_in_unit(stack, d.name.c_str(), d.unit.c_str(), value, now_ms, &error);
        if (ok) {
            standin_log(0, "set: client %u %s = %g", s->client_number, d.name.c_str(), value);
        } else {
            standin_log(0, "set: client %u %s = %g ignored: %s", s->client_number, d.name.c_str(), value,
                        error.c_str());
        }
        p += n;
    }
}

}  // namespace

void session_init(ClientSession* session, uint32_t client_number) {
    session->client_number = client_number;
    session->opened = false;
    session->name.clear();
    session->definitions.clear();
    session->datum_count = 0;
    session->events.clear();
    session->requests.clear();
    session->inbox.clear();
}

uint32_t datum_size(uint32_t type) {
    switch (type) {
    case SIMCONNECT_DATATYPE_INT32:
    case SIMCONNECT_DATATYPE_FLOAT32: return 4;
    case SIMCONNECT_DATATYPE_INT64:
    case SIMCONNECT_DATATYPE_FLOAT64:
    case SIMCONNECT_DATATYPE_STRING8: return 8;
    case SIMCONNECT_DATATYPE_STRING32: return 32;
    case SIMCONNECT_DATATYPE_STRING64: return 64;
    case SIMCONNECT_DATATYPE_STRING128: return 128;
    case SIMCONNECT_DATATYPE_STRING256: return 256;
    }
    return 0;
}

uint32_t definition_block_size(const std::vector<Datum>& datums) {
    uint32_t n = 0;
    for (const Datum& d : datums) n += datum_size(d.type);
    return n;
}

void pack_definition(const std::vector<Datum>& datums, const RadioStack& stack, uint64_t now_ms,
                     std::vector<uint8_t>* out) {
    for (const Datum& d : datums) {
        VarValue v = radio_get(stack, d.name.c_str(), d.unit.c_str(), now_ms);
        uint32_t n = datum_size(d.type);
        if (is_string_type(d.type)) {
            // Always NUL-terminated within the field, zero-filled behind.
            std::vector<uint8_t> field(n, 0);
            if (v.is_text) std::memcpy(field.data(), v.text.data(), v.text.size() < n ? v.text.size() : n - 1);
            put_bytes(out, field.data(), n);
        } else if (d.type == SIMCONNECT_DATATYPE_INT32) {
            double r = std::round(v.number);
            int32_t i = r >= 2147483647.0 ? 2147483647 : r <= -2147483648.0 ? INT32_MIN : static_cast<int32_t>(r);
            put_bytes(out, &i, 4);
        } else if (d.type == SIMCONNECT_DATATYPE_INT64) {
            int64_t i = static_cast<int64_t>(std::llround(v.number));
            put_bytes(out, &i, 8);
        } else if (d.type == SIMCONNECT_DATATYPE_FLOAT32) {
            float f = static_cast<float>(v.number);
            put_bytes(out, &f, 4);
        } else {
            put_bytes(out, &v.number, 8);
        }
    }
}

void session_handle(ClientSession* s, RadioStack* stack, const uint8_t* m, uint32_t size, uint64_t now_ms,
                    std::vector<uint8_t>* out) {
    uint32_t version = get_u32(m + 4), id = get_u32(m + 8), send_id = get_u32(m + 12);
    uint32_t need = expected_size(id);
    if (need == 0) {
        standin_log(1, "request: client %u unknown message 0x%08X, %u bytes", s->client_number, id, size);
        send_exception(s, out, EXCEPTION_ERROR, send_id, 0, "unknown request");
        return;
    }
    bool exact = id != SIM_MSG_SET_DATA_ON_SIM_OBJECT;
    if (size < need || (exact && size != need)) {
        send_exception(s, out, EXCEPTION_SIZE_MISMATCH, send_id, 0, "request has the wrong size");
        return;
    }
    if (version != SIM_PROTOCOL_VERSION) {
        standin_log(1, "request: client %u protocol version %u", s->client_number, version);
    }
    switch (id) {
    case SIM_MSG_OPEN:
        s->opened = true;
        s->name = text_field(m + 16);
        standin_log(0, "open: \"%s\" (client %u, client version %u.%u.%u.%u)", s->name.c_str(), s->client_number,
                    get_u32(m + 280), get_u32(m + 284), get_u32(m + 288), get_u32(m + 292));
        send_open_reply(out);
        break;
    case SIM_MSG_MAP_CLIENT_EVENT: {
        uint32_t event_id = get_u32(m + 16);
        std::string name = text_field(m + 20);
        standin_log(1, "request: client %u MapClientEventToSimEvent %u \"%s\"", s->client_number, event_id,
                    name.c_str());
        if (s->events.size() >= kMaxEventNames && !s->events.count(event_id)) {
            send_exception(s, out, EXCEPTION_TOO_MANY_EVENT_NAMES, send_id, 1, "too many event names");
            break;
        }
        s->events[event_id] = name;
        if (!radio_knows_event(name.c_str())) {
            send_exception(s, out, EXCEPTION_NAME_UNRECOGNIZED, send_id, 2, "event not modelled");
        }
        break;
    }
    case SIM_MSG_TRANSMIT_CLIENT_EVENT: handle_transmit(s, stack, m, send_id, now_ms, out); break;
    case SIM_MSG_ADD_CLIENT_EVENT_TO_GROUP:
        standin_log(1, "request: client %u AddClientEventToNotificationGroup group %u event %u maskable %u",
                    s->client_number, get_u32(m + 16), get_u32(m + 20), get_u32(m + 24));
        break;
    case SIM_MSG_SET_GROUP_PRIORITY:
        standin_log(1, "request: client %u SetNotificationGroupPriority group %u priority %u", s->client_number,
                    get_u32(m + 16), get_u32(m + 20));
        break;
    case SIM_MSG_ADD_TO_DATA_DEFINITION: handle_add_datum(s, m, send_id, out); break;
    case SIM_MSG_REQUEST_DATA_ON_SIM_OBJECT: handle_request_data(s, *stack, m, send_id, now_ms, out); break;
    case SIM_MSG_SET_DATA_ON_SIM_OBJECT: handle_set_data(s, stack, m, size, send_id, now_ms, out); break;
    case SIM_MSG_SUBSCRIBE_TO_SYSTEM_EVENT: {
        uint32_t event_id = get_u32(m + 16);
        std::string name = text_field(m + 20);
        standin_log(1, "request: client %u SubscribeToSystemEvent %u \"%s\"", s->client_number, event_id,
                    name.c_str());
        // The flight is already running: tell the subscriber at once.
        if (same_text_ignoring_case(name, "SimStart")) {
            put_header(out, sizeof(SIMCONNECT_RECV_EVENT), SIMCONNECT_RECV_ID_EVENT);
            put_u32(out, SIMCONNECT_UNUSED);  // no group
            put_u32(out, event_id);
            put_u32(out, 0);
        }
        break;
    }
    }
}

bool session_feed(ClientSession* s, RadioStack* stack, const uint8_t* data, size_t size, uint64_t now_ms,
                  std::vector<uint8_t>* out) {
    s->inbox.insert(s->inbox.end(), data, data + size);
    size_t pos = 0;
    bool ok = true;
    while (s->inbox.size() - pos >= 4) {
        uint32_t msg_size = get_u32(s->inbox.data() + pos);
        if (msg_size < SIM_REQUEST_HEADER_SIZE || msg_size > kMaxRequestSize) {
            standin_log(0, "error: client %u sent a message size of %u; dropping the connection", s->client_number,
                        msg_size);
            ok = false;
            break;
        }
        if (s->inbox.size() - pos < msg_size) break;
        session_handle(s, stack, s->inbox.data() + pos, msg_size, now_ms, out);
        pos += msg_size;
    }
    s->inbox.erase(s->inbox.begin(), s->inbox.begin() + static_cast<long>(pos));
    return ok;
}

void session_frame_tick(ClientSession* s, const RadioStack& stack, uint64_t now_ms, std::vector<uint8_t>* out) {
    for (size_t i = 0; i < s->requests.size();) {
        DataRequest& r = s->requests[i];
        auto def = s->definitions.find(r.definition_id);
        bool due = false;
        if (r.period == SIMCONNECT_PERIOD_SECOND) {
            due = r.frames_sent == 0 || now_ms - r.last_sent_ms >= 1000;
        } else {
            ++r.frames_seen;
            due = r.frames_seen > r.origin && (r.frames_seen - r.origin - 1) % (r.interval + 1ull) == 0;
        }
        if (due && def != s->definitions.end()) {
            send_frame(*s, r, def->second, stack, now_ms, out);
            r.last_sent_ms = now_ms;
            ++r.frames_sent;
        }
        if (r.limit != 0 && r.frames_sent >= r.limit) {
            s->requests.erase(s->requests.begin() + static_cast<long>(i));
        } else {
            ++i;
        }
    }
}

void append_quit(std::vector<uint8_t>* out) { put_header(out, SIM_RECV_HEADER_SIZE, SIMCONNECT_RECV_ID_QUIT); }
