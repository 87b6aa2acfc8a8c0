// Message extraction: the simulator's stream is a series of messages, each
// starting with its u32 size.
#include "simclient/receive_buffer.h"

#include <cstdlib>
#include <cstring>

#include "simclient/alloc_faults.h"

bool receive_buffer_init(ReceiveBuffer* buffer) {
    buffer->start = static_cast<uint8_t*>(client_malloc(ALLOC_RECEIVE_BUFFER, RECEIVE_BUFFER_INITIAL));
    buffer->capacity = buffer->start ? RECEIVE_BUFFER_INITIAL : 0;
    buffer->write = 0;
    buffer->parse = 0;
    return buffer->start != nullptr;
}

void receive_buffer_free(ReceiveBuffer* buffer) {
    std::free(buffer->start);
    buffer->start = nullptr;
    buffer->capacity = buffer->write = buffer->parse = 0;
}

void receive_buffer_commit(ReceiveBuffer* buffer, uint32_t bytes) {
    uint32_t room = buffer->capacity - buffer->write;
    buffer->write += bytes < room ? bytes : room;
}

void holder_clear(MessageHolder* holder) {
    std::free(holder->block);
    holder->block = nullptr;
    holder->length = 0;
    holder->allocated = 0;
}

static uint32_t read_u32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
           static_cast<uint32_t>(p[3]) << 24;
}

// True when a whole message already waits at the parse position.
static bool complete_message_waits(const ReceiveBuffer* buffer) {
    uint32_t unparsed = buffer->write - buffer->parse;
    if (unparsed < 4) return false;
    uint32_t size = read_u32(buffer->start + buffer->parse);
    return size >= 4 && size <= unparsed;
}

// Makes room once the buffer is filled to its end: move the unparsed tail to
// the start, or grow when one incomplete message fills the whole buffer.
static ExtractResult housekeeping(ReceiveBuffer* buffer, ExtractResult result) {
    if (result == EXTRACT_READY && complete_message_waits(buffer)) return result;
    if (buffer->write < buffer->capacity) return result;
    if (buffer->parse > 0) {
        uint32_t unparsed = buffer->write - buffer->parse;
        std::memmove(buffer->start, buffer->start + buffer->parse, unparsed);
        buffer->parse = 0;
        buffer->write = unparsed;
    } else if (buffer->capacity < RECEIVE_BUFFER_LIMIT) {
        uint32_t bigger = buffer->capacity + RECEIVE_BUFFER_STEP;
        uint8_t* grown = static_cast<uint8_t*>(std::realloc(buffer->start, bigger));
        if (!grown) return result == EXTRACT_READY ? result : EXTRACT_NO_MEMORY;
        buffer->start = grown;
        buffer->capacity = bigger;
    }
    return result;
}

ExtractResult extract_message(ReceiveBuffer* buffer, MessageHolder* holder, uint32_t max_size) {
    uint32_t unparsed = buffer->write - buffer->parse;
    if (unparsed < 4) return housekeeping(buffer, EXTRACT_NEED_MORE);
    uint32_t size = read_u32(buffer->start + buffer->parse);
    if (size > max_size || size > RECEIVE_BUFFER_LIMIT) return EXTRACT_TOO_LARGE;
    if (size < 4) return EXTRACT_BAD_SIZE;
    if (holder->allocated < size) {
        std::free(holder->block);
        holder->block = static_cast<uint8_t*>(std::malloc(size));
        holder->allocated = holder->block ? size : 0;
        holder->length = 0;
        if (!holder->block) return EXTRACT_NO_MEMORY;
    }
    holder->length = size;
    if (unparsed < size) return housekeeping(buffer, EXTRACT_NEED_MORE);
    std::memcpy(holder->block, buffer->start + buffer->parse, size);
    buffer->parse += size;
    if (buffer->parse == buffer->write) buffer->parse = buffer->write = 0;
    return housekeeping(buffer, EXTRACT_READY);
}

ExtractResult receive_bytes(ReceiveBuffer* buffer, MessageHolder* holder, uint32_t max_size, uint32_t bytes,
                            MessageSink sink, void* context) {
    receive_buffer_commit(buffer, bytes);
    ExtractResult result;
    while ((result = extract_message(buffer, holder, max_size)) == EXTRACT_READY) sink(context, holder);
    return result;
}
