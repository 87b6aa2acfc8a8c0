// The receive side's byte buffer and message extraction. Pure functions over
// memory, no sockets, so the cutting of the simulator's byte stream into
// messages can be tested and fuzzed on its own.
#pragma once

#include <cstdint>

constexpr uint32_t RECEIVE_BUFFER_INITIAL = 2048;
constexpr uint32_t RECEIVE_BUFFER_STEP = 2048;
constexpr uint32_t RECEIVE_BUFFER_LIMIT = 1048576;

// Bytes read so far: [start, start + write); [start + parse, start + write)
// is not yet cut into messages.
struct ReceiveBuffer {
    uint8_t* start;
    uint32_t capacity;
    uint32_t write;
    uint32_t parse;
};

// The message being extracted: a heap block of exactly its size.
struct MessageHolder {
    uint32_t length;
    uint32_t allocated;
    uint8_t* block;
};

enum ExtractResult {
    EXTRACT_READY,
    EXTRACT_NEED_MORE,
    EXTRACT_TOO_LARGE,
    EXTRACT_BAD_SIZE,
    EXTRACT_NO_MEMORY,
};

bool receive_buffer_init(ReceiveBuffer* buffer);
void receive_buffer_free(ReceiveBuffer* buffer);

// Free room at the end of the buffer, where the next read goes.
inline uint8_t* receive_buffer_free_start(const ReceiveBuffer* buffer) { return buffer->start + buffer->write; }
inline uint32_t receive_buffer_free_room(const ReceiveBuffer* buffer) { return buffer->capacity - buffer->write; }

// Records bytes a read has placed at the free start.
void receive_buffer_commit(ReceiveBuffer* buffer, uint32_t bytes);

void holder_clear(MessageHolder* holder);

// Cuts the next message out of the buffer into the holder. EXTRACT_READY
// leaves a whole message in holder->block / holder->length. Messages larger
// than the buffer can ever grow are refused as too large, so a raised
// maximum can never leave the reader with no room to read into.
ExtractResult extract_message(ReceiveBuffer* buffer, MessageHolder* holder, uint32_t max_size);

// Receives one message that extraction has made ready; it may take the
// holder's block over (leaving the holder empty).
typedef void (*MessageSink)(void* context, MessageHolder* holder);

// What a read completion does with its bytes: records them, then hands every
// whole message to the sink. Returns the first result that is not
// EXTRACT_READY (EXTRACT_NEED_MORE while the stream is healthy).
ExtractResult receive_bytes(ReceiveBuffer* buffer, MessageHolder* holder, uint32_t max_size, uint32_t bytes,
                            MessageSink sink, void* context);
