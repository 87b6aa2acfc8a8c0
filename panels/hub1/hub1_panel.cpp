// The multi-function panel's steps of the update cycle: the frame's ADF
// digits and flight level first, then page keys and the page's key table,
// the page's lines, and the countdowns in their fixed order.
#include "panels/hub1/hub1_panel.h"

#include "core/bridge_state.h"
#include "core/panel_messages.h"

namespace {

const HubPageRules* const kPageRules[PAGE_COUNT] = {&kHubComPage, &kHubComPage, &kHubNavPage,
                                                    &kHubNavPage, &kHubAdfPage, &kHubXpdrPage};

HubPage current_page() { return static_cast<HubPage>(g_hub_panel.hub_page < PAGE_COUNT ? g_hub_panel.hub_page : 0); }

// -1 or +1 for an encoder code, 0 for one with any other direction.
int direction_of(const char* text) {
    if (text[1] == '-') return -1;
    if (text[1] == '+') return 1;
    return 0;
}

bool is_page_key(const char* text) { return text[0] >= '1' && text[0] < '1' + PAGE_COUNT; }

// The row of a page's key table for the text; an encoder code without its
// direction has none.
const HubKey* find_key(const HubPageRules& rules, const char* text) {
    for (int i = 0; i < rules.key_count; ++i) {
        const HubKey& key = rules.keys[i];
        if (key.code != text[0]) continue;
        return key.code == 'R' && direction_of(text) == 0 ? nullptr : &key;
    }
    return nullptr;
}

void run_key(const HubKey& key, HubPage page, const char* text, const uint8_t* block) {
    int direction = key.code == 'R' ? direction_of(text) : 0;
    bool applies = key.act(page, block, direction);
    if (applies && key.countdown == COUNTDOWN_RESTART) g_bridge.input_countdown = kHubInputFrames;
    if (applies && key.countdown == COUNTDOWN_CLEAR) g_bridge.input_countdown = 0;
    if (key.ends_double_push) g_hub_panel.press_window = 0;
}

// Step 3 of the countdown: when the shared countdown has run out, every
// COM, NAV and ADF input mode ends.
void end_input_modes() {
    HubPanelState& s = g_hub_panel;
    for (int i = 0; i < 2; ++i) {
        s.com[i].tune_mode = 0;
        s.nav[i].tune_mode = 0;
        s.nav[i].obs_fast = 0;
        s.nav[i].obs_select = 0;
    }
    adf_end_input_mode(&s.adf);
}

}  // namespace

void hub_double_push_check(uint8_t* flag) {
    HubPanelState& s = g_hub_panel;
    if (s.press_window > 0) {
        *flag = 1;
        s.press_window = 0;
        g_bridge.input_countdown = kHubInputFrames;
    } else {
        s.press_window = kHubDoublePushFrames;
    }
}

void hub_prepare(const uint8_t* block) {
    HubPanelState& s = g_hub_panel;
    const HubRadios& r = g_hub_radios;
    if (!r.started || !block) return;
    // The configuration is read with the first panel search, so the first
    // frame is the first moment the start page is known.
    if (!s.page_chosen) {
        s.hub_page = g_bridge.start_display < PAGE_COUNT ? g_bridge.start_display : uint8_t{PAGE_COM2};
        s.page_chosen = true;
    }
    adf_refresh_digits(r.adf, &s.adf, block);
    adf_clock_next_frame(&s.adf);  // every frame, whichever page is shown
    if (g_bridge.testmode == 2) adf_print_digits(s.adf);
    s.flight_level = xpdr_frame_flight_level(block, r.xpdr_field, g_bridge.fl_mode);
}

void hub_input(const char* text, const uint8_t* block) {
    if (!g_hub_radios.started || !text || !block) return;
    // Nothing is taken while the panel is unpowered, page keys included.
    if (!power_switches_on(block, g_hub_radios.power)) return;
    if (is_page_key(text)) {
        g_hub_panel.hub_page = static_cast<uint8_t>(text[0] - '1');
        return;
    }
    HubPage page = current_page();
    if (const HubKey* key = find_key(*kPageRules[page], text)) run_key(*key, page, text, block);
}

// A key of any page counts: the panel sends it whichever page is shown.
bool hub_takes_code(const char* text) {
    if (!text) return false;
    if (is_page_key(text)) return true;
    for (const HubPageRules* rules : kPageRules) {
        if (find_key(*rules, text)) return true;
    }
    return false;
}

void hub_display(const uint8_t* block) {
    if (!g_hub_radios.started || !block) return;
    HubPage page = current_page();
    const HubPageRules& rules = *kPageRules[page];
    if (!power_switches_on(block, g_hub_radios.power)) {
        send_line("%s", kBlankHeader);
        send_line("%s", kBlankMain);
        if (rules.unpowered) rules.unpowered(page);
        send_line("B>OFF");
        return;
    }
    send_line("B>ON");
    rules.display(page, block);
}

void hub_countdown(const uint8_t*) {
    HubPanelState& s = g_hub_panel;
    if (!g_hub_radios.started) return;
    xpdr_count_down(&s.xpdr);  // code entry, then mode selection
    if (g_bridge.input_countdown == 0) {
        end_input_modes();
    } else {
        --g_bridge.input_countdown;
    }
    if (s.press_window > 0) --s.press_window;
}

const PanelHooks kHubPanelHooks = {nullptr, hub_prepare, hub_input, hub_display, hub_countdown, hub_takes_code};
