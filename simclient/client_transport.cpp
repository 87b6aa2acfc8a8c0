// CClient: one connection, its outgoing queue, its reads and the completion
// path that cuts the stream into messages.
#include <cstdlib>
#include <cstring>

#include "simclient/sim_client.h"

static std::atomic<uint32_t> g_live_transports{0};
static std::atomic<uint32_t> g_connection_serial{0};
static std::atomic<uint32_t> g_breaks_recorded{0};

// 0 means "no connection", so the counter skips it when it wraps.
static uint32_t next_serial() {
    uint32_t current = g_connection_serial.load();
    uint32_t next;
    do {
        next = current == 0xFFFFFFFFu ? 1 : current + 1;
    } while (!g_connection_serial.compare_exchange_weak(current, next));
    return next;
}

uint32_t CClient::live_transports() { return g_live_transports.load(); }

uint32_t CClient::breaks_recorded() { return g_breaks_recorded.load(); }

CClient::CClient(uint32_t kind) : kind_(kind) { g_live_transports.fetch_add(1); }

CClient::~CClient() { g_live_transports.fetch_sub(1); }

bool CClient::Initialize(platform::SimLink* link, uint32_t max_receive, bool disable_nagle, uint32_t family) {
    link_ = link;
    max_receive_ = max_receive;
    disable_nagle_ = disable_nagle;
    family_ = family;
    if (!receive_buffer_init(&receive_)) return false;
    state_ = TRANSPORT_CLOSED;
    holder_ = MessageHolder{0, 0, nullptr};
    transport_lock_ready_ = true;
    return true;
}

// From Initialize on the transport owns the link, also when the set-up
// fails: Release frees it, once.
bool CClient::Attach(platform::SimLink* link, uint32_t max_receive, bool disable_nagle, uint32_t family) {
    if (!link || !Initialize(link, max_receive, disable_nagle, family)) return false;
    Start();
    IssueRead();
    return true;
}

bool CClient::ConnectPipe(const char* pipe_name, uint32_t max_receive, bool disable_nagle) {
    return Attach(platform::link_open_pipe(pipe_name, CompletionThunk, this), max_receive, disable_nagle, 0);
}

bool CClient::ConnectTcp(const char* address, const char* port, uint32_t family, uint32_t max_receive,
                         bool disable_nagle) {
    return Attach(platform::link_open_tcp(address, port, family, CompletionThunk, this), max_receive,
                  disable_nagle, family);
}

void CClient::Start() {
    DiscardOutgoing();
    std::free(written_block_);
    written_block_ = nullptr;
    write_in_flight_ = false;
    serial_ = next_serial();
    receive_.write = 0;
    receive_.parse = 0;
}

void CClient::DiscardOutgoing() {
    std::lock_guard<std::mutex> guard(send_queue_lock_);
    while (send_head_) {
        OutgoingEntry* entry = send_head_;
        send_head_ = entry->next;
        std::free(entry->block);
        std::free(entry);
    }
    send_tail_ = nullptr;
    send_count_ = 0;
    send_bytes_ = 0;
}

uint32_t CClient::outgoing_count() {
    std::lock_guard<std::mutex> guard(send_queue_lock_);
    return send_count_;
}

HRESULT_T CClient::HandOver(uint8_t* block, uint32_t length) {
    OutgoingEntry* entry = static_cast<OutgoingEntry*>(std::malloc(sizeof(OutgoingEntry)));
    if (!entry) {
        std::free(block);
        return SIM_E_OUTOFMEMORY;
    }
    *entry = OutgoingEntry{nullptr, block, length, serial_.load()};
    bool queued = false;
    uint32_t write_failed = 0;
    {
        std::lock_guard<std::mutex> guard(transport_lock_);
        if (state_ != TRANSPORT_OPEN) {
            std::free(block);
            std::free(entry);
            return disconnect_reason() != DISCONNECT_CLOSED ? BrokenStatus() : SIM_S_OK;
        }
        {
            std::lock_guard<std::mutex> queue_guard(send_queue_lock_);
            if (send_count_ < SIM_SEND_QUEUE_MAX_MESSAGES && length <= SIM_SEND_QUEUE_MAX_BYTES - send_bytes_) {
                if (send_tail_) {
                    send_tail_->next = entry;
                } else {
                    send_head_ = entry;
                }
                send_tail_ = entry;
                send_count_++;
                send_bytes_ += length;
                queued = true;
            }
        }
        if (queued && !write_in_flight_) {
            write_in_flight_ = true;
            write_failed = StartNextWrite();
        }
    }
    if (!queued) {
        // The simulator has stopped taking what we send.
        std::free(block);
        std::free(entry);
        Disconnect(DISCONNECT_ERROR, SIM_STATUS_SEND_QUEUE_FULL);
        return BrokenStatus();
    }
    if (write_failed) Break(write_failed);
    return SIM_S_OK;
}

uint32_t CClient::StartNextWrite() {
    OutgoingEntry* entry;
    {
        std::lock_guard<std::mutex> queue_guard(send_queue_lock_);
        entry = send_head_;
        if (entry) {
            send_head_ = entry->next;
            if (!send_head_) send_tail_ = nullptr;
            send_count_--;
            send_bytes_ -= entry->length;
        }
    }
    if (!entry) {
        write_in_flight_ = false;
        return 0;
    }
    std::free(written_block_);
    written_block_ = entry->block;
    uint32_t length = entry->length;
    std::free(entry);
    AddRef();
    uint32_t failed = platform::link_start_write(link_, written_block_, length);
    // No completion follows a failed start; the caller's own reference keeps
    // the object alive.
    if (failed) Release();
    return failed;
}

