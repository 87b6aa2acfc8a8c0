// Console texts of the programs' session that someone besides the printing
// code needs: Relay-Launcher follows each program by its console lines, so it
// compares them with these very texts.
#pragma once

// Printed at start and after each ended session, followed by spinner glyphs.
inline constexpr char kSearchingSimulatorText[] = "Searching Connection to Flight Simulator -";
// The simulator went away without its quit message.
inline constexpr char kSimulatorLostText[] = "\nConnection to Flight Simulator lost!\n";
// With STAY_RUNNING: a session ended and the next is looked for.
inline constexpr char kSessionEndedText[] = "\nSession ended. Searching Connection to Flight Simulator again -";
// With STAY_RUNNING: the user interrupted the program.
inline constexpr char kStoppedByUserText[] = "\nStopped by the user.\n";

// The search spinner: one glyph per position, each after a backspace that
// takes back the one before.
inline constexpr int kSpinnerPositions = 8;
inline constexpr const char* kSpinnerGlyphs[kSpinnerPositions] = {"\b-", "\b\\", "\b|", "\b/",
                                                                  "\b-", "\b\\", "\b|", "\b/"};
