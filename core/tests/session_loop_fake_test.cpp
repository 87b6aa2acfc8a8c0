// The entry and the session loop against the recording fake of the simulator
// client: spinner, open retries, tenth-pass requests, quit, lost connection
// and the final attempt. No panel search touches the network here: the link
// is marked as set up without an interface.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "core/bridge_state.h"
#include "core/program_entry.h"
#include "core/session_loop.h"
#include "core/session_restart.h"
#include "core/session_setup.h"
#include "core/tests/fake_simconnect.h"
#include "core/tests/test_support.h"
#include "platform/env.h"
#include "platform/sim_link.h"

namespace {

std::vector<uint32_t> g_sleeps;
void record_sleep(uint32_t ms) { g_sleeps.push_back(ms); }

// Keeps find_panel off the network: the one-time part counts as done and
// found no interface.
void without_interface() {
    g_bridge.link_initialised = 1;
    g_bridge.interface_found = 0;
}

struct Request {
    uint32_t id, period;
};

std::vector<Request> data_requests() {
    std::vector<Request> out;
    for (const FakeCall& c : fake_sim::calls_named("RequestDataOnSimObject")) {
        EXPECT_EQ(c.args[1], DEFINITION_PANEL_DATA);
        EXPECT_EQ(c.args[2], SIMCONNECT_OBJECT_ID_USER);
        for (int i = 4; i < 8; ++i) EXPECT_EQ(c.args[i], 0u);
        out.push_back({c.args[0], c.args[3]});
    }
    return out;
}

class SessionLoopTest : public testing::Test {
protected:
    void SetUp() override {
        fake_sim::reset();
        g_sleeps.clear();
        set_sleep_function(record_sleep);
    }
    void TearDown() override { set_sleep_function(nullptr); }
};

TEST_F(SessionLoopTest, SpinnerTurnsBackslashBarSlashDash) {
    bridge_reset(program_profile(PROGRAM_COMM1), nullptr);
    testing::internal::CaptureStdout();
    for (int i = 0; i < 10; ++i) advance_spinner();
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "\b\\\b|\b/\b-\b\\\b|\b/\b-\b\\\b|");
}

TEST_F(SessionLoopTest, WholeRunFromSearchToFinalAttempt) {
    fake_sim::script_open({SIM_E_FAIL, SIM_E_FAIL, SIM_S_OK});
    fake_sim::on_dispatch([](int n) {
        if (n == 1) without_interface();
        if (n == 25) fake_sim::queue_message(fake_sim::quit_message());
    });
    testing::internal::CaptureStdout();
    int rc = run_program(PROGRAM_COMM1, nullptr);
    std::string out = testing::internal::GetCapturedStdout();

    EXPECT_EQ(rc, 0);
    EXPECT_EQ(out,
              "COMM1-Relay for MSFS2020 by Tarnel, Version 2.0.0.0\n"
              "Searching Connection to Flight Simulator -"
              "\b\\\b|"
              "\nCOM1-Client Connected to Flight Simulator!\n"
              "\b/");
    // Three attempts while searching, the session, then one final attempt.
    std::vector<FakeCall> opens = fake_sim::calls_named("Open");
    ASSERT_EQ(opens.size(), 4u);
    for (const FakeCall& open : opens) {
        EXPECT_EQ(open.name, "Request Data");
        EXPECT_EQ(open.args, (std::vector<uint32_t>{0, 0, 0, 0}));
    }
    EXPECT_EQ(fake_sim::calls_named("Close").size(), 1u);
    EXPECT_EQ(fake_sim::calls_named("CallDispatch").size(), 25u);
    for (const FakeCall& c : fake_sim::calls_named("CallDispatch")) EXPECT_EQ(c.args[0], 0u);  // null context

    // Passes 10 and 20 searched without finding a panel.
    std::vector<Request> requests = data_requests();
    ASSERT_EQ(requests.size(), 2u);
    for (const Request& r : requests) {
        EXPECT_EQ(r.id, REQUEST_PANEL_DATA);
        EXPECT_EQ(r.period, SIMCONNECT_PERIOD_NEVER);
    }
    // 100 ms between attempts, 50 ms per pass until the file is read.
    std::vector<uint32_t> expected{100, 100};
    expected.insert(expected.end(), 25, 50);
    expected.push_back(100);
    EXPECT_EQ(g_sleeps, expected);
}

