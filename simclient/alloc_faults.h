// Test seam for running out of memory where the client sets up a connection
// and where it copies a request out of its send buffer: a test arms one point
// and that point's next allocation fails. The programs never arm a point; an
// unarmed one costs a relaxed load before the malloc.
#pragma once

#include <cstddef>
#include <cstdint>

enum ClientAllocPoint : uint32_t { ALLOC_RECEIVE_BUFFER, ALLOC_SEND_BLOCK, ALLOC_POINT_COUNT };

void* client_malloc(ClientAllocPoint point, size_t size);

void client_test_fail_next_alloc(ClientAllocPoint point);
