// Writes the panel fuzzer's seed corpus. For every program, every version of
// its panel and every code the panel's keys and knobs send (the virtual
// panel's catalog of the nine front plates): one input that sends the code
// twice between frames; one that sends all of the panel's codes in turn, a
// frame after each, so that every page is drawn; and that walk again once
// with every floating-point field at each of the awkward values, and once
// with every integer field but the power switches and failures at each of a
// few awkward integers; and with acceleration on, every code four times in
// a row, as a knob turned fast.
// Usage: panel_fuzz_seeds <folder>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "core/program_profile.h"
#include "core/session_setup.h"
#include "simclient/sim_types.h"
#include "panels/fuzz/panel_fuzz_input.h"
#include "tools/virtual_panel/panel_catalog.h"

namespace {

// The program whose variant-1 identity the panel answers with.
bool program_of(const PanelKind& kind, ProgramId* out) {
    for (int i = 0; i < PROGRAM_COUNT; ++i) {
        const ProgramProfile* p = program_profile(static_cast<ProgramId>(i));
        if (std::strcmp(p->identity[0], kind.identity[0]) == 0) {
            *out = p->id;
            return true;
        }
    }
    return false;
}

std::vector<uint8_t> header(ProgramId id, int version, bool accelerate = false) {
    // Default configuration: XPDR_CODE 1200, START_DISPLAY 1.
    return {static_cast<uint8_t>(id), fuzz_settings(version, accelerate), 0x00, 0x12, 0x00, 0x00, 1};
}

void add_datagram(std::vector<uint8_t>* input, const char* code) {
    input->push_back(OP_DATAGRAM);
    input->push_back(static_cast<uint8_t>(std::strlen(code)));
    input->insert(input->end(), code, code + std::strlen(code));
}

const int32_t kAwkwardIntegers[] = {-1, 2, 3, 7, 0x7FFFFFFF, INT32_MIN, 0xFFFF, 0x7FFFF000};

// Fields whose odd values only switch the panel off, which the power seeds
// of the walk cover.
bool is_power_field(const DataDatum& d) {
    return std::strstr(d.name, "SWITCH") || std::strstr(d.name, "CIRCUIT") || std::strstr(d.name, "PARTIAL PANEL") ||
           std::strstr(d.name, "BATTERY");
}

// OP_FIELD for every field of the type: a pick for floating-point fields, the
// value itself for integer ones.
void add_fields(std::vector<uint8_t>* input, ProgramId id, uint32_t type, int32_t value) {
    const DataDatum* datums[128];
    int n = layout_datums(program_profile(id)->layout, datums, 128);
    for (int i = 0; i < n; ++i) {
        if (datums[i]->type != type) continue;
        if (type == SIMCONNECT_DATATYPE_INT32 && is_power_field(*datums[i])) continue;
        input->push_back(OP_FIELD);
        input->push_back(static_cast<uint8_t>(i));
        if (type == SIMCONNECT_DATATYPE_FLOAT64) {
            input->push_back(static_cast<uint8_t>(value));
        } else {
            for (int b = 0; b < 4; ++b) input->push_back(static_cast<uint8_t>(static_cast<uint32_t>(value) >> (8 * b)));
        }
    }
}

bool write_seed(const std::string& path, const std::vector<uint8_t>& input) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    bool ok = std::fwrite(input.data(), 1, input.size(), f) == input.size();
    return std::fclose(f) == 0 && ok;
}

// A file name for a code: letters and digits as they are, others in hex.
std::string name_of(const char* code) {
    std::string name;
    for (const char* c = code; *c; ++c) {
        if ((*c >= 'A' && *c <= 'Z') || (*c >= '0' && *c <= '9')) {
            name += *c;
        } else {
            char hex[4];
            std::snprintf(hex, sizeof hex, "%02x", static_cast<unsigned char>(*c));
            name += hex;
        }
    }
    return name;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <folder>\n", argv[0]);
        return 2;
    }
    int written = 0;
    for (const PanelKind* kind = panel_kinds(); kind->name; ++kind) {
        ProgramId id;
        if (!program_of(*kind, &id)) {
            std::fprintf(stderr, "no program answers to the %s panel\n", kind->name);
            return 1;
        }
        for (int version = 1; version <= variant_count(kind); ++version) {
            std::vector<uint8_t> all = header(id, version);
            std::vector<uint8_t> fast = header(id, version, true);
            for (const KeyBinding& b : kind->keys[version - 1]) {
                if (b.key == 0) break;
                for (int detent = 0; detent < 4; ++detent) add_datagram(&fast, b.code);
                fast.push_back(OP_FRAME);
                std::vector<uint8_t> one = header(id, version);
                one.push_back(OP_FRAME);
                add_datagram(&one, b.code);
                one.push_back(OP_FRAME);
                add_datagram(&one, b.code);
                one.push_back(OP_FRAME);
                add_datagram(&all, b.code);
                all.push_back(OP_FRAME);
                std::string path = std::string(argv[1]) + "/" + kind->name + "-v" + std::to_string(version) + "-" +
                                   name_of(b.code);
                if (!write_seed(path, one)) return 1;
                ++written;
            }
            std::string stem = std::string(argv[1]) + "/" + kind->name + "-v" + std::to_string(version) + "-all";
            if (!write_seed(stem, all) || !write_seed(stem + "-fast", fast)) return 1;
            written += 2;
            for (int pick = 0; pick < kAwkwardDoubleCount; ++pick) {
                std::vector<uint8_t> odd = header(id, version);
                add_fields(&odd, id, SIMCONNECT_DATATYPE_FLOAT64, pick);
                odd.insert(odd.end(), all.begin() + kFuzzHeaderSize, all.end());
                if (!write_seed(stem + "-double" + std::to_string(pick), odd)) return 1;
                ++written;
            }
            for (int32_t value : kAwkwardIntegers) {
                std::vector<uint8_t> odd = header(id, version);
                add_fields(&odd, id, SIMCONNECT_DATATYPE_INT32, value);
                odd.insert(odd.end(), all.begin() + kFuzzHeaderSize, all.end());
                if (!write_seed(stem + "-int" + std::to_string(value), odd)) return 1;
                ++written;
            }
        }
    }
    std::printf("%d seeds\n", written);
    return 0;
}
