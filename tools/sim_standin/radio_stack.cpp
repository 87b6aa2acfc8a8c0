#include "tools/sim_standin/radio_stack.h"

#include <cctype>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "tools/sim_standin/freq_codes.h"

namespace {

const double kStandardMillibars = 1013.25;
const double kMillibarsPerInHg = 33.8639;
const uint64_t kIdentMs = 18000;  // a transponder ident lasts about 18 s

// COM and NAV frequencies are stepped in slots of 1/120 MHz (8.33 kHz), so
// 25-kHz (3 slots), 50-kHz (6 slots) and 8.33-kHz channels are all exact.
const long kSlotsPerMhz = 120;

enum VarCategory { CAT_PLAIN, CAT_MHZ, CAT_KHZ, CAT_CODE };

std::string base_name(const std::string& key) {
    size_t colon = key.find(':');
    return colon == std::string::npos ? key : key.substr(0, colon);
}

VarCategory category_of(const std::string& key) {
    std::string base = base_name(key);
    if (base == "COM ACTIVE FREQUENCY" || base == "COM STANDBY FREQUENCY" || base == "NAV ACTIVE FREQUENCY" ||
        base == "NAV STANDBY FREQUENCY") {
        return CAT_MHZ;
    }
    if (base == "ADF ACTIVE FREQUENCY" || base == "ADF STANDBY FREQUENCY") return CAT_KHZ;
    if (base == "TRANSPONDER CODE") return CAT_CODE;
    return CAT_PLAIN;
}

std::string lower_trimmed(const char* text) {
    std::string s;
    if (!text) return s;
    for (const char* p = text; *p; ++p) s += static_cast<char>(std::tolower(static_cast<unsigned char>(*p)));
    size_t b = s.find_first_not_of(" \t");
    if (b == std::string::npos) return std::string();
    size_t e = s.find_last_not_of(" \t");
    return s.substr(b, e - b + 1);
}

// The key under which a variable is stored: the exact name, else the same
// variable with or without the index 1 (the simulator treats them alike).
std::string stored_key(const RadioStack& stack, const std::string& key) {
    if (stack.values.count(key)) return key;
    size_t colon = key.find(':');
    if (colon == std::string::npos) {
        if (stack.values.count(key + ":1")) return key + ":1";
    } else if (key.compare(colon, std::string::npos, ":1") == 0) {
        std::string base = key.substr(0, colon);
        if (stack.values.count(base)) return base;
    }
    return key;
}

double read_natural(const RadioStack& stack, const std::string& key, uint64_t now_ms) {
    if (key == "ABSOLUTE TIME") return static_cast<double>(now_ms) / 1000.0 + stack.time_offset;
    if (key == "TRANSPONDER IDENT:1" || key == "TRANSPONDER IDENT") return now_ms < stack.ident_until_ms ? 1 : 0;
    auto it = stack.values.find(stored_key(stack, key));
    return it == stack.values.end() ? 0.0 : it->second;
}

double& slot(RadioStack* stack, const std::string& key) { return stack->values[stored_key(*stack, key)]; }

std::string indexed(const char* base, int index) { return std::string(base) + ":" + std::to_string(index); }

bool in_band(VarCategory cat, const std::string& key, double v) {
    if (cat == CAT_MHZ) {
        if (key.compare(0, 3, "COM") == 0) return v >= 118.0 && v < 137.0;
        return v >= 108.0 && v < 118.0;
    }
    if (cat == CAT_KHZ) return v >= 100.0 && v < 1800.0;
    if (cat == CAT_CODE) return code_is_valid(static_cast<int>(std::lround(v))) && std::fabs(v - std::lround(v)) < 1e-9;
    return std::isfinite(v);
}

// Stores a natural value, keeping the two altimeter settings in step.
bool store(RadioStack* stack, const std::string& key, double v, uint64_t now_ms, std::string* error) {
    VarCategory cat = category_of(key);
    if (!in_band(cat, key, v)) {
        if (error) *error = "value out of range for " + key;
        return false;
    }
    if (key == "ABSOLUTE TIME") {
        stack->time_offset = v - static_cast<double>(now_ms) / 1000.0;
    } else if (base_name(key) == "TRANSPONDER IDENT") {
        stack->ident_until_ms = v != 0 ? now_ms + kIdentMs : 0;
    } else if (key == "KOHLSMAN SETTING MB") {
        slot(stack, "KOHLSMAN SETTING MB") = v;
        slot(stack, "KOHLSMAN SETTING HG") = v / kMillibarsPerInHg;
    } else if (key == "KOHLSMAN SETTING HG") {
        slot(stack, "KOHLSMAN SETTING HG") = v;
        slot(stack, "KOHLSMAN SETTING MB") = v * kMillibarsPerInHg;
    } else {
        slot(stack, key) = cat == CAT_CODE ? static_cast<double>(std::lround(v)) : v;
    }
    return true;
}

// --- COM and NAV stepping -------------------------------------------------

long to_slots(double mhz) { return std::lround(mhz * kSlotsPerMhz); }
double from_slots(long slots) { return static_cast<double>(slots) / kSlotsPerMhz; }

// Whole megahertz up or down within [low, high], the fraction kept.
void step_whole(double* mhz, int dir, long low, long high) {
    long s = to_slots(*mhz);
    long whole = s / kSlotsPerMhz, frac = s % kSlotsPerMhz;
    whole += dir;
    if (whole > high) whole = low;
    if (whole < low) whole = high;
    *mhz = from_slots(whole * kSlotsPerMhz + frac);
}

// One channel of `step` slots up or down within the megahertz, wrapping at
// both ends without touching the megahertz. A frequency off the raster moves
// to the nearest channel in the direction of the step.
void step_fraction(double* mhz, int dir, long step, long top) {
    long s = to_slots(*mhz);
    long whole = s / kSlotsPerMhz, frac = s % kSlotsPerMhz;
    if (dir > 0) {
        frac = (frac / step + 1) * step;
        if (frac > top) frac = 0;
    } else {
        frac = frac % step ? (frac / step) * step : frac - step;
        if (frac < 0) frac = top;
    }
    *mhz = from_slots(whole * kSlotsPerMhz + frac);
}

void com_step(RadioStack* stack, int radio, bool whole, int dir) {
    double& f = slot(stack, indexed("COM STANDBY FREQUENCY", radio));
    if (whole) {
        step_whole(&f, dir, 118, 136);
        return;
    }
    bool fine = read_natural(*stack, indexed("COM SPACING MODE", radio), 0) != 0;  // 1 = 8.33 kHz
    if (fine) {
        step_fraction(&f, dir, 1, kSlotsPerMhz - 1);
    } else {
        step_fraction(&f, dir, 3, kSlotsPerMhz - 3);
    }
}

void nav_step(RadioStack* stack, int radio, bool whole, int dir) {
    double& f = slot(stack, indexed("NAV STANDBY FREQUENCY", radio));
    if (whole) {
        step_whole(&f, dir, 108, 117);
    } else {
        step_fraction(&f, dir, 6, kSlotsPerMhz - 6);
    }
}

void swap_values(RadioStack* stack, const std::string& a, const std::string& b) {
    double t = slot(stack, a);
    slot(stack, a) = slot(stack, b);
    slot(stack, b) = t;
}

// --- ADF ------------------------------------------------------------------

// Digit steps on the active frequency: the thousands+hundreds pair runs 1..17,
// the other digits 0..9, each wrapping without carry into its neighbour.
void adf_digit(RadioStack* stack, int radio, int digit, int dir) {
    double& f = slot(stack, indexed("ADF ACTIVE FREQUENCY", radio));
    long tenths = std::lround(f * 10.0);
    long hundreds = tenths / 1000, tens = tenths / 100 % 10, units = tenths / 10 % 10, tenth = tenths % 10;
    if (hundreds < 1) hundreds = 1;
    if (hundreds > 17) hundreds = 17;
    if (digit == 0) {
        hundreds += dir;
        if (hundreds > 17) hundreds = 1;
        if (hundreds < 1) hundreds = 17;
    } else {
        long* d = digit == 1 ? &tens : digit == 2 ? &units : &tenth;
        *d = (*d + dir + 10) % 10;
    }
    f = (hundreds * 1000 + tens * 100 + units * 10 + tenth) / 10.0;
}

// --- Transponder ------------------------------------------------------------

void xpdr_digit(RadioStack* stack, int digit, int dir) {
    double& c = slot(stack, "TRANSPONDER CODE:1");
    int code = static_cast<int>(std::lround(c));
    int weight = digit == 0 ? 1000 : digit == 1 ? 100 : digit == 2 ? 10 : 1;
    int d = code / weight % 10;
    int nd = (d + dir + 8) % 8;
    c = code + (nd - d) * weight;
}

double wrap_degrees(double v) {
    v = std::fmod(v, 360.0);
    if (v < 0) v += 360.0;
    return v;
}

// --- Event table --------------------------------------------------------------

enum EventKind {
    EV_COM_WHOLE, EV_COM_FRACT, EV_COM_SWAP, EV_COM_TRANSMIT, EV_COM_SPACING,
    EV_NAV_WHOLE, EV_NAV_FRACT, EV_NAV_SWAP, EV_NAV_SET, EV_NAV_STBY_SET,
    EV_OBI, EV_OBI_SET,
    EV_ADF_DIGIT, EV_ADF_COMPLETE_SET, EV_ADF_SET, EV_ADF_SWAP, EV_ADF_CARD, EV_ADF_CARD_SET,
    EV_XPDR_DIGIT, EV_XPDR_SET, EV_IDENT_ON, EV_IDENT_OFF, EV_IDENT_TOGGLE,
    EV_TOGGLE, EV_SET_ON, EV_SET_OFF, EV_SET_FROM_DATA,
    EV_DME_SELECT_TOGGLE, EV_DME_SELECT,
    EV_KOHLSMAN_SET, EV_BAROMETRIC, EV_HEADING_BUG,
};

struct EventDef {
    const char* name;
    EventKind kind;
    int radio;         // radio number, digit or DME number
    int arg;           // direction, or whole (1) / fraction (0)
    const char* var;   // variable of the generic kinds
};

const EventDef kEvents[] = {
    {"COM_RADIO_WHOLE_INC", EV_COM_WHOLE, 1, 1, nullptr},
    {"COM_RADIO_WHOLE_DEC", EV_COM_WHOLE, 1, -1, nullptr},
    {"COM_RADIO_FRACT_INC", EV_COM_FRACT, 1, 1, nullptr},
    {"COM_RADIO_FRACT_DEC", EV_COM_FRACT, 1, -1, nullptr},
    {"COM2_RADIO_WHOLE_INC", EV_COM_WHOLE, 2, 1, nullptr},
    {"COM2_RADIO_WHOLE_DEC", EV_COM_WHOLE, 2, -1, nullptr},
    {"COM2_RADIO_FRACT_INC", EV_COM_FRACT, 2, 1, nullptr},
    {"COM2_RADIO_FRACT_DEC", EV_COM_FRACT, 2, -1, nullptr},
    {"COM_STBY_RADIO_SWAP", EV_COM_SWAP, 1, 0, nullptr},
    {"COM1_RADIO_SWAP", EV_COM_SWAP, 1, 0, nullptr},
    {"COM2_RADIO_SWAP", EV_COM_SWAP, 2, 0, nullptr},
    {"COM1_TRANSMIT_SELECT", EV_COM_TRANSMIT, 1, 0, nullptr},
    {"COM2_TRANSMIT_SELECT", EV_COM_TRANSMIT, 2, 0, nullptr},
    {"COM_1_SPACING_MODE_SWITCH", EV_COM_SPACING, 1, 0, nullptr},
    {"COM_2_SPACING_MODE_SWITCH", EV_COM_SPACING, 2, 0, nullptr},
    {"COM_RECEIVE_ALL_TOGGLE", EV_TOGGLE, 0, 0, "COM RECIEVE ALL"},
    {"NAV1_RADIO_WHOLE_INC", EV_NAV_WHOLE, 1, 1, nullptr},
    {"NAV1_RADIO_WHOLE_DEC", EV_NAV_WHOLE, 1, -1, nullptr},
    {"NAV1_RADIO_FRACT_INC", EV_NAV_FRACT, 1, 1, nullptr},
    {"NAV1_RADIO_FRACT_DEC", EV_NAV_FRACT, 1, -1, nullptr},
    {"NAV2_RADIO_WHOLE_INC", EV_NAV_WHOLE, 2, 1, nullptr},
    {"NAV2_RADIO_WHOLE_DEC", EV_NAV_WHOLE, 2, -1, nullptr},
    {"NAV2_RADIO_FRACT_INC", EV_NAV_FRACT, 2, 1, nullptr},
    {"NAV2_RADIO_FRACT_DEC", EV_NAV_FRACT, 2, -1, nullptr},
    {"NAV1_RADIO_SWAP", EV_NAV_SWAP, 1, 0, nullptr},
    {"NAV2_RADIO_SWAP", EV_NAV_SWAP, 2, 0, nullptr},
    {"NAV1_RADIO_SET", EV_NAV_SET, 1, 0, nullptr},
    {"NAV2_RADIO_SET", EV_NAV_SET, 2, 0, nullptr},
    {"NAV1_STBY_SET", EV_NAV_STBY_SET, 1, 0, nullptr},
    {"NAV2_STBY_SET", EV_NAV_STBY_SET, 2, 0, nullptr},
    {"RADIO_VOR1_IDENT_TOGGLE", EV_TOGGLE, 0, 0, "NAV SOUND:1"},
    {"RADIO_VOR2_IDENT_TOGGLE", EV_TOGGLE, 0, 0, "NAV SOUND:2"},
    {"VOR1_OBI_INC", EV_OBI, 1, 1, nullptr},
    {"VOR1_OBI_DEC", EV_OBI, 1, -1, nullptr},
    {"VOR2_OBI_INC", EV_OBI, 2, 1, nullptr},
    {"VOR2_OBI_DEC", EV_OBI, 2, -1, nullptr},
    {"VOR1_SET", EV_OBI_SET, 1, 0, nullptr},
    {"VOR2_SET", EV_OBI_SET, 2, 0, nullptr},
    // Both DMEs share one ident audio switch.
    {"RADIO_DME1_IDENT_ENABLE", EV_SET_ON, 0, 0, "DME SOUND"},
    {"RADIO_DME1_IDENT_DISABLE", EV_SET_OFF, 0, 0, "DME SOUND"},
    {"RADIO_DME1_IDENT_TOGGLE", EV_TOGGLE, 0, 0, "DME SOUND"},
    {"RADIO_DME2_IDENT_ENABLE", EV_SET_ON, 0, 0, "DME SOUND"},
    {"RADIO_DME2_IDENT_DISABLE", EV_SET_OFF, 0, 0, "DME SOUND"},
    {"RADIO_DME2_IDENT_TOGGLE", EV_TOGGLE, 0, 0, "DME SOUND"},
    {"TOGGLE_DME", EV_DME_SELECT_TOGGLE, 0, 0, nullptr},
    {"TOGGLE_DME1", EV_DME_SELECT, 1, 0, nullptr},
    {"TOGGLE_DME2", EV_DME_SELECT, 2, 0, nullptr},
    {"ADF_100_INC", EV_ADF_DIGIT, 0, 1, nullptr},
    {"ADF_10_INC", EV_ADF_DIGIT, 1, 1, nullptr},
    {"ADF_1_INC", EV_ADF_DIGIT, 2, 1, nullptr},
    {"ADF1_RADIO_TENTHS_INC", EV_ADF_DIGIT, 3, 1, nullptr},
    {"ADF_100_DEC", EV_ADF_DIGIT, 0, -1, nullptr},
    {"ADF_10_DEC", EV_ADF_DIGIT, 1, -1, nullptr},
    {"ADF_1_DEC", EV_ADF_DIGIT, 2, -1, nullptr},
    {"ADF1_RADIO_TENTHS_DEC", EV_ADF_DIGIT, 3, -1, nullptr},
    {"ADF2_100_INC", EV_ADF_DIGIT, 10, 1, nullptr},
    {"ADF2_10_INC", EV_ADF_DIGIT, 11, 1, nullptr},
    {"ADF2_1_INC", EV_ADF_DIGIT, 12, 1, nullptr},
    {"ADF2_RADIO_TENTHS_INC", EV_ADF_DIGIT, 13, 1, nullptr},
    {"ADF2_100_DEC", EV_ADF_DIGIT, 10, -1, nullptr},
    {"ADF2_10_DEC", EV_ADF_DIGIT, 11, -1, nullptr},
    {"ADF2_1_DEC", EV_ADF_DIGIT, 12, -1, nullptr},
    {"ADF2_RADIO_TENTHS_DEC", EV_ADF_DIGIT, 13, -1, nullptr},
    {"ADF_COMPLETE_SET", EV_ADF_COMPLETE_SET, 1, 0, nullptr},
    {"ADF2_COMPLETE_SET", EV_ADF_COMPLETE_SET, 2, 0, nullptr},
    {"ADF_SET", EV_ADF_SET, 1, 0, nullptr},
    {"ADF2_SET", EV_ADF_SET, 2, 0, nullptr},
    {"ADF1_RADIO_SWAP", EV_ADF_SWAP, 1, 0, nullptr},
    {"ADF2_RADIO_SWAP", EV_ADF_SWAP, 2, 0, nullptr},
    {"ADF_CARD_INC", EV_ADF_CARD, 0, 1, nullptr},
    {"ADF_CARD_DEC", EV_ADF_CARD, 0, -1, nullptr},
    {"ADF_CARD_SET", EV_ADF_CARD_SET, 0, 0, nullptr},
    {"RADIO_ADF_IDENT_TOGGLE", EV_TOGGLE, 0, 0, "ADF SOUND:1"},
    {"XPNDR_1000_INC", EV_XPDR_DIGIT, 0, 1, nullptr},
    {"XPNDR_100_INC", EV_XPDR_DIGIT, 1, 1, nullptr},
    {"XPNDR_10_INC", EV_XPDR_DIGIT, 2, 1, nullptr},
    {"XPNDR_1_INC", EV_XPDR_DIGIT, 3, 1, nullptr},
    {"XPNDR_1000_DEC", EV_XPDR_DIGIT, 0, -1, nullptr},
    {"XPNDR_100_DEC", EV_XPDR_DIGIT, 1, -1, nullptr},
    {"XPNDR_10_DEC", EV_XPDR_DIGIT, 2, -1, nullptr},
    {"XPNDR_1_DEC", EV_XPDR_DIGIT, 3, -1, nullptr},
    {"XPNDR_SET", EV_XPDR_SET, 0, 0, nullptr},
    {"XPNDR_IDENT_ON", EV_IDENT_ON, 0, 0, nullptr},
    {"XPNDR_IDENT_OFF", EV_IDENT_OFF, 0, 0, nullptr},
    {"XPNDR_IDENT_TOGGLE", EV_IDENT_TOGGLE, 0, 0, nullptr},
    {"MARKER_SOUND_TOGGLE", EV_TOGGLE, 0, 0, "MARKER SOUND"},
    {"TOGGLE_MASTER_BATTERY", EV_TOGGLE, 0, 0, "ELECTRICAL MASTER BATTERY"},
    {"AVIONICS_MASTER_SET", EV_SET_FROM_DATA, 0, 0, "AVIONICS MASTER SWITCH"},
    {"TOGGLE_AVIONICS_MASTER", EV_TOGGLE, 0, 0, "AVIONICS MASTER SWITCH"},
    {"KOHLSMAN_SET", EV_KOHLSMAN_SET, 0, 0, nullptr},
    {"BAROMETRIC", EV_BAROMETRIC, 0, 0, nullptr},
    {"HEADING_BUG_INC", EV_HEADING_BUG, 0, 1, nullptr},
    {"HEADING_BUG_DEC", EV_HEADING_BUG, 0, -1, nullptr},
};

const EventDef* find_event(const char* name) {
    if (!name) return nullptr;
    for (const EventDef& e : kEvents) {
        if (std::strcmp(e.name, name) == 0) return &e;
    }
    return nullptr;
}

}  // namespace