void CClient::IssueRead() {
    uint32_t room = receive_buffer_free_room(&receive_);
    AddRef();
    uint32_t failed = platform::link_start_read(link_, receive_buffer_free_start(&receive_), room);
    if (!failed) return;
    // No completion follows: the failure breaks the connection here, as a
    // failed completion would. The caller holds a reference of its own.
    Break(failed);
    Release();
}

void CClient::Break(uint32_t status) {
    if (status == SIM_STATUS_CANCELLED) {
        Disconnect(DISCONNECT_CANCELLED, status);
    } else if (status == SIM_STATUS_REMOTE_DISCONNECT || status == SIM_STATUS_PIPE_BROKEN ||
               status == SIM_STATUS_CONNECTION_RESET) {
        Disconnect(DISCONNECT_REMOTE, status);
    } else {
        Disconnect(DISCONNECT_ERROR, status);
    }
}

void CClient::CompletionThunk(void* context, uint16_t op_kind, uint32_t status, uint32_t bytes) {
    static_cast<CClient*>(context)->OnCompletion(op_kind, status, bytes);
}

void CClient::OnCompletion(uint16_t op_kind, uint32_t status, uint32_t bytes) {
    bool ok = status == 0 || (status == SIM_STATUS_BUFFER_OVERFLOW && kind_ == platform::LINK_PIPE);
    if (!ok) {
        Break(status);
    } else if (bytes == 0) {
        Disconnect(DISCONNECT_ZERO_BYTES, SIM_STATUS_ZERO_BYTES);
    } else if (op_kind == platform::LINK_OP_WRITE) {
        last_write_bytes_ = bytes;
        uint32_t write_failed = 0;
        if (state_ == TRANSPORT_OPEN) {
            std::lock_guard<std::mutex> guard(transport_lock_);
            if (state_ == TRANSPORT_OPEN) write_failed = StartNextWrite();
        }
        if (write_failed) Break(write_failed);
    } else {
        OnReadDone(bytes);
    }
    Release();
}

void CClient::OnReadDone(uint32_t bytes) {
    last_read_bytes_ = bytes;
    ExtractResult result = receive_bytes(&receive_, &holder_, max_receive_, bytes, MessageThunk, this);
    switch (result) {
        case EXTRACT_TOO_LARGE:
            Disconnect(DISCONNECT_TOO_LARGE, static_cast<uint32_t>(SIM_E_ABORT));
            break;
        case EXTRACT_BAD_SIZE:
            Disconnect(DISCONNECT_BAD_SIZE, static_cast<uint32_t>(SIM_E_ABORT));
            break;
        case EXTRACT_NO_MEMORY:
            Disconnect(DISCONNECT_NO_MEMORY, static_cast<uint32_t>(SIM_E_OUTOFMEMORY));
            break;
        default:
            if (state_ != TRANSPORT_OPEN) break;
            if (ReceiveQueueFull()) {
                read_paused_ = true;  // the next dispatch reads on
            } else {
                IssueRead();
            }
            break;
    }
}

void CClient::ResumeReading() {
    // Only the one who clears the flag issues the read, so at most one read
    // is ever outstanding.
    if (read_paused_.exchange(false) && state_ == TRANSPORT_OPEN) IssueRead();
}

void CClient::OnMessage(MessageHolder*) {}

void CClient::MessageThunk(void* context, MessageHolder* holder) { static_cast<CClient*>(context)->OnMessage(holder); }

bool CClient::Disconnect(uint32_t reason, uint32_t status) {
    uint32_t previous = TRANSPORT_CLOSED;
    if (transport_lock_ready_) {
        std::lock_guard<std::mutex> guard(transport_lock_);
        previous = state_.exchange(TRANSPORT_CLOSED);
        serial_ = 0;
        // A read and a write can fail together on two threads: the first
        // records its status, then its reason, so whoever sees a reason sees
        // the status that goes with it; later calls change nothing.
        if (previous != TRANSPORT_CLOSED) {
            if (reason != DISCONNECT_CLOSED) {
                last_os_error_ = platform::link_last_os_error(link_);
                disconnect_status_ = status;
                g_breaks_recorded.fetch_add(1);
            }
            disconnect_reason_ = reason;
        }
    }
    if (previous == TRANSPORT_CLOSED) return false;
    platform::link_close(link_, previous == TRANSPORT_OPEN);
    return true;
}

HRESULT_T CClient::BrokenStatus() const {
    HRESULT_T status = static_cast<HRESULT_T>(disconnect_status_.load());
    // A break recorded without a failure code must still read as a failure.
    return status < 0 ? status : SIM_E_FAIL;
}

void CClient::Release() {
    if (ref_count_.fetch_sub(1) != 1) return;
    DiscardOutgoing();
    std::free(written_block_);
    written_block_ = nullptr;
    receive_buffer_free(&receive_);
    holder_clear(&holder_);
    transport_lock_ready_ = false;
    if (link_) platform::link_free(link_);
    link_ = nullptr;
    delete this;
}
