// The printable form of received text: what passes unchanged, what is
// escaped, and how a short buffer cuts it.
#include <gtest/gtest.h>

#include <string>

#include "core/printable_text.h"

namespace {

std::string printable(const std::string& text, size_t size = 1024) {
    char out[1024];
    printable_text(text.c_str(), out, size);
    return out;
}

TEST(PrintableTextTest, OrdinaryTextPassesAndEveryOtherByteIsEscaped) {
    for (const char* same : {"VRAN-COM1_1.0", "R+", "R1-", "S", "ID_Request", "a\tb\n", " ~\\%s"}) {
        EXPECT_EQ(printable(same), same);
    }
    EXPECT_EQ(printable("\x1b[2J"), "\\x1b[2J");
    EXPECT_EQ(printable("\r\x01\x7f\x80\x9b\xff"), "\\x0d\\x01\\x7f\\x80\\x9b\\xff");
    // Cut short between pieces, never inside an escape.
    EXPECT_EQ(printable("AB\x1b", 6), "AB");
    EXPECT_EQ(printable("AB\x1b", 7), "AB\\x1b");
}

}  // namespace
