// The whole registration of each of the nine programs, call by call, held
// against the reference tables below: the panel-data definition with units
// and types, the transponder-state definition, the "SimStart" subscription,
// every event mapping with its id and name, and the group calls. The tables
// are kept here as text, row for row as the programs' documentation gives
// them, so this test does not lean on the tables the programs are built
// from.
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/bridge_state.h"
#include "core/session_setup.h"
#include "core/tests/fake_simconnect.h"

namespace {

// Variable | units | type | offset in HUB1, NAVCOM1/NAVCOM2/NAV1/NAV2, ADF,
// XPDR, COMM2, COMM1 ("-": not declared). The last row is the block size.
const char kDatumTable[] = R"rows(
| "Title" | none (empty string) | STRING256 | 0 | 0 | 0 | 0 | 0 | 0 |
| "ABSOLUTE TIME" | "seconds" | FLOAT64 | 256 | 256 | 256 | 256 | 256 | 256 |
| "Kohlsman setting hg" | "inHg" | FLOAT64 | 264 | 264 | 264 | 264 | - | - |
| "Kohlsman setting mb" | "millibars" | FLOAT64 | 272 | 272 | 272 | 272 | - | - |
| "Plane Altitude" | "feet" | FLOAT64 | 280 | 280 | 280 | 280 | - | - |
| "INDICATED ALTITUDE" | "feet" | FLOAT64 | 288 | 288 | 288 | 288 | - | - |
| "PRESSURE ALTITUDE" | "feet" | FLOAT64 | 296 | 296 | 296 | 296 | - | - |
| "PLANE HEADING DEGREES GYRO" | "degrees" | FLOAT64 | 304 | 304 | 304 | 304 | - | - |
| "NAV OBS:1" | "degrees" | FLOAT64 | 312 | 312 | 312 | 312 | - | - |
| "NAV OBS:2" | "degrees" | FLOAT64 | 320 | 320 | 320 | 320 | - | - |
| "ADF CARD" | "degrees" | FLOAT64 | 328 | 328 | 328 | 328 | - | - |
| "NAV RADIAL:1" | "degrees" | FLOAT64 | 336 | 336 | 336 | 336 | - | - |
| "NAV RADIAL:2" | "degrees" | FLOAT64 | 344 | 344 | 344 | 344 | - | - |
| "ADF RADIAL:1" | "degrees" | FLOAT64 | 352 | 352 | 352 | 352 | - | - |
| "NAV TOFROM:1" | "Enum" | INT32 | 360 | 360 | 360 | 360 | - | - |
| "NAV TOFROM:2" | "Enum" | INT32 | 364 | 364 | 364 | 364 | - | - |
| "NAV CODES:1" | "Flags" | INT32 | 368 | 368 | 368 | 368 | - | - |
| "NAV CODES:2" | "Flags" | INT32 | 372 | 372 | 372 | 372 | - | - |
| "NAV HAS LOCALIZER:1" | "boolean" | INT32 | 376 | 376 | 376 | 376 | - | - |
| "NAV HAS LOCALIZER:2" | "boolean" | INT32 | 380 | 380 | 380 | 380 | - | - |
| "NAV SIGNAL:1" | "number" | INT32 | 384 | 384 | 384 | 384 | - | - |
| "NAV SIGNAL:2" | "number" | INT32 | 388 | 388 | 388 | 388 | - | - |
| "NAV CDI:1" | "number" | INT32 | 392 | 392 | 392 | 392 | - | - |
| "NAV CDI:2" | "number" | INT32 | 396 | 396 | 396 | 396 | - | - |
| "ADF SIGNAL:1" | "number" | INT32 | 400 | 400 | 400 | 400 | - | - |
| "ADF AVAILABLE" | "boolean" | INT32 | 404 | 404 | 404 | 404 | - | - |
| "SELECTED DME" | "number" | FLOAT64 | 408 | 408 | 408 | 408 | - | - |
| "NAV DME:1" | "nautical miles" | FLOAT64 | 416 | 416 | 416 | 416 | - | - |
| "NAV DMESPEED:1" | "knots" | FLOAT64 | 424 | 424 | 424 | 424 | - | - |
| "NAV DME:2" | "nautical miles" | FLOAT64 | 432 | 432 | 432 | 432 | - | - |
| "NAV DMESPEED:2" | "knots" | FLOAT64 | 440 | 440 | 440 | 440 | - | - |
| "COM ACTIVE FREQUENCY:1" | "MHz" | FLOAT64 | 448 | 448 | 448 | - | - | 304 |
| "COM ACTIVE FREQUENCY:2" | "MHz" | FLOAT64 | 456 | 456 | 456 | - | 304 | - |
| "COM STANDBY FREQUENCY:1" | "MHz" | FLOAT64 | 464 | 464 | 464 | - | - | 312 |
| "COM STANDBY FREQUENCY:2" | "MHz" | FLOAT64 | 472 | 472 | 472 | - | 312 | - |
| "NAV ACTIVE FREQUENCY:1" | "MHz" | FLOAT64 | 480 | 480 | 480 | - | - | - |
| "NAV ACTIVE FREQUENCY:2" | "MHz" | FLOAT64 | 488 | 488 | 488 | - | - | - |
| "NAV STANDBY FREQUENCY:1" | "MHz" | FLOAT64 | 496 | 496 | 496 | - | - | - |
| "NAV STANDBY FREQUENCY:2" | "MHz" | FLOAT64 | 504 | 504 | 504 | - | - | - |
| "ADF ACTIVE FREQUENCY:1" | "KHz" | FLOAT64 | 512 | 512 | 512 | - | - | - |
| "ADF STANDBY FREQUENCY:1" | "KHz" | FLOAT64 | 520 | 520 | 520 | - | - | - |
| "COM ACTIVE FREQUENCY:1" | "Frequency BCD16" | INT32 | 528 | 528 | 528 | 448 | - | 264 |
| "COM ACTIVE FREQUENCY:2" | "Frequency BCD16" | INT32 | 532 | 532 | 532 | 452 | 264 | - |
| "COM STANDBY FREQUENCY:1" | "Frequency BCD16" | INT32 | 536 | 536 | 536 | 456 | - | 268 |
| "COM STANDBY FREQUENCY:2" | "Frequency BCD16" | INT32 | 540 | 540 | 540 | 460 | 268 | - |
| "NAV ACTIVE FREQUENCY:1" | "Frequency BCD16" | INT32 | 544 | 544 | 544 | 464 | - | - |
| "NAV ACTIVE FREQUENCY:2" | "Frequency BCD16" | INT32 | 548 | 548 | 548 | 468 | - | - |
| "NAV STANDBY FREQUENCY:1" | "Frequency BCD16" | INT32 | 552 | 552 | 552 | 472 | - | - |
| "NAV STANDBY FREQUENCY:2" | "Frequency BCD16" | INT32 | 556 | 556 | 556 | 476 | - | - |
| "ADF ACTIVE FREQUENCY:1" | "Frequency ADF BCD32" | INT32 | 560 | 560 | 560 | 480 | - | - |
| "ADF STANDBY FREQUENCY:1" | "Frequency ADF BCD32" | INT32 | 564 | - | 564 | 484 | - | - |
| "ADF ACTIVE FREQUENCY:2" | "Frequency ADF BCD32" | INT32 | - | 564 | - | - | - | - |
| "ELECTRICAL MASTER BATTERY" | "boolean" | INT32 | 568 | 568 | 568 | 488 | 272 | 272 |
| "AVIONICS MASTER SWITCH" | "boolean" | INT32 | 572 | 572 | 572 | 492 | 276 | 276 |
| "CIRCUIT GENERAL PANEL ON" | "boolean" | INT32 | 576 | 576 | 576 | 496 | 280 | 280 |
| "DME SOUND" | "boolean" | INT32 | 580 | 580 | 580 | 500 | - | - |
| "COM TRANSMIT:1" | "boolean" | INT32 | 584 | 584 | 584 | 504 | 284 | 284 |
| "COM TRANSMIT:2" | "boolean" | INT32 | 588 | 588 | 588 | 508 | 288 | 288 |
| "COM RECIEVE ALL" | "boolean" | INT32 | 592 | 592 | 592 | 512 | 292 | 292 |
| "NAV SOUND:1" | "boolean" | INT32 | 596 | 596 | 596 | 516 | - | - |
| "NAV SOUND:2" | "boolean" | INT32 | 600 | 600 | 600 | 520 | - | - |
| "ADF SOUND:1" | "boolean" | INT32 | 604 | 604 | 604 | 524 | - | - |
| "MARKER SOUND" | "boolean" | INT32 | 608 | 608 | 608 | 528 | 296 | 296 |
| "TRANSPONDER CODE:1" | "BCO16" | INT32 | 612 | 612 | 612 | 532 | - | - |
| "PARTIAL PANEL COMM:1" | "Enum" | INT32 | 616 | 616 | 616 | 536 | - | 300 |
| "PARTIAL PANEL COMM:2" | "Enum" | INT32 | 620 | 620 | 620 | 540 | 300 | - |
| "PARTIAL PANEL NAV:1" | "Enum" | INT32 | 624 | 624 | 624 | 544 | - | - |
| "PARTIAL PANEL NAV:2" | "Enum" | INT32 | 628 | 628 | 628 | 548 | - | - |
| "PARTIAL PANEL ADF:1" | "Enum" | INT32 | 632 | 632 | 632 | 552 | - | - |
| "PARTIAL PANEL TRANSPONDER:1" | "Enum" | INT32 | 636 | 636 | 636 | 556 | - | - |
| "MARKER BEACON STATE" | "Enum" | INT32 | 640 | 640 | 640 | 560 | - | - |
| "TRANSPONDER IDENT:1" | "boolean" | INT32 | 644 | - | - | 564 | - | - |
| "TRANSPONDER STATE:1" | "Enum" | INT32 | 648 | - | - | 568 | - | - |
| Block size (bytes) | | | 652 | 644 | 644 | 572 | 320 | 320 |
)rows";

