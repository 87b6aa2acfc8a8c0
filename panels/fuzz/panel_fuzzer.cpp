// Fuzzes the panel logic of all nine programs: arbitrary datagrams from the
// panel, in arbitrary sequences and at arbitrary moments (with encoder
// acceleration on or off), go through each family's input step between
// frames whose data blocks the input rewrites at will, and every frame runs
// the preparation, display and countdown steps that read what the input
// left behind. Datagram texts and blocks are heap blocks of their exact
// size, so a step that reads past a datagram's terminator or past the block
// is caught. Whatever arrives, the logic may only send the simulator events
// its program maps (at most a handful per datagram) and none for a datagram
// its code test does not take as one of the panel's, write the transponder
// state only where the program declares it and only with a state a panel can
// select, set only a transponder code the transponder can hold, and leave
// the simulator alone in every step but input.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "core/bridge_state.h"
#include "core/find_panel.h"
#include "core/session_setup.h"
#include "core/tests/fake_simconnect.h"
#include "core/update_cycle.h"
#include "panels/adf/adf_panel.h"
#include "panels/com/com_panel.h"
#include "panels/fuzz/panel_fuzz_input.h"
#include "panels/hub1/hub1_panel.h"
#include "panels/nav/nav_panel.h"
#include "panels/navcom/navcom_panel.h"
#include "panels/xpdr/xpdr_panel.h"

