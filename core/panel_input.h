// A panel's input codes as data. Codes are recognised by their leading
// characters; whatever follows them in the datagram is ignored. The same
// matching decides what the input step acts on and what counts as traffic
// from the panel (see receive_panel_input).
#pragma once

#include <cstdint>

// True when the text begins with the code; a shorter text never matches,
// so nothing past its end is read.
bool text_has_code(const char* text, const char* code);

// One code a panel sends and what the panel logic does with it.
struct PanelInput {
    const char* code;         // the datagram's leading characters: "R1-", "S"
    int32_t encoder_version;  // the panel version that sends it; 0: both
    void (*act)(const uint8_t* block, int direction);
    int direction;  // -1 or +1 for an encoder step, else 0
};

// The first row for the panel's version whose code begins the text; null
// when there is none.
const PanelInput* find_panel_input(const PanelInput* rows, int count, int32_t encoder_version, const char* text);