bool normalize_var_name(const char* name, std::string* key) {
    std::string s;
    if (name) {
        for (const char* p = name; *p; ++p) s += static_cast<char>(std::toupper(static_cast<unsigned char>(*p)));
    }
    size_t colon = s.find(':');
    std::string base = s.substr(0, colon);
    size_t b = base.find_first_not_of(" \t");
    if (b == std::string::npos) return false;
    base = base.substr(b, base.find_last_not_of(" \t") - b + 1);
    if (colon == std::string::npos) {
        *key = base;
        return true;
    }
    std::string index = s.substr(colon + 1);
    size_t ib = index.find_first_not_of(" \t");
    if (ib == std::string::npos) return false;
    index = index.substr(ib, index.find_last_not_of(" \t") - ib + 1);
    char* end = nullptr;
    long n = std::strtol(index.c_str(), &end, 10);
    if (*end != '\0' || n < 0 || n > 99) return false;
    *key = base + ":" + std::to_string(n);
    return true;
}

void radio_defaults(RadioStack* stack, uint64_t now_ms) {
    stack->values.clear();
    stack->title = "Cessna Skyhawk G1000 Asobo";
    // Seconds since 1 Jan of year 1, as the simulator counts, on a round base.
    stack->time_offset = 63800000000.0 - static_cast<double>(now_ms) / 1000.0;
    stack->ident_until_ms = 0;
    std::map<std::string, double>& v = stack->values;
    v["ELECTRICAL MASTER BATTERY"] = 1;
    v["AVIONICS MASTER SWITCH"] = 1;
    v["CIRCUIT GENERAL PANEL ON"] = 1;
    v["CIRCUIT AVIONICS ON"] = 1;
    v["COM ACTIVE FREQUENCY:1"] = 118.000;
    v["COM STANDBY FREQUENCY:1"] = 121.500;
    v["COM ACTIVE FREQUENCY:2"] = 124.850;
    v["COM STANDBY FREQUENCY:2"] = 119.100;
    v["COM SPACING MODE:1"] = 0;
    v["COM SPACING MODE:2"] = 0;
    v["COM TRANSMIT:1"] = 1;
    v["COM TRANSMIT:2"] = 0;
    v["COM RECIEVE ALL"] = 0;
    v["NAV ACTIVE FREQUENCY:1"] = 110.500;
    v["NAV STANDBY FREQUENCY:1"] = 113.900;
    v["NAV ACTIVE FREQUENCY:2"] = 114.100;
    v["NAV STANDBY FREQUENCY:2"] = 108.200;
    v["ADF ACTIVE FREQUENCY:1"] = 379.0;
    v["ADF STANDBY FREQUENCY:1"] = 344.5;
    v["ADF ACTIVE FREQUENCY:2"] = 415.0;
    v["ADF STANDBY FREQUENCY:2"] = 362.0;
    v["TRANSPONDER CODE:1"] = 1200;
    v["TRANSPONDER STATE:1"] = 4;  // altitude reporting
    v["NAV OBS:1"] = 90;
    v["NAV OBS:2"] = 270;
    v["NAV RADIAL:1"] = 92.4;
    v["NAV RADIAL:2"] = 271.0;
    v["NAV TOFROM:1"] = 1;
    v["NAV TOFROM:2"] = 2;
    v["NAV SIGNAL:1"] = 100;
    v["NAV SIGNAL:2"] = 100;
    v["NAV CDI:1"] = -12;
    v["NAV CDI:2"] = 5;
    v["NAV DME:1"] = 12.4;
    v["NAV DMESPEED:1"] = 108;
    v["NAV DME:2"] = 23.7;
    v["NAV DMESPEED:2"] = 110;
    v["SELECTED DME"] = 1;
    // Listed although 0, so "dump" shows everything the NAV pages read.
    v["NAV HAS LOCALIZER:1"] = 0;
    v["NAV HAS LOCALIZER:2"] = 0;
    v["NAV SOUND:1"] = 0;
    v["NAV SOUND:2"] = 0;
    v["DME SOUND"] = 0;
    v["ADF CARD"] = 0;
    v["ADF RADIAL:1"] = 45;
    v["ADF SIGNAL:1"] = 100;
    v["ADF AVAILABLE"] = 1;
    v["KOHLSMAN SETTING MB"] = kStandardMillibars;
    v["KOHLSMAN SETTING HG"] = kStandardMillibars / kMillibarsPerInHg;
    v["PLANE ALTITUDE"] = 3500;
    v["INDICATED ALTITUDE"] = 3500;
    v["PRESSURE ALTITUDE"] = 3480;
    v["PLANE HEADING DEGREES GYRO"] = 87;
    v["AUTOPILOT HEADING LOCK DIR"] = 90;
}

