#include <gtest/gtest.h>

#include "tools/virtual_panel/identity_responder.h"

namespace {

TEST(IdentityResponder, AnswersEveryRequestByDefault) {
    IdentityResponder r;
    responder_init(&r, false, -1);
    for (int i = 0; i < 100; ++i) EXPECT_TRUE(responder_should_answer(&r));
    EXPECT_EQ(r.answered, 100);
    EXPECT_EQ(r.ignored, 0);
}

TEST(IdentityResponder, SilentAfterAnswersExactlyThatMany) {
    IdentityResponder r;
    responder_init(&r, false, 2);
    EXPECT_TRUE(responder_should_answer(&r));
    EXPECT_TRUE(responder_should_answer(&r));
    EXPECT_FALSE(responder_should_answer(&r));
    EXPECT_FALSE(responder_should_answer(&r));
    EXPECT_EQ(r.answered, 2);
    EXPECT_EQ(r.ignored, 2);
    // Switching silence off brings the panel back for good.
    responder_set_silent(&r, false);
    EXPECT_TRUE(responder_should_answer(&r));
    EXPECT_TRUE(responder_should_answer(&r));
    EXPECT_TRUE(responder_should_answer(&r));
}

TEST(IdentityResponder, SilentSwitchOverridesEverything) {
    IdentityResponder r;
    responder_init(&r, true, -1);
    EXPECT_FALSE(responder_should_answer(&r));
    responder_set_silent(&r, false);
    EXPECT_TRUE(responder_should_answer(&r));
    responder_set_silent(&r, true);
    EXPECT_FALSE(responder_should_answer(&r));
    IdentityResponder never;
    responder_init(&never, false, 0);
    EXPECT_FALSE(responder_should_answer(&never));
}

}  // namespace
