// The lines of the five NAV pages. The texts carry the radio's number ("NAV1",
// "CDI1", "DME1"); the symbol bytes are the panel's flag (4), TO (5) and FROM
// (6) marks and its audio mark (7).
#include "core/bridge_state.h"
#include "core/panel_messages.h"
#include "panels/nav/nav_rules.h"

namespace {

const char kFlag = '\x04';
const char kTo = '\x05';
const char kFrom = '\x06';

struct NavReading {
    int number;
    double active;
    bool signal;
    bool localizer;  // a localizer is tuned
    int32_t tofrom;
    bool sound;      // the station's ident audio is on
};

NavReading read_radio(const NavRadio& radio, const uint8_t* block) {
    const NavRadioFields& f = radio.field;
    NavReading r;
    r.number = radio.number;
    r.active = block_f64(block, f.active_mhz);
    r.signal = block_i32(block, f.signal) != 0;
    r.localizer = block_i32(block, f.has_localizer) == 1;
    r.tofrom = block_i32(block, f.tofrom);
    r.sound = block_i32(block, f.nav_sound) != 0;
    return r;
}

// The receiver's mark: the flag for a localizer or without a TO/FROM
// indication, else TO or FROM. A TO/FROM value the receiver never reports
// shows the flag too, so the line is still sent.
char indication(const NavReading& r) {
    if (r.localizer) return kFlag;
    if (r.tofrom == 1) return kTo;
    if (r.tofrom == 2) return kFrom;
    return kFlag;
}

// The four characters after the frequency; with the audio on, the second of
// them is the audio mark.
const char* gap(bool sound) { return sound ? " \a  " : "    "; }

void frequencies_page(const NavReading& r, const NavRadio& radio, const uint8_t* block) {
    if (!r.signal) {
        send_line("H>NAV%d     Standby", r.number);
    } else {
        send_line("H>NAV%d   %c Standby", r.number, indication(r));
    }
    send_line("F>%6.2f%s%6.2f", r.active, gap(r.sound), block_f64(block, radio.field.standby_mhz));
}

void cdi_page(const NavReading& r, const NavRadio& radio, const uint8_t* block, bool obs_select,
              char bar_selector) {
    send_line("H>CDI%d            ", r.number);
    send_line("%c>%d", bar_selector, nav_cdi_value(block_i32(block, radio.field.cdi)));
    char mark = r.signal ? indication(r) : '|';
    if (r.signal && r.localizer && !obs_select) {
        send_line("F>%6.2f%s%c  LOC", r.active, gap(r.sound), mark);
        return;
    }
    send_line("F>%6.2f%s%c%s%03d", r.active, gap(r.sound), mark, obs_select ? " >" : "  ",
              nav_obs_value(block_f64(block, radio.field.obs)));
}

// Pages 2 and 3: a bearing while the receiver shows the wanted indication on
// a VOR with a known radial, else dashes.
void bearing_page(const NavReading& r, const char* header_tail, bool valid, int32_t bearing) {
    send_line("H>NAV%d%s", r.number, header_tail);
    if (valid) {
        send_line("F>%6.2f%s   %03d", r.active, gap(r.sound), bearing);
    } else {
        send_line("F>%6.2f%s   ---", r.active, gap(r.sound));
    }
}

void dme_page(const NavReading& r, const NavRadio& radio, const uint8_t* block) {
    const NavRadioFields& f = radio.field;
    bool selected = block_f64(block, f.selected_dme) == radio.selected_dme;
    bool sound = selected && block_i32(block, f.dme_sound) != 0;
    const char* sel = selected ? "sel" : "   ";
    double distance = block_f64(block, f.dme);
    if (!(distance > 0)) {
        send_line("H>DME%d %s  ---kts", r.number, sel);
        send_line("F>%6.2f%s---nm ", r.active, gap(sound));
        return;
    }
    send_line("H>DME%d %s  %3.0fkts", r.number, sel, block_f64(block, f.dme_speed));
    if (nav_dme_shows_tenths(distance)) {
        send_line("F>%6.2f%s%4.1fnm ", r.active, sound ? " \a " : "   ", distance);
    } else {
        send_line("F>%6.2f%s%3.0fnm ", r.active, gap(sound), distance);
    }
}

}  // namespace

void nav_send_page(const NavRadio& radio, const uint8_t* block, uint8_t page, bool obs_select, char bar_selector) {
    if (radio.number == 0 || !block) return;
    NavReading r = read_radio(radio, block);
    double radial = block_f64(block, radio.field.radial);
    bool vor_radial = block_i32(block, radio.field.has_localizer) == 0 && nav_radial_known(radial);
    switch (page) {
        case 1:
            cdi_page(r, radio, block, obs_select, bar_selector);
            break;
        case 2:
            bearing_page(r, "          TO", vor_radial && r.tofrom == 1, nav_course_to_station(radial));
            break;
        case 3:
            bearing_page(r, "        FROM", vor_radial && r.tofrom == 2, nav_radial_from_station(radial));
            break;
        case 4:
            dme_page(r, radio, block);
            break;
        default:
            frequencies_page(r, radio, block);
            break;
    }
}

uint8_t nav_next_page(uint8_t page) { return page >= 4 ? 0 : static_cast<uint8_t>(page + 1); }