TEST_F(SessionLoopTest, RegistrationFollowsTheConnectionLine) {
    fake_sim::script_open({SIM_S_OK});
    fake_sim::on_dispatch([](int) { fake_sim::queue_message(fake_sim::quit_message()); });
    testing::internal::CaptureStdout();
    run_program(PROGRAM_COMM2, nullptr);
    testing::internal::GetCapturedStdout();
    std::vector<FakeCall>& calls = fake_sim::calls();
    ASSERT_GE(calls.size(), 3u);
    EXPECT_EQ(calls[0].call, "Open");
    EXPECT_EQ(calls[1].call, "AddToDataDefinition");
    EXPECT_EQ(calls.back().call, "Open");  // the final attempt, refused
    EXPECT_EQ(fake_sim::calls_named("SubscribeToSystemEvent").size(), 1u);
}

TEST_F(SessionLoopTest, QuitBeforeAnyPanelStillClosesEverything) {
    fake_sim::script_open({SIM_S_OK, SIM_S_OK});
    fake_sim::on_dispatch([](int) { fake_sim::queue_message(fake_sim::quit_message()); });
    testing::internal::CaptureStdout();
    int rc = run_program(PROGRAM_NAV2, nullptr);
    std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(rc, 0);
    // The final attempt is accepted: connection line and registrations again,
    // but no pass, since the quit is still in force.
    EXPECT_EQ(fake_sim::calls_named("CallDispatch").size(), 1u);
    EXPECT_EQ(fake_sim::calls_named("Close").size(), 2u);
    EXPECT_EQ(fake_sim::calls_named("SubscribeToSystemEvent").size(), 2u);
    size_t first = out.find("NAV2-Client Connected");
    ASSERT_NE(first, std::string::npos);
    EXPECT_NE(out.find("NAV2-Client Connected", first + 1), std::string::npos);
}

TEST_F(SessionLoopTest, ConnectedPanelGetsOneFramePerTenthPass) {
    bridge_reset(program_profile(PROGRAM_COMM1), nullptr);
    fake_sim::script_open({SIM_S_OK});
    fake_sim::on_dispatch([](int n) {
        if (n == 1) {
            without_interface();
            g_bridge.panel_connected = 1;
        }
        if (n == 30) fake_sim::queue_message(fake_sim::quit_message());
    });
    testing::internal::CaptureStdout();
    run_session();
    testing::internal::GetCapturedStdout();
    std::vector<Request> requests = data_requests();
    ASSERT_EQ(requests.size(), 3u);
    for (const Request& r : requests) {
        EXPECT_EQ(r.id, REQUEST_PANEL_DATA);
        EXPECT_EQ(r.period, SIMCONNECT_PERIOD_ONCE);
    }
}

TEST_F(SessionLoopTest, IdleTimeFromTheFileIsUsedOnceRead) {
    bridge_reset(program_profile(PROGRAM_COMM1), nullptr);
    fake_sim::script_open({SIM_S_OK});
    fake_sim::on_dispatch([](int n) {
        if (n == 1) {
            without_interface();
            g_bridge.idle_ms = 20;
        }
        if (n == 3) fake_sim::queue_message(fake_sim::quit_message());
    });
    testing::internal::CaptureStdout();
    run_session();
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(g_sleeps, (std::vector<uint32_t>{20, 20, 20}));
}

// The passes at which a panel search (its stop request) went out, with the
// idle time set once the session runs.
std::vector<int> search_passes(int32_t idle_ms, int passes) {
    static int32_t s_idle;
    static int s_passes;
    static std::vector<int> s_found;
    s_idle = idle_ms;
    s_passes = passes;
    s_found.clear();
    fake_sim::reset();
    g_sleeps.clear();
    bridge_reset(program_profile(PROGRAM_COMM1), nullptr);
    fake_sim::script_open({SIM_S_OK});
    fake_sim::on_dispatch([](int n) {
        if (n == 1) {
            without_interface();
            g_bridge.idle_ms = s_idle;
        }
        if (data_requests().size() > s_found.size()) s_found.push_back(n);
        if (n == s_passes) fake_sim::queue_message(fake_sim::quit_message());
    });
    testing::internal::CaptureStdout();
    run_session();
    testing::internal::GetCapturedStdout();
    return s_found;
}

