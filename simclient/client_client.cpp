// ClientClient: the object behind a program's client handle. Queues received
// messages for SimConnect_CallDispatch and keeps the list of live clients.
#include <cstdlib>
#include <cstring>

#include "simclient/alloc_faults.h"
#include "simclient/sim_client.h"

static std::atomic<uint32_t> g_live_clients{0};
static std::mutex g_client_list_lock;
static ClientClient* g_first_client = nullptr;
static ClientClient* g_last_client = nullptr;

uint32_t ClientClient::live_clients() { return g_live_clients.load(); }

ClientClient::ClientClient(uint32_t kind) : CClient(kind) {
    std::memset(send_buffer_, 0, sizeof(send_buffer_));
    send_write_ = 0;
    g_live_clients.fetch_add(1);
    client_list_add(this);
}

ClientClient::~ClientClient() {
    g_live_clients.fetch_sub(1);
    client_list_remove(this);  // no-op when SimConnect_Close already removed it
    std::lock_guard<std::mutex> guard(receive_queue_lock_);
    while (receive_head_) {
        ReceivedEntry* entry = receive_head_;
        receive_head_ = entry->next;
        std::free(entry->block);
        std::free(entry);
    }
}

void ClientClient::Start() {
    CClient::Start();
    if (kind_ == platform::LINK_TCP && disable_nagle_) platform::link_set_nodelay(link_);
    state_ = TRANSPORT_OPEN;
}

bool ClientClient::Disconnect(uint32_t reason, uint32_t status) {
    if (!CClient::Disconnect(reason, status)) return false;
    if (reason != DISCONNECT_CLOSED) Wake();  // once per break
    return true;
}

void ClientClient::SetNotification(void* window, uint32_t user_message, void* event_handle) {
    window_ = window;
    user_message_ = user_message;
    event_handle_ = event_handle;
}

void ClientClient::Wake() {
    if (window_ && user_message_) platform::notify_window(window_, user_message_);
    void* event_handle = event_handle_.load();
    if (event_handle) platform::notify_event(event_handle);
}

void ClientClient::OnMessage(MessageHolder* holder) {
    ReceivedEntry* entry = static_cast<ReceivedEntry*>(std::malloc(sizeof(ReceivedEntry)));
    if (!entry) {
        // Keep the block in the holder for the next message; this one is lost
        // but the connection goes on.
        return;
    }
    *entry = ReceivedEntry{nullptr, holder->block, holder->length, serial_.load(), 0};
    holder->block = nullptr;
    holder->length = 0;
    holder->allocated = 0;
    {
        std::lock_guard<std::mutex> guard(receive_queue_lock_);
        if (receive_tail_) {
            receive_tail_->next = entry;
        } else {
            receive_head_ = entry;
        }
        receive_tail_ = entry;
        receive_count_++;
        receive_bytes_ += entry->length;
    }
    Wake();
}

ReceivedEntry* ClientClient::TakeQueue() {
    std::lock_guard<std::mutex> guard(receive_queue_lock_);
    ReceivedEntry* head = receive_head_;
    receive_head_ = receive_tail_ = nullptr;
    receive_count_ = 0;
    receive_bytes_ = 0;
    return head;
}

bool ClientClient::ReceiveQueueFull() {
    std::lock_guard<std::mutex> guard(receive_queue_lock_);
    return receive_count_ >= SIM_RECEIVE_QUEUE_MAX_MESSAGES || receive_bytes_ >= SIM_RECEIVE_QUEUE_MAX_BYTES;
}

uint32_t ClientClient::queued_count() {
    std::lock_guard<std::mutex> guard(receive_queue_lock_);
    return receive_count_;
}

static void put_u32(uint8_t* p, uint32_t v) {
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
    p[2] = static_cast<uint8_t>(v >> 16);
    p[3] = static_cast<uint8_t>(v >> 24);
}

HRESULT_T ClientClient::Reserve(uint32_t size, uint32_t message_id, uint8_t** message) {
    if (disconnect_reason() != DISCONNECT_CLOSED) return BrokenStatus();
    if (size > send_capacity_ - send_write_ || size < SIM_REQUEST_HEADER_SIZE) return SIM_E_FAIL;
    uint8_t* at = send_buffer_ + send_write_;
    send_id_ = send_id_ == 0xFFFFFFFFu ? 1 : send_id_ + 1;
    put_u32(at + 12, send_id_);
    send_write_ += size;
    put_u32(at, size);
    put_u32(at + 4, SIM_PROTOCOL_VERSION);
    put_u32(at + 8, message_id);
    *message = at;
    return SIM_S_OK;
}

HRESULT_T ClientClient::AbortMessage(uint8_t* message, uint32_t size) {
    send_write_ = static_cast<uint32_t>(message - send_buffer_);
    std::memset(message, 0, size);
    return SIM_E_NAME_TOO_LONG;
}

HRESULT_T ClientClient::SendBuffered() {
    uint32_t length = send_write_;
    if (length == 0) return SIM_S_OK;
    uint8_t* block = static_cast<uint8_t*>(client_malloc(ALLOC_SEND_BLOCK, length));
    if (block) std::memcpy(block, send_buffer_, length);
    // Emptied either way: a message that could not be sent must not go out
    // later glued to the next one.
    send_write_ = 0;
    std::memset(send_buffer_, 0, length);
    if (!block) return SIM_E_OUTOFMEMORY;
    return HandOver(block, length);
}

void client_list_add(ClientClient* client) {
    std::lock_guard<std::mutex> guard(g_client_list_lock);
    client->prev = g_last_client;
    client->next = nullptr;
    if (g_last_client) {
        g_last_client->next = client;
    } else {
        g_first_client = client;
    }
    g_last_client = client;
}

void client_list_remove(ClientClient* client) {
    std::lock_guard<std::mutex> guard(g_client_list_lock);
    bool listed = g_first_client == client || client->prev != nullptr;
    if (!listed) return;
    if (client->prev) {
        client->prev->next = client->next;
    } else {
        g_first_client = client->next;
    }
    if (client->next) {
        client->next->prev = client->prev;
    } else {
        g_last_client = client->prev;
    }
    client->prev = client->next = nullptr;
}

bool client_list_contains(const ClientClient* client) {
    std::lock_guard<std::mutex> guard(g_client_list_lock);
    for (ClientClient* c = g_first_client; c; c = c->next) {
        if (c == client) return true;
    }
    return false;
}

bool client_list_empty() {
    std::lock_guard<std::mutex> guard(g_client_list_lock);
    return g_first_client == nullptr;
}
