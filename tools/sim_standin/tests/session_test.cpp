#include <gtest/gtest.h>

#include <cstring>

#include "simclient/sim_types.h"
#include "tools/sim_standin/standin_log.h"
#include "tools/sim_standin/standin_session.h"
#include "tools/sim_standin/tests/request_builder.h"

namespace {

const uint64_t kNow = 5000000;

class SessionTest : public ::testing::Test {
protected:
    void SetUp() override {
        g_log_level = -1;
        radio_defaults(&stack, kNow);
        session_init(&session, 1);
    }

    // Feeds one request and returns the records the stand-in answered with.
    std::vector<Bytes> feed(const Bytes& request) {
        Bytes out;
        EXPECT_TRUE(session_feed(&session, &stack, request.data(), request.size(), kNow, &out));
        return split_records(out);
    }
    std::vector<Bytes> tick(uint64_t now = kNow) {
        Bytes out;
        session_frame_tick(&session, stack, now, &out);
        return split_records(out);
    }

    // The COM panel program's definition: 320 bytes.
    void define_com1_panel() {
        struct Row {
            const char* var;
            const char* unit;
            uint32_t type;
        };
        const Row rows[] = {
            {"Title", nullptr, SIMCONNECT_DATATYPE_STRING256},
            {"ABSOLUTE TIME", "seconds", SIMCONNECT_DATATYPE_FLOAT64},
            {"COM ACTIVE FREQUENCY:1", "Frequency BCD16", SIMCONNECT_DATATYPE_INT32},
            {"COM STANDBY FREQUENCY:1", "Frequency BCD16", SIMCONNECT_DATATYPE_INT32},
            {"ELECTRICAL MASTER BATTERY", "boolean", SIMCONNECT_DATATYPE_INT32},
            {"AVIONICS MASTER SWITCH", "boolean", SIMCONNECT_DATATYPE_INT32},
            {"CIRCUIT GENERAL PANEL ON", "boolean", SIMCONNECT_DATATYPE_INT32},
            {"COM TRANSMIT:1", "boolean", SIMCONNECT_DATATYPE_INT32},
            {"COM TRANSMIT:2", "boolean", SIMCONNECT_DATATYPE_INT32},
            {"COM RECIEVE ALL", "boolean", SIMCONNECT_DATATYPE_INT32},
            {"MARKER SOUND", "boolean", SIMCONNECT_DATATYPE_INT32},
            {"PARTIAL PANEL COMM:1", "Enum", SIMCONNECT_DATATYPE_INT32},
            {"COM ACTIVE FREQUENCY:1", "MHz", SIMCONNECT_DATATYPE_FLOAT64},
            {"COM STANDBY FREQUENCY:1", "MHz", SIMCONNECT_DATATYPE_FLOAT64},
        };
        for (const Row& r : rows) EXPECT_TRUE(feed(add_datum_request(0, r.var, r.unit, r.type)).empty()) << r.var;
    }

