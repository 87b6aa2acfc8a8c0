// Cutting the simulator's byte stream into messages, without sockets.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "simclient/receive_buffer.h"
#include "simclient/tests/test_records.h"

namespace {

class ReceiveBufferTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(receive_buffer_init(&buffer_)); }
    void TearDown() override {
        receive_buffer_free(&buffer_);
        holder_clear(&holder_);
    }

    // Copies bytes as one read would: at most the free room. Returns the
    // count taken.
    size_t feed(const uint8_t* data, size_t len) {
        uint32_t room = receive_buffer_free_room(&buffer_);
        size_t n = len < room ? len : room;
        std::memcpy(receive_buffer_free_start(&buffer_), data, n);
        receive_buffer_commit(&buffer_, static_cast<uint32_t>(n));
        return n;
    }
    size_t feed(const std::vector<uint8_t>& data) { return feed(data.data(), data.size()); }

    // Extracts everything ready; returns the last result.
    ExtractResult drain(std::vector<std::vector<uint8_t>>* out, uint32_t max = 41088) {
        ExtractResult r;
        while ((r = extract_message(&buffer_, &holder_, max)) == EXTRACT_READY) {
            out->emplace_back(holder_.block, holder_.block + holder_.length);
            holder_clear(&holder_);  // the queue takes the block over
        }
        return r;
    }

    ReceiveBuffer buffer_{};
    MessageHolder holder_{0, 0, nullptr};
};

TEST_F(ReceiveBufferTest, TwoMessagesInOneReadComeOutInOrder) {
    std::vector<uint8_t> a = make_record(8, std::vector<uint8_t>(30, 0xAA));
    std::vector<uint8_t> b = make_record(3, {});
    std::vector<uint8_t> both = a;
    both.insert(both.end(), b.begin(), b.end());
    feed(both);
    std::vector<std::vector<uint8_t>> got;
    EXPECT_EQ(EXTRACT_NEED_MORE, drain(&got));
    ASSERT_EQ(2u, got.size());
    EXPECT_EQ(a, got[0]);
    EXPECT_EQ(b, got[1]);
    EXPECT_EQ(0u, buffer_.write);  // everything consumed: back to the start
}

TEST_F(ReceiveBufferTest, MessageOverThreeReadsIsReadyOnlyAtItsLastByte) {
    std::vector<uint8_t> m = make_record(8, std::vector<uint8_t>(100, 0x5C));
    std::vector<std::vector<uint8_t>> got;
    feed(m.data(), 2);  // not even the size field yet
    EXPECT_EQ(EXTRACT_NEED_MORE, drain(&got));
    feed(m.data() + 2, 50);
    EXPECT_EQ(EXTRACT_NEED_MORE, drain(&got));
    EXPECT_TRUE(got.empty());
    feed(m.data() + 52, m.size() - 52);
    EXPECT_EQ(EXTRACT_NEED_MORE, drain(&got));
    ASSERT_EQ(1u, got.size());
    EXPECT_EQ(m, got[0]);
}

TEST_F(ReceiveBufferTest, LargeMessageGrowsTheBufferInSteps) {
    std::vector<uint8_t> m = make_sized(5000, 5000);
    std::vector<std::vector<uint8_t>> got;
    std::vector<uint32_t> capacities;
    size_t sent = 0;
    while (sent < m.size()) {
        sent += feed(m.data() + sent, m.size() - sent);
        drain(&got);
        capacities.push_back(buffer_.capacity);
    }
    EXPECT_EQ((std::vector<uint32_t>{4096, 6144, 6144}), capacities);
    ASSERT_EQ(1u, got.size());
    EXPECT_EQ(m, got[0]);
}