// Event | id in HUB1/XPDR, NAVCOM1/NAVCOM2/NAV2, ADF, NAV1, COMM1/COMM2.
const char kEventTable[] = R"rows(
| "TOGGLE_MASTER_BATTERY" | 1 | 1 | 1 | 1 | 1 |
| "AVIONICS_MASTER_SET" | 2 | 2 | 2 | 2 | 2 |
| "VOR1_OBI_INC" | 3 | 3 | 3 | 3 | 3 |
| "VOR1_OBI_DEC" | 4 | 4 | 4 | 4 | 4 |
| "VOR1_SET" | 5 | 5 | 5 | 5 | 5 |
| "VOR2_OBI_INC" | 6 | 6 | 6 | 6 | 6 |
| "VOR2_OBI_DEC" | 7 | 7 | 7 | 7 | 7 |
| "VOR2_SET" | 8 | 8 | 8 | 8 | 8 |
| "KOHLSMAN_SET" | 9 | 9 | 9 | 9 | 9 |
| "BAROMETRIC" | 10 | 10 | 10 | 10 | 10 |
| "HEADING_BUG_INC" | 11 | 11 | 11 | 11 | 11 |
| "HEADING_BUG_DEC" | 12 | 12 | 12 | 12 | 12 |
| "RADIO_DME1_IDENT_ENABLE" | 14 | 14 | 14 | - | 14 |
| "RADIO_DME1_IDENT_DISABLE" | 13 | 13 | 13 | - | 13 |
| "RADIO_DME1_IDENT_TOGGLE" | 15 | 15 | - | 13 | - |
| "RADIO_DME2_IDENT_ENABLE" | 17 | 17 | 16 | - | 16 |
| "RADIO_DME2_IDENT_DISABLE" | 16 | 16 | 15 | - | 15 |
| "RADIO_DME2_IDENT_TOGGLE" | 18 | 18 | - | 14 | - |
| "TOGGLE_DME" | 19 | 19 | 17 | 15 | 17 |
| "TOGGLE_DME1" | 20 | 20 | - | 16 | - |
| "TOGGLE_DME2" | 21 | 21 | - | 17 | - |
| "COM_RECEIVE_ALL_TOGGLE" | 22 | 22 | 18 | 18 | 18 |
| "COM_RADIO_FRACT_DEC" | 23 | 23 | 19 | 19 | 19 |
| "COM_RADIO_FRACT_INC" | 24 | 24 | 20 | 20 | 20 |
| "COM_RADIO_WHOLE_DEC" | 25 | 25 | 21 | 21 | 21 |
| "COM_RADIO_WHOLE_INC" | 26 | 26 | 22 | 22 | 22 |
| "COM_STBY_RADIO_SWAP" | 27 | 27 | 23 | 23 | 23 |
| "COM1_TRANSMIT_SELECT" | 28 | 28 | 24 | 24 | 24 |
| "COM2_RADIO_FRACT_DEC" | 29 | 29 | 25 | 25 | 25 |
| "COM2_RADIO_FRACT_INC" | 30 | 30 | 26 | 26 | 26 |
| "COM2_RADIO_WHOLE_DEC" | 31 | 31 | 27 | 27 | 27 |
| "COM2_RADIO_WHOLE_INC" | 32 | 32 | 28 | 28 | 28 |
| "COM2_RADIO_SWAP" | 33 | 33 | 29 | 29 | 29 |
| "COM2_TRANSMIT_SELECT" | 34 | 34 | 30 | 30 | 30 |
| "NAV1_RADIO_FRACT_DEC" | 35 | 35 | 31 | 31 | 31 |
| "NAV1_RADIO_FRACT_INC" | 36 | 36 | 32 | 32 | 32 |
| "NAV1_RADIO_WHOLE_DEC" | 37 | 37 | 33 | 33 | 33 |
| "NAV1_RADIO_WHOLE_INC" | 38 | 38 | 34 | 34 | 34 |
| "NAV1_RADIO_SWAP" | 39 | 39 | 35 | 35 | 35 |
| "NAV1_RADIO_SET" | 40 | 40 | 36 | 36 | 36 |
| "RADIO_VOR1_IDENT_TOGGLE" | 41 | 41 | 37 | 37 | 37 |
| "NAV2_RADIO_FRACT_DEC" | 42 | 42 | 38 | 38 | 38 |
| "NAV2_RADIO_FRACT_INC" | 43 | 43 | 39 | 39 | 39 |
| "NAV2_RADIO_WHOLE_DEC" | 44 | 44 | 40 | 40 | 40 |
| "NAV2_RADIO_WHOLE_INC" | 45 | 45 | 41 | 41 | 41 |
| "NAV2_RADIO_SWAP" | 46 | 46 | 42 | 42 | 42 |
| "NAV2_RADIO_SET" | 47 | 47 | 43 | 43 | 43 |
| "RADIO_VOR2_IDENT_TOGGLE" | 48 | 48 | 44 | 44 | 44 |
| "ADF_COMPLETE_SET" | 49 | 49 | 45 | 45 | 45 |
| "ADF_SET" | 50 | 50 | 46 | 46 | - |
| "ADF_100_DEC" | 51 | 51 | 47 | 47 | 46 |
| "ADF_10_DEC" | 52 | 52 | 48 | 48 | 47 |
| "ADF_1_DEC" | 53 | 53 | 49 | 49 | 48 |
| "ADF1_RADIO_TENTHS_DEC" | 54 | 54 | 50 | 50 | 49 |
| "ADF_100_INC" | 55 | 55 | 51 | 51 | 50 |
| "ADF_10_INC" | 56 | 56 | 52 | 52 | 51 |
| "ADF_1_INC" | 57 | 57 | 53 | 53 | 52 |
| "ADF1_RADIO_TENTHS_INC" | 58 | 58 | 54 | 54 | 53 |
| "ADF1_RADIO_SWAP" | 59 | 59 | 55 | 55 | - |
| "ADF_CARD_INC" | 60 | 60 | 56 | 56 | 54 |
| "ADF_CARD_DEC" | 61 | 61 | 57 | 57 | 55 |
| "ADF_CARD_SET" | 62 | 62 | 58 | 58 | 56 |
| "RADIO_ADF_IDENT_TOGGLE" | 63 | 63 | 59 | 59 | 66 |
| "XPNDR_1000_DEC" | 64 | 64 | 60 | 60 | 67 |
| "XPNDR_100_DEC" | 65 | 65 | 61 | 61 | 68 |
| "XPNDR_10_DEC" | 66 | 66 | 62 | 62 | 69 |
| "XPNDR_1_DEC" | 67 | 67 | 63 | 63 | 70 |
| "XPNDR_1000_INC" | 68 | 68 | 64 | 64 | 71 |
| "XPNDR_100_INC" | 69 | 69 | 65 | 65 | 72 |
| "XPNDR_10_INC" | 70 | 70 | 66 | 66 | 73 |
| "XPNDR_1_INC" | 71 | 71 | 67 | 67 | 74 |
| "XPNDR_SET" | 72 | 72 | 68 | 68 | 75 |
| "MARKER_SOUND_TOGGLE" | 73 | 73 | 69 | 69 | 76 |
| "XPNDR_IDENT_ON" | 74 | - | - | - | - |
| "XPNDR_IDENT_OFF" | 75 | - | - | - | - |
| "XPNDR_IDENT_TOGGLE" | 76 | - | - | - | - |
| "ADF2_COMPLETE_SET" | - | - | - | - | 57 |
| "ADF2_100_DEC" | - | - | - | - | 58 |
| "ADF2_10_DEC" | - | - | - | - | 59 |
| "ADF2_1_DEC" | - | - | - | - | 60 |
| "ADF2_RADIO_TENTHS_DEC" | - | - | - | - | 61 |
| "ADF2_100_INC" | - | - | - | - | 62 |
| "ADF2_10_INC" | - | - | - | - | 63 |
| "ADF2_1_INC" | - | - | - | - | 64 |
| "ADF2_RADIO_TENTHS_INC" | - | - | - | - | 65 |
)rows";

