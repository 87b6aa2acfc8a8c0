// The ADF panel's steps of the update cycle: the digits taken from each
// frame, encoder and keys to simulator events or local edits, the page's
// lines, and the end of temporary input modes.
#include "panels/adf/adf_panel.h"

#include "core/bridge_state.h"
#include "core/panel_input.h"
#include "core/panel_messages.h"
#include "core/session_setup.h"

AdfPanelState g_adf_panel;

namespace {

AdfSetOptions set_options() {
    AdfSetOptions o{};
    o.standby_swap = g_bridge.standby != 0;
    o.echo = g_bridge.testmode == 2 ? ECHO_ON_SET : ECHO_NONE;
    return o;
}

const AdfEncoderCode* encoder_code(const AdfPanelVersion* version, const char* text) {
    for (int i = 0; i < version->encoder_count; ++i) {
        if (text_has_code(text, version->encoder[i].code)) return &version->encoder[i];
    }
    return nullptr;
}

void turn(const AdfEncoderCode& code) {
    AdfPanelState& p = g_adf_panel;
    int card_steps = code.card_steps ? code.card_steps : (p.edit.card_fast ? 5 : 1);
    adf_turn(p.adf, &p.edit, p.adf_page, code.direction, card_steps, set_options());
    g_bridge.input_countdown = kAdfInputFrames;
}

// A second push within the window selects the card.
void double_push_check() {
    AdfPanelState& p = g_adf_panel;
    if (p.press_window > 0) {
        p.edit.card_select = 1;
        p.press_window = 0;
        g_bridge.input_countdown = kAdfInputFrames;
    } else {
        p.press_window = kAdfPressFrames;
    }
}

void push(const AdfPanelVersion& version) {
    AdfPanelState& p = g_adf_panel;
    bool in_card_select = p.adf_page == ADF_PAGE_NEEDLE && p.edit.card_select;
    if (!in_card_select || version.push_toggles_fast) {
        adf_push(&p.edit, p.adf_page);
        g_bridge.input_countdown = kAdfInputFrames;
    }
    double_push_check();
}

void next_page(const uint8_t*) {
    adf_next_page(&g_adf_panel.adf_page, &g_adf_panel.edit);
    g_bridge.input_countdown = 0;
}

void swap(const uint8_t*) {
    transmit_event(g_adf_panel.adf.event.swap, 0);
    g_bridge.input_countdown = 0;
}

// The clock page's key runs the clock; elsewhere it is ident.
void ident_or_clock(const uint8_t* block) {
    AdfPanelState& p = g_adf_panel;
    if (p.adf_page == ADF_PAGE_CLOCK) {
        adf_clock_key(&p.edit, block_f64(block, p.adf.field.absolute_time));
    } else {
        transmit_event(p.adf.event.ident_toggle, 0);
        g_bridge.input_countdown = 0;
    }
}

// The keys of both panel versions, by the datagram's first character.
struct AdfKey {
    char code;
    void (*act)(const uint8_t* block);
};
const AdfKey kKeys[] = {{'M', next_page}, {'S', swap}, {'T', ident_or_clock}};

// What a datagram is to the panel of the reported version: one of its
// encoder codes, its push, or a key; all null and false for anything else.
struct AdfCode {
    const AdfPanelVersion* version;
    const AdfEncoderCode* encoder;
    bool push;
    const AdfKey* key;
};

AdfCode adf_code(const char* text) {
    AdfCode code{adf_panel_version(g_bridge.encoder_version), nullptr, false, nullptr};
    if (code.version) {
        code.encoder = encoder_code(code.version, text);
        if (code.encoder) return code;
        code.push = text[0] == 'P';
        if (code.push) return code;
    }
    for (const AdfKey& key : kKeys) {
        if (key.code != text[0]) continue;
        code.key = &key;
        break;
    }
    return code;
}

}  // namespace

bool adf_panel_start() {
    g_adf_panel = AdfPanelState{};
    const ProgramProfile* program = program_profile(PROGRAM_ADF);
    if (!program) return false;
    AdfDescription adf{};
    PowerFields power{};
    bool ok = adf_describe(program->layout, program->events, &adf);
    ok &= find_power_fields(program->layout, "PARTIAL PANEL ADF:1", &power);
    if (!ok) return false;
    g_adf_panel.adf = adf;
    g_adf_panel.power = power;
    g_adf_panel.started = true;
    return true;
}

void adf_prepare(const uint8_t* block) {
    if (!g_adf_panel.started || !block) return;
    adf_refresh_digits(g_adf_panel.adf, &g_adf_panel.edit, block);
    adf_clock_next_frame(&g_adf_panel.edit);
}

void adf_input(const char* text, const uint8_t* block) {
    if (!g_adf_panel.started || !text || !block) return;
    if (!power_accepts_input(block, g_adf_panel.power)) return;
    AdfCode code = adf_code(text);
    if (code.encoder) {
        turn(*code.encoder);
    } else if (code.push) {
        push(*code.version);
    } else if (code.key) {
        code.key->act(block);
    }
}

bool adf_takes_code(const char* text) {
    if (!text) return false;
    AdfCode code = adf_code(text);
    return code.encoder || code.push || code.key;
}

void adf_display(const uint8_t* block) {
    AdfPanelState& p = g_adf_panel;
    if (!p.started || !block) return;
    if (!power_shows_display(block, p.power)) {
        send_line("%s", kBlankHeader);
        send_line("%s", kBlankMain);
        p.adf_page = ADF_PAGE_FREQUENCIES;
        adf_clock_reset(&p.edit);
        send_line("B>OFF");
        return;
    }
    send_line("B>ON");
    bool cursor_header = g_bridge.input_countdown != 0 && g_bridge.standby != 0;
    adf_send_page(p.adf, &p.edit, p.adf_page, block, cursor_header);
}

void adf_countdown(const uint8_t*) {
    AdfPanelState& p = g_adf_panel;
    if (!p.started) return;
    if (g_bridge.input_countdown == 0) {
        adf_end_input_mode(&p.edit);
    } else {
        --g_bridge.input_countdown;
    }
    if (p.press_window > 0) --p.press_window;
}

const PanelHooks kAdfPanelHooks = {nullptr, adf_prepare, adf_input, adf_display, adf_countdown, adf_takes_code};
