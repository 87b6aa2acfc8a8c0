// The numbers a NAV page shows and the "B" key sends, from the simulator's
// raw values.
#include <cmath>
#include <cstdint>

#include "core/bridge_state.h"
#include "panels/nav/nav_rules.h"

int32_t nav_round(double value) { return whole_int32(value > 0 ? value + 0.5 : value - 0.5); }

bool nav_radial_known(double radial) { return std::isfinite(radial); }

int32_t nav_course_to_station(double radial) {
    int32_t r = nav_round(radial);
    return r < 180 ? r + 180 : r - 180;
}

int32_t nav_radial_from_station(double radial) {
    int32_t r = nav_round(radial);
    if (r == 360) r = 0;
    if (r < 0) r += 360;
    return r;
}

int32_t nav_obs_value(double obs) {
    int32_t v = whole_int32(obs);
    return v == 360 ? 0 : v;
}

int32_t nav_cdi_value(int32_t cdi) {
    // The needle's integer goes through single precision first, as the
    // bar's scale was worked out.
    double c = static_cast<double>(static_cast<float>(cdi)) * 15.0 / 127.0;
    return whole_int32(cdi > 0 ? c + 0.5 : c - 0.5);
}

bool nav_dme_shows_tenths(double nautical_miles) { return nautical_miles < static_cast<double>(99.9f); }
