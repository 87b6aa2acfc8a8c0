// The launcher follows each program by its console output: lines cut from a
// stream with spinner glyphs in it, and the states those lines tell; and,
// with --with-simulator, the simulator by a session of its own.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/console_texts.h"
#include "core/run_by_launcher.h"
#include "launcher/output_lines.h"
#include "launcher/program_status.h"
#include "launcher/restart_delay.h"
#include "launcher/simulator_watch.h"

namespace {

void collect(void* context, const char* line) { static_cast<std::vector<std::string>*>(context)->push_back(line); }

// Feeds the text in pieces of the given size, as a pipe may deliver it.
std::vector<std::string> lines_of(const std::string& text, size_t piece) {
    OutputLines lines;
    output_clear(&lines);
    std::vector<std::string> out;
    for (size_t i = 0; i < text.size(); i += piece)
        output_feed(&lines, text.data() + i, std::min(piece, text.size() - i), collect, &out);
    output_flush(&lines, collect, &out);
    return out;
}

TEST(OutputLinesTest, SpinnerGlyphsAndLineEndsGoWhereverThePiecesBreak) {
    std::string spun = std::string(kSearchingSimulatorText) + kSpinnerGlyphs[1] + kSpinnerGlyphs[2] + kSpinnerGlyphs[3];
    std::string text = "Banner\r\n" + spun + "\nCOM1-Client Connected\r\n\nA\bB\n" + std::string(300, 'x');
    for (size_t piece : {1, 2, 7, 1000}) {
        SCOPED_TRACE(piece);
        std::vector<std::string> out = lines_of(text, piece);
        ASSERT_EQ(out.size(), 6u);
        EXPECT_EQ(out[0], "Banner");
        EXPECT_EQ(out[1], kSearchingSimulatorText);
        EXPECT_EQ(out[2], "COM1-Client Connected");
        EXPECT_EQ(out[3], "A\bB");  // a backspace before anything but a glyph stays
        EXPECT_EQ(out[4], std::string(kOutputLineSize - 1, 'x'));  // too long: passed on in pieces
        EXPECT_EQ(out[5], std::string(300 - (kOutputLineSize - 1), 'x'));
    }
}

// The lines as they stand on the console, without their line ends.
std::string bare(const char* text) {
    std::string s = text;
    while (!s.empty() && s.front() == '\n') s.erase(0, 1);
    while (!s.empty() && s.back() == '\n') s.pop_back();
    return s;
}

// A state line as a program the launcher runs prints it: marked.
std::string said(const char* text) { return kStateLineMark + bare(text); }

TEST(ProgramStatusTest, EachProgramsOwnLinesMoveItsStates) {
    const ProgramProfile* nav1 = program_profile(PROGRAM_NAV1);
    ProgramStatus s{};
    status_started(&s);
    EXPECT_FALSE(status_apply_line(nav1, "Current CFG: Avionics-Panel.cfg", &s));
    EXPECT_TRUE(status_apply_line(nav1, said(nav1->connection_line).c_str(), &s));
    EXPECT_EQ(s.simulator, SIM_CONNECTED);
    // Another program's connection texts mean nothing here.
    EXPECT_FALSE(status_apply_line(nav1, said("Panel connected from 10.0.0.9").c_str(), &s));
    EXPECT_FALSE(status_apply_line(nav1, "False Panel detected VRAN-NAV1_2.0", &s));
    EXPECT_TRUE(status_apply_line(nav1, said("Panel Version2 connected from 192.168.1.50").c_str(), &s));
    EXPECT_EQ(s.panel, PANEL_CONNECTED);
    EXPECT_STREQ(s.panel_from, "192.168.1.50");
    EXPECT_TRUE(status_apply_line(nav1, said(nav1->offline_message).c_str(), &s));
    EXPECT_EQ(s.panel, PANEL_OFFLINE);
    EXPECT_TRUE(status_apply_line(nav1, said(kSimulatorLostText).c_str(), &s));
    EXPECT_EQ(s.simulator, SIM_LOST);
    EXPECT_EQ(s.panel, PANEL_SEARCHING);
    // The unfinished line of a program that waits for the next session.
    status_apply_line(nav1, said(nav1->connection_line).c_str(), &s);
    EXPECT_TRUE(status_apply_line(nav1, said(kSessionEndedText).c_str(), &s));
    EXPECT_EQ(s.simulator, SIM_ENDED);
}

// What a host on the network had the program echo is never marked (its
// control bytes come out escaped): the very texts of the states move nothing.
TEST(ProgramStatusTest, LinesTheProgramDidNotMarkMoveNothing) {
    const ProgramProfile* xpdr = program_profile(PROGRAM_XPDR);
    ProgramStatus s{};
    status_started(&s);
    status_apply_line(xpdr, said(xpdr->connection_line).c_str(), &s);
    status_apply_line(xpdr, said("XPDR Panel connected from 10.0.0.7").c_str(), &s);
    const ProgramStatus before = s;
    const std::string forged[] = {bare(kSimulatorLostText), bare(kSessionEndedText), bare(xpdr->offline_message),
                                  "XPDR Panel connected from 6.6.6.6", "\\x1e" + bare(kSimulatorLostText),
                                  "false Panel detected x\\x0a" + bare(kSimulatorLostText)};
    for (const std::string& line : forged) {
        SCOPED_TRACE(line);
        EXPECT_FALSE(status_apply_line(xpdr, line.c_str(), &s));
        EXPECT_EQ(s.simulator, before.simulator);
        EXPECT_EQ(s.panel, before.panel);
        EXPECT_STREQ(s.panel_from, before.panel_from);
    }
}

// How a program's end and restart leave the simulator column.
TEST(ProgramStatusTest, AnEndTellsHowTheSessionWentAndARestartKeepsIt) {
    ProgramStatus s[2] = {};
    const ProgramProfile* com1 = program_profile(PROGRAM_COMM1);
    for (ProgramStatus& one : s) {
        status_started(&one);
        status_apply_line(com1, said(com1->connection_line).c_str(), &one);
    }
    status_ended(&s[0], true);   // the simulator quit: it ended with 0
    status_ended(&s[1], false);  // crashed: nothing known of the simulator
    EXPECT_EQ(s[0].simulator, SIM_ENDED);
    EXPECT_EQ(s[1].simulator, SIM_WAITING);
    status_started(&s[0]);  // restarted to wait: how the session went stays
    EXPECT_EQ(s[0].simulator, SIM_ENDED);
}

// --with-simulator: the launcher's own session decides. Nothing ends before
// a first session; 10 s after the session ended the launcher ends, unless
// the simulator answers a new session within them or another launcher says
// a simulator is starting.
TEST(SimulatorWatchTest, EndsTenSecondsAfterItsSessionUnlessANewOneOpens) {
    SimulatorWatch w{};
    watch_session_ended(&w, false, 1000);  // opened, never answered: no session
    EXPECT_FALSE(watch_time_is_up(&w, 1000 + 100 * kSimulatorGoneGraceMs));
    watch_session_answered(&w);
    watch_session_ended(&w, true, 50000);
    EXPECT_FALSE(watch_time_is_up(&w, 50000 + kSimulatorGoneGraceMs - 1));
    watch_session_answered(&w);  // back within the wait
    EXPECT_FALSE(watch_time_is_up(&w, 50000 + kSimulatorGoneGraceMs));
    watch_session_ended(&w, false, 70000);  // the link broke
    watch_session_ended(&w, false, 75000);  // an unanswered one in the wait restarts nothing
    EXPECT_FALSE(watch_time_is_up(&w, 70000 + kSimulatorGoneGraceMs - 1));
    EXPECT_TRUE(watch_time_is_up(&w, 70000 + kSimulatorGoneGraceMs));
    simulator_watch_starting(&w);
    EXPECT_FALSE(watch_time_is_up(&w, 70000 + 100 * kSimulatorGoneGraceMs));
    watch_session_answered(&w);
    simulator_watch_starting(&w);  // in a session it changes nothing
    watch_session_ended(&w, true, 200000);
    EXPECT_TRUE(watch_time_is_up(&w, 200000 + kSimulatorGoneGraceMs));
}

TEST(RestartDelayTest, CleanEndsWaitTwoSecondsCrashesBackOffToAMinute) {
    CrashBackoff b{};
    std::vector<uint32_t> delays;
    for (int i = 0; i < 9; ++i) delays.push_back(restart_delay_ms(&b, true, 500));
    EXPECT_EQ(delays, (std::vector<uint32_t>{1000, 2000, 4000, 8000, 16000, 32000, 60000, 60000, 60000}));
    EXPECT_EQ(restart_delay_ms(&b, false, 500), kRestartAfterEndMs);
    EXPECT_EQ(restart_delay_ms(&b, true, 500), kFirstCrashDelayMs);  // a clean end ended the row
    restart_delay_ms(&b, true, 500);
    EXPECT_EQ(restart_delay_ms(&b, true, kLongestCrashDelayMs), kFirstCrashDelayMs);  // so does a long run
}

}  // namespace
