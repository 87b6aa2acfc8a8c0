#include <gtest/gtest.h>

#include <string>

#include "launcher/autostart/autostart.h"

TEST(AutostartPosix, EveryVerbSaysItIsAWindowsFeature) {
    for (const char* verb : {"on", "off", "status"}) {
        testing::internal::CaptureStdout();
        EXPECT_EQ(autostart_run(verb), 2) << verb;
        EXPECT_NE(testing::internal::GetCapturedStdout().find("is a Windows feature"), std::string::npos) << verb;
    }
}
