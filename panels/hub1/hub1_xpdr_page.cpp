// The transponder page: code digits with a cursor, mode keys and mode
// steps, ident and the VFR code, flight level and code on the display. The
// shared transponder rules do the work; this page gives code entry and mode
// selection 100 frames, marks the mode whenever mode selection runs, and is
// blanked only with the whole panel.
#include "core/bridge_state.h"
#include "panels/hub1/hub1_panel.h"

namespace {

int32_t state_of(const uint8_t* block) { return block_i32(block, g_hub_radios.xpdr_field.state); }

bool vfr_code(HubPage, const uint8_t*, int) {
    xpdr_key_vfr_code(&g_hub_panel.xpdr, g_hub_radios.xpdr_event, g_bridge.xpdr_code);
    return true;
}

bool ident(HubPage, const uint8_t*, int) {
    xpdr_key_ident(&g_hub_panel.xpdr, g_hub_radios.xpdr_event);
    return true;
}

bool standby_key(HubPage, const uint8_t* block, int) {
    xpdr_key_standby(&g_hub_panel.xpdr, state_of(block), kHubXpdrEntryFrames);
    return true;
}

bool on_alt_key(HubPage, const uint8_t* block, int) {
    xpdr_key_on_alt(&g_hub_panel.xpdr, state_of(block), kHubXpdrEntryFrames);
    return true;
}

bool push(HubPage, const uint8_t*, int) {
    xpdr_key_push(&g_hub_panel.xpdr, kHubXpdrEntryFrames);
    return true;
}

// In mode selection the encoder steps the mode, and each step keeps the
// selection open even where there is no further mode. Otherwise it sets the
// code digit under the cursor, unless the transponder is off or failed.
bool turn(HubPage, const uint8_t* block, int direction) {
    TransponderEntry& e = g_hub_panel.xpdr;
    int32_t state = state_of(block);
    if (e.mode_countdown != 0) {
        e.mode_countdown = kHubXpdrEntryFrames;
        xpdr_step_mode(state, direction);
        return true;
    }
    if (block_i32(block, g_hub_radios.xpdr_field.partial_panel) == 1 || state == XPDR_OFF) return true;
    xpdr_step_code(&e, g_hub_radios.xpdr_event, direction, kHubXpdrEntryFrames);
    return true;
}

// The transponder keeps its own two countdowns: no key here touches the
// shared input countdown or the double-push window.
const HubKey kXpdrKeys[] = {
    {'B', vfr_code, COUNTDOWN_UNCHANGED, false},
    {'I', ident, COUNTDOWN_UNCHANGED, false},
    {'M', standby_key, COUNTDOWN_UNCHANGED, false},
    {'P', push, COUNTDOWN_UNCHANGED, false},
    {'R', turn, COUNTDOWN_UNCHANGED, false},
    {'S', on_alt_key, COUNTDOWN_UNCHANGED, false},
};

void display(HubPage, const uint8_t* block) {
    xpdr_send_lines(block, g_hub_radios.xpdr_field, g_hub_panel.xpdr, g_hub_panel.flight_level, true);
}

}  // namespace

const HubPageRules kHubXpdrPage = {kXpdrKeys, sizeof kXpdrKeys / sizeof kXpdrKeys[0], display, nullptr};
