// What sets NAV radio 1 apart from NAV radio 2 wherever a panel shows one,
// and the lookup of a radio's fields and events in a program's own columns.
#include <cstdio>

#include "core/console.h"
#include "panels/nav/nav_rules.h"

namespace {

struct NavRadioNames {
    double selected_dme;
    const char* whole_dec;
    const char* whole_inc;
    const char* fraction_dec;
    const char* fraction_inc;
    const char* swap;
    const char* set;
    const char* obi_dec;
    const char* obi_inc;
    const char* vor_set;
    const char* vor_ident;
    bool dme_ident_toggles;  // radio 1 toggles; radio 2 sends enable/disable pairs
};

const NavRadioNames kNavRadioNames[2] = {
    {1.0, "NAV1_RADIO_WHOLE_DEC", "NAV1_RADIO_WHOLE_INC", "NAV1_RADIO_FRACT_DEC", "NAV1_RADIO_FRACT_INC",
     "NAV1_RADIO_SWAP", "NAV1_RADIO_SET", "VOR1_OBI_DEC", "VOR1_OBI_INC", "VOR1_SET", "RADIO_VOR1_IDENT_TOGGLE", true},
    {2.0, "NAV2_RADIO_WHOLE_DEC", "NAV2_RADIO_WHOLE_INC", "NAV2_RADIO_FRACT_DEC", "NAV2_RADIO_FRACT_INC",
     "NAV2_RADIO_SWAP", "NAV2_RADIO_SET", "VOR2_OBI_DEC", "VOR2_OBI_INC", "VOR2_SET", "RADIO_VOR2_IDENT_TOGGLE", false},
};

// "NAV RADIAL" and radio 2 -> "NAV RADIAL:2".
const char* indexed(char (&buffer)[64], const char* base, int number) {
    std::snprintf(buffer, sizeof buffer, "%s:%d", base, number);
    return buffer;
}

bool find_indexed(LayoutColumn layout, const char* base, int number, const char* units, uint32_t* out) {
    char name[64];
    return find_field(layout, indexed(name, base, number), units, out);
}

bool resolve_fields(LayoutColumn layout, int n, NavRadioFields* f) {
    char name[64];
    bool ok = find_indexed(layout, "NAV ACTIVE FREQUENCY", n, "MHz", &f->active_mhz);
    ok &= find_indexed(layout, "NAV STANDBY FREQUENCY", n, "MHz", &f->standby_mhz);
    ok &= find_field(layout, "NAV ACTIVE FREQUENCY:1", "Frequency BCD16", &f->active_bcd16[0]);
    ok &= find_field(layout, "NAV ACTIVE FREQUENCY:2", "Frequency BCD16", &f->active_bcd16[1]);
    ok &= find_indexed(layout, "NAV OBS", n, "degrees", &f->obs);
    ok &= find_indexed(layout, "NAV RADIAL", n, "degrees", &f->radial);
    ok &= find_indexed(layout, "NAV TOFROM", n, "Enum", &f->tofrom);
    ok &= find_indexed(layout, "NAV HAS LOCALIZER", n, "boolean", &f->has_localizer);
    ok &= find_indexed(layout, "NAV SIGNAL", n, "number", &f->signal);
    ok &= find_indexed(layout, "NAV CDI", n, "number", &f->cdi);
    ok &= find_field(layout, "SELECTED DME", "number", &f->selected_dme);
    ok &= find_indexed(layout, "NAV DME", n, "nautical miles", &f->dme);
    ok &= find_indexed(layout, "NAV DMESPEED", n, "knots", &f->dme_speed);
    ok &= find_indexed(layout, "NAV SOUND", n, "boolean", &f->nav_sound);
    ok &= find_field(layout, "DME SOUND", "boolean", &f->dme_sound);
    ok &= find_power_fields(layout, indexed(name, "PARTIAL PANEL NAV", n), &f->power);
    return ok;
}

bool resolve_events(EventColumn column, const NavRadioNames& names, NavRadioEvents* e) {
    bool ok = find_event(column, names.whole_dec, &e->whole_dec);
    ok &= find_event(column, names.whole_inc, &e->whole_inc);
    ok &= find_event(column, names.fraction_dec, &e->fraction_dec);
    ok &= find_event(column, names.fraction_inc, &e->fraction_inc);
    ok &= find_event(column, names.swap, &e->swap);
    ok &= find_event(column, names.set, &e->set);
    ok &= find_event(column, names.obi_dec, &e->obi_dec);
    ok &= find_event(column, names.obi_inc, &e->obi_inc);
    ok &= find_event(column, names.vor_set, &e->vor_set);
    ok &= find_event(column, names.vor_ident, &e->vor_ident);
    ok &= find_event(column, "TOGGLE_DME", &e->toggle_dme);
    if (names.dme_ident_toggles) {
        ok &= find_event(column, "RADIO_DME1_IDENT_TOGGLE", &e->dme1_ident_toggle);
    } else {
        ok &= find_event(column, "RADIO_DME1_IDENT_ENABLE", &e->dme1_ident_enable);
        ok &= find_event(column, "RADIO_DME2_IDENT_ENABLE", &e->dme2_ident_enable);
        ok &= find_event(column, "RADIO_DME1_IDENT_DISABLE", &e->dme1_ident_disable);
        ok &= find_event(column, "RADIO_DME2_IDENT_DISABLE", &e->dme2_ident_disable);
    }
    return ok;
}

}  // namespace

bool nav_radio_resolve(LayoutColumn layout, EventColumn events, int number, NavRaster raster, NavRadio* out) {
    if (!out) return false;
    if (number != 1 && number != 2) {
        console_print("Error: there is no NAV radio %d\n", number);
        return false;
    }
    const NavRadioNames& names = kNavRadioNames[number - 1];
    NavRadio radio{};
    bool ok = resolve_fields(layout, number, &radio.field);
    ok &= resolve_events(events, names, &radio.event);
    if (!ok) return false;
    radio.number = number;
    radio.raster = raster;
    radio.selected_dme = names.selected_dme;
    radio.dme_ident_toggles = names.dme_ident_toggles;
    *out = radio;
    return true;
}
