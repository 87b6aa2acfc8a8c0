#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "tools/virtual_panel/readable_text.h"

namespace {

std::string readable(const std::string& bytes) {
    char out[256];
    to_readable(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), out, sizeof(out));
    return out;
}

std::string decode(const char* text) {
    unsigned char out[64];
    int n = from_readable(text, out, sizeof(out));
    return n < 0 ? std::string("<invalid>") : std::string(reinterpret_cast<char*>(out), static_cast<size_t>(n));
}

TEST(ReadableText, SymbolBytesUseTheProtocolNotation) {
    EXPECT_EQ(readable("H>COM1   \a Standby"), "H>COM1   \\a Standby");
    EXPECT_EQ(readable(std::string("F>\x04\x05\x06", 5)), "F>\\x04\\x05\\x06");
    EXPECT_EQ(readable("a\\b"), "a\\\\b");
    EXPECT_EQ(readable("VRAN-COM1_1.0\n"), "VRAN-COM1_1.0\\n");
    EXPECT_EQ(readable(std::string("\0\xff", 2)), "\\x00\\xff");
}

TEST(ReadableText, DecodingRoundTripsEveryByte) {
    std::string all;
    for (int c = 0; c < 256; ++c) all.push_back(static_cast<char>(c));
    char text[1200];
    to_readable(reinterpret_cast<const unsigned char*>(all.data()), all.size(), text, sizeof(text));
    unsigned char back[300];
    int n = from_readable(text, back, sizeof(back));
    ASSERT_EQ(n, 256);
    EXPECT_EQ(std::memcmp(back, all.data(), 256), 0);
}

TEST(ReadableText, MalformedEscapesAreRejected) {
    EXPECT_EQ(decode("R\\"), "<invalid>");
    EXPECT_EQ(decode("\\x4"), "<invalid>");
    EXPECT_EQ(decode("\\xg0"), "<invalid>");
    EXPECT_EQ(decode("\\q"), "<invalid>");
    EXPECT_EQ(decode("R+"), "R+");
}

TEST(ReadableText, OutputIsCutAtWholeEscapesWhenTheBufferIsSmall) {
    char out[6];
    const unsigned char bytes[] = {'A', 'B', 0x07, 0x04};
    size_t n = to_readable(bytes, sizeof(bytes), out, sizeof(out));
    EXPECT_STREQ(out, "AB\\a");
    EXPECT_EQ(n, 4u);
    unsigned char small[2];
    EXPECT_EQ(from_readable("ABC", small, sizeof(small)), -1);
}

}  // namespace
