// Byte builders for records the tests send and readers for what they get.
#include "simclient/tests/test_records.h"

uint32_t u32_at(const std::vector<uint8_t>& bytes, size_t offset) {
    if (offset + 4 > bytes.size()) return 0xDEADBEEFu;
    return bytes[offset] | bytes[offset + 1] << 8 | bytes[offset + 2] << 16 |
           static_cast<uint32_t>(bytes[offset + 3]) << 24;
}

static void put_u32(std::vector<uint8_t>& out, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) out[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

std::vector<uint8_t> make_record(uint32_t id, const std::vector<uint8_t>& body) {
    std::vector<uint8_t> out(12 + body.size());
    put_u32(out, 0, static_cast<uint32_t>(out.size()));
    put_u32(out, 4, 5);
    put_u32(out, 8, id);
    for (size_t i = 0; i < body.size(); ++i) out[12 + i] = body[i];
    return out;
}

std::vector<uint8_t> make_sized(uint32_t size_field, uint32_t total_bytes) {
    std::vector<uint8_t> out(total_bytes < 4 ? 4 : total_bytes, 0);
    put_u32(out, 0, size_field);
    for (size_t i = 4; i < out.size(); ++i) out[i] = static_cast<uint8_t>(i * 7);
    return out;
}
