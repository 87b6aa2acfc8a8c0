// Short connections, one after another, to a simulator that misbehaves in
// every way a link allows (floods, resets, half-closes, stalls, garbage),
// while the program's thread dispatches, sends and closes at random. Timing
// varies from run to run; what is checked does not: no crash or leak (the
// sanitizer run), no hang (every round ends), messages arrive whole and in
// order, and a break is recorded once and then reported for good.
#include <gtest/gtest.h>

#include <atomic>
#include <random>
#include <thread>
#include <vector>

#include "platform/sim_link.h"
#include "simclient/tests/connected_client.h"

namespace {

enum class Simulator { Floods, Resets, HalfCloses, Stalls, SendsGarbage, Count };

constexpr uint64_t kRunMs = 3000;
constexpr int kMinRounds = 2 * static_cast<int>(Simulator::Count);

// A record carrying its place in the stream, padded to size bytes.
std::vector<uint8_t> numbered_record(uint32_t number, uint32_t size) {
    std::vector<uint8_t> body(size - 12, static_cast<uint8_t>(number));
    for (int i = 0; i < 4; ++i) body[i] = static_cast<uint8_t>(number >> (8 * i));
    return make_record(SIMCONNECT_RECV_ID_EVENT, body);
}

// The simulator's side of one round, on a thread of its own. Every call on
// the connection ends by itself once the client has closed.
void misbehave(PeerConn* conn, Simulator kind, uint32_t seed, const std::atomic<bool>* stop) {
    ScriptedPeer peer(conn);
    std::mt19937 rng(seed);
    uint32_t number = 0;
    auto send_some = [&](int count) {
        std::vector<uint8_t> chunk;
        for (int i = 0; i < count; ++i) {
            std::vector<uint8_t> r = numbered_record(number++, 16 + rng() % 3000);
            chunk.insert(chunk.end(), r.begin(), r.end());
        }
        return peer.send(chunk);
    };
    auto drain = [&](uint32_t ms) {
        while (!peer.read_message(ms).empty() && !*stop) {
        }
    };
    switch (kind) {
        case Simulator::Floods:
            for (int i = 0; i < 50 && !*stop && send_some(20); ++i) drain(0);
            break;
        case Simulator::Resets:
            send_some(1 + rng() % 40);
            platform::sleep_ms(rng() % 30);
            peer.abort();
            return;
        case Simulator::HalfCloses:
            send_some(1 + rng() % 40);
            peer.shutdown_send();
            break;
        case Simulator::Stalls:
            while (!*stop) platform::sleep_ms(5);  // reads nothing, sends nothing
            return;
        case Simulator::SendsGarbage:
            send_some(rng() % 10);
            peer.send(make_sized(rng() % 2 ? 3 : 50000, 12));
            break;
        case Simulator::Count:
            break;
    }
    while (!*stop) drain(20);
}

// What the program's thread saw of one connection.
struct Seen {
    uint32_t next_number = 0;
    bool in_order = true;
};
Seen* g_seen = nullptr;

void check_message(SIMCONNECT_RECV* data, uint32_t size, void*) {
    std::vector<uint8_t> m(reinterpret_cast<const uint8_t*>(data), reinterpret_cast<const uint8_t*>(data) + size);
    if (size < 16 || u32_at(m, 0) != size || u32_at(m, 12) != g_seen->next_number) {
        g_seen->in_order = false;
        return;
    }
    g_seen->next_number++;
}

TEST(ClientStressTest, MisbehavingSimulatorsNeverCrashLeakHangOrHideABreak) {
    TestEnvironment env;
    std::vector<uint8_t> big(41052, 0x33);
    uint64_t start = platform::monotonic_ms();
    int round = 0;
    int breaks_seen = 0;
    for (; round < kMinRounds || platform::monotonic_ms() - start < kRunMs; ++round) {
        Link link = (round / static_cast<int>(Simulator::Count)) % 2 ? Link::Pipe : Link::Tcp;
        Simulator kind = static_cast<Simulator>(round % static_cast<int>(Simulator::Count));
        SCOPED_TRACE("round " + std::to_string(round));
        std::mt19937 rng(1000 + round);
        PeerListener* listener = nullptr;
        listen_for_client(link, &env, "", &listener);
        ASSERT_NE(nullptr, listener);
        HANDLE_SIM handle = nullptr;
        ASSERT_EQ(SIM_S_OK, SimConnect_Open(&handle, "Stress", nullptr, 0, nullptr, 0));
        PeerConn* conn = peer_accept(listener, 5000);
        ASSERT_NE(nullptr, conn);
        uint32_t breaks = CClient::breaks_recorded();
        std::atomic<bool> stop{false};
        std::thread simulator(misbehave, conn, kind, static_cast<uint32_t>(rng()), &stop);

        Seen seen;
        g_seen = &seen;
        HRESULT_T broken = SIM_S_OK;
        auto expect_steady = [&](HRESULT_T result) {
            if (broken < 0) {
                EXPECT_EQ(broken, result);  // once broken, always the same status
            } else if (result < 0) {
                broken = result;
            }
        };
        int steps = 20 + static_cast<int>(rng() % 200);
        for (int step = 0; step < steps; ++step) {
            switch (rng() % 4) {
                case 0:
                case 1:
                    expect_steady(SimConnect_CallDispatch(handle, check_message, nullptr));
                    break;
                case 2:
                    expect_steady(SimConnect_TransmitClientEvent(handle, 0, rng() % 100, 0, 1, 0));
                    break;
                default:
                    expect_steady(SimConnect_SetDataOnSimObject(handle, 1, 0, 0, 1, 41052, big.data()));
                    break;
            }
            if (rng() % 8 == 0) platform::sleep_ms(rng() % 3);
        }
        if (kind == Simulator::Resets || kind == Simulator::SendsGarbage) {
            // These always break the link; the program must come to hear of it.
            EXPECT_TRUE(eventually([&] {
                expect_steady(SimConnect_CallDispatch(handle, check_message, nullptr));
                return broken < 0;
            }));
        }
        HRESULT_T last = SimConnect_CallDispatch(handle, check_message, nullptr);
        expect_steady(last);
        uint32_t recorded = CClient::breaks_recorded() - breaks;
        EXPECT_LE(recorded, 1u);
        if (last < 0) {
            EXPECT_EQ(1u, recorded);  // a reported break was recorded, once
            ++breaks_seen;
        }
        EXPECT_TRUE(seen.in_order);

        EXPECT_EQ(SIM_S_OK, SimConnect_Close(handle));
        stop = true;
        simulator.join();
        peer_stop(listener);
    }
    EXPECT_EQ(0u, ClientClient::live_clients());
    EXPECT_TRUE(eventually([] { return CClient::live_transports() == 0; }));
    EXPECT_EQ(0, platform::link_live_count());
    std::printf("%d rounds, %d of them broken by the simulator\n", round, breaks_seen);
}

}  // namespace