TEST_F(ReceiveBufferTest, UnparsedTailMovesToTheStartWhenTheEndIsReached) {
    // Messages of 600 bytes: the fourth straddles the 2048-byte end.
    std::vector<uint8_t> stream;
    for (int i = 0; i < 6; ++i) {
        std::vector<uint8_t> m = make_record(8, std::vector<uint8_t>(588, static_cast<uint8_t>(i)));
        stream.insert(stream.end(), m.begin(), m.end());
    }
    std::vector<std::vector<uint8_t>> got;
    size_t sent = 0;
    while (sent < stream.size()) {
        sent += feed(stream.data() + sent, stream.size() - sent);
        drain(&got);
    }
    EXPECT_EQ(2048u, buffer_.capacity);  // moved, never grown
    ASSERT_EQ(6u, got.size());
    for (int i = 0; i < 6; ++i) EXPECT_EQ(static_cast<uint8_t>(i), got[i][12]);
}

TEST_F(ReceiveBufferTest, HolderGetsABlockOfExactlyTheMessageSize) {
    feed(make_record(8, std::vector<uint8_t>(20, 1)));
    ASSERT_EQ(EXTRACT_READY, extract_message(&buffer_, &holder_, 41088));
    EXPECT_EQ(32u, holder_.length);
    EXPECT_EQ(32u, holder_.allocated);
}

TEST_F(ReceiveBufferTest, BadSizeFields) {
    std::vector<std::vector<uint8_t>> got;
    feed(make_sized(3, 12));
    EXPECT_EQ(EXTRACT_BAD_SIZE, drain(&got));
    EXPECT_TRUE(got.empty());

    receive_buffer_free(&buffer_);
    ASSERT_TRUE(receive_buffer_init(&buffer_));
    feed(make_sized(0, 4));
    EXPECT_EQ(EXTRACT_BAD_SIZE, drain(&got));

    // Above the maximum: refused as soon as the size field is there.
    receive_buffer_free(&buffer_);
    ASSERT_TRUE(receive_buffer_init(&buffer_));
    feed(make_sized(41089, 4));
    EXPECT_EQ(EXTRACT_TOO_LARGE, drain(&got));
    EXPECT_EQ(0u, holder_.allocated);  // nothing allocated for it

    receive_buffer_free(&buffer_);
    ASSERT_TRUE(receive_buffer_init(&buffer_));
    feed(make_sized(0xFFFFFFFFu, 4));
    EXPECT_EQ(EXTRACT_TOO_LARGE, drain(&got, 0xFFFFFFFFu));
}

TEST_F(ReceiveBufferTest, RaisedMaximumStillStopsAtTheBufferLimit) {
    std::vector<std::vector<uint8_t>> got;
    feed(make_sized(RECEIVE_BUFFER_LIMIT, 8));
    EXPECT_EQ(EXTRACT_NEED_MORE, drain(&got, 2 * RECEIVE_BUFFER_LIMIT));

    receive_buffer_free(&buffer_);
    ASSERT_TRUE(receive_buffer_init(&buffer_));
    feed(make_sized(RECEIVE_BUFFER_LIMIT + 1, 8));
    EXPECT_EQ(EXTRACT_TOO_LARGE, drain(&got, 2 * RECEIVE_BUFFER_LIMIT));
}

TEST_F(ReceiveBufferTest, MessageOfExactlyTheLimitIsDelivered) {
    std::vector<uint8_t> m = make_sized(RECEIVE_BUFFER_LIMIT, RECEIVE_BUFFER_LIMIT);
    std::vector<std::vector<uint8_t>> got;
    size_t sent = 0;
    int reads = 0;
    while (sent < m.size() && reads < 10000) {
        ASSERT_GT(receive_buffer_free_room(&buffer_), 0u);
        sent += feed(m.data() + sent, m.size() - sent);
        drain(&got, 2 * RECEIVE_BUFFER_LIMIT);
        ++reads;
    }
    ASSERT_EQ(1u, got.size());
    EXPECT_EQ(m, got[0]);
    EXPECT_EQ(RECEIVE_BUFFER_LIMIT, buffer_.capacity);
}

}  // namespace
