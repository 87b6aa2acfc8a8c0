// The registration tables of all nine programs: every simulation variable
// with its offset in each layout column, and every client event with its id
// in each event column. A program's own view (definition order, mapping
// order) is derived from its columns and its profile once, on first use.
#include <cstring>

#include "core/session_setup.h"
#include "simclient/sim_types.h"

namespace {

constexpr uint32_t STR256 = SIMCONNECT_DATATYPE_STRING256;
constexpr uint32_t F64 = SIMCONNECT_DATATYPE_FLOAT64;
constexpr uint32_t I32 = SIMCONNECT_DATATYPE_INT32;

struct DatumRow {
    const char* name;
    const char* units;
    uint32_t type;
    int16_t offset[LAYOUT_COLUMN_COUNT];  // -1: the layout does not declare it
};

// Columns: HUB1, NAVCOM1/NAVCOM2/NAV1/NAV2, ADF, XPDR, COMM2, COMM1. The same
// variable may stand twice with different units; both are delivered.
const DatumRow kDatums[] = {
    {"Title", nullptr, STR256, {  0,   0,   0,   0,   0,   0}},
    {"ABSOLUTE TIME", "seconds", F64, {256, 256, 256, 256, 256, 256}},
    {"Kohlsman setting hg", "inHg", F64, {264, 264, 264, 264,  -1,  -1}},
    {"Kohlsman setting mb", "millibars", F64, {272, 272, 272, 272,  -1,  -1}},
    {"Plane Altitude", "feet", F64, {280, 280, 280, 280,  -1,  -1}},
    {"INDICATED ALTITUDE", "feet", F64, {288, 288, 288, 288,  -1,  -1}},
    {"PRESSURE ALTITUDE", "feet", F64, {296, 296, 296, 296,  -1,  -1}},
    {"PLANE HEADING DEGREES GYRO", "degrees", F64, {304, 304, 304, 304,  -1,  -1}},
    {"NAV OBS:1", "degrees", F64, {312, 312, 312, 312,  -1,  -1}},
    {"NAV OBS:2", "degrees", F64, {320, 320, 320, 320,  -1,  -1}},
    {"ADF CARD", "degrees", F64, {328, 328, 328, 328,  -1,  -1}},
    {"NAV RADIAL:1", "degrees", F64, {336, 336, 336, 336,  -1,  -1}},
    {"NAV RADIAL:2", "degrees", F64, {344, 344, 344, 344,  -1,  -1}},
    {"ADF RADIAL:1", "degrees", F64, {352, 352, 352, 352,  -1,  -1}},
    {"NAV TOFROM:1", "Enum", I32, {360, 360, 360, 360,  -1,  -1}},
    {"NAV TOFROM:2", "Enum", I32, {364, 364, 364, 364,  -1,  -1}},
    {"NAV CODES:1", "Flags", I32, {368, 368, 368, 368,  -1,  -1}},
    {"NAV CODES:2", "Flags", I32, {372, 372, 372, 372,  -1,  -1}},
    {"NAV HAS LOCALIZER:1", "boolean", I32, {376, 376, 376, 376,  -1,  -1}},
    {"NAV HAS LOCALIZER:2", "boolean", I32, {380, 380, 380, 380,  -1,  -1}},
    {"NAV SIGNAL:1", "number", I32, {384, 384, 384, 384,  -1,  -1}},
    {"NAV SIGNAL:2", "number", I32, {388, 388, 388, 388,  -1,  -1}},
    {"NAV CDI:1", "number", I32, {392, 392, 392, 392,  -1,  -1}},
    {"NAV CDI:2", "number", I32, {396, 396, 396, 396,  -1,  -1}},
    {"ADF SIGNAL:1", "number", I32, {400, 400, 400, 400,  -1,  -1}},
    {"ADF AVAILABLE", "boolean", I32, {404, 404, 404, 404,  -1,  -1}},
    {"SELECTED DME", "number", F64, {408, 408, 408, 408,  -1,  -1}},
    {"NAV DME:1", "nautical miles", F64, {416, 416, 416, 416,  -1,  -1}},
    {"NAV DMESPEED:1", "knots", F64, {424, 424, 424, 424,  -1,  -1}},
    {"NAV DME:2", "nautical miles", F64, {432, 432, 432, 432,  -1,  -1}},
    {"NAV DMESPEED:2", "knots", F64, {440, 440, 440, 440,  -1,  -1}},
    {"COM ACTIVE FREQUENCY:1", "MHz", F64, {448, 448, 448,  -1,  -1, 304}},
    {"COM ACTIVE FREQUENCY:2", "MHz", F64, {456, 456, 456,  -1, 304,  -1}},
    {"COM STANDBY FREQUENCY:1", "MHz", F64, {464, 464, 464,  -1,  -1, 312}},
    {"COM STANDBY FREQUENCY:2", "MHz", F64, {472, 472, 472,  -1, 312,  -1}},
    {"NAV ACTIVE FREQUENCY:1", "MHz", F64, {480, 480, 480,  -1,  -1,  -1}},
    {"NAV ACTIVE FREQUENCY:2", "MHz", F64, {488, 488, 488,  -1,  -1,  -1}},
    {"NAV STANDBY FREQUENCY:1", "MHz", F64, {496, 496, 496,  -1,  -1,  -1}},
    {"NAV STANDBY FREQUENCY:2", "MHz", F64, {504, 504, 504,  -1,  -1,  -1}},
    {"ADF ACTIVE FREQUENCY:1", "KHz", F64, {512, 512, 512,  -1,  -1,  -1}},
    {"ADF STANDBY FREQUENCY:1", "KHz", F64, {520, 520, 520,  -1,  -1,  -1}},
    {"COM ACTIVE FREQUENCY:1", "Frequency BCD16", I32, {528, 528, 528, 448,  -1, 264}},
    {"COM ACTIVE FREQUENCY:2", "Frequency BCD16", I32, {532, 532, 532, 452, 264,  -1}},
    {"COM STANDBY FREQUENCY:1", "Frequency BCD16", I32, {536, 536, 536, 456,  -1, 268}},
    {"COM STANDBY FREQUENCY:2", "Frequency BCD16", I32, {540, 540, 540, 460, 268,  -1}},
    {"NAV ACTIVE FREQUENCY:1", "Frequency BCD16", I32, {544, 544, 544, 464,  -1,  -1}},
    {"NAV ACTIVE FREQUENCY:2", "Frequency BCD16", I32, {548, 548, 548, 468,  -1,  -1}},
    {"NAV STANDBY FREQUENCY:1", "Frequency BCD16", I32, {552, 552, 552, 472,  -1,  -1}},
    {"NAV STANDBY FREQUENCY:2", "Frequency BCD16", I32, {556, 556, 556, 476,  -1,  -1}},
    {"ADF ACTIVE FREQUENCY:1", "Frequency ADF BCD32", I32, {560, 560, 560, 480,  -1,  -1}},
    {"ADF STANDBY FREQUENCY:1", "Frequency ADF BCD32", I32, {564,  -1, 564, 484,  -1,  -1}},
    {"ADF ACTIVE FREQUENCY:2", "Frequency ADF BCD32", I32, { -1, 564,  -1,  -1,  -1,  -1}},
    {"ELECTRICAL MASTER BATTERY", "boolean", I32, {568, 568, 568, 488, 272, 272}},
    {"AVIONICS MASTER SWITCH", "boolean", I32, {572, 572, 572, 492, 276, 276}},
    {"CIRCUIT GENERAL PANEL ON", "boolean", I32, {576, 576, 576, 496, 280, 280}},
    {"DME SOUND", "boolean", I32, {580, 580, 580, 500,  -1,  -1}},
    {"COM TRANSMIT:1", "boolean", I32, {584, 584, 584, 504, 284, 284}},
    {"COM TRANSMIT:2", "boolean", I32, {588, 588, 588, 508, 288, 288}},
    {"COM RECIEVE ALL", "boolean", I32, {592, 592, 592, 512, 292, 292}},
    {"NAV SOUND:1", "boolean", I32, {596, 596, 596, 516,  -1,  -1}},
    {"NAV SOUND:2", "boolean", I32, {600, 600, 600, 520,  -1,  -1}},
    {"ADF SOUND:1", "boolean", I32, {604, 604, 604, 524,  -1,  -1}},
    {"MARKER SOUND", "boolean", I32, {608, 608, 608, 528, 296, 296}},
    {"TRANSPONDER CODE:1", "BCO16", I32, {612, 612, 612, 532,  -1,  -1}},
    {"PARTIAL PANEL COMM:1", "Enum", I32, {616, 616, 616, 536,  -1, 300}},
    {"PARTIAL PANEL COMM:2", "Enum", I32, {620, 620, 620, 540, 300,  -1}},
    {"PARTIAL PANEL NAV:1", "Enum", I32, {624, 624, 624, 544,  -1,  -1}},
    {"PARTIAL PANEL NAV:2", "Enum", I32, {628, 628, 628, 548,  -1,  -1}},
    {"PARTIAL PANEL ADF:1", "Enum", I32, {632, 632, 632, 552,  -1,  -1}},
    {"PARTIAL PANEL TRANSPONDER:1", "Enum", I32, {636, 636, 636, 556,  -1,  -1}},
    {"MARKER BEACON STATE", "Enum", I32, {640, 640, 640, 560,  -1,  -1}},
    {"TRANSPONDER IDENT:1", "boolean", I32, {644,  -1,  -1, 564,  -1,  -1}},
    {"TRANSPONDER STATE:1", "Enum", I32, {648,  -1,  -1, 568,  -1,  -1}},
};

constexpr int kDatumRowCount = sizeof(kDatums) / sizeof(kDatums[0]);

const uint32_t kBlockSize[LAYOUT_COLUMN_COUNT] = {652, 644, 644, 572, 320, 320};

struct EventRow {
    const char* name;
    int8_t id[EVENT_COLUMN_COUNT];  // -1: the column does not map it
    // A DME ident ENABLE event, whose DISABLE partner has the id one lower;
    // some programs map it first (ProgramProfile::dme_enable_first).
    bool dme_enable;
};

// Columns: HUB1/XPDR, NAVCOM1/NAVCOM2/NAV2, ADF, NAV1, COMM1/COMM2.
const EventRow kEvents[] = {
    {"TOGGLE_MASTER_BATTERY", { 1,  1,  1,  1,  1}, false},
    {"AVIONICS_MASTER_SET", { 2,  2,  2,  2,  2}, false},
    {"VOR1_OBI_INC", { 3,  3,  3,  3,  3}, false},
    {"VOR1_OBI_DEC", { 4,  4,  4,  4,  4}, false},
    {"VOR1_SET", { 5,  5,  5,  5,  5}, false},
    {"VOR2_OBI_INC", { 6,  6,  6,  6,  6}, false},
    {"VOR2_OBI_DEC", { 7,  7,  7,  7,  7}, false},
    {"VOR2_SET", { 8,  8,  8,  8,  8}, false},
    {"KOHLSMAN_SET", { 9,  9,  9,  9,  9}, false},
    {"BAROMETRIC", {10, 10, 10, 10, 10}, false},
    {"HEADING_BUG_INC", {11, 11, 11, 11, 11}, false},
    {"HEADING_BUG_DEC", {12, 12, 12, 12, 12}, false},
    {"RADIO_DME1_IDENT_ENABLE", {14, 14, 14, -1, 14}, true},
    {"RADIO_DME1_IDENT_DISABLE", {13, 13, 13, -1, 13}, false},
    {"RADIO_DME1_IDENT_TOGGLE", {15, 15, -1, 13, -1}, false},
    {"RADIO_DME2_IDENT_ENABLE", {17, 17, 16, -1, 16}, true},
    {"RADIO_DME2_IDENT_DISABLE", {16, 16, 15, -1, 15}, false},
    {"RADIO_DME2_IDENT_TOGGLE", {18, 18, -1, 14, -1}, false},
    {"TOGGLE_DME", {19, 19, 17, 15, 17}, false},
    {"TOGGLE_DME1", {20, 20, -1, 16, -1}, false},
    {"TOGGLE_DME2", {21, 21, -1, 17, -1}, false},
    {"COM_RECEIVE_ALL_TOGGLE", {22, 22, 18, 18, 18}, false},
    {"COM_RADIO_FRACT_DEC", {23, 23, 19, 19, 19}, false},
    {"COM_RADIO_FRACT_INC", {24, 24, 20, 20, 20}, false},
    {"COM_RADIO_WHOLE_DEC", {25, 25, 21, 21, 21}, false},
    {"COM_RADIO_WHOLE_INC", {26, 26, 22, 22, 22}, false},
    {"COM_STBY_RADIO_SWAP", {27, 27, 23, 23, 23}, false},
    {"COM1_TRANSMIT_SELECT", {28, 28, 24, 24, 24}, false},
    {"COM2_RADIO_FRACT_DEC", {29, 29, 25, 25, 25}, false},
    {"COM2_RADIO_FRACT_INC", {30, 30, 26, 26, 26}, false},
    {"COM2_RADIO_WHOLE_DEC", {31, 31, 27, 27, 27}, false},
    {"COM2_RADIO_WHOLE_INC", {32, 32, 28, 28, 28}, false},
    {"COM2_RADIO_SWAP", {33, 33, 29, 29, 29}, false},
    {"COM2_TRANSMIT_SELECT", {34, 34, 30, 30, 30}, false},
    {"NAV1_RADIO_FRACT_DEC", {35, 35, 31, 31, 31}, false},
    {"NAV1_RADIO_FRACT_INC", {36, 36, 32, 32, 32}, false},
    {"NAV1_RADIO_WHOLE_DEC", {37, 37, 33, 33, 33}, false},
    {"NAV1_RADIO_WHOLE_INC", {38, 38, 34, 34, 34}, false},
    {"NAV1_RADIO_SWAP", {39, 39, 35, 35, 35}, false},
    {"NAV1_RADIO_SET", {40, 40, 36, 36, 36}, false},
    {"RADIO_VOR1_IDENT_TOGGLE", {41, 41, 37, 37, 37}, false},
    {"NAV2_RADIO_FRACT_DEC", {42, 42, 38, 38, 38}, false},
    {"NAV2_RADIO_FRACT_INC", {43, 43, 39, 39, 39}, false},
    {"NAV2_RADIO_WHOLE_DEC", {44, 44, 40, 40, 40}, false},
    {"NAV2_RADIO_WHOLE_INC", {45, 45, 41, 41, 41}, false},
    {"NAV2_RADIO_SWAP", {46, 46, 42, 42, 42}, false},
    {"NAV2_RADIO_SET", {47, 47, 43, 43, 43}, false},
    {"RADIO_VOR2_IDENT_TOGGLE", {48, 48, 44, 44, 44}, false},
    {"ADF_COMPLETE_SET", {49, 49, 45, 45, 45}, false},
    {"ADF_SET", {50, 50, 46, 46, -1}, false},
    {"ADF_100_DEC", {51, 51, 47, 47, 46}, false},
    {"ADF_10_DEC", {52, 52, 48, 48, 47}, false},
    {"ADF_1_DEC", {53, 53, 49, 49, 48}, false},
    {"ADF1_RADIO_TENTHS_DEC", {54, 54, 50, 50, 49}, false},
    {"ADF_100_INC", {55, 55, 51, 51, 50}, false},
    {"ADF_10_INC", {56, 56, 52, 52, 51}, false},
    {"ADF_1_INC", {57, 57, 53, 53, 52}, false},
    {"ADF1_RADIO_TENTHS_INC", {58, 58, 54, 54, 53}, false},
    {"ADF1_RADIO_SWAP", {59, 59, 55, 55, -1}, false},
    {"ADF_CARD_INC", {60, 60, 56, 56, 54}, false},
    {"ADF_CARD_DEC", {61, 61, 57, 57, 55}, false},
    {"ADF_CARD_SET", {62, 62, 58, 58, 56}, false},
    {"RADIO_ADF_IDENT_TOGGLE", {63, 63, 59, 59, 66}, false},
    {"XPNDR_1000_DEC", {64, 64, 60, 60, 67}, false},
    {"XPNDR_100_DEC", {65, 65, 61, 61, 68}, false},
    {"XPNDR_10_DEC", {66, 66, 62, 62, 69}, false},
    {"XPNDR_1_DEC", {67, 67, 63, 63, 70}, false},
    {"XPNDR_1000_INC", {68, 68, 64, 64, 71}, false},
    {"XPNDR_100_INC", {69, 69, 65, 65, 72}, false},
    {"XPNDR_10_INC", {70, 70, 66, 66, 73}, false},
    {"XPNDR_1_INC", {71, 71, 67, 67, 74}, false},
    {"XPNDR_SET", {72, 72, 68, 68, 75}, false},
    {"MARKER_SOUND_TOGGLE", {73, 73, 69, 69, 76}, false},
    {"XPNDR_IDENT_ON", {74, -1, -1, -1, -1}, false},
    {"XPNDR_IDENT_OFF", {75, -1, -1, -1, -1}, false},
    {"XPNDR_IDENT_TOGGLE", {76, -1, -1, -1, -1}, false},
    {"ADF2_COMPLETE_SET", {-1, -1, -1, -1, 57}, false},
    {"ADF2_100_DEC", {-1, -1, -1, -1, 58}, false},
    {"ADF2_10_DEC", {-1, -1, -1, -1, 59}, false},
    {"ADF2_1_DEC", {-1, -1, -1, -1, 60}, false},
    {"ADF2_RADIO_TENTHS_DEC", {-1, -1, -1, -1, 61}, false},
    {"ADF2_100_INC", {-1, -1, -1, -1, 62}, false},
    {"ADF2_10_INC", {-1, -1, -1, -1, 63}, false},
    {"ADF2_1_INC", {-1, -1, -1, -1, 64}, false},
    {"ADF2_RADIO_TENTHS_INC", {-1, -1, -1, -1, 65}, false},
};

constexpr int kEventRowCount = sizeof(kEvents) / sizeof(kEvents[0]);

// Each layout's datums in ascending offset, which is its definition order.
struct LayoutViews {
    DataDatum datums[LAYOUT_COLUMN_COUNT][kDatumRowCount];
    int count[LAYOUT_COLUMN_COUNT];
};

LayoutViews build_layout_views() {
    LayoutViews v = {};
    for (int col = 0; col < LAYOUT_COLUMN_COUNT; ++col) {
        DataDatum* list = v.datums[col];
        int n = 0;
        for (const DatumRow& row : kDatums) {
            if (row.offset[col] < 0) continue;
            DataDatum d{row.name, row.units, row.type, static_cast<uint32_t>(row.offset[col])};
            int i = n++;
            while (i > 0 && list[i - 1].offset > d.offset) {
                list[i] = list[i - 1];
                --i;
            }
            list[i] = d;
        }
        v.count[col] = n;
    }
    return v;
}

const LayoutViews& layout_views() {
    static const LayoutViews views = build_layout_views();
    return views;
}

// Each column's events in both mapping orders: [0] ascending id, [1] the
// same with each DME ident ENABLE event moved right before its DISABLE
// partner.
struct EventViews {
    ClientEvent events[EVENT_COLUMN_COUNT][2][kEventRowCount];
    int count[EVENT_COLUMN_COUNT];
};

EventViews build_event_views() {
    EventViews v = {};
    for (int col = 0; col < EVENT_COLUMN_COUNT; ++col) {
        ClientEvent* list = v.events[col][0];
        bool early[kEventRowCount] = {};
        int n = 0;
        for (const EventRow& row : kEvents) {
            if (row.id[col] < 0) continue;
            ClientEvent e{row.name, static_cast<uint32_t>(row.id[col])};
            int i = n++;
            while (i > 0 && list[i - 1].id > e.id) {
                list[i] = list[i - 1];
                early[i] = early[i - 1];
                --i;
            }
            list[i] = e;
            early[i] = row.dme_enable;
        }
        ClientEvent* enable_first = v.events[col][1];
        for (int i = 0; i < n; ++i) enable_first[i] = list[i];
        for (int i = 1; i < n; ++i) {
            if (early[i] && enable_first[i - 1].id + 1 == enable_first[i].id) {
                ClientEvent t = enable_first[i - 1];
                enable_first[i - 1] = enable_first[i];
                enable_first[i] = t;
            }
        }
        v.count[col] = n;
    }
    return v;
}

const EventViews& event_views() {
    static const EventViews views = build_event_views();
    return views;
}

bool same_text(const char* a, const char* b) {
    if (!a || !b) return a == b;
    return std::strcmp(a, b) == 0;
}

}  // namespace

