// What sets the nine programs apart, as data: texts, configuration, identity,
// the columns of the shared registration tables, and the panel's hooks into
// the update cycle.
#pragma once

#include <cstdint>

enum ProgramId : uint8_t {
    PROGRAM_HUB1,
    PROGRAM_NAVCOM1,
    PROGRAM_NAVCOM2,
    PROGRAM_ADF,
    PROGRAM_NAV1,
    PROGRAM_NAV2,
    PROGRAM_XPDR,
    PROGRAM_COMM2,
    PROGRAM_COMM1,
    PROGRAM_COUNT
};

// Keys of "Avionics-Panel.cfg", in the order a program reads them.
enum ConfigKey : uint8_t {
    KEY_END = 0,
    KEY_IDLE_MS,
    KEY_PERIOD_VISUAL_OR_SIM,
    KEY_VRAN_PORT,
    KEY_RECV_PORT,
    KEY_TESTMODE,
    KEY_INTERFACE_INDEX,
    KEY_ADF_STBY,
    KEY_FL_MODE,
    KEY_XPDR_CODE,
    KEY_START_DISPLAY,
    KEY_STANDBY,
    KEY_KEEP_FRAME_RATE,
    KEY_ACCELERATION,
};

// Columns of the data-definition table: programs that share a layout.
enum LayoutColumn : uint8_t {
    LAYOUT_HUB1,
    LAYOUT_NAVCOM_NAV,  // NAVCOM1, NAVCOM2, NAV1, NAV2
    LAYOUT_ADF,
    LAYOUT_XPDR,
    LAYOUT_COMM2,
    LAYOUT_COMM1,
    LAYOUT_COLUMN_COUNT
};

// Columns of the client-event table: programs that share one assignment.
enum EventColumn : uint8_t {
    EVENTS_HUB1_XPDR,
    EVENTS_NAVCOM_NAV2,  // NAVCOM1, NAVCOM2, NAV2
    EVENTS_ADF,
    EVENTS_NAV1,
    EVENTS_COMM,  // COMM1, COMM2
    EVENT_COLUMN_COUNT
};

// The panel program's steps in the update cycle; any may be null. `block` is
// the frame's data block, laid out as the program's column of the table.
// With KEEP_FRAME_RATE input and display also run between frames, on the
// last frame's block (input_on_arrival.h): the display step must then come
// to the same lines and state when run again on the same block.
struct PanelHooks {
    void (*initial_frame)(const uint8_t* block);  // frame of the initial request
    void (*prepare)(const uint8_t* block);
    void (*input)(const char* text, const uint8_t* block);
    void (*display)(const uint8_t* block);
    void (*countdown)(const uint8_t* block);
    // True when the input step takes the text as one of the panel's codes,
    // whether or not it would act on it now (power off, another page). Only
    // such texts and identities move output to where they came from; without
    // it only identities do.
    bool (*takes_code)(const char* text) = nullptr;
};

struct ProgramProfile {
    ProgramId id;
    const char* name;             // "COMM1-Relay"
    const char* version;          // "2.0.0.0"
    const char* connection_line;  // "\nCOM1-Client Connected to Flight Simulator!\n"

    // Configuration file.
    const char* section;       // "COM1"
    const char* idle_section;  // where IDLE_MS is read ("NAV1" for HUB1-Relay)
    uint16_t default_port;
    ConfigKey key_order[13];  // ends with KEY_END
    const char* not_found_message;

    // Panel identity and link.
    const char* identity[2];         // variant 1 and 2; [1] null when none
    const char* connect_message[2];
    const char* rejection_message;
    const char* interface_heading;  // printed when no interface qualifies
    int32_t identity_check_limit;   // frames between identity checks
    const char* offline_message;

    // Registration.
    LayoutColumn layout;
    EventColumn events;
    bool declares_xpdr_state;  // second definition with "TRANSPONDER STATE:1"
    // Maps each DME ident ENABLE event just before its DISABLE partner (one
    // id lower) instead of in plain ascending order of id. Programs sharing
    // an event column need not share this order.
    bool dme_enable_first;
};

// The profile of each program.
const ProgramProfile* program_profile(ProgramId id);

// 1 or 2 when the text is the program's variant-1 or variant-2 identity
// (compared exactly), else 0.
int program_identity_variant(const ProgramProfile* program, const char* text);
