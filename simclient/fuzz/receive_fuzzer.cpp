// Fuzzes the receive path: arbitrary simulator bytes, cut into reads of
// arbitrary sizes, go through extraction into a real client's receive queue
// and out through SimConnect_CallDispatch. Whatever arrives, every delivered
// message must be a faithful slice of the stream, the buffer must stay
// bounded, and every read must leave room for the next one.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "simclient/receive_buffer.h"
#include "simclient/sim_client.h"
#include "simclient/sim_connect.h"

namespace {

struct Delivery {
    const uint8_t* stream;
    size_t stream_len;
    size_t next_offset;  // where the next delivered message must start
};

Delivery g_delivery;

void check(bool ok) {
    if (!ok) std::abort();
}

// Messages under 12 bytes are dropped at dispatch: skip them in the stream
// so the order check still lines up.
void skip_short_messages(const uint8_t* stream, size_t len, size_t* offset) {
    while (*offset + 4 <= len) {
        uint32_t size;
        std::memcpy(&size, stream + *offset, 4);
        if (size >= SIM_RECV_HEADER_SIZE || size < 4) return;
        *offset += size;
    }
}

void on_message(SIMCONNECT_RECV* data, uint32_t size, void*) {
    const uint8_t* bytes = reinterpret_cast<const uint8_t*>(data);
    skip_short_messages(g_delivery.stream, g_delivery.stream_len, &g_delivery.next_offset);
    check(size >= SIM_RECV_HEADER_SIZE);
    check(data->dwSize == size);
    check(g_delivery.next_offset + size <= g_delivery.stream_len);
    check(std::memcmp(bytes, g_delivery.stream + g_delivery.next_offset, size) == 0);
    g_delivery.next_offset += size;
}

void to_client(void* context, MessageHolder* holder) { static_cast<ClientClient*>(context)->OnMessage(holder); }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    // First byte: read-size pattern; second: the maximum receive size.
    uint8_t pattern = data[0];
    uint32_t max_size = data[1] & 1 ? 41088u : 2000000u;
    const uint8_t* stream = data + 2;
    size_t len = size - 2;

    ClientClient* client = new ClientClient(0);
    ReceiveBuffer buffer;
    check(receive_buffer_init(&buffer));
    MessageHolder holder{0, 0, nullptr};
    g_delivery = Delivery{stream, len, 0};

    size_t fed = 0;
    size_t reads = 0;
    ExtractResult result = EXTRACT_NEED_MORE;
    while (fed < len && result == EXTRACT_NEED_MORE) {
        uint32_t room = receive_buffer_free_room(&buffer);
        check(room > 0);
        size_t want = 1 + (pattern + reads * 37) % 257;
        size_t n = len - fed;
        if (n > want) n = want;
        if (n > room) n = room;
        std::memcpy(receive_buffer_free_start(&buffer), stream + fed, n);
        fed += n;
        ++reads;
        result = receive_bytes(&buffer, &holder, max_size, static_cast<uint32_t>(n), to_client, client);
        check(buffer.capacity <= RECEIVE_BUFFER_LIMIT);
        check(buffer.parse <= buffer.write && buffer.write <= buffer.capacity);
        // Dispatch now and then, as the session loop does.
        if (reads % 3 == 0) SimConnect_CallDispatch(client, on_message, nullptr);
    }
    check(SimConnect_CallDispatch(client, on_message, nullptr) == SIM_S_OK);

    receive_buffer_free(&buffer);
    holder_clear(&holder);
    client->Release();
    return 0;
}