enum DatumColumn { D_HUB1, D_NAVCOM_NAV, D_ADF, D_XPDR, D_COMM2, D_COMM1, DATUM_COLUMNS };
enum EventCol { E_HUB1_XPDR, E_NAVCOM_NAV2, E_ADF, E_NAV1, E_COMM, EVENT_COLUMNS };

struct RefProgram {
    ProgramId id;
    const char* name;
    DatumColumn datums;
    EventCol events;
    bool transponder_state;  // second definition, "TRANSPONDER STATE:1"
    // Maps "RADIO_DME1_IDENT_ENABLE" immediately before
    // "RADIO_DME1_IDENT_DISABLE" (one id lower), and the DME2 pair likewise.
    bool dme_enable_first;
};

const RefProgram kPrograms[] = {
    {PROGRAM_HUB1, "HUB1-Relay", D_HUB1, E_HUB1_XPDR, true, true},
    {PROGRAM_NAVCOM1, "NAVCOM1-Relay", D_NAVCOM_NAV, E_NAVCOM_NAV2, false, true},
    {PROGRAM_NAVCOM2, "NAVCOM2-Relay", D_NAVCOM_NAV, E_NAVCOM_NAV2, false, true},
    {PROGRAM_ADF, "ADF-Relay", D_ADF, E_ADF, false, true},
    {PROGRAM_NAV1, "NAV1-Relay", D_NAVCOM_NAV, E_NAV1, false, false},
    {PROGRAM_NAV2, "NAV2-Relay", D_NAVCOM_NAV, E_NAVCOM_NAV2, false, true},
    {PROGRAM_XPDR, "XPDR-Relay", D_XPDR, E_HUB1_XPDR, true, false},
    {PROGRAM_COMM2, "COMM2-Relay", D_COMM2, E_COMM, false, true},
    {PROGRAM_COMM1, "COMM1-Relay", D_COMM1, E_COMM, false, true},
};