    RadioStack stack;
    ClientSession session;
};

TEST_F(SessionTest, OpenIsAnsweredWithTheOpenRecord) {
    std::vector<Bytes> replies = feed(open_request("Request Data"));
    ASSERT_EQ(1u, replies.size());
    EXPECT_EQ(sizeof(SIMCONNECT_RECV_OPEN), replies[0].size());
    EXPECT_EQ(SIMCONNECT_RECV_ID_OPEN, u32_at(replies[0], 8));
    EXPECT_STREQ("KittyHawk", reinterpret_cast<const char*>(replies[0].data() + 12));
    EXPECT_EQ("Request Data", session.name);
    EXPECT_TRUE(session.opened);
}

TEST_F(SessionTest, OnceFramePacksTheDefinitionInOrder) {
    define_com1_panel();
    stack.values["COM STANDBY FREQUENCY:1"] = 121.525;
    std::vector<Bytes> replies = feed(request_data(0, 0, SIMCONNECT_PERIOD_ONCE));
    ASSERT_EQ(1u, replies.size());
    const Bytes& f = replies[0];
    ASSERT_EQ(40u + 320u, f.size());
    EXPECT_EQ(SIMCONNECT_RECV_ID_SIMOBJECT_DATA, u32_at(f, 8));
    EXPECT_EQ(0u, u32_at(f, 12));   // request id
    EXPECT_EQ(0u, u32_at(f, 16));   // user object
    EXPECT_EQ(0u, u32_at(f, 20));   // definition
    EXPECT_EQ(14u, u32_at(f, 36));  // datums in the definition
    const size_t b = 40;
    EXPECT_STREQ("Cessna Skyhawk G1000 Asobo", reinterpret_cast<const char*>(f.data() + b));
    EXPECT_EQ(0, f[b + 255]);
    EXPECT_GT(f64_at(f, b + 256), 6.0e10);
    EXPECT_EQ(0x1800, i32_at(f, b + 264));
    EXPECT_EQ(0x2152, i32_at(f, b + 268));
    EXPECT_EQ(1, i32_at(f, b + 272));
    EXPECT_EQ(1, i32_at(f, b + 276));
    EXPECT_EQ(1, i32_at(f, b + 284));
    EXPECT_EQ(0, i32_at(f, b + 288));
    EXPECT_EQ(0, i32_at(f, b + 300));
    EXPECT_DOUBLE_EQ(118.0, f64_at(f, b + 304));
    EXPECT_DOUBLE_EQ(121.525, f64_at(f, b + 312));
    // ONCE leaves nothing behind for later frames.
    EXPECT_TRUE(tick().empty());
}

TEST_F(SessionTest, PeriodicRequestsFollowFramesUntilNever) {
    define_com1_panel();
    EXPECT_TRUE(feed(request_data(1, 0, SIMCONNECT_PERIOD_VISUAL_FRAME)).empty());
    for (int i = 0; i < 3; ++i) {
        std::vector<Bytes> frames = tick();
        ASSERT_EQ(1u, frames.size());
        EXPECT_EQ(1u, u32_at(frames[0], 12));
    }
    // The same request id again replaces the request instead of doubling it.
    feed(request_data(1, 0, SIMCONNECT_PERIOD_SIM_FRAME));
    EXPECT_EQ(1u, tick().size());
    // An event between frames shows in the next frame.
    feed(map_event_request(22, "COM_RADIO_WHOLE_INC"));
    EXPECT_TRUE(feed(transmit_event(22, 0)).empty());
    std::vector<Bytes> frames = tick();
    ASSERT_EQ(1u, frames.size());
    EXPECT_DOUBLE_EQ(122.5, f64_at(frames[0], 40 + 312));
    EXPECT_TRUE(feed(request_data(1, 0, SIMCONNECT_PERIOD_NEVER)).empty());
    EXPECT_TRUE(tick().empty());
}

TEST_F(SessionTest, OriginIntervalAndLimitAreHonoured) {
    define_com1_panel();
    feed(request_data(7, 0, SIMCONNECT_PERIOD_SIM_FRAME, /*origin*/ 2, /*interval*/ 1, /*limit*/ 2));
    std::vector<size_t> counts;
    for (int i = 0; i < 8; ++i) counts.push_back(tick().size());
    EXPECT_EQ((std::vector<size_t>{0, 0, 1, 0, 1, 0, 0, 0}), counts);

    feed(request_data(8, 0, SIMCONNECT_PERIOD_SECOND));
    EXPECT_EQ(1u, tick(kNow).size());
    EXPECT_EQ(0u, tick(kNow + 500).size());
    EXPECT_EQ(1u, tick(kNow + 1000).size());
}

TEST_F(SessionTest, TransponderStateWriteThroughSetData) {
    feed(add_datum_request(1, "TRANSPONDER STATE:1", "Enum", SIMCONNECT_DATATYPE_INT32));
    int32_t state = 1;
    EXPECT_TRUE(feed(set_data_request(1, &state, 4)).empty());
    EXPECT_EQ(1, radio_get(stack, "TRANSPONDER STATE:1", "Enum", kNow).number);
    // Wrong element size: refused, nothing changes.
    int64_t wide = 3;
    std::vector<Bytes> replies = feed(set_data_request(1, &wide, 8));
    ASSERT_EQ(1u, replies.size());
    EXPECT_EQ(SIMCONNECT_RECV_ID_EXCEPTION, u32_at(replies[0], 8));
    EXPECT_EQ(EXCEPTION_SIZE_MISMATCH, u32_at(replies[0], 12));
    EXPECT_EQ(1, radio_get(stack, "TRANSPONDER STATE:1", "Enum", kNow).number);
}

TEST_F(SessionTest, BadRequestsGetExceptionsAndChangeNothing) {
    // Unknown definition, unmapped event, unsupported type, unknown message id.
    std::vector<Bytes> r = feed(request_data(0, 9, SIMCONNECT_PERIOD_ONCE));
    ASSERT_EQ(1u, r.size());
    EXPECT_EQ(EXCEPTION_UNRECOGNIZED_ID, u32_at(r[0], 12));
    EXPECT_EQ(u32_at(request_data(0, 9, 1), 12) - 1, u32_at(r[0], 16));  // send id of the request
    r = feed(transmit_event(5, 0));
    ASSERT_EQ(1u, r.size());
    EXPECT_EQ(EXCEPTION_UNRECOGNIZED_ID, u32_at(r[0], 12));
    r = feed(add_datum_request(0, "Title", "", 42));
    ASSERT_EQ(1u, r.size());
    EXPECT_TRUE(session.definitions.empty());
    Bytes odd = transmit_event(5, 0);
    odd[8] = 0x99;
    r = feed(odd);
    ASSERT_EQ(1u, r.size());
    EXPECT_EQ(EXCEPTION_ERROR, u32_at(r[0], 12));
    // An event name the stand-in does not model is still mapped, with a note.
    r = feed(map_event_request(3, "SOMETHING_ELSE"));
    ASSERT_EQ(1u, r.size());
    EXPECT_EQ(EXCEPTION_NAME_UNRECOGNIZED, u32_at(r[0], 12));
    EXPECT_TRUE(feed(transmit_event(3, 0)).empty());
}

TEST_F(SessionTest, StreamIsCutIntoMessagesAndGarbageDropsTheClient) {
    // Two requests split at an odd place arrive as two handled messages.
    Bytes a = open_request("Split"), b = subscribe_request(0, "SimStart");
    Bytes both = a;
    both.insert(both.end(), b.begin(), b.end());
    Bytes out;
    ASSERT_TRUE(session_feed(&session, &stack, both.data(), 100, kNow, &out));
    EXPECT_TRUE(out.empty());
    ASSERT_TRUE(session_feed(&session, &stack, both.data() + 100, both.size() - 100, kNow, &out));
    std::vector<Bytes> r = split_records(out);
    ASSERT_EQ(2u, r.size());
    EXPECT_EQ(SIMCONNECT_RECV_ID_OPEN, u32_at(r[0], 8));
    EXPECT_EQ(SIMCONNECT_RECV_ID_EVENT, u32_at(r[1], 8));
    EXPECT_EQ(0u, u32_at(r[1], 16));  // the subscriber's event id

    const uint8_t tiny[4] = {3, 0, 0, 0};
    EXPECT_FALSE(session_feed(&session, &stack, tiny, 4, kNow, &out));
    session_init(&session, 2);
    const uint8_t huge[4] = {0, 0, 0, 0x10};
    EXPECT_FALSE(session_feed(&session, &stack, huge, 4, kNow, &out));
}

TEST(QuitRecord, IsTwelveBytesWithId3) {
    Bytes out;
    append_quit(&out);
    ASSERT_EQ(12u, out.size());
    EXPECT_EQ(12u, u32_at(out, 0));
    EXPECT_EQ(SIMCONNECT_RECV_ID_QUIT, u32_at(out, 8));
}

}  // namespace

