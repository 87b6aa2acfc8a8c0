// What the virtual panel needs to know about each of the nine real panels:
// the identity texts it answers with, the program's default ports, the
// display lines it has, and which keyboard key makes which panel code.
#pragma once

#include <cstdint>

// One keyboard key of the interactive mode and the panel code it sends.
struct KeyBinding {
    int key;           // a character or a platform::kKey* code
    const char* code;  // the datagram, exactly as the panel sends it
    const char* label; // short text for the help line
};

constexpr int kMaxBindings = 24;

struct PanelKind {
    const char* name;           // command-line name, e.g. "comm1"
    const char* title;          // shown in the interactive header
    const char* identity[2];    // variant 1 and 2; nullptr where there is none
    uint16_t program_port;      // the program's default VRAN_PORT / RECV_PORT
    const char* display_rows;   // line selectors in screen order, e.g. "HF"
    KeyBinding keys[2][kMaxBindings];  // per variant, ended by key 0
};

// Looks a panel up by its command-line name; nullptr when unknown.
const PanelKind* find_panel_kind(const char* name);

// All kinds, ended by a kind with a null name (for help texts and tests).
const PanelKind* panel_kinds();

// The binding for a key on the given variant (1 or 2); nullptr when none.
const KeyBinding* find_key_binding(const PanelKind* kind, int variant, int key);

// Number of identity variants the panel has (1 or 2).
int variant_count(const PanelKind* kind);
