// One COM radio as any panel serves it: its step, swap and transmit events,
// its frequencies, and the frequency and header lines that the COM panels,
// the NAV/COM panels and the multi-function panel's COM pages all show.
#pragma once

#include <cstdint>

#include "core/program_profile.h"

struct ComRadioEvents {
    uint32_t whole_dec, whole_inc;
    uint32_t fraction_dec, fraction_inc;
    uint32_t swap, transmit_select;
    uint32_t receive_all_toggle;
};

struct ComRadioFields {
    uint32_t active_mhz;   // "COM ACTIVE FREQUENCY:n", "MHz"
    uint32_t standby_mhz;  // "COM STANDBY FREQUENCY:n", "MHz"
    uint32_t transmit;     // "COM TRANSMIT:n": this radio transmits
    uint32_t receive_all;  // "COM RECIEVE ALL"
};

// Resolves radio 1 or 2 in a program's columns; false (with a console error
// naming what is missing) when the tables lack a field or an event, or for
// any other radio number.
bool com_resolve_radio(LayoutColumn layout, EventColumn events, int radio, ComRadioFields* fields,
                       ComRadioEvents* out_events);

// One detent of the frequency knob: the simulator's step of the standby
// frequency (whole megahertz or one channel of the fraction, down or up),
// as many times in a row as acceleration gives the detent, else once.
void com_send_detent(const ComRadioEvents& e, bool fraction, bool up);

// "<selector>>%7.3f  %7.3f" with the active and the standby frequency.
void com_send_frequencies(char selector, const uint8_t* block, const ComRadioFields& f);

// The header with the transmit mark winning over the receive-all mark:
// "<selector>>COMn T \a Standby" while this radio transmits, else
// "<selector>>COMn   \a Standby" when receive-all is exactly 1, else
// "<selector>>COMn     Standby".
void com_send_header(char selector, int radio, const uint8_t* block, const ComRadioFields& f);