int layout_datums(LayoutColumn layout, const DataDatum** out, int max) {
    if (layout >= LAYOUT_COLUMN_COUNT) return 0;
    const LayoutViews& v = layout_views();
    int n = v.count[layout];
    if (!out) return n;
    if (n > max) n = max < 0 ? 0 : max;
    for (int i = 0; i < n; ++i) out[i] = &v.datums[layout][i];
    return n;
}

uint32_t layout_block_size(LayoutColumn layout) {
    if (layout >= LAYOUT_COLUMN_COUNT) return 0;
    return kBlockSize[layout];
}

int32_t layout_offset(LayoutColumn layout, const char* name, const char* units) {
    if (layout >= LAYOUT_COLUMN_COUNT || !name) return -1;
    for (int i = 0; i < kDatumRowCount; ++i) {
        const DatumRow& row = kDatums[i];
        if (row.offset[layout] >= 0 && same_text(row.name, name) &&
            (same_text(row.units, units) || (!row.units && units && !*units)))
            return row.offset[layout];
    }
    return -1;
}

int mapped_events(const ProgramProfile* program, const ClientEvent** out, int max) {
    if (!program || program->events >= EVENT_COLUMN_COUNT) return 0;
    const EventViews& v = event_views();
    EventColumn column = program->events;
    int n = v.count[column];
    if (!out) return n;
    if (n > max) n = max < 0 ? 0 : max;
    const ClientEvent* list = v.events[column][program->dme_enable_first ? 1 : 0];
    for (int i = 0; i < n; ++i) out[i] = &list[i];
    return n;
}

int32_t event_id(EventColumn column, const char* name) {
    if (column >= EVENT_COLUMN_COUNT || !name) return -1;
    for (const EventRow& row : kEvents)
        if (std::strcmp(row.name, name) == 0) return row.id[column];
    return -1;
}

