// SimConnect_Open, SimConnect_Close and SimConnect_CallDispatch.
#include "simclient/sim_connect.h"

#include <cstdlib>
#include <cstring>

#include "platform/env.h"
#include "platform/sim_link.h"
#include "simclient/connection_settings.h"
#include "simclient/sim_client.h"
#include "simclient/sim_session.h"

static std::mutex g_winsock_lock;
static bool g_winsock_started = false;

ClientClient* client_from_handle(HANDLE_SIM handle) {
    if (!handle) return nullptr;
    ClientClient* client = static_cast<ClientClient*>(handle);
    // A handle that was never opened or is already closed is refused rather
    // than followed.
    return client_list_contains(client) ? client : nullptr;
}

static bool ensure_winsock() {
    std::lock_guard<std::mutex> guard(g_winsock_lock);
    if (g_winsock_started) return true;
    g_winsock_started = platform::link_net_startup();
    return g_winsock_started;
}

// A link that never opened has nothing to deliver, so it is closed without
// the wait for the last write; the search for the simulator then turns at its
// own pace instead of 100 ms per link tried.
static void close_client(ClientClient* client, bool link_opened = true) {
    client->SendBuffered();
    if (link_opened) platform::sleep_ms(100);  // lets the last write reach the simulator
    client_list_remove(client);
    client->Disconnect(DISCONNECT_CLOSED, 0);
    client->DiscardOutgoing();
    client->Release();
    if (!client_list_empty()) return;
    // Reads and writes still in flight complete on other threads; give them
    // time before Winsock goes away under them.
    for (int i = 0; i < 20 && CClient::live_transports() > 0; ++i) platform::sleep_ms(250);
    std::lock_guard<std::mutex> guard(g_winsock_lock);
    if (g_winsock_started) {
        platform::link_net_cleanup();
        g_winsock_started = false;
    }
}

// How the application asked to be woken; set on each client before it
// connects, since the first read may already complete (or fail) then.
struct Notification {
    void* window;
    uint32_t user_message;
    void* event_handle;
};

static ClientClient* new_client(uint32_t kind, const Notification* notify) {
    ClientClient* client = new ClientClient(kind);
    client->SetNotification(notify->window, notify->user_message, notify->event_handle);
    return client;
}

static ClientClient* try_pipe(const ConnectionSettings* settings, const Notification* notify) {
    char pipe_name[2 * SIM_SETTING_TEXT + 64];
    settings_pipe_name(settings, pipe_name, sizeof(pipe_name));
    ClientClient* client = new_client(platform::LINK_PIPE, notify);
    if (client->ConnectPipe(pipe_name, settings->max_receive_size, settings->disable_nagle)) return client;
    close_client(client, false);
    return nullptr;
}

static ClientClient* try_tcp(const ConnectionSettings* settings, uint32_t family, const Notification* notify) {
    ClientClient* client = new_client(platform::LINK_TCP, notify);
    if (client->ConnectTcp(settings->address, settings->port, family, settings->max_receive_size,
                           settings->disable_nagle)) {
        return client;
    }
    close_client(client, false);
    return nullptr;
}