TEST_F(SessionLoopTest, ShortIdleTimesNeitherSpinNorSearchMoreThanTenTimesASecond) {
    // IDLE_MS=0: each pass sleeps 1 ms, a search every 100 passes.
    EXPECT_EQ(search_passes(0, 250), (std::vector<int>{10, 110, 210}));
    EXPECT_EQ(g_sleeps, std::vector<uint32_t>(250, 1));
    // 5 ms: a search every other tenth pass; 10 ms and more: every tenth pass
    // as always.
    EXPECT_EQ(search_passes(5, 70), (std::vector<int>{10, 30, 50, 70}));
    EXPECT_EQ(search_passes(10, 40), (std::vector<int>{10, 20, 30, 40}));
    EXPECT_EQ(g_sleeps, std::vector<uint32_t>(40, 10));
}

TEST_F(SessionLoopTest, LostConnectionEndsTheSessionWithOneLine) {
    fake_sim::script_open({SIM_S_OK});
    fake_sim::on_dispatch([](int n) {
        if (n == 1) without_interface();
        if (n == 12) fake_sim::set_dispatch_result(static_cast<HRESULT_T>(SIM_STATUS_PIPE_BROKEN));
    });
    testing::internal::CaptureStdout();
    int rc = run_program(PROGRAM_COMM1, nullptr);
    std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(rc, 0);
    EXPECT_EQ(fake_sim::calls_named("CallDispatch").size(), 12u);
    EXPECT_EQ(fake_sim::calls_named("Close").size(), 1u);
    EXPECT_NE(out.find("\nConnection to Flight Simulator lost!\n"), std::string::npos) << out;
    EXPECT_EQ(fake_sim::calls_named("Open").size(), 2u);  // the session and the final attempt
}

// STAY_RUNNING: a session that ends leads back into the search, with the
// state record as at program start; the program ends once a session ends
// without the key.
TEST_F(SessionLoopTest, StayRunningSearchesAgainAfterALostConnectionAndAQuit) {
    fake_sim::script_open({SIM_S_OK, SIM_E_FAIL, SIM_S_OK, SIM_S_OK});
    static std::vector<std::string> s_dirty;
    s_dirty.clear();
    fake_sim::on_dispatch([](int n) {
        // Sessions: dispatches 1-5 (connection lost), 6-8 (quit), 9-10 (quit).
        if (n == 1 || n == 6 || n == 9) {
            if (n > 1) {
                // What the last session left behind must be gone.
                if (g_bridge.pass_counter != 1) s_dirty.push_back("pass_counter");
                if (g_bridge.quit_requested) s_dirty.push_back("quit_requested");
                if (g_bridge.link_initialised) s_dirty.push_back("link_initialised");
                if (g_bridge.panel_connected || g_bridge.encoder_version) s_dirty.push_back("panel link");
                if (g_bridge.frame_counter || g_bridge.identity_pending || g_bridge.input_countdown)
                    s_dirty.push_back("cycle fields");
                if (g_bridge.udp_socket != platform::kInvalidSocket) s_dirty.push_back("socket");
                if (g_bridge.idle_ms != 50 || g_bridge.stay_running || g_bridge.keep_frame_rate)
                    s_dirty.push_back("configuration");
            }
            without_interface();
            g_bridge.idle_ms = 20;
            g_bridge.stay_running = n < 9;  // as if read from the file
            g_bridge.frame_counter = 7;
            g_bridge.identity_pending = 1;
            g_bridge.input_countdown = 40;
            g_bridge.panel_connected = 1;
            g_bridge.encoder_version = 2;
            fake_sim::set_dispatch_result(SIM_S_OK);
        }
        if (n == 5) fake_sim::set_dispatch_result(static_cast<HRESULT_T>(SIM_STATUS_PIPE_BROKEN));
        if (n == 8 || n == 10) fake_sim::queue_message(fake_sim::quit_message());
    });
    testing::internal::CaptureStdout();
    int rc = run_program(PROGRAM_COMM1, nullptr);
    std::string out = testing::internal::GetCapturedStdout();

    EXPECT_EQ(rc, 0);
    EXPECT_TRUE(s_dirty.empty()) << testing::PrintToString(s_dirty);
    const std::string connected = "\nCOM1-Client Connected to Flight Simulator!\n";
    const std::string again = "\nSession ended. Searching Connection to Flight Simulator again -";
    EXPECT_EQ(out,
              "COMM1-Relay for MSFS2020 by Tarnel, Version 2.0.0.0\n"
              "Searching Connection to Flight Simulator -" +
                  connected + "\nConnection to Flight Simulator lost!\n" + again + "\b\\" + connected + again +
                  connected + "\b|");
    // Three sessions, one refused attempt, the final attempt; each session
    // registered anew and was closed.
    EXPECT_EQ(fake_sim::calls_named("Open").size(), 5u);
    EXPECT_EQ(fake_sim::calls_named("Close").size(), 3u);
    EXPECT_EQ(fake_sim::calls_named("SubscribeToSystemEvent").size(), 3u);
    EXPECT_EQ(fake_sim::calls_named("CallDispatch").size(), 10u);
    // 100 ms after the refused attempt and before the final one; none
    // between a session and the next search.
    std::vector<uint32_t> expected{20, 20, 20, 20, 100, 20, 20, 20, 20, 20, 100};
    EXPECT_EQ(g_sleeps, expected);
}

