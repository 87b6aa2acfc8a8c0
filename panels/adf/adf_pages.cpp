// The three ADF pages: frequencies, needle with bearing or card, and the
// elapsed-time clock.
#include <cmath>
#include <cstdint>
#include <cstdio>

#include "core/bridge_state.h"
#include "core/panel_messages.h"
#include "panels/adf/adf_rules.h"

namespace {

// Between the active frequency and the rest of the value line: blanks, or
// the audio mark (byte 7) when the ADF audio is on.
const char kGap[] = "    ";
const char kSoundGap[] = " \a  ";
const char kClockGap[] = "     ";
const char kClockSoundGap[] = " \a   ";

constexpr char kSignalMark = '\x04';
constexpr int kSignalColumn = 9;
// Header columns above the standby frequency's hundreds, tens, units and
// tenths digits.
constexpr int kCursorColumn[DIGIT_COUNT] = {13, 14, 15, 17};

// "H>ADF      Standby", or with the cursor "H>ADF        |    " and the bar
// above the digit being edited; the signal mark in column 9.
void send_frequency_header(bool signal, bool cursor_header, uint8_t cursor) {
    char header[] = "H>ADF      Standby";
    if (cursor_header && cursor < DIGIT_COUNT) {
        for (int i = 5; header[i] != '\0'; ++i) header[i] = ' ';
        header[kCursorColumn[cursor]] = '|';
    }
    if (signal) header[kSignalColumn] = kSignalMark;
    send_line("%s", header);
}

void send_needle_page(const AdfDescription& adf, const AdfEditState& s, const uint8_t* block, bool signal,
                      const char* gap) {
    const AdfFields& f = adf.field;
    double radial = block_f64(block, f.radial);
    send_line("H>ADF             ");
    send_line("C>%d", adf_needle(radial, signal));
    char tail[kLineBufferSize];
    if (s.card_select) {
        std::snprintf(tail, sizeof tail, " >%03.0f", block_f64(block, f.card));
    } else if (signal) {
        std::snprintf(tail, sizeof tail, "  %03d", adf_bearing(block_f64(block, f.heading), radial));
    } else {
        std::snprintf(tail, sizeof tail, "  ---");
    }
    send_line("F>%6.1f%s%c%s", block_f64(block, f.active_khz), gap, signal ? kSignalMark : '|', tail);
}

}  // namespace

int adf_bearing(double heading, double relative_bearing) {
    double sum = heading + relative_bearing;
    if (!std::isfinite(sum)) return 0;
    // The same as adding or taking 360 once for the values a simulator
    // gives, and still 0..359 for any other.
    double b = std::fmod(std::trunc(sum), 360.0);
    if (b < 0) b += 360.0;
    return static_cast<int>(b);
}

int adf_needle(double relative_bearing, bool signal) {
    if (!signal) return 0;
    double c = relative_bearing * 15.0 / 50.0;
    c = relative_bearing > 0 ? c + 0.5 : c - 0.5;
    if (!std::isfinite(c)) return 0;
    return whole_int32(c);
}

void adf_send_page(const AdfDescription& adf, AdfEditState* s, uint8_t page, const uint8_t* block,
                   bool cursor_header) {
    const AdfFields& f = adf.field;
    bool signal = block_i32(block, f.signal) != 0;
    bool sound = block_i32(block, f.sound) != 0;
    double active = block_f64(block, f.active_khz);
    switch (page) {
        case ADF_PAGE_NEEDLE:
            send_needle_page(adf, *s, block, signal, sound ? kSoundGap : kGap);
            break;
        case ADF_PAGE_CLOCK:
            adf_clock_update(s, block_f64(block, f.absolute_time));
            send_line("H>ADF           ET");
            send_line("F>%6.1f%s%02d:%02d", active, sound ? kClockSoundGap : kClockGap, s->et_elapsed / 60,
                      s->et_elapsed % 60);
            break;
        default:
            send_frequency_header(signal, cursor_header, s->digit_cursor);
            send_line("F>%6.1f%s%6.1f", active, sound ? kSoundGap : kGap, block_f64(block, f.standby_khz));
            break;
    }
}
