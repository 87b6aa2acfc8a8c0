#include "panels/com/com_radio.h"

#include "core/bridge_state.h"
#include "core/encoder_acceleration.h"
#include "core/panel_lookup.h"
#include "core/panel_messages.h"
#include "core/session_setup.h"

namespace {

// The simulator's names for each radio; COM1's step events carry no digit.
struct ComRadioNames {
    const char* active_mhz;
    const char* standby_mhz;
    const char* transmit;
    const char* whole_dec;
    const char* whole_inc;
    const char* fraction_dec;
    const char* fraction_inc;
    const char* swap;
    const char* transmit_select;
};

const ComRadioNames kNames[2] = {
    {"COM ACTIVE FREQUENCY:1", "COM STANDBY FREQUENCY:1", "COM TRANSMIT:1", "COM_RADIO_WHOLE_DEC",
     "COM_RADIO_WHOLE_INC", "COM_RADIO_FRACT_DEC", "COM_RADIO_FRACT_INC", "COM_STBY_RADIO_SWAP",
     "COM1_TRANSMIT_SELECT"},
    {"COM ACTIVE FREQUENCY:2", "COM STANDBY FREQUENCY:2", "COM TRANSMIT:2", "COM2_RADIO_WHOLE_DEC",
     "COM2_RADIO_WHOLE_INC", "COM2_RADIO_FRACT_DEC", "COM2_RADIO_FRACT_INC", "COM2_RADIO_SWAP",
     "COM2_TRANSMIT_SELECT"},
};

}  // namespace

bool com_resolve_radio(LayoutColumn layout, EventColumn events, int radio, ComRadioFields* fields,
                       ComRadioEvents* out_events) {
    if (radio != 1 && radio != 2) return false;
    const ComRadioNames& n = kNames[radio - 1];
    ComRadioFields f{};
    ComRadioEvents e{};
    bool ok = find_field(layout, n.active_mhz, "MHz", &f.active_mhz);
    ok &= find_field(layout, n.standby_mhz, "MHz", &f.standby_mhz);
    ok &= find_field(layout, n.transmit, "boolean", &f.transmit);
    ok &= find_field(layout, "COM RECIEVE ALL", "boolean", &f.receive_all);
    ok &= find_event(events, n.whole_dec, &e.whole_dec);
    ok &= find_event(events, n.whole_inc, &e.whole_inc);
    ok &= find_event(events, n.fraction_dec, &e.fraction_dec);
    ok &= find_event(events, n.fraction_inc, &e.fraction_inc);
    ok &= find_event(events, n.swap, &e.swap);
    ok &= find_event(events, n.transmit_select, &e.transmit_select);
    ok &= find_event(events, "COM_RECEIVE_ALL_TOGGLE", &e.receive_all_toggle);
    if (!ok) return false;
    if (fields) *fields = f;
    if (out_events) *out_events = e;
    return true;
}

void com_send_detent(const ComRadioEvents& e, bool fraction, bool up) {
    uint32_t event = fraction ? (up ? e.fraction_inc : e.fraction_dec) : (up ? e.whole_inc : e.whole_dec);
    DetentSteps steps = accelerated_detent(fraction ? KNOB_COM_FRACTION : KNOB_COM_WHOLE, up ? 1 : -1, 1);
    for (int i = 0; i < steps.count; ++i) transmit_event(event, 0);
}

void com_send_frequencies(char selector, const uint8_t* block, const ComRadioFields& f) {
    send_line("%c>%7.3f  %7.3f", selector, block_f64(block, f.active_mhz), block_f64(block, f.standby_mhz));
}

void com_send_header(char selector, int radio, const uint8_t* block, const ComRadioFields& f) {
    if (block_i32(block, f.transmit) != 0) {
        send_line("%c>COM%d T \a Standby", selector, radio);
    } else if (block_i32(block, f.receive_all) == 1) {
        send_line("%c>COM%d   \a Standby", selector, radio);
    } else {
        send_line("%c>COM%d     Standby", selector, radio);
    }
}