namespace {

TEST(SessionLimits, ARunawayClientIsCappedNotObeyed) {
    g_log_level = -1;
    RadioStack stack;
    radio_defaults(&stack, kNow);
    ClientSession s;
    session_init(&s, 9);
    Bytes all, out;
    for (size_t i = 0; i < kMaxDatums + 5; ++i) {
        Bytes r = add_datum_request(static_cast<uint32_t>(i % 3), "Title", "", SIMCONNECT_DATATYPE_STRING256);
        all.insert(all.end(), r.begin(), r.end());
    }
    ASSERT_TRUE(session_feed(&s, &stack, all.data(), all.size(), kNow, &out));
    size_t kept = 0;
    for (const auto& d : s.definitions) {
        EXPECT_LE(definition_block_size(d.second), kMaxBlockSize);
        kept += d.second.size();
    }
    EXPECT_LE(kept, kMaxDatums);
    EXPECT_FALSE(out.empty());  // each refusal was answered
    out.clear();
    for (uint32_t id = 0; id < kMaxRequests + 3; ++id) {
        Bytes r = request_data(id, 0, SIMCONNECT_PERIOD_SIM_FRAME);
        ASSERT_TRUE(session_feed(&s, &stack, r.data(), r.size(), kNow, &out));
    }
    EXPECT_EQ(kMaxRequests, s.requests.size());
}

}  // namespace
