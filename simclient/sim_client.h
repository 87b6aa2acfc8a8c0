// The simulator client's two classes: CClient, one connection with its
// asynchronous reads and writes, and ClientClient, the client a program holds
// (its handle is the object's address), with the send buffer and the queue
// of received messages.
#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>

#include "platform/sim_link.h"
#include "simclient/receive_buffer.h"
#include "simclient/sim_types.h"

// Why a connection ended; stored in the transport.
enum DisconnectReason : uint32_t {
    DISCONNECT_CLOSED = 0,
    DISCONNECT_TOO_LARGE = 1,
    DISCONNECT_BAD_SIZE = 2,
    DISCONNECT_NO_MEMORY = 3,
    DISCONNECT_ZERO_BYTES = 4,
    DISCONNECT_REMOTE = 5,
    DISCONNECT_CANCELLED = 8,
    DISCONNECT_ERROR = 9,
};

constexpr uint32_t TRANSPORT_CLOSED = 0;
constexpr uint32_t TRANSPORT_OPEN = 2;

// A simulator that stops reading must not grow the outgoing queue without
// bound: past these the connection counts as broken (reason 9 with this
// status), as a failed write would.
constexpr uint32_t SIM_SEND_QUEUE_MAX_MESSAGES = 16384;
constexpr uint32_t SIM_SEND_QUEUE_MAX_BYTES = 4u * 1024u * 1024u;
constexpr uint32_t SIM_STATUS_SEND_QUEUE_FULL = 0xC000009Au;  // insufficient resources

struct OutgoingEntry {
    OutgoingEntry* next;
    uint8_t* block;
    uint32_t length;
    uint32_t serial;
};

class CClient {
public:
    explicit CClient(uint32_t kind);
    virtual ~CClient();

    virtual void Start();
    // Closes the connection. Only the first call records anything: status
    // and reason together, under the transport lock. True for that call.
    virtual bool Disconnect(uint32_t reason, uint32_t status);
    virtual void OnMessage(MessageHolder* holder);
    virtual void OnRawRead() {}

    bool ConnectPipe(const char* pipe_name, uint32_t max_receive, bool disable_nagle);
    bool ConnectTcp(const char* address, const char* port, uint32_t family, uint32_t max_receive,
                    bool disable_nagle);

    // Hands one finished message (a heap block) to the connection, which
    // owns it from then on. S_OK when it was queued (or the connection was
    // closed by its owner); the break status when the connection is broken
    // or the message overflowed the queue; E_OUTOFMEMORY.
    HRESULT_T HandOver(uint8_t* block, uint32_t length);
    void DiscardOutgoing();

    void AddRef() { ref_count_.fetch_add(1); }
    void Release();

    uint32_t state() const { return state_.load(); }
    uint32_t disconnect_reason() const { return disconnect_reason_.load(); }
    uint32_t disconnect_status() const { return disconnect_status_.load(); }
    // The status a request reports once the connection has broken.
    HRESULT_T BrokenStatus() const;
    uint32_t kind() const { return kind_; }
    uint32_t receive_capacity() const { return receive_.capacity; }

    // Live transport objects in the process.
    static uint32_t live_transports();
    // Test aids: connection breaks recorded in the process (reason not 0);
    // messages waiting in the outgoing queue; references held (the owner's
    // and one per read or write in flight).
    static uint32_t breaks_recorded();
    uint32_t outgoing_count();
    uint32_t references() const { return ref_count_.load(); }

    // Issues the read that a full receive queue held back (see OnReadDone).
    void ResumeReading();
    bool reading_paused() const { return read_paused_.load(); }

protected:
    bool Initialize(platform::SimLink* link, uint32_t max_receive, bool disable_nagle, uint32_t family);
    bool Attach(platform::SimLink* link, uint32_t max_receive, bool disable_nagle, uint32_t family);
    void IssueRead();
    // Call with transport_lock_ held. Returns the status of a write that
    // failed at once (0 otherwise); the caller breaks the connection with it
    // once the lock is released.
    uint32_t StartNextWrite();
    // Breaks the connection for a read or write that failed with status.
    void Break(uint32_t status);
    void OnCompletion(uint16_t op_kind, uint32_t status, uint32_t bytes);
    void OnReadDone(uint32_t bytes);
    // True when received messages should wait for a dispatch before more
    // are read.
    virtual bool ReceiveQueueFull() { return false; }
    static void MessageThunk(void* context, MessageHolder* holder);
    static void CompletionThunk(void* context, uint16_t op_kind, uint32_t status, uint32_t bytes);