// The cells of one "| a | b | ... |" row, trimmed, quotes removed.
std::vector<std::string> cells_of(const std::string& row) {
    std::vector<std::string> cells;
    std::stringstream in(row);
    std::string cell;
    std::getline(in, cell, '|');  // before the first bar
    while (std::getline(in, cell, '|')) {
        size_t b = cell.find_first_not_of(' ');
        size_t e = cell.find_last_not_of(' ');
        cell = b == std::string::npos ? std::string() : cell.substr(b, e - b + 1);
        if (cell.size() >= 2 && cell.front() == '"' && cell.back() == '"') cell = cell.substr(1, cell.size() - 2);
        cells.push_back(cell);
    }
    if (!cells.empty() && cells.back().empty()) cells.pop_back();  // after the last bar
    return cells;
}

std::vector<std::vector<std::string>> rows_of(const char* table) {
    std::vector<std::vector<std::string>> rows;
    std::stringstream in(table);
    std::string line;
    while (std::getline(in, line))
        if (!line.empty()) rows.push_back(cells_of(line));
    return rows;
}

uint32_t type_id(const std::string& type) {
    if (type == "STRING256") return 9;
    if (type == "FLOAT64") return 4;
    if (type == "INT32") return 1;
    ADD_FAILURE() << "unknown type " << type;
    return 0;
}