// The chain of links: pipe, IPv6, IPv4, then the local pipe once more. Each
// link that fails on the loopback address moves on to the next.
static HRESULT_T connect_chain(ConnectionSettings* settings, const Notification* notify, ClientClient** out) {
    uint32_t protocol = settings->protocol;
    if (protocol == SIM_PROTOCOL_PIPE) {
        if ((*out = try_pipe(settings, notify)) != nullptr) return SIM_S_OK;
        if (settings->address[0] != '\0' && std::strcmp(settings->address, ".") != 0) return SIM_E_FAIL;
        std::strcpy(settings->address, "::1");
        settings_registry_port(settings, "SimConnect_Port_IPv6");
        protocol = SIM_PROTOCOL_IPV6;
    }
    if (protocol == SIM_PROTOCOL_IPV6) {
        if (!ensure_winsock()) return SIM_E_FAIL;
        if (settings->port[0] != '\0' && (*out = try_tcp(settings, platform::LINK_FAMILY_IPV6, notify)) != nullptr) {
            return SIM_S_OK;
        }
        if (std::strcmp(settings->address, "::1") != 0) return SIM_E_FAIL;
        std::strcpy(settings->address, "127.0.0.1");
        settings_registry_port(settings, "SimConnect_Port_IPv4");
        protocol = SIM_PROTOCOL_IPV4;
    }
    if (protocol == SIM_PROTOCOL_IPV4) {
        if (!ensure_winsock()) return SIM_E_FAIL;
        if (settings->port[0] != '\0' && (*out = try_tcp(settings, platform::LINK_FAMILY_IPV4, notify)) != nullptr) {
            return SIM_S_OK;
        }
        if (std::strcmp(settings->address, "127.0.0.1") != 0) return SIM_E_FAIL;
        std::strcpy(settings->address, ".");
        settings->port[0] = '\0';
        if ((*out = try_pipe(settings, notify)) != nullptr) return SIM_S_OK;
    }
    return SIM_E_FAIL;
}

HRESULT_T SimConnect_Open(HANDLE_SIM* handle, const char* name, void* window, uint32_t user_message,
                          void* event_handle, uint32_t config_index) {
    if (!handle) return SIM_E_INVALIDARG;
    *handle = nullptr;
    if (config_index != 0 && config_index != 0xFFFFFFFFu && !settings_index_has_section(config_index)) {
        return SIM_E_INVALIDARG;
    }
    ConnectionSettings* settings = static_cast<ConnectionSettings*>(std::malloc(sizeof(ConnectionSettings)));
    if (!settings) return SIM_E_OUTOFMEMORY;
    settings_read(config_index, settings);
    ClientClient* client = nullptr;
    const Notification notify{window, user_message, event_handle};
    HRESULT_T hr = connect_chain(settings, &notify, &client);
    std::free(settings);
    if (hr != SIM_S_OK) return hr;
    hr = send_open_message(client, name);
    if (hr != SIM_S_OK) {
        close_client(client);
        return hr;
    }
    *handle = client;
    return SIM_S_OK;
}

HRESULT_T SimConnect_Close(HANDLE_SIM handle) {
    ClientClient* client = client_from_handle(handle);
    if (!client) return SIM_E_FAIL;
    close_client(client);
    return SIM_S_OK;
}

HRESULT_T client_set_wake_event(HANDLE_SIM handle, void* event_handle) {
    ClientClient* client = client_from_handle(handle);
    if (!client) return SIM_E_FAIL;
    client->SetWakeEvent(event_handle);
    return SIM_S_OK;
}

HRESULT_T SimConnect_CallDispatch(HANDLE_SIM handle, DispatchProc dispatch, void* context) {
    ClientClient* client = client_from_handle(handle);
    if (!client) return SIM_E_FAIL;
    DispatchProc proc = dispatch ? dispatch : client->default_dispatch;
    if (!proc) return SIM_E_FAIL;
    client->last_dispatch = proc;
    client->last_context = context;
    ReceivedEntry* entry = client->TakeQueue();
    client->ResumeReading();
    bool closed = false;
    while (entry) {
        ReceivedEntry* next = entry->next;
        if (!closed && entry->length >= SIM_RECV_HEADER_SIZE && entry->block) {
            proc(reinterpret_cast<SIMCONNECT_RECV*>(entry->block), entry->length, context);
            // The handler may have closed the client (on the quit message):
            // the rest of the batch is dropped and the object not touched.
            closed = !client_list_contains(client);
        }
        std::free(entry->block);
        std::free(entry);
        entry = next;
    }
    if (closed) return SIM_S_OK;
    if (client->disconnect_reason() != DISCONNECT_CLOSED) return client->BrokenStatus();
    return SIM_S_OK;
}
