// Transponder panel logic of XPDR-Relay: the preparation, input, display and
// countdown steps of the update cycle, built on the shared transponder rules.
#pragma once

#include <cstdint>

#include "core/panel_lookup.h"
#include "core/program_profile.h"
#include "panels/xpdr/transponder_rules.h"

struct XpdrPanelState {
    bool started;  // fields and events resolved
    TransponderFields field;
    TransponderEvents event;
    PowerFields power;
    TransponderEntry entry;  // code_cursor, code_countdown, mode_countdown
    int32_t flight_level;    // hundreds of feet, of the frame being handled
};

extern XpdrPanelState g_xpdr_panel;

// Frames that code entry and mode selection last after their last input.
constexpr uint8_t kXpdrEntryFrames = 200;

// Resolves the fields and events and puts the panel state into its start
// state; false (and a console error) when the tables lack one of them.
bool xpdr_panel_start();

// The update-cycle steps.
void xpdr_prepare(const uint8_t* block);
void xpdr_input(const char* text, const uint8_t* block);
void xpdr_display(const uint8_t* block);
void xpdr_countdown(const uint8_t* block);
bool xpdr_takes_code(const char* text);

// The hooks to hand to run_program.
extern const PanelHooks kXpdrPanelHooks;
