// The request calls: each builds one message in the client's send buffer and
// sends it at once.
#include <cstring>

#include "simclient/sim_client.h"
#include "simclient/sim_connect.h"
#include "simclient/sim_session.h"

namespace {

void put_u32(uint8_t* p, uint32_t v) {
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
    p[2] = static_cast<uint8_t>(v >> 16);
    p[3] = static_cast<uint8_t>(v >> 24);
}

// Copies a text into a zeroed 256-byte field; false when it does not fit
// with its terminator. A missing text stays all zeros.
bool put_text(uint8_t* field, const char* text) {
    if (!text) return true;
    size_t len = strnlen(text, SIM_TEXT_FIELD_SIZE);
    if (len >= SIM_TEXT_FIELD_SIZE) return false;
    std::memcpy(field, text, len);
    return true;
}

// Builds a fixed-size request whose body is the u32 values given, in order.
HRESULT_T send_u32_request(HANDLE_SIM handle, uint32_t size, uint32_t message_id, const uint32_t* values,
                           uint32_t count) {
    ClientClient* client = client_from_handle(handle);
    if (!client) return SIM_E_FAIL;
    uint8_t* message;
    HRESULT_T hr = client->Reserve(size, message_id, &message);
    if (hr != SIM_S_OK) return hr;
    for (uint32_t i = 0; i < count; ++i) put_u32(message + SIM_REQUEST_HEADER_SIZE + 4 * i, values[i]);
    return client->Finish();
}

// Requests made of a u32 id and a 256-byte name.
HRESULT_T send_named_request(HANDLE_SIM handle, uint32_t size, uint32_t message_id, uint32_t id, const char* name) {
    ClientClient* client = client_from_handle(handle);
    if (!client) return SIM_E_FAIL;
    uint8_t* message;
    HRESULT_T hr = client->Reserve(size, message_id, &message);
    if (hr != SIM_S_OK) return hr;
    put_u32(message + 16, id);
    if (!put_text(message + 20, name)) return client->AbortMessage(message, size);
    return client->Finish();
}

}  // namespace

HRESULT_T send_open_message(ClientClient* client, const char* name) {
    uint8_t* message;
    HRESULT_T hr = client->Reserve(SIM_SIZE_OPEN, SIM_MSG_OPEN, &message);
    if (hr != SIM_S_OK) return hr;
    if (!put_text(message + 16, name)) return client->AbortMessage(message, SIM_SIZE_OPEN);
    put_u32(message + 272, 0);
    static const uint8_t kTag[4] = {0x00, 0x48, 0x4B, 0x00};
    std::memcpy(message + 276, kTag, sizeof(kTag));
    put_u32(message + 280, 11);     // client version: major
    put_u32(message + 284, 0);      // minor
    put_u32(message + 288, 62651);  // build
    put_u32(message + 292, 3);      // revision
    return client->SendBuffered();
}

HRESULT_T SimConnect_MapClientEventToSimEvent(HANDLE_SIM handle, uint32_t event_id, const char* event_name) {
    return send_named_request(handle, SIM_SIZE_MAP_CLIENT_EVENT, SIM_MSG_MAP_CLIENT_EVENT, event_id, event_name);
}

HRESULT_T SimConnect_SubscribeToSystemEvent(HANDLE_SIM handle, uint32_t event_id, const char* system_event_name) {
    return send_named_request(handle, SIM_SIZE_SUBSCRIBE_TO_SYSTEM_EVENT, SIM_MSG_SUBSCRIBE_TO_SYSTEM_EVENT,
                              event_id, system_event_name);
}

HRESULT_T SimConnect_TransmitClientEvent(HANDLE_SIM handle, uint32_t object_id, uint32_t event_id, uint32_t data,
                                         uint32_t group_id, uint32_t flags) {
    const uint32_t body[] = {object_id, event_id, data, group_id, flags};
    return send_u32_request(handle, SIM_SIZE_TRANSMIT_CLIENT_EVENT, SIM_MSG_TRANSMIT_CLIENT_EVENT, body, 5);
}