    platform::SimLink* link_ = nullptr;
    std::atomic<uint32_t> state_{TRANSPORT_CLOSED};
    uint32_t last_os_error_ = 0;
    std::atomic<uint32_t> disconnect_status_{0};
    const uint32_t kind_;
    uint32_t last_read_bytes_ = 0;

    std::mutex send_queue_lock_;
    OutgoingEntry* send_head_ = nullptr;
    OutgoingEntry* send_tail_ = nullptr;
    uint32_t send_count_ = 0;
    uint32_t send_bytes_ = 0;

    bool write_in_flight_ = false;
    uint32_t last_write_bytes_ = 0;
    uint8_t* written_block_ = nullptr;

    ReceiveBuffer receive_{nullptr, 0, 0, 0};
    bool transport_lock_ready_ = false;
    std::mutex transport_lock_;
    MessageHolder holder_{0, 0, nullptr};
    uint32_t family_ = 0;
    bool disable_nagle_ = false;
    std::atomic<uint32_t> serial_{0};
    uint32_t max_receive_ = 0;
    std::atomic<uint32_t> ref_count_{1};
    std::atomic<uint32_t> disconnect_reason_{DISCONNECT_CLOSED};
    std::atomic<bool> read_paused_{false};
};

struct ReceivedEntry {
    ReceivedEntry* next;
    uint8_t* block;
    uint32_t length;
    uint32_t serial;
    uint32_t flag;
};

constexpr uint32_t SIM_SEND_BUFFER_SIZE = 41088;

// A simulator that sends faster than the program dispatches must not grow
// the queue without bound: past these, reading waits for the next dispatch
// (the peer is held back by flow control, nothing is dropped).
constexpr uint32_t SIM_RECEIVE_QUEUE_MAX_MESSAGES = 65536;
constexpr uint32_t SIM_RECEIVE_QUEUE_MAX_BYTES = 16u * 1024u * 1024u;

class ClientClient : public CClient {
public:
    explicit ClientClient(uint32_t kind);
    ~ClientClient() override;

    void Start() override;
    bool Disconnect(uint32_t reason, uint32_t status) override;
    void OnMessage(MessageHolder* holder) override;

    // Request building (see sim_requests.cpp).
    HRESULT_T Reserve(uint32_t size, uint32_t message_id, uint8_t** message);
    HRESULT_T AbortMessage(uint8_t* message, uint32_t size);
    HRESULT_T SendBuffered();
    // Ends a request: sent at once while auto-send is on (always, here).
    HRESULT_T Finish() { return auto_send_ ? SendBuffered() : SIM_S_OK; }

    // Takes every queued message, in arrival order.
    ReceivedEntry* TakeQueue();
    uint32_t queued_count();

    void SetNotification(void* window, uint32_t user_message, void* event_handle);
    // Changes the event alone, also while completions may be waking it.
    void SetWakeEvent(void* event_handle) { event_handle_ = event_handle; }

    DispatchProc default_dispatch = nullptr;
    DispatchProc last_dispatch = nullptr;
    void* last_context = nullptr;

    ClientClient* prev = nullptr;
    ClientClient* next = nullptr;

    static uint32_t live_clients();

private:
    void Wake();
    bool ReceiveQueueFull() override;

    bool auto_send_ = true;
    std::mutex receive_queue_lock_;
    ReceivedEntry* receive_head_ = nullptr;
    ReceivedEntry* receive_tail_ = nullptr;
    uint32_t receive_count_ = 0;
    uint32_t receive_bytes_ = 0;
    void* window_ = nullptr;
    uint32_t user_message_ = 0;
    uint32_t send_capacity_ = SIM_SEND_BUFFER_SIZE;
    uint8_t send_buffer_[SIM_SEND_BUFFER_SIZE];
    uint32_t send_write_ = 0;  // offset of the write position
    uint32_t send_id_ = 0;
    std::atomic<void*> event_handle_{nullptr};
};

// The process-wide list of live clients.
void client_list_add(ClientClient* client);
void client_list_remove(ClientClient* client);
bool client_list_contains(const ClientClient* client);
bool client_list_empty();
