// The nine programs' differences, as one table.
#include "core/program_profile.h"

#include <cstring>

namespace {

const char kNotFoundWithBreak[] = "\nConfiguration file %s not found! Default values are used!\n\n";
const char kNotFoundPlain[] = "Configuration file %s not found! Default values are used!\n\n";
const char kNoIndexHeading[] = "\nNo or false interface index found in configuration file!\n";
const char kDefineIndexHeading[] = "\nYou have to define an interface index in the configuration file!\n";
const char kFalsePanel[] = "False Panel detected %s\n";
const char kFalsePanelLower[] = "false Panel detected %s\n";

#define COMMON_KEYS KEY_IDLE_MS, KEY_PERIOD_VISUAL_OR_SIM, KEY_KEEP_FRAME_RATE, KEY_VRAN_PORT, KEY_RECV_PORT

const ProgramProfile kProfiles[PROGRAM_COUNT] = {
    {PROGRAM_HUB1, "HUB1-Relay", "1.2.1.0", "\nNAV1-Client Connected to Flight Simulator!\n",
     "HUB1", "NAV1", 4782,
     {COMMON_KEYS, KEY_TESTMODE, KEY_ADF_STBY, KEY_FL_MODE, KEY_XPDR_CODE, KEY_START_DISPLAY,
      KEY_INTERFACE_INDEX, KEY_ACCELERATION, KEY_END},
     kNotFoundWithBreak,
     {"VRAN-HUB1_1.0", nullptr}, {"Panel connected from %s\n", nullptr}, kFalsePanel, kNoIndexHeading,
     50, "HUB1-Panel offline\n", LAYOUT_HUB1, EVENTS_HUB1_XPDR, true, true},
    {PROGRAM_NAVCOM1, "NAVCOM1-Relay", "2.0.0.0", "\nNAVCOM11-Client Connected to Flight Simulator!\n",
     "NAVCOM1", "NAVCOM1", 4786, {COMMON_KEYS, KEY_TESTMODE, KEY_INTERFACE_INDEX, KEY_ACCELERATION, KEY_END},
     kNotFoundWithBreak,
     {"NAVCOM1_1.0", "NAVCOM1_2.0"},
     {"NAVCOM1 Simple Encoder connected from %s\n", "NAVCOM1 Dual Encoder connected from %s\n"},
     kFalsePanel, kNoIndexHeading, 50, "NAVCOM1 Panel offline\n", LAYOUT_NAVCOM_NAV, EVENTS_NAVCOM_NAV2,
     false, true},
    {PROGRAM_NAVCOM2, "NAVCOM2-Relay", "2.0.0.0", "\nNAVCOM2-Client Connected to Flight Simulator!\n",
     "NAVCOM2", "NAVCOM2", 4788, {COMMON_KEYS, KEY_TESTMODE, KEY_INTERFACE_INDEX, KEY_ACCELERATION, KEY_END},
     kNotFoundWithBreak,
     {"NAVCOM2_1.0", "NAVCOM2_2.0"},
     {"NAVCOM2 Simple Encoder connected from %s\n", "NAVCOM2 Dual Encoder connected from %s\n"},
     kFalsePanel, kNoIndexHeading, 50, "NAVCOM2 Panel offline\n", LAYOUT_NAVCOM_NAV, EVENTS_NAVCOM_NAV2,
     false, true},
    {PROGRAM_ADF, "ADF-Relay", "1.1.2.0", "\nADF-Client Connected to Flight Simulator!\n",
     "ADF", "ADF", 4778,
     {COMMON_KEYS, KEY_INTERFACE_INDEX, KEY_TESTMODE, KEY_STANDBY, KEY_ACCELERATION, KEY_END},
     kNotFoundPlain,
     {"VRAN-ADF_1.0", "VRAN-ADF_2.0"},
     {"ADF Panel connected from %s\n", "ADF Dual Encoder connected from %s\n"},
     kFalsePanelLower, kDefineIndexHeading, 50, "ADF-Panel offline\n", LAYOUT_ADF, EVENTS_ADF, false, true},
    {PROGRAM_NAV1, "NAV1-Relay", "2.0.0.1", "\nNAV1-Client Connected to Flight Simulator!\n",
     "NAV1", "NAV1", 4772, {COMMON_KEYS, KEY_TESTMODE, KEY_INTERFACE_INDEX, KEY_ACCELERATION, KEY_END},
     kNotFoundWithBreak,
     {"VRAN-NAV1_1.0", "VRAN-NAV1_2.0"},
     {"Panel Version1 connected from %s\n", "Panel Version2 connected from %s\n"},
     kFalsePanel, kNoIndexHeading, 50, "NAV1-Panel offline\n", LAYOUT_NAVCOM_NAV, EVENTS_NAV1, false, false},
    {PROGRAM_NAV2, "NAV2-Relay", "2.0.0.0", "\nNAV2-Client Connected to Flight Simulator!\n",
     "NAV2", "NAV2", 4776, {COMMON_KEYS, KEY_TESTMODE, KEY_INTERFACE_INDEX, KEY_ACCELERATION, KEY_END},
     kNotFoundWithBreak,
     {"VRAN-NAV2_1.0", "VRAN-NAV2_2.0"},
     {"NAV2 Panel connected from %s\n", "NAV2 Dual Encoder connected from %s\n"},
     kFalsePanel, kNoIndexHeading, 50, "NAV2 Panel offline\n", LAYOUT_NAVCOM_NAV, EVENTS_NAVCOM_NAV2, false, true},
    {PROGRAM_XPDR, "XPDR-Relay", "2.0.1.0", "\nXPDR-Client Connected to Flight Simulator!\n",
     "XPDR", "XPDR", 4780,
     {COMMON_KEYS, KEY_TESTMODE, KEY_FL_MODE, KEY_XPDR_CODE, KEY_INTERFACE_INDEX, KEY_END},
     kNotFoundPlain,
     {"VRAN-XPDR_1.0", "VRAN-XPDR_2.0"},
     {"XPDR Panel connected from %s\n", "XPDR Dual Encoder connected from %s\n"},
     kFalsePanelLower, kDefineIndexHeading, 50, "XPDR-Panel offline\n", LAYOUT_XPDR, EVENTS_HUB1_XPDR, true, false},
    {PROGRAM_COMM2, "COMM2-Relay", "2.0.0.0", "\nCOM2-Client Connected to Flight Simulator!\n",
     "COM2", "COM2", 4774, {COMMON_KEYS, KEY_TESTMODE, KEY_INTERFACE_INDEX, KEY_ACCELERATION, KEY_END},
     kNotFoundPlain,
     {"VRAN-COM2_1.0", "VRAN-COM2_2.0"},
     {"COM2 Panel connected from %s\n", "COM2 Dual Encoder connected from %s\n"},
     kFalsePanelLower, kDefineIndexHeading, 50, "COM2 Panel offline\n", LAYOUT_COMM2, EVENTS_COMM, false, true},
    {PROGRAM_COMM1, "COMM1-Relay", "2.0.0.0", "\nCOM1-Client Connected to Flight Simulator!\n",
     "COM1", "COM1", 4770, {COMMON_KEYS, KEY_TESTMODE, KEY_INTERFACE_INDEX, KEY_ACCELERATION, KEY_END},
     kNotFoundPlain,
     {"VRAN-COM1_1.0", "VRAN-COM1_2.0"},
     {"Panel connected from %s\n", "COM1 Dual Encoder connected from %s\n"},
     kFalsePanelLower, kDefineIndexHeading, 20, "COM1 Panel offline\n", LAYOUT_COMM1, EVENTS_COMM, false, true},
};

}  // namespace

const ProgramProfile* program_profile(ProgramId id) {
    if (id >= PROGRAM_COUNT) return nullptr;
    return &kProfiles[id];
}

int program_identity_variant(const ProgramProfile* program, const char* text) {
    if (std::strcmp(text, program->identity[0]) == 0) return 1;
    if (program->identity[1] && std::strcmp(text, program->identity[1]) == 0) return 2;
    return 0;
}