VarValue radio_get(const RadioStack& stack, const char* name, const char* unit, uint64_t now_ms) {
    VarValue out;
    out.number = 0;
    out.is_text = false;
    std::string key;
    if (!normalize_var_name(name, &key)) return out;
    if (key == "TITLE") {
        out.is_text = true;
        out.text = stack.title;
        return out;
    }
    double v = read_natural(stack, key, now_ms);
    std::string u = lower_trimmed(unit);
    VarCategory cat = category_of(key);
    if (cat == CAT_MHZ) {
        if (u == "frequency bcd16") v = bcd16_from_mhz(v);
        else if (u == "khz" || u == "kilohertz") v *= 1000.0;
        else if (u == "hz" || u == "hertz") v *= 1000000.0;
    } else if (cat == CAT_KHZ) {
        if (u == "frequency adf bcd32") v = adf_bcd32_from_khz(v);
        else if (u == "frequency bcd16") v = adf_bcd16_from_khz(v);
        else if (u == "mhz" || u == "megahertz") v /= 1000.0;
        else if (u == "hz" || u == "hertz") v *= 1000.0;
    } else if (cat == CAT_CODE) {
        if (u == "bco16") v = bco16_from_code(static_cast<int>(std::lround(v)));
    } else if (u == "bool" || u == "boolean") {
        v = v != 0 ? 1 : 0;
    } else if (u == "radians") {
        v = v * 3.14159265358979323846 / 180.0;
    }
    out.number = v;
    return out;
}

