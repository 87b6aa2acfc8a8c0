#include "core/tests/fake_simconnect.h"

#include <atomic>
#include <cstring>
#include <deque>

#include "simclient/sim_connect.h"

namespace {

std::vector<FakeCall> g_calls;
std::deque<HRESULT_T> g_open_results;
std::deque<std::vector<uint8_t>> g_queue;
std::atomic<void*> g_wake_event{nullptr};
std::function<void(int)> g_dispatch_hook;
HRESULT_T g_dispatch_result = SIM_S_OK;
int g_dispatch_count = 0;
int g_handle_token = 0;

FakeCall& record(const char* call, std::vector<uint32_t> args) {
    g_calls.push_back(FakeCall{call, std::move(args), {}, {}, {}});
    return g_calls.back();
}

uint32_t float_bits(float f) {
    uint32_t bits;
    std::memcpy(&bits, &f, sizeof bits);
    return bits;
}

}  // namespace

namespace fake_sim {

void reset() {
    g_calls.clear();
    g_open_results.clear();
    g_queue.clear();
    g_wake_event = nullptr;
    g_dispatch_hook = nullptr;
    g_dispatch_result = SIM_S_OK;
    g_dispatch_count = 0;
}

std::vector<FakeCall>& calls() { return g_calls; }

std::vector<FakeCall> calls_named(const char* call) {
    std::vector<FakeCall> out;
    for (const FakeCall& c : g_calls)
        if (c.call == call) out.push_back(c);
    return out;
}

void script_open(const std::vector<HRESULT_T>& results) {
    g_open_results.assign(results.begin(), results.end());
}

void queue_message(const std::vector<uint8_t>& bytes) { g_queue.push_back(bytes); }

void* wake_event() { return g_wake_event.load(); }

void on_dispatch(std::function<void(int)> hook) { g_dispatch_hook = std::move(hook); }

void set_dispatch_result(HRESULT_T result) { g_dispatch_result = result; }

std::vector<uint8_t> quit_message() {
    std::vector<uint8_t> m(12, 0);
    uint32_t fields[3] = {12, 5, SIMCONNECT_RECV_ID_QUIT};
    std::memcpy(m.data(), fields, sizeof fields);
    return m;
}

std::vector<uint8_t> data_frame(uint32_t request_id, const std::vector<uint8_t>& block) {
    std::vector<uint8_t> m(SIM_SIMOBJECT_DATA_OFFSET + block.size(), 0);
    uint32_t fields[10] = {static_cast<uint32_t>(m.size()), 5, SIMCONNECT_RECV_ID_SIMOBJECT_DATA,
                           request_id, 0, 0, 0, 1, 1, 0};
    std::memcpy(m.data(), fields, sizeof fields);
    if (!block.empty()) std::memcpy(m.data() + SIM_SIMOBJECT_DATA_OFFSET, block.data(), block.size());
    return m;
}

}  // namespace fake_sim

HRESULT_T SimConnect_Open(HANDLE_SIM* handle, const char* name, void* window, uint32_t user_message,
                          void* event_handle, uint32_t config_index) {
    FakeCall& c = record("Open", {static_cast<uint32_t>(window != nullptr), user_message,
                                  static_cast<uint32_t>(event_handle != nullptr), config_index});
    c.name = name ? name : "";
    HRESULT_T result = SIM_E_FAIL;
    if (!g_open_results.empty()) {
        result = g_open_results.front();
        g_open_results.pop_front();
    }
    if (result >= 0 && handle) *handle = &g_handle_token;
    return result;
}

HRESULT_T SimConnect_Close(HANDLE_SIM) {
    record("Close", {});
    return SIM_S_OK;
}

HRESULT_T SimConnect_CallDispatch(HANDLE_SIM, DispatchProc dispatch, void* context) {
    record("CallDispatch", {static_cast<uint32_t>(context != nullptr)});
    ++g_dispatch_count;
    if (g_dispatch_hook) g_dispatch_hook(g_dispatch_count);
    while (!g_queue.empty()) {
        std::vector<uint8_t> m = std::move(g_queue.front());
        g_queue.pop_front();
        if (dispatch) dispatch(reinterpret_cast<SIMCONNECT_RECV*>(m.data()), static_cast<uint32_t>(m.size()), context);
    }
    return g_dispatch_result;
}

HRESULT_T client_set_wake_event(HANDLE_SIM, void* event_handle) {
    record("SetWakeEvent", {static_cast<uint32_t>(event_handle != nullptr)});
    g_wake_event = event_handle;
    return SIM_S_OK;
}

HRESULT_T SimConnect_AddToDataDefinition(HANDLE_SIM, uint32_t define_id, const char* datum_name,
                                         const char* units_name, uint32_t datum_type, float epsilon,
                                         uint32_t datum_id) {
    FakeCall& c = record("AddToDataDefinition", {define_id, datum_type, float_bits(epsilon), datum_id});
    c.name = datum_name ? datum_name : "";
    c.units = units_name ? units_name : "(null)";
    return SIM_S_OK;
}

HRESULT_T SimConnect_RequestDataOnSimObject(HANDLE_SIM, uint32_t request_id, uint32_t define_id,
                                            uint32_t object_id, uint32_t period, uint32_t flags,
                                            uint32_t origin, uint32_t interval, uint32_t limit) {
    record("RequestDataOnSimObject", {request_id, define_id, object_id, period, flags, origin, interval, limit});
    return SIM_S_OK;
}

HRESULT_T SimConnect_SetDataOnSimObject(HANDLE_SIM, uint32_t define_id, uint32_t object_id, uint32_t flags,
                                        uint32_t array_count, uint32_t unit_size, const void* data) {
    FakeCall& c = record("SetDataOnSimObject", {define_id, object_id, flags, array_count, unit_size});
    const uint8_t* p = static_cast<const uint8_t*>(data);
    if (p) c.data.assign(p, p + unit_size);
    return SIM_S_OK;
}

HRESULT_T SimConnect_MapClientEventToSimEvent(HANDLE_SIM, uint32_t event_id, const char* event_name) {
    FakeCall& c = record("MapClientEventToSimEvent", {event_id});
    c.name = event_name ? event_name : "";
    return SIM_S_OK;
}

HRESULT_T SimConnect_TransmitClientEvent(HANDLE_SIM, uint32_t object_id, uint32_t event_id, uint32_t data,
                                         uint32_t group_id, uint32_t flags) {
    record("TransmitClientEvent", {object_id, event_id, data, group_id, flags});
    return SIM_S_OK;
}

HRESULT_T SimConnect_SubscribeToSystemEvent(HANDLE_SIM, uint32_t event_id, const char* system_event_name) {
    FakeCall& c = record("SubscribeToSystemEvent", {event_id});
    c.name = system_event_name ? system_event_name : "";
    return SIM_S_OK;
}

HRESULT_T SimConnect_AddClientEventToNotificationGroup(HANDLE_SIM, uint32_t group_id, uint32_t event_id,
                                                       uint32_t maskable) {
    record("AddClientEventToNotificationGroup", {group_id, event_id, maskable});
    return SIM_S_OK;
}

HRESULT_T SimConnect_SetNotificationGroupPriority(HANDLE_SIM, uint32_t group_id, uint32_t priority) {
    record("SetNotificationGroupPriority", {group_id, priority});
    return SIM_S_OK;
}