struct RefDatum {
    std::string name, units;
    uint32_t type;
    int offset;
};

// The datums a program declares, in its order: ascending offset.
std::vector<RefDatum> reference_datums(DatumColumn column, uint32_t* block_size) {
    std::vector<RefDatum> out;
    for (const std::vector<std::string>& row : rows_of(kDatumTable)) {
        EXPECT_EQ(row.size(), 3u + DATUM_COLUMNS) << row[0];
        if (row.size() != 3u + DATUM_COLUMNS) continue;
        const std::string& cell = row[3 + column];
        if (row[0] == "Block size (bytes)") {
            *block_size = static_cast<uint32_t>(std::atoi(cell.c_str()));
            continue;
        }
        if (cell == "-") continue;
        std::string units = row[1] == "none (empty string)" ? "" : row[1];
        out.push_back({row[0], units, type_id(row[2]), std::atoi(cell.c_str())});
    }
    std::stable_sort(out.begin(), out.end(), [](const RefDatum& a, const RefDatum& b) { return a.offset < b.offset; });
    return out;
}

struct RefEvent {
    std::string name;
    uint32_t id;
};

bool ends_with(const std::string& s, const char* tail) {
    size_t n = std::strlen(tail);
    return s.size() >= n && s.compare(s.size() - n, n, tail) == 0;
}

