// The codes of the two ADF panel versions: one encoder that sends "R-"/"R+",
// or two that send "R1-" ... "R2+" with the second one turning the card fast.
#include "panels/adf/adf_panel.h"

namespace {

const AdfPanelVersion kVersions[2] = {
    {{{"R-", -1, 0}, {"R+", 1, 0}}, 2, true},
    {{{"R1-", -1, 1}, {"R1+", 1, 1}, {"R2-", -1, 5}, {"R2+", 1, 5}}, 4, false},
};

}  // namespace

const AdfPanelVersion* adf_panel_version(int encoder_version) {
    if (encoder_version != 1 && encoder_version != 2) return nullptr;
    return &kVersions[encoder_version - 1];
}