class SessionWithFileTest : public SessionLoopTest {
protected:
    std::string run_quitting_at_once(int sessions) {
        std::vector<HRESULT_T> opens(static_cast<size_t>(sessions), SIM_S_OK);
        fake_sim::script_open(opens);
        fake_sim::on_dispatch([](int) { fake_sim::queue_message(fake_sim::quit_message()); });
        testing::internal::CaptureStdout();
        EXPECT_EQ(run_program(PROGRAM_COMM1, nullptr), 0);
        return testing::internal::GetCapturedStdout();
    }
    TempWorkDir dir_;
    TempAppDataFolder app_data_;
};

TEST_F(SessionWithFileTest, SessionEndingBeforeTheFileWasReadEndsTheProgramAsAlways) {
    std::string out = run_quitting_at_once(1);
    EXPECT_EQ(out,
              "COMM1-Relay for MSFS2020 by Tarnel, Version 2.0.0.0\n"
              "Searching Connection to Flight Simulator -"
              "\nCOM1-Client Connected to Flight Simulator!\n"
              "\b\\");
    dir_.write("Avionics-Panel.cfg", "[NET]\nSTAY_RUNNING=0\n[COM1]\nKEEP_FRAME_RATE=0\n");
    fake_sim::reset();
    EXPECT_EQ(run_quitting_at_once(1), out);
}

TEST_F(SessionWithFileTest, SessionEndingBeforeTheFileWasReadLooksOnlyForTheStayKey) {
    dir_.write("Avionics-Panel.cfg", "[NET]\nSTAY_RUNNING=1\n[COM1]\nIDLE_MS=20\n");
    static TempWorkDir* s_dir;
    s_dir = &dir_;
    fake_sim::script_open({SIM_S_OK, SIM_S_OK});
    fake_sim::on_dispatch([](int n) {
        // The user takes the key out before the second session ends.
        if (n == 2) s_dir->write("Avionics-Panel.cfg", "[COM1]\nIDLE_MS=20\n");
        fake_sim::queue_message(fake_sim::quit_message());
    });
    testing::internal::CaptureStdout();
    EXPECT_EQ(run_program(PROGRAM_COMM1, nullptr), 0);
    std::string out = testing::internal::GetCapturedStdout();
    const std::string connected = "\nCOM1-Client Connected to Flight Simulator!\n";
    // No location reports and no other key: the idle time stays 50 ms.
    EXPECT_EQ(out, "COMM1-Relay for MSFS2020 by Tarnel, Version 2.0.0.0\n"
                   "Searching Connection to Flight Simulator -" +
                       connected + "Stay Running redefined: 1\n" +
                       "\nSession ended. Searching Connection to Flight Simulator again -" + connected + "\b\\");
    EXPECT_EQ(g_sleeps, (std::vector<uint32_t>{50, 50, 100}));
    EXPECT_EQ(fake_sim::calls_named("Open").size(), 3u);
}

