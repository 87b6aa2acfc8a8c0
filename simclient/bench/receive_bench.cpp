// Receive path throughput: 692-byte data frames cut from a byte stream as
// reads deliver it, queued on a client and handed out by
// SimConnect_CallDispatch, beside a plain copy of the same bytes.
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "simclient/receive_buffer.h"
#include "simclient/sim_client.h"
#include "simclient/sim_connect.h"

namespace {

constexpr uint32_t kFrameSize = 692;
constexpr uint32_t kFrames = 1000;

std::vector<uint8_t> frame_stream() {
    std::vector<uint8_t> stream(static_cast<size_t>(kFrameSize) * kFrames);
    for (uint32_t i = 0; i < kFrames; ++i) {
        uint8_t* f = stream.data() + static_cast<size_t>(i) * kFrameSize;
        const uint32_t header[10] = {kFrameSize, 5, SIMCONNECT_RECV_ID_SIMOBJECT_DATA, 1, 0, 0, 0, 1, 1, 1};
        std::memcpy(f, header, sizeof(header));
        for (uint32_t b = sizeof(header); b < kFrameSize; ++b) f[b] = static_cast<uint8_t>(b + i);
    }
    return stream;
}

uint64_t g_checksum;

void on_frame(SIMCONNECT_RECV* data, uint32_t size, void*) { g_checksum += data->dwID + size; }

void to_client(void* context, MessageHolder* holder) { static_cast<ClientClient*>(context)->OnMessage(holder); }

void BM_ReceiveQueueDispatch(benchmark::State& state) {
    std::vector<uint8_t> stream = frame_stream();
    ClientClient* client = new ClientClient(0);
    ReceiveBuffer buffer;
    receive_buffer_init(&buffer);
    MessageHolder holder{0, 0, nullptr};
    for (auto _ : state) {
        size_t fed = 0;
        while (fed < stream.size()) {
            // Each read fills the free room, as an overlapped read does.
            uint32_t room = receive_buffer_free_room(&buffer);
            size_t n = stream.size() - fed < room ? stream.size() - fed : room;
            std::memcpy(receive_buffer_free_start(&buffer), stream.data() + fed, n);
            fed += n;
            receive_bytes(&buffer, &holder, 41088, static_cast<uint32_t>(n), to_client, client);
            SimConnect_CallDispatch(client, on_frame, nullptr);
        }
    }
    benchmark::DoNotOptimize(g_checksum);
    state.SetItemsProcessed(state.iterations() * kFrames);
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(stream.size()));
    receive_buffer_free(&buffer);
    holder_clear(&holder);
    client->Release();
}
BENCHMARK(BM_ReceiveQueueDispatch);

// The floor: the same bytes copied in the same read sizes, nothing cut.
void BM_PlainCopy(benchmark::State& state) {
    std::vector<uint8_t> stream = frame_stream();
    std::vector<uint8_t> target(RECEIVE_BUFFER_INITIAL);
    for (auto _ : state) {
        size_t fed = 0;
        while (fed < stream.size()) {
            size_t n = stream.size() - fed < target.size() ? stream.size() - fed : target.size();
            std::memcpy(target.data(), stream.data() + fed, n);
            benchmark::ClobberMemory();
            fed += n;
        }
    }
    state.SetItemsProcessed(state.iterations() * kFrames);
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(stream.size()));
}
BENCHMARK(BM_PlainCopy);

}  // namespace

BENCHMARK_MAIN();
