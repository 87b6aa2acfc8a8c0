// Byte builders for records the tests send and readers for what they get.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

uint32_t u32_at(const std::vector<uint8_t>& bytes, size_t offset);
// A receive record: size, version 5, id, then the body bytes.
std::vector<uint8_t> make_record(uint32_t id, const std::vector<uint8_t>& body);
// size_field as the first u32, padded with filler to total_bytes.
std::vector<uint8_t> make_sized(uint32_t size_field, uint32_t total_bytes);