// The user's interrupt, once STAY_RUNNING is in force: the session (or the
// search) ends at the next pass, closed, with one line and exit code 0.
bool g_stop = false;
bool stop_flag() { return g_stop; }

TEST_F(SessionLoopTest, InterruptEndsTheProgramInASessionAndInTheSearch) {
    set_stop_check(stop_flag);
    g_stop = false;
    fake_sim::script_open({SIM_S_OK});
    fake_sim::on_dispatch([](int n) {
        if (n == 1) without_interface();
        if (n == 3) g_stop = true;
    });
    testing::internal::CaptureStdout();
    EXPECT_EQ(run_program(PROGRAM_COMM2, nullptr), 0);
    std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(fake_sim::calls_named("CallDispatch").size(), 3u);
    EXPECT_EQ(fake_sim::calls_named("Close").size(), 1u);
    EXPECT_EQ(fake_sim::calls_named("Open").size(), 1u);  // no final attempt
    EXPECT_EQ(out.substr(out.size() - std::string("\nStopped by the user.\n").size()), "\nStopped by the user.\n");

    fake_sim::reset();
    g_stop = false;
    static int s_attempts;
    s_attempts = 0;
    set_sleep_function([](uint32_t) {
        if (++s_attempts == 3) g_stop = true;
    });
    testing::internal::CaptureStdout();
    EXPECT_EQ(run_program(PROGRAM_COMM2, nullptr), 0);
    out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(fake_sim::calls_named("Open").size(), 4u);
    EXPECT_NE(out.find("\b\\\b|\b/\nStopped by the user.\n"), std::string::npos) << out;
    set_stop_check(nullptr);
}

// KEEP_FRAME_RATE at the given idle time from the first dispatch on; each
// dispatch then calls `each`. A message signalled through the client's wake
// event ends the wait between passes.
void run_kept_frame_rate_session(int32_t idle_ms, std::function<void(int)> each) {
    bridge_reset(program_profile(PROGRAM_COMM1), nullptr);
    fake_sim::script_open({SIM_S_OK});
    fake_sim::on_dispatch([idle_ms, each](int n) {
        if (n == 1) {
            without_interface();
            g_bridge.idle_ms = idle_ms;
            g_bridge.keep_frame_rate = 1;
        }
        each(n);
    });
    testing::internal::CaptureStdout();
    run_session();
    testing::internal::GetCapturedStdout();
}

void signal_arrival() {
    if (fake_sim::wake_event()) platform::notify_event(fake_sim::wake_event());
}

TEST_F(SessionLoopTest, KeptFrameRateHandlesAMessageArrivingMidSleepAtOnce) {
    std::thread simulator([] {
        for (int i = 0; i < 5000 && !fake_sim::wake_event(); ++i) platform::sleep_ms(1);
        platform::sleep_ms(100);  // the loop is waiting by now, or soon
        signal_arrival();
    });
    uint64_t start = platform::monotonic_ms();
    run_kept_frame_rate_session(10000, [](int n) {
        if (n == 2) fake_sim::queue_message(fake_sim::quit_message());
    });
    EXPECT_LT(platform::monotonic_ms() - start, 5000u);  // against a wait of 10 s
    simulator.join();
    EXPECT_TRUE(g_sleeps.empty());
}

TEST_F(SessionLoopTest, KeptFrameRateSearchesInTimeAndDoesNotSpinUnderAFlood) {
    set_sleep_function(nullptr);
    uint64_t start = platform::monotonic_ms(), third_search = 0;
    run_kept_frame_rate_session(20, [&](int) {
        if (data_requests().size() < 3) {
            signal_arrival();  // every pass is woken at once
            return;
        }
        if (third_search == 0) third_search = platform::monotonic_ms();
        fake_sim::queue_message(fake_sim::quit_message());
    });
    // Searches at passes 10, 20 and 30: 29 periods of 20 ms after the first,
    // with at most 20 early wake-ups in each.
    EXPECT_GE(third_search - start, 29u * 10u);
    EXPECT_LE(fake_sim::calls_named("CallDispatch").size(), 30u * 21u);
}

}  // namespace
