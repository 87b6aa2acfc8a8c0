// The launcher's log stays below its limit: the older lines move to one
// ".1" file, which the next rotation replaces.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "core/tests/test_support.h"
#include "launcher/launcher_log.h"
#include "platform/env.h"

namespace {

TEST(LauncherLogTest, RotatesToOneOlderFileBeforeReachingTheLimit) {
    TempWorkDir dir;
    const long limit = 1000;
    LauncherLog log;
    ASSERT_TRUE(log_open(&log, "test.log", limit));
    const std::string text(60, 'x');
    for (int i = 0; i < 100; ++i) {
        log_write(&log, "2024-01-01 00:00:00", "COMM1-Relay", (std::to_string(i) + " " + text).c_str());
        ASSERT_LT(read_whole_file("test.log").size(), static_cast<size_t>(limit)) << "line " << i;
    }
    log_close(&log);
    std::string now = read_whole_file("test.log"), older = read_whole_file("test.log.1");
    EXPECT_NE(now.find("2024-01-01 00:00:00 COMM1-Relay: 99 " + text), std::string::npos);
    EXPECT_EQ(now.back(), '\n');
    EXPECT_EQ(now.find("COMM1-Relay: 0 x"), std::string::npos);
    // The lines just before the current file's, not the first ones.
    EXPECT_GT(older.size(), static_cast<size_t>(limit) / 2);
    EXPECT_EQ(older.find("COMM1-Relay: 0 x"), std::string::npos);

    // A log started again goes on where it stood.
    ASSERT_TRUE(log_open(&log, "test.log", 2 * limit));
    log_write(&log, "t", "Relay-Launcher", "again");
    log_close(&log);
    EXPECT_EQ(read_whole_file("test.log").find(now), 0u);
}

// The older file cannot be replaced (held open by a viewer; here a folder
// in its place): no line is lost, and the move is made once it can be.
TEST(LauncherLogTest, AFailedRotationKeepsEveryLineAndIsTriedAgain) {
    TempWorkDir dir;
    const std::string older = dir.path() + "/test.log.1";
    std::filesystem::create_directory(older);
    write_file(older + "/held", "x");
    const long limit = 1000;
    LauncherLog log;
    ASSERT_TRUE(log_open(&log, "test.log", limit));
    const std::string text(60, 'x');
    for (int i = 0; i < 40; ++i) log_write(&log, "t", "COMM1-Relay", (std::to_string(i) + " " + text).c_str());
    std::string now = read_whole_file("test.log");
    EXPECT_NE(now.find("COMM1-Relay: 0 x"), std::string::npos);
    EXPECT_NE(now.find("COMM1-Relay: 39 x"), std::string::npos);

    remove_tree(older);
    log_write(&log, "t", "COMM1-Relay", "40");
    log_close(&log);
    EXPECT_EQ(read_whole_file("test.log.1"), now);
    EXPECT_EQ(read_whole_file("test.log"), std::string("t COMM1-Relay: 40") + platform::kLineEnd);
}

}  // namespace