// The events a program maps, in its order: ascending id, and for the
// programs that do so each DME ident ENABLE moved up before its DISABLE.
std::vector<RefEvent> reference_events(const RefProgram& p) {
    std::vector<RefEvent> out;
    for (const std::vector<std::string>& row : rows_of(kEventTable)) {
        EXPECT_EQ(row.size(), 1u + EVENT_COLUMNS) << row[0];
        if (row.size() != 1u + EVENT_COLUMNS || row[1 + p.events] == "-") continue;
        out.push_back({row[0], static_cast<uint32_t>(std::atoi(row[1 + p.events].c_str()))});
    }
    std::sort(out.begin(), out.end(), [](const RefEvent& a, const RefEvent& b) { return a.id < b.id; });
    if (p.dme_enable_first) {
        for (size_t i = 0; i + 1 < out.size(); ++i) {
            const std::string& lower = out[i].name;
            if (ends_with(lower, "_DISABLE") && out[i + 1].name == lower.substr(0, lower.size() - 8) + "_ENABLE")
                std::swap(out[i], out[i + 1]);
        }
    }
    return out;
}

FakeCall call(const char* name, std::vector<uint32_t> args, std::string text = "", std::string units = "") {
    return FakeCall{name, std::move(args), std::move(text), std::move(units), {}};
}

// One line per call, so a mismatch shows where the sequences part.
std::vector<std::string> transcript(const std::vector<FakeCall>& calls) {
    std::vector<std::string> lines;
    for (const FakeCall& c : calls) {
        std::string line = c.call;
        for (uint32_t a : c.args) line += " " + std::to_string(a);
        if (!c.name.empty()) line += " \"" + c.name + "\"";
        if (c.call == "AddToDataDefinition") line += " \"" + c.units + "\"";
        lines.push_back(line);
    }
    return lines;
}