namespace {

void check(bool ok) {
    if (!ok) std::abort();
}

struct FuzzedProgram {
    ProgramId id;
    bool (*start)();
    const PanelHooks* hooks;
};

const FuzzedProgram kPrograms[] = {
    {PROGRAM_HUB1, hub_panel_start, &kHubPanelHooks},
    {PROGRAM_NAVCOM1, [] { return navcom_panel_start(1); }, &kNavComPanelHooks},
    {PROGRAM_NAVCOM2, [] { return navcom_panel_start(2); }, &kNavComPanelHooks},
    {PROGRAM_ADF, adf_panel_start, &kAdfPanelHooks},
    {PROGRAM_NAV1, [] { return nav_panel_start(1); }, &kNavPanelHooks},
    {PROGRAM_NAV2, [] { return nav_panel_start(2); }, &kNavPanelHooks},
    {PROGRAM_XPDR, xpdr_panel_start, &kXpdrPanelHooks},
    {PROGRAM_COMM2, [] { return com_panel_start(2); }, &kComPanelHooks},
    {PROGRAM_COMM1, [] { return com_panel_start(1); }, &kComPanelHooks},
};

const FuzzedProgram* find_program(ProgramId id) {
    for (const FuzzedProgram& p : kPrograms)
        if (p.id == id) return &p;
    return nullptr;
}

// Most events one datagram may cause: an ADF card turned five steps in the
// fast mode, then the set with the standby swap; with acceleration the
// card's steps that many times over.
size_t max_events_per_datagram() {
    size_t times = g_bridge.acceleration >= 2 ? static_cast<size_t>(g_bridge.acceleration) : 1;
    return 5 * times + 3;
}
// Transponder states a panel selects: OFF to ALT.
constexpr int32_t kHighestSelectableState = 4;

// What the program under test may send, resolved once per input.
struct Allowed {
    std::vector<bool> event;  // by client event id
    int32_t xpdr_set;         // "XPNDR_SET", -1 where not mapped
};

Allowed allowed_for(const ProgramProfile* program) {
    Allowed a;
    const ClientEvent* events[256];
    int n = mapped_events(program, events, 256);
    for (int i = 0; i < n; ++i) {
        if (events[i]->id >= a.event.size()) a.event.resize(events[i]->id + 1, false);
        a.event[events[i]->id] = true;
    }
    a.xpdr_set = event_id(program->events, "XPNDR_SET");
    return a;
}

enum StepKind { STEP_INPUT, STEP_INITIAL, STEP_QUIET };

// Checks the simulator calls of one step, then forgets them.
void check_calls(StepKind kind, const ProgramProfile* program, const Allowed& allowed) {
    std::vector<FakeCall>& calls = fake_sim::calls();
    if (kind == STEP_QUIET) check(calls.empty());
    size_t events = 0;
    for (const FakeCall& c : calls) {
        if (c.call == "TransmitClientEvent") {
            uint32_t id = c.args[1];
            check(id < allowed.event.size() && allowed.event[id]);
            if (static_cast<int32_t>(id) == allowed.xpdr_set) check(xpdr_code_is_valid(c.args[2]));
            ++events;
        } else if (c.call == "SetDataOnSimObject") {
            check(kind == STEP_INPUT && program->declares_xpdr_state);
            check(c.args[0] == DEFINITION_XPDR_STATE && c.data.size() == sizeof(int32_t));
            int32_t state;
            std::memcpy(&state, c.data.data(), sizeof state);
            check(state >= 0 && state <= kHighestSelectableState);
        } else {
            check(false);
        }
    }
    check(events <= max_events_per_datagram());
    calls.clear();
}

// Reads the input front to back; past its end every read gives 0.
struct Reader {
    const uint8_t* data;
    size_t size;
    bool empty() const { return size == 0; }
    uint8_t byte() {
        if (size == 0) return 0;
        --size;
        return *data++;
    }
    void bytes(void* out, size_t n) {
        for (size_t i = 0; i < n; ++i) static_cast<uint8_t*>(out)[i] = byte();
    }
};

// A frame as the simulator would send it for a flight under way: power on,
// frequencies and codes on their rasters, a VOR showing TO, the transponder
// in ALT. The input changes it from there.
double realistic_f64(const DataDatum& d) {
    const char* u = d.units;
    if (std::strcmp(u, "MHz") == 0) return std::strncmp(d.name, "COM", 3) == 0 ? 118.5 : 110.5;
    if (std::strcmp(u, "KHz") == 0) return 379.0;
    if (std::strcmp(u, "feet") == 0) return 4500.0;
    if (std::strcmp(u, "degrees") == 0) return 92.4;
    if (std::strcmp(u, "nautical miles") == 0) return 12.4;
    if (std::strcmp(u, "knots") == 0) return 108.0;
    if (std::strcmp(u, "seconds") == 0) return 1000.0;
    if (std::strcmp(u, "inHg") == 0) return 29.92;
    if (std::strcmp(u, "millibars") == 0) return 1013.2;
    return 1.0;  // "SELECTED DME"
}

int32_t realistic_i32(const DataDatum& d) {
    const char* u = d.units;
    if (std::strcmp(u, "Frequency BCD16") == 0) return std::strncmp(d.name, "COM", 3) == 0 ? 0x1850 : 0x1050;
    if (std::strcmp(u, "Frequency ADF BCD32") == 0) return 0x03790000;
    if (std::strcmp(u, "BCO16") == 0) return 0x1200;
    if (std::strcmp(d.name, "TRANSPONDER STATE:1") == 0) return 4;
    if (std::strncmp(d.name, "NAV TOFROM", 10) == 0) return 1;
    if (std::strcmp(u, "Enum") == 0) return 0;  // partial panels: working
    if (std::strcmp(d.name, "ELECTRICAL MASTER BATTERY") == 0 || std::strcmp(d.name, "AVIONICS MASTER SWITCH") == 0 ||
        std::strcmp(d.name, "CIRCUIT GENERAL PANEL ON") == 0)
        return 1;
    if (std::strcmp(u, "number") == 0) return 1;  // signals
    return 0;
}

void fill_realistic(uint8_t* block, const DataDatum* const* datums, int count, uint32_t block_size) {
    std::memset(block, 0, block_size);
    std::memcpy(block, "Cessna 152", 11);
    for (int i = 0; i < count; ++i) {
        const DataDatum& d = *datums[i];
        if (d.type == SIMCONNECT_DATATYPE_FLOAT64) {
            double v = realistic_f64(d);
            std::memcpy(block + d.offset, &v, sizeof v);
        } else if (d.type == SIMCONNECT_DATATYPE_INT32) {
            int32_t v = realistic_i32(d);
            std::memcpy(block + d.offset, &v, sizeof v);
        }
    }
}

void set_field(Reader& in, uint8_t* block, const DataDatum* const* datums, int count) {
    const DataDatum& d = *datums[in.byte() % count];
    if (d.type == SIMCONNECT_DATATYPE_FLOAT64) {
        uint8_t pick = in.byte();
        double v = 0;
        if (pick < kAwkwardDoubleCount) {
            v = kAwkwardDoubles[pick];
        } else {
            in.bytes(&v, sizeof v);
        }
        std::memcpy(block + d.offset, &v, sizeof v);
    } else if (d.type == SIMCONNECT_DATATYPE_INT32) {
        in.bytes(block + d.offset, sizeof(int32_t));
    }
}

void apply_settings(const uint8_t* header) {
    uint8_t s = header[1];
    g_bridge.encoder_version = (s & 1) ? 2 : 1;
    g_bridge.testmode = (s >> 1) & 3;
    g_bridge.standby = (s >> 3) & 1;
    g_bridge.adf_stby = (s >> 4) & 1;
    g_bridge.fl_mode = (s >> 5) & 3;
    uint32_t code;
    std::memcpy(&code, header + 2, sizeof code);
    g_bridge.xpdr_code = code;
    g_bridge.start_display = header[6];
    g_bridge.keep_frame_rate = (s >> 7) & 1;
    g_bridge.acceleration = g_bridge.keep_frame_rate ? kMaxAcceleration : 0;
    g_bridge.frame_kept = g_bridge.keep_frame_rate;  // detents taken as they arrive
}

// A datagram and the time it arrived.
struct Pending {
    std::unique_ptr<char[]> text;
    uint64_t arrival_ms;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < kFuzzHeaderSize) return 0;
    const FuzzedProgram* fuzzed = find_program(static_cast<ProgramId>(data[0] % PROGRAM_COUNT));
    check(fuzzed != nullptr);
    const ProgramProfile* program = program_profile(fuzzed->id);
    const PanelHooks& hooks = *fuzzed->hooks;

