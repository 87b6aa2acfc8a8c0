// ADF-Relay's panel logic: the steps of the update cycle for the ADF panel
// of either version. The ADF rules themselves are in adf_rules.h; this adds
// the page, the double push, the panel versions' codes and the keys.
#pragma once

#include <cstdint>

#include "core/panel_lookup.h"
#include "core/program_profile.h"
#include "panels/adf/adf_rules.h"

// One encoder code of a panel version.
struct AdfEncoderCode {
    const char* code;    // the datagram's leading characters: "R-", "R2+"
    int8_t direction;    // -1 counter-clockwise, +1 clockwise
    uint8_t card_steps;  // card events per step in card select; 0: five
                         // with the fast card turn on, else one
};

// What sets the two panel versions apart.
struct AdfPanelVersion {
    AdfEncoderCode encoder[4];
    int encoder_count;
    // A push in card select toggles the fast card turn (one encoder); with
    // two encoders it only counts towards a double push.
    bool push_toggles_fast;
};

// The version reported in the panel's identity (1 or 2); null for any other.
const AdfPanelVersion* adf_panel_version(int encoder_version);

struct AdfPanelState {
    bool started;  // adf_panel_start succeeded
    AdfDescription adf;
    PowerFields power;
    AdfEditState edit;
    uint8_t adf_page;      // AdfPage
    int32_t press_window;  // frames in which a second push is a double push
};

extern AdfPanelState g_adf_panel;

// Frames a temporary input mode lasts after an encoder step or push, and
// frames within which a second push makes a double push.
constexpr uint8_t kAdfInputFrames = 100;
constexpr int32_t kAdfPressFrames = 30;

// Resolves the panel's fields and events and puts the panel state into its
// start state; false (and a console error) when the tables lack one of them.
bool adf_panel_start();

// The update-cycle steps.
void adf_prepare(const uint8_t* block);
void adf_input(const char* text, const uint8_t* block);
void adf_display(const uint8_t* block);
void adf_countdown(const uint8_t* block);
bool adf_takes_code(const char* text);

// The hooks to hand to run_program.
extern const PanelHooks kAdfPanelHooks;