std::vector<FakeCall> expected_registration(const RefProgram& p) {
    const uint32_t unused = 0xFFFFFFFFu;
    std::vector<FakeCall> calls;
    uint32_t block_size = 0;
    for (const RefDatum& d : reference_datums(p.datums, &block_size))
        calls.push_back(call("AddToDataDefinition", {0, d.type, 0, unused}, d.name, d.units));
    EXPECT_EQ(layout_block_size(program_profile(p.id)->layout), block_size) << p.name;
    if (p.transponder_state)
        calls.push_back(call("AddToDataDefinition", {1, 1, 0, unused}, "TRANSPONDER STATE:1", "Enum"));
    calls.push_back(call("SubscribeToSystemEvent", {0}, "SimStart"));
    for (const RefEvent& e : reference_events(p)) calls.push_back(call("MapClientEventToSimEvent", {e.id}, e.name));
    calls.push_back(call("AddClientEventToNotificationGroup", {1, 3, 0}));
    calls.push_back(call("AddClientEventToNotificationGroup", {1, 4, 0}));
    calls.push_back(call("SetNotificationGroupPriority", {0, 1}));
    calls.push_back(call("SetNotificationGroupPriority", {1, 1}));
    return calls;
}

TEST(RegistrationSequence, EveryProgramRegistersExactlyTheReferenceCalls) {
    std::memset(&g_bridge, 0, sizeof g_bridge);
    for (const RefProgram& p : kPrograms) {
        SCOPED_TRACE(p.name);
        const ProgramProfile* program = program_profile(p.id);
        ASSERT_NE(program, nullptr);
        EXPECT_STREQ(program->name, p.name);
        fake_sim::reset();
        register_with_simulator(program);
        std::vector<std::string> got = transcript(fake_sim::calls());
        std::vector<std::string> want = transcript(expected_registration(p));
        size_t same = 0;
        while (same < got.size() && same < want.size() && got[same] == want[same]) ++same;
        EXPECT_EQ(got.size(), want.size());
        if (same < got.size() || same < want.size()) {
            ADD_FAILURE() << "call " << same << " is\n  " << (same < got.size() ? got[same] : "(none)")
                          << "\ninstead of\n  " << (same < want.size() ? want[same] : "(none)");
        }
    }
}

// The two programs that share one event column part in their order: the
// multi-function panel maps each DME ident ENABLE first, the transponder
// panel keeps plain ascending ids.
TEST(RegistrationSequence, SharedEventColumnMapsTheDmeIdentsInEachProgramsOwnOrder) {
    auto dme_mappings = [](ProgramId id) {
        fake_sim::reset();
        register_with_simulator(program_profile(id));
        std::vector<std::string> names;
        for (const FakeCall& c : fake_sim::calls_named("MapClientEventToSimEvent"))
            if (c.name.find("_IDENT_ENABLE") != std::string::npos || c.name.find("_IDENT_DISABLE") != std::string::npos)
                names.push_back(std::to_string(c.args[0]) + " " + c.name);
        return names;
    };
    EXPECT_EQ(dme_mappings(PROGRAM_HUB1),
              (std::vector<std::string>{"14 RADIO_DME1_IDENT_ENABLE", "13 RADIO_DME1_IDENT_DISABLE",
                                        "17 RADIO_DME2_IDENT_ENABLE", "16 RADIO_DME2_IDENT_DISABLE"}));
    EXPECT_EQ(dme_mappings(PROGRAM_XPDR),
              (std::vector<std::string>{"13 RADIO_DME1_IDENT_DISABLE", "14 RADIO_DME1_IDENT_ENABLE",
                                        "16 RADIO_DME2_IDENT_DISABLE", "17 RADIO_DME2_IDENT_ENABLE"}));
    EXPECT_EQ(dme_mappings(PROGRAM_NAV1), std::vector<std::string>{});
}

}  // namespace
