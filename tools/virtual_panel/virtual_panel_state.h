// The virtual panel's one process-wide record and its link to the program:
// the UDP socket it listens on, where the program was last heard from, the
// display picture and the identity answers.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/udp.h"
#include "tools/virtual_panel/identity_responder.h"
#include "tools/virtual_panel/panel_catalog.h"
#include "tools/virtual_panel/panel_display.h"

struct VirtualPanel {
    const PanelKind* kind;
    int variant;                     // 1 or 2
    char identity[256];              // the text answered to "ID"/"ID_Request"
    uint16_t listen_port;
    platform::UdpSocket socket;
    platform::SocketAddressV4 program_address;
    bool program_known;              // a datagram came in, or --to was given
    PanelDisplay display;
    IdentityResponder responder;
    // --answer-delay: identity answers go out this long after the request,
    // as from a real board that takes a moment to reply.
    int answer_delay_ms;
    int answers_owed;
    uint64_t answer_due_ms;
    bool print_datagrams;            // scripted mode: one console line each
    unsigned long received;          // every datagram taken in
    // An expected datagram: every datagram taken in is compared with it, so
    // none slips past when several arrive together.
    unsigned char watch[256];
    size_t watch_length;
    bool watch_prefix;
    bool watch_active;
    bool watch_hit;
    char last_action[96];            // interactive status line
};

extern VirtualPanel g_vpanel;

// Binds the listening socket on every local address; false (with a console
// report) when the port cannot be had.
bool link_open(uint16_t port);
void link_close();

// Waits up to timeout_ms for datagrams and takes in every one waiting:
// updates the display, answers identity requests, prints them when asked.
// Returns the number taken in.
int link_serve(int timeout_ms);

// Sends one panel code to the program; false when nowhere to send it yet.
bool link_send_code(const unsigned char* bytes, size_t len);

// "address:port" of the program, or "not seen yet".
void link_program_text(char* out, size_t size);
