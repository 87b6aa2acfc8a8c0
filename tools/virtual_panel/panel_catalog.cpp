#include "tools/virtual_panel/panel_catalog.h"

#include <cstring>

#include "platform/terminal.h"

using platform::kKeyDown;
using platform::kKeyLeft;
using platform::kKeyRight;
using platform::kKeyUp;

namespace {

// Keys shared by several panels are spelled out per panel, so each table
// reads as the panel's own front plate.
const PanelKind kKinds[] = {
    {"comm1", "COM1", {"VRAN-COM1_1.0", "VRAN-COM1_2.0"}, 4770, "HF",
     {{{kKeyLeft, "R-", "<- R-"}, {kKeyRight, "R+", "-> R+"}, {'-', "R-", nullptr}, {'+', "R+", nullptr},
       {'p', "P", "p push"}, {'s', "S", "s swap"}, {'t', "T", "t transmit"}, {'m', "M", "m rx-all"}},
      {{kKeyLeft, "R2-", "<- R2-"}, {kKeyRight, "R2+", "-> R2+ (MHz)"}, {kKeyDown, "R1-", "dn R1-"},
       {kKeyUp, "R1+", "up R1+ (kHz)"}, {'p', "P", "p push"}, {'s', "S", "s swap"}, {'t', "T", "t transmit"},
       {'m', "M", "m rx-all"}}}},
    {"comm2", "COM2", {"VRAN-COM2_1.0", "VRAN-COM2_2.0"}, 4774, "HF",
     {{{kKeyLeft, "R-", "<- R-"}, {kKeyRight, "R+", "-> R+"}, {'-', "R-", nullptr}, {'+', "R+", nullptr},
       {'p', "P", "p push"}, {'s', "S", "s swap"}, {'t', "T", "t transmit"}, {'m', "M", "m rx-all"}},
      {{kKeyLeft, "R2-", "<- R2-"}, {kKeyRight, "R2+", "-> R2+ (MHz)"}, {kKeyDown, "R1-", "dn R1-"},
       {kKeyUp, "R1+", "up R1+ (kHz)"}, {'p', "P", "p push"}, {'s', "S", "s swap"}, {'t', "T", "t transmit"},
       {'m', "M", "m rx-all"}}}},
    {"navcom1", "NAVCOM1", {"NAVCOM1_1.0", "NAVCOM1_2.0"}, 4786, "TCHSF",
     {{{',', "C-", ", C-"}, {'.', "C+", ". C+ (COM)"}, {'f', "F", "f COM push"}, {'t', "T", "t transmit"},
       {'r', "R", "r rx-all"}, {'x', "X", "x COM swap"}, {kKeyLeft, "N-", "<- N-"}, {kKeyRight, "N+", "-> N+ (NAV)"},
       {'p', "P", "p NAV push"}, {'b', "B", "b"}, {'i', "I", "i ident"}, {'m', "M", "m page"},
       {'s', "S", "s NAV swap"}},
      {{kKeyDown, "R1-", "dn R1-"}, {kKeyUp, "R1+", "up R1+"}, {kKeyLeft, "R2-", "<- R2-"},
       {kKeyRight, "R2+", "-> R2+ (NAV)"}, {',', "R3-", ", R3-"}, {'.', "R3+", ". R3+"}, {'<', "R4-", "< R4-"},
       {'>', "R4+", "> R4+ (COM)"}, {'p', "P", "p push"}, {'b', "B", "b"}, {'i', "I", "i ident"},
       {'m', "M", "m page"}, {'s', "S", "s NAV swap"}, {'x', "X", "x COM swap"}}}},
    {"navcom2", "NAVCOM2", {"NAVCOM2_1.0", "NAVCOM2_2.0"}, 4788, "TCHSF",
     {{{',', "C-", ", C-"}, {'.', "C+", ". C+ (COM)"}, {'f', "F", "f COM push"}, {'t', "T", "t transmit"},
       {'r', "R", "r rx-all"}, {'x', "X", "x COM swap"}, {kKeyLeft, "N-", "<- N-"}, {kKeyRight, "N+", "-> N+ (NAV)"},
       {'p', "P", "p NAV push"}, {'b', "B", "b"}, {'i', "I", "i ident"}, {'m', "M", "m page"},
       {'s', "S", "s NAV swap"}},
      {{kKeyDown, "R1-", "dn R1-"}, {kKeyUp, "R1+", "up R1+"}, {kKeyLeft, "R2-", "<- R2-"},
       {kKeyRight, "R2+", "-> R2+ (NAV)"}, {',', "R3-", ", R3-"}, {'.', "R3+", ". R3+"}, {'<', "R4-", "< R4-"},
       {'>', "R4+", "> R4+ (COM)"}, {'p', "P", "p push"}, {'b', "B", "b"}, {'i', "I", "i ident"},
       {'m', "M", "m page"}, {'s', "S", "s NAV swap"}, {'x', "X", "x COM swap"}}}},
    {"adf", "ADF", {"VRAN-ADF_1.0", "VRAN-ADF_2.0"}, 4778, "HCF",
     {{{kKeyLeft, "R-", "<- R-"}, {kKeyRight, "R+", "-> R+"}, {'-', "R-", nullptr}, {'+', "R+", nullptr},
       {'p', "P", "p push"}, {'m', "M", "m page"}, {'s', "S", "s swap"}, {'t', "T", "t ident/timer"}},
      {{kKeyDown, "R1-", "dn R1-"}, {kKeyUp, "R1+", "up R1+"}, {kKeyLeft, "R2-", "<- R2-"},
       {kKeyRight, "R2+", "-> R2+"}, {'p', "P", "p push"}, {'m', "M", "m page"}, {'s', "S", "s swap"},
       {'t', "T", "t ident/timer"}}}},
    {"nav1", "NAV1", {"VRAN-NAV1_1.0", "VRAN-NAV1_2.0"}, 4772, "HCF",
     {{{kKeyLeft, "R-", "<- R-"}, {kKeyRight, "R+", "-> R+"}, {'-', "R-", nullptr}, {'+', "R+", nullptr},
       {'p', "P", "p push"}, {'b', "B", "b"}, {'m', "M", "m page"}, {'s', "S", "s swap"}, {'t', "T", "t ident"}},
      // NAV1's dual encoder reports L and R for its direction.
      {{kKeyLeft, "R1L", "<- R1L"}, {kKeyRight, "R1R", "-> R1R (MHz)"}, {kKeyDown, "R2L", "dn R2L"},
       {kKeyUp, "R2R", "up R2R (kHz)"}, {'p', "P", "p push"}, {'b', "B", "b"}, {'m', "M", "m page"},
       {'s', "S", "s swap"}, {'t', "T", "t ident"}}}},
    {"nav2", "NAV2", {"VRAN-NAV2_1.0", "VRAN-NAV2_2.0"}, 4776, "HCF",
     {{{kKeyLeft, "R-", "<- R-"}, {kKeyRight, "R+", "-> R+"}, {'-', "R-", nullptr}, {'+', "R+", nullptr},
       {'p', "P", "p push"}, {'b', "B", "b"}, {'m', "M", "m page"}, {'s', "S", "s swap"}, {'t', "T", "t ident"}},
      {{kKeyLeft, "R2-", "<- R2-"}, {kKeyRight, "R2+", "-> R2+ (MHz)"}, {kKeyDown, "R1-", "dn R1-"},
       {kKeyUp, "R1+", "up R1+ (kHz)"}, {'p', "P", "p push"}, {'b', "B", "b"}, {'m', "M", "m page"},
       {'s', "S", "s swap"}, {'t', "T", "t ident"}}}},
    {"xpdr", "XPDR", {"VRAN-XPDR_1.0", "VRAN-XPDR_2.0"}, 4780, "HF",
     {{{kKeyLeft, "R-", "<- R-"}, {kKeyRight, "R+", "-> R+"}, {'-', "R-", nullptr}, {'+', "R+", nullptr},
       {'p', "P", "p push"}, {'m', "M", "m on/stby"}, {'s', "S", "s on/alt"}, {'t', "T", "t ident"},
       {'b', "B", "b vfr"}},
      {{kKeyDown, "R1-", "dn R1-"}, {kKeyUp, "R1+", "up R1+ (code)"}, {kKeyLeft, "R2-", "<- R2-"},
       {kKeyRight, "R2+", "-> R2+ (mode)"}, {'p', "P", "p push"}, {'m', "M", "m on/stby"}, {'s', "S", "s on/alt"},
       {'t', "T", "t ident"}, {'b', "B", "b vfr"}}}},
    {"hub1", "HUB1", {"VRAN-HUB1_1.0", nullptr}, 4782, "HCF",
     {{{kKeyLeft, "R-", "<- R-"}, {kKeyRight, "R+", "-> R+"}, {'-', "R-", nullptr}, {'+', "R+", nullptr},
       {'1', "1", "1-6 page"}, {'2', "2", nullptr}, {'3', "3", nullptr}, {'4', "4", nullptr}, {'5', "5", nullptr},
       {'6', "6", nullptr}, {'p', "P", "p push"}, {'i', "I", "i"}, {'m', "M", "m"}, {'s', "S", "s"},
       {'b', "B", "b"}},
      {}}},
    {nullptr, nullptr, {nullptr, nullptr}, 0, nullptr, {{}, {}}},
};

}  // namespace

const PanelKind* panel_kinds() { return kKinds; }

const PanelKind* find_panel_kind(const char* name) {
    if (!name) return nullptr;
    for (const PanelKind* k = kKinds; k->name; ++k) {
        if (std::strcmp(k->name, name) == 0) return k;
    }
    return nullptr;
}

int variant_count(const PanelKind* kind) { return kind->identity[1] ? 2 : 1; }

const KeyBinding* find_key_binding(const PanelKind* kind, int variant, int key) {
    if (variant < 1 || variant > variant_count(kind)) return nullptr;
    for (const KeyBinding& b : kind->keys[variant - 1]) {
        if (b.key == 0) break;
        if (b.key == key) return &b;
    }
    return nullptr;
}