bool radio_set(RadioStack* stack, const char* name, double value, uint64_t now_ms, std::string* error) {
    std::string key;
    if (!normalize_var_name(name, &key)) {
        if (error) *error = "bad variable name";
        return false;
    }
    if (key == "TITLE") {
        if (error) *error = "the title is text";
        return false;
    }
    return store(stack, stored_key(*stack, key), value, now_ms, error);
}

bool radio_set_title(RadioStack* stack, const char* text) {
    if (!text || std::strlen(text) > 255) return false;  // must fit the 256-byte field with its NUL
    stack->title = text;
    return true;
}

bool radio_set_in_unit(RadioStack* stack, const char* name, const char* unit, double value, uint64_t now_ms,
                       std::string* error) {
    std::string key;
    if (!normalize_var_name(name, &key)) {
        if (error) *error = "bad variable name";
        return false;
    }
    if (!std::isfinite(value) || std::fabs(value) > 4294967295.0) {
        if (error) *error = "value out of range";
        return false;
    }
    std::string u = lower_trimmed(unit);
    VarCategory cat = category_of(key);
    double natural = value;
    bool ok = true;
    uint32_t word = static_cast<uint32_t>(static_cast<int64_t>(value));
    if (cat == CAT_MHZ) {
        if (u == "frequency bcd16") ok = mhz_from_bcd16(word, &natural);
        else if (u == "khz" || u == "kilohertz") natural = value / 1000.0;
        else if (u == "hz" || u == "hertz") natural = value / 1000000.0;
    } else if (cat == CAT_KHZ) {
        if (u == "frequency adf bcd32") ok = khz_from_adf_bcd32(word, &natural);
        else if (u == "frequency bcd16") ok = khz_from_adf_bcd16(word, &natural);
        else if (u == "mhz" || u == "megahertz") natural = value * 1000.0;
        else if (u == "hz" || u == "hertz") natural = value / 1000.0;
    } else if (cat == CAT_CODE) {
        if (u == "bco16") {
            int code = 0;
            ok = code_from_bco16(word, &code);
            natural = code;
        }
    } else if (u == "bool" || u == "boolean") {
        natural = value != 0 ? 1 : 0;
    } else if (u == "radians") {
        natural = value * 180.0 / 3.14159265358979323846;
    }
    if (!ok) {
        if (error) *error = "value is no valid " + std::string(unit ? unit : "") + " word";
        return false;
    }
    return store(stack, stored_key(*stack, key), natural, now_ms, error);
}

