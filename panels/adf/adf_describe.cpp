// The lookup of the ADF fields and events in a program's columns of the
// shared registration tables.
#include "core/panel_lookup.h"
#include "panels/adf/adf_rules.h"

namespace {

const char* const kDigitDec[DIGIT_COUNT] = {"ADF_100_DEC", "ADF_10_DEC", "ADF_1_DEC", "ADF1_RADIO_TENTHS_DEC"};
const char* const kDigitInc[DIGIT_COUNT] = {"ADF_100_INC", "ADF_10_INC", "ADF_1_INC", "ADF1_RADIO_TENTHS_INC"};

}  // namespace

bool adf_describe(LayoutColumn layout, EventColumn events, AdfDescription* out) {
    AdfFields f{};
    AdfEvents e{};
    // Every lookup runs, so the console names everything that is missing.
    bool ok = find_field(layout, "ADF ACTIVE FREQUENCY:1", "KHz", &f.active_khz);
    ok &= find_field(layout, "ADF STANDBY FREQUENCY:1", "KHz", &f.standby_khz);
    ok &= find_field(layout, "ADF ACTIVE FREQUENCY:1", "Frequency ADF BCD32", &f.active_bcd32);
    ok &= find_field(layout, "ADF STANDBY FREQUENCY:1", "Frequency ADF BCD32", &f.standby_bcd32);
    ok &= find_field(layout, "ADF RADIAL:1", "degrees", &f.radial);
    ok &= find_field(layout, "PLANE HEADING DEGREES GYRO", "degrees", &f.heading);
    ok &= find_field(layout, "ADF CARD", "degrees", &f.card);
    ok &= find_field(layout, "ABSOLUTE TIME", "seconds", &f.absolute_time);
    ok &= find_field(layout, "ADF SIGNAL:1", "number", &f.signal);
    ok &= find_field(layout, "ADF SOUND:1", "boolean", &f.sound);

    ok &= find_event(events, "ADF_COMPLETE_SET", &e.complete_set);
    ok &= find_event(events, "ADF1_RADIO_SWAP", &e.swap);
    for (int d = 0; d < DIGIT_COUNT; ++d) {
        ok &= find_event(events, kDigitDec[d], &e.digit_dec[d]);
        ok &= find_event(events, kDigitInc[d], &e.digit_inc[d]);
    }
    ok &= find_event(events, "ADF_CARD_DEC", &e.card_dec);
    ok &= find_event(events, "ADF_CARD_INC", &e.card_inc);
    ok &= find_event(events, "RADIO_ADF_IDENT_TOGGLE", &e.ident_toggle);
    if (!ok) return false;

    out->field = f;
    out->event = e;
    return true;
}