HRESULT_T SimConnect_AddClientEventToNotificationGroup(HANDLE_SIM handle, uint32_t group_id, uint32_t event_id,
                                                       uint32_t maskable) {
    const uint32_t body[] = {group_id, event_id, maskable ? 1u : 0u};
    return send_u32_request(handle, SIM_SIZE_ADD_CLIENT_EVENT_TO_GROUP, SIM_MSG_ADD_CLIENT_EVENT_TO_GROUP, body, 3);
}

HRESULT_T SimConnect_SetNotificationGroupPriority(HANDLE_SIM handle, uint32_t group_id, uint32_t priority) {
    const uint32_t body[] = {group_id, priority};
    return send_u32_request(handle, SIM_SIZE_SET_GROUP_PRIORITY, SIM_MSG_SET_GROUP_PRIORITY, body, 2);
}

HRESULT_T SimConnect_RequestDataOnSimObject(HANDLE_SIM handle, uint32_t request_id, uint32_t define_id,
                                            uint32_t object_id, uint32_t period, uint32_t flags, uint32_t origin,
                                            uint32_t interval, uint32_t limit) {
    const uint32_t body[] = {request_id, define_id, object_id, period, flags, origin, interval, limit};
    return send_u32_request(handle, SIM_SIZE_REQUEST_DATA_ON_SIM_OBJECT, SIM_MSG_REQUEST_DATA_ON_SIM_OBJECT, body,
                            8);
}

HRESULT_T SimConnect_AddToDataDefinition(HANDLE_SIM handle, uint32_t define_id, const char* datum_name,
                                         const char* units_name, uint32_t datum_type, float epsilon,
                                         uint32_t datum_id) {
    ClientClient* client = client_from_handle(handle);
    if (!client) return SIM_E_FAIL;
    uint8_t* message;
    HRESULT_T hr = client->Reserve(SIM_SIZE_ADD_TO_DATA_DEFINITION, SIM_MSG_ADD_TO_DATA_DEFINITION, &message);
    if (hr != SIM_S_OK) return hr;
    put_u32(message + 16, define_id);
    if (!put_text(message + 20, datum_name) || !put_text(message + 276, units_name)) {
        return client->AbortMessage(message, SIM_SIZE_ADD_TO_DATA_DEFINITION);
    }
    uint32_t epsilon_bits;
    std::memcpy(&epsilon_bits, &epsilon, sizeof(epsilon_bits));
    put_u32(message + 532, datum_type);
    put_u32(message + 536, epsilon_bits);
    put_u32(message + 540, datum_id);
    return client->Finish();
}

HRESULT_T SimConnect_SetDataOnSimObject(HANDLE_SIM handle, uint32_t define_id, uint32_t object_id, uint32_t flags,
                                        uint32_t array_count, uint32_t unit_size, const void* data) {
    ClientClient* client = client_from_handle(handle);
    if (!client) return SIM_E_FAIL;
    uint32_t count = array_count == 0 ? 1 : array_count;
    uint64_t data_bytes = static_cast<uint64_t>(unit_size) * count;
    // Larger than the send buffer can hold: refused before anything is built.
    if (data_bytes > SIM_SEND_BUFFER_SIZE - SIM_SIZE_SET_DATA_HEADER) {
        if (client->disconnect_reason() != DISCONNECT_CLOSED) return client->BrokenStatus();
        return SIM_E_FAIL;
    }
    if (data_bytes > 0 && !data) return SIM_E_INVALIDARG;
    uint32_t size = SIM_SIZE_SET_DATA_HEADER + static_cast<uint32_t>(data_bytes);
    uint8_t* message;
    HRESULT_T hr = client->Reserve(size, SIM_MSG_SET_DATA_ON_SIM_OBJECT, &message);
    if (hr != SIM_S_OK) return hr;
    put_u32(message + 16, define_id);
    put_u32(message + 20, object_id);
    put_u32(message + 24, flags);
    put_u32(message + 28, count);
    put_u32(message + 32, unit_size);
    if (data_bytes) std::memcpy(message + 36, data, static_cast<size_t>(data_bytes));
    return client->Finish();
}