bool radio_knows_event(const char* event_name) { return find_event(event_name) != nullptr; }

EventResult radio_apply_event(RadioStack* stack, const char* event_name, uint32_t data, uint64_t now_ms) {
    const EventDef* e = find_event(event_name);
    if (!e) return EVENT_UNKNOWN;
    double decoded = 0;
    switch (e->kind) {
    case EV_COM_WHOLE: com_step(stack, e->radio, true, e->arg); break;
    case EV_COM_FRACT: com_step(stack, e->radio, false, e->arg); break;
    case EV_COM_SWAP:
        swap_values(stack, indexed("COM ACTIVE FREQUENCY", e->radio), indexed("COM STANDBY FREQUENCY", e->radio));
        break;
    case EV_COM_TRANSMIT:
        slot(stack, "COM TRANSMIT:1") = e->radio == 1 ? 1 : 0;
        slot(stack, "COM TRANSMIT:2") = e->radio == 2 ? 1 : 0;
        break;
    case EV_COM_SPACING: {
        double& mode = slot(stack, indexed("COM SPACING MODE", e->radio));
        mode = mode != 0 ? 0 : 1;
        break;
    }
    case EV_NAV_WHOLE: nav_step(stack, e->radio, true, e->arg); break;
    case EV_NAV_FRACT: nav_step(stack, e->radio, false, e->arg); break;
    case EV_NAV_SWAP:
        swap_values(stack, indexed("NAV ACTIVE FREQUENCY", e->radio), indexed("NAV STANDBY FREQUENCY", e->radio));
        break;
    case EV_NAV_SET:
    case EV_NAV_STBY_SET: {
        const char* base = e->kind == EV_NAV_SET ? "NAV ACTIVE FREQUENCY" : "NAV STANDBY FREQUENCY";
        if (!mhz_from_bcd16(data, &decoded) || !store(stack, indexed(base, e->radio), decoded, now_ms, nullptr)) {
            return EVENT_BAD_DATA;
        }
        break;
    }
    case EV_OBI: {
        double& obs = slot(stack, indexed("NAV OBS", e->radio));
        obs = wrap_degrees(std::round(obs) + e->arg);
        break;
    }
    case EV_OBI_SET: slot(stack, indexed("NAV OBS", e->radio)) = wrap_degrees(static_cast<int32_t>(data)); break;
    case EV_ADF_DIGIT:
        adf_digit(stack, e->radio >= 10 ? 2 : 1, e->radio % 10, e->arg);
        break;
    case EV_ADF_COMPLETE_SET:
    case EV_ADF_SET: {
        bool ok = e->kind == EV_ADF_COMPLETE_SET ? khz_from_adf_bcd32(data, &decoded)
                                                 : khz_from_adf_bcd16(data, &decoded);
        if (!ok || !store(stack, indexed("ADF ACTIVE FREQUENCY", e->radio), decoded, now_ms, nullptr)) {
            return EVENT_BAD_DATA;
        }
        break;
    }
    case EV_ADF_SWAP:
        swap_values(stack, indexed("ADF ACTIVE FREQUENCY", e->radio), indexed("ADF STANDBY FREQUENCY", e->radio));
        break;
    case EV_ADF_CARD: {
        double& card = slot(stack, "ADF CARD");
        card = wrap_degrees(std::round(card) + e->arg);
        break;
    }
    case EV_ADF_CARD_SET: slot(stack, "ADF CARD") = wrap_degrees(static_cast<int32_t>(data)); break;
    case EV_XPDR_DIGIT: xpdr_digit(stack, e->radio, e->arg); break;
    case EV_XPDR_SET: {
        int code = 0;
        if (!code_from_bco16(data, &code)) return EVENT_BAD_DATA;
        slot(stack, "TRANSPONDER CODE:1") = code;
        break;
    }
    case EV_IDENT_ON: stack->ident_until_ms = now_ms + kIdentMs; break;
    case EV_IDENT_OFF: stack->ident_until_ms = 0; break;
    case EV_IDENT_TOGGLE: stack->ident_until_ms = now_ms < stack->ident_until_ms ? 0 : now_ms + kIdentMs; break;
    case EV_TOGGLE: {
        double& v = slot(stack, e->var);
        v = v != 0 ? 0 : 1;
        break;
    }
    case EV_SET_ON: slot(stack, e->var) = 1; break;
    case EV_SET_OFF: slot(stack, e->var) = 0; break;
    case EV_SET_FROM_DATA: slot(stack, e->var) = data != 0 ? 1 : 0; break;
    case EV_DME_SELECT_TOGGLE: {
        double& sel = slot(stack, "SELECTED DME");
        sel = sel == 1.0 ? 2.0 : 1.0;
        break;
    }
    case EV_DME_SELECT: slot(stack, "SELECTED DME") = e->radio; break;
    case EV_KOHLSMAN_SET: {
        // The data is millibars times 16.
        double mb = static_cast<double>(data) / 16.0;
        if (mb < 900.0 || mb > 1100.0) return EVENT_BAD_DATA;
        store(stack, "KOHLSMAN SETTING MB", mb, now_ms, nullptr);
        break;
    }
    case EV_BAROMETRIC: store(stack, "KOHLSMAN SETTING MB", kStandardMillibars, now_ms, nullptr); break;
    case EV_HEADING_BUG: {
        double& bug = slot(stack, "AUTOPILOT HEADING LOCK DIR");
        bug = wrap_degrees(std::round(bug) + e->arg);
        break;
    }
    }
    return EVENT_APPLIED;
}
