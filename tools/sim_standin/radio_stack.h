// The user aircraft as far as the relay programs can see it: the radio stack,
// power switches, instruments and the title. Every value is kept in its
// natural unit (MHz for COM/NAV, kHz for ADF, the transponder code as four
// octal digits written in decimal, degrees, feet, 0/1 for switches) under its
// upper-case name with index ("COM ACTIVE FREQUENCY:1"); the units a client
// asks for are converted on the way out. Unknown variables read as 0.
#pragma once

#include <cstdint>
#include <map>
#include <string>

struct RadioStack {
    std::map<std::string, double> values;
    std::string title;
    double time_offset;        // "ABSOLUTE TIME" = clock seconds + offset
    uint64_t ident_until_ms;   // transponder ident switches itself off then
};

// A value read for a client: number, or text for string variables.
struct VarValue {
    double number;
    bool is_text;
    std::string text;
};

// The demo aircraft: powered, tuned, squawking 1200.
void radio_defaults(RadioStack* stack, uint64_t now_ms);

// "com active frequency: 1" -> "COM ACTIVE FREQUENCY:1"; a missing index stays
// missing. False when the name is empty or the index is no number.
bool normalize_var_name(const char* name, std::string* key);

// Reads a variable in the unit given ("MHz", "Frequency BCD16", "BCO16",
// "boolean", ...; an empty unit means the natural one).
VarValue radio_get(const RadioStack& stack, const char* name, const char* unit, uint64_t now_ms);

// Writes a variable given in its natural unit (the control "set" command).
// False with a reason for values the simulator would not hold (a frequency
// out of its band, a transponder code with digits 8 or 9).
bool radio_set(RadioStack* stack, const char* name, double value, uint64_t now_ms, std::string* error);
bool radio_set_title(RadioStack* stack, const char* text);

// Writes a variable given in a client's unit (SetDataOnSimObject); the packed
// units are decoded first.
bool radio_set_in_unit(RadioStack* stack, const char* name, const char* unit, double value, uint64_t now_ms,
                       std::string* error);

enum EventResult {
    EVENT_APPLIED,
    EVENT_UNKNOWN,   // not an event the stand-in models; nothing changes
    EVENT_BAD_DATA,  // known, but its data word is no valid value; ignored
};

// Applies one simulator event with its data word.
EventResult radio_apply_event(RadioStack* stack, const char* event_name, uint32_t data, uint64_t now_ms);
bool radio_knows_event(const char* event_name);