    bridge_reset(program, fuzzed->hooks);
    apply_settings(data);
    g_bridge.panel_connected = 1;
    fake_sim::reset();
    check(fuzzed->start());
    const Allowed allowed = allowed_for(program);

    const uint32_t block_size = layout_block_size(program->layout);
    std::unique_ptr<uint8_t[]> block(new uint8_t[block_size]);
    const DataDatum* datums[128];
    int datum_count = layout_datums(program->layout, datums, 128);
    fill_realistic(block.get(), datums, datum_count, block_size);

    std::vector<Pending> pending;
    uint64_t now_ms = 1000;
    Reader in{data + kFuzzHeaderSize, size - kFuzzHeaderSize};
    while (!in.empty()) {
        switch (in.byte() % OP_COUNT) {
            case OP_DATAGRAM: {
                uint8_t length = in.byte();
                std::unique_ptr<char[]> text(new char[length + 1]);
                in.bytes(text.get(), length);
                text[length] = '\0';
                if (pending.size() < static_cast<size_t>(kMaxDatagramsPerFrame)) {
                    pending.push_back({std::move(text), now_ms});
                }
                break;
            }
            case OP_FRAME: {
                // The cycle acts on no frame whose title runs past its field.
                if (!std::memchr(block.get(), 0, 256)) break;
                if (hooks.prepare) hooks.prepare(block.get());
                check_calls(STEP_QUIET, program, allowed);
                for (const Pending& datagram : pending) {
                    const char* text = datagram.text.get();
                    if (identity_variant(text) != 0) continue;
                    bool code = hooks.takes_code && hooks.takes_code(text);
                    g_bridge.input_arrival_ms = datagram.arrival_ms;
                    hand_to_input_step(text, block.get());
                    if (!code) check(fake_sim::calls().empty());
                    check_calls(STEP_INPUT, program, allowed);
                }
                pending.clear();
                if (hooks.display) hooks.display(block.get());
                if (hooks.countdown) hooks.countdown(block.get());
                check_calls(STEP_QUIET, program, allowed);
                break;
            }
            case OP_PATCH: {
                uint16_t offset = in.byte();
                offset = static_cast<uint16_t>(offset | in.byte() << 8);
                uint8_t length = in.byte() % 16;
                for (uint8_t i = 0; i < length; ++i) block[(offset + i) % block_size] = in.byte();
                break;
            }
            case OP_FIELD:
                set_field(in, block.get(), datums, datum_count);
                break;
            case OP_INITIAL_FRAME:
                if (!std::memchr(block.get(), 0, 256)) break;
                if (hooks.initial_frame) hooks.initial_frame(block.get());
                check_calls(STEP_INITIAL, program, allowed);
                break;
            case OP_PAUSE:
                now_ms += in.byte();
                break;
        }
    }
    return 0;
}
