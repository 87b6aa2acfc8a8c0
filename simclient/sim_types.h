// Public types and constants of the simulator client: result codes, ids and
// the records the simulator sends. Shared by the client, the programs and the
// simulator stand-in, so both ends of the wire agree on one set of numbers.
#pragma once

#include <cstdint>

typedef int32_t HRESULT_T;   // our own name; Windows headers own HRESULT
typedef void* HANDLE_SIM;    // opaque client handle (the client object's address)

// Result codes.
constexpr HRESULT_T SIM_S_OK = 0;
constexpr HRESULT_T SIM_E_FAIL = static_cast<HRESULT_T>(0x80004005u);
constexpr HRESULT_T SIM_E_INVALIDARG = static_cast<HRESULT_T>(0x80070057u);
constexpr HRESULT_T SIM_E_ABORT = static_cast<HRESULT_T>(0x80004004u);
constexpr HRESULT_T SIM_E_OUTOFMEMORY = static_cast<HRESULT_T>(0x8007000Eu);
constexpr HRESULT_T SIM_E_NAME_TOO_LONG = static_cast<HRESULT_T>(0x8007007Au);

// Completion statuses a broken connection may record.
constexpr uint32_t SIM_STATUS_ZERO_BYTES = 0xC000013Eu;
constexpr uint32_t SIM_STATUS_REMOTE_DISCONNECT = 0xC000013Cu;
constexpr uint32_t SIM_STATUS_PIPE_BROKEN = 0xC000014Bu;
constexpr uint32_t SIM_STATUS_CONNECTION_RESET = 0xC000020Du;
constexpr uint32_t SIM_STATUS_CANCELLED = 0xC0000120u;
constexpr uint32_t SIM_STATUS_BUFFER_OVERFLOW = 0x80000005u;

constexpr uint32_t SIMCONNECT_UNUSED = 0xFFFFFFFFu;
constexpr uint32_t SIMCONNECT_OBJECT_ID_USER = 0;
constexpr uint32_t SIMCONNECT_GROUP_PRIORITY_HIGHEST = 1;
constexpr uint32_t SIMCONNECT_GROUP_PRIORITY_STANDARD = 1900000000u;
constexpr uint32_t SIMCONNECT_EVENT_FLAG_GROUPID_IS_PRIORITY = 0x10;
constexpr uint32_t SIMCONNECT_OPEN_CONFIGINDEX_LOCAL = 0xFFFFFFFFu;

enum SIMCONNECT_DATATYPE : uint32_t {
    SIMCONNECT_DATATYPE_INVALID = 0,
    SIMCONNECT_DATATYPE_INT32 = 1,
    SIMCONNECT_DATATYPE_INT64 = 2,
    SIMCONNECT_DATATYPE_FLOAT32 = 3,
    SIMCONNECT_DATATYPE_FLOAT64 = 4,
    SIMCONNECT_DATATYPE_STRING8 = 5,
    SIMCONNECT_DATATYPE_STRING32 = 6,
    SIMCONNECT_DATATYPE_STRING64 = 7,
    SIMCONNECT_DATATYPE_STRING128 = 8,
    SIMCONNECT_DATATYPE_STRING256 = 9,
};

enum SIMCONNECT_PERIOD : uint32_t {
    SIMCONNECT_PERIOD_NEVER = 0,
    SIMCONNECT_PERIOD_ONCE = 1,
    SIMCONNECT_PERIOD_VISUAL_FRAME = 2,
    SIMCONNECT_PERIOD_SIM_FRAME = 3,
    SIMCONNECT_PERIOD_SECOND = 4,
};

// Receive ids: the third field of every record the simulator sends.
enum SIMCONNECT_RECV_ID : uint32_t {
    SIMCONNECT_RECV_ID_NULL = 0,
    SIMCONNECT_RECV_ID_EXCEPTION = 1,
    SIMCONNECT_RECV_ID_OPEN = 2,
    SIMCONNECT_RECV_ID_QUIT = 3,
    SIMCONNECT_RECV_ID_EVENT = 4,
    SIMCONNECT_RECV_ID_SIMOBJECT_DATA = 8,
};

// Request message ids (0xF0000000 plus the request number).
enum SIM_MESSAGE_ID : uint32_t {
    SIM_MSG_OPEN = 0xF0000001u,
    SIM_MSG_MAP_CLIENT_EVENT = 0xF0000004u,
    SIM_MSG_TRANSMIT_CLIENT_EVENT = 0xF0000005u,
    SIM_MSG_ADD_CLIENT_EVENT_TO_GROUP = 0xF0000007u,
    SIM_MSG_SET_GROUP_PRIORITY = 0xF0000009u,
    SIM_MSG_ADD_TO_DATA_DEFINITION = 0xF000000Cu,
    SIM_MSG_REQUEST_DATA_ON_SIM_OBJECT = 0xF000000Eu,
    SIM_MSG_SET_DATA_ON_SIM_OBJECT = 0xF0000010u,
    SIM_MSG_SUBSCRIBE_TO_SYSTEM_EVENT = 0xF0000017u,
};

constexpr uint32_t SIM_PROTOCOL_VERSION = 5;
constexpr uint32_t SIM_REQUEST_HEADER_SIZE = 16;
constexpr uint32_t SIM_TEXT_FIELD_SIZE = 256;

// Sizes of the fixed requests, header included.
constexpr uint32_t SIM_SIZE_OPEN = 296;
constexpr uint32_t SIM_SIZE_MAP_CLIENT_EVENT = 276;
constexpr uint32_t SIM_SIZE_TRANSMIT_CLIENT_EVENT = 36;
constexpr uint32_t SIM_SIZE_ADD_CLIENT_EVENT_TO_GROUP = 28;
constexpr uint32_t SIM_SIZE_SET_GROUP_PRIORITY = 24;
constexpr uint32_t SIM_SIZE_ADD_TO_DATA_DEFINITION = 544;
constexpr uint32_t SIM_SIZE_REQUEST_DATA_ON_SIM_OBJECT = 48;
constexpr uint32_t SIM_SIZE_SET_DATA_HEADER = 36;  // plus the data bytes
constexpr uint32_t SIM_SIZE_SUBSCRIBE_TO_SYSTEM_EVENT = 276;

// Records from the simulator. All fields are 32-bit little-endian.
#pragma pack(push, 4)
struct SIMCONNECT_RECV {
    uint32_t dwSize;
    uint32_t dwVersion;
    uint32_t dwID;
};

struct SIMCONNECT_RECV_EXCEPTION : SIMCONNECT_RECV {
    uint32_t dwException;
    uint32_t dwSendID;
    uint32_t dwIndex;
};

struct SIMCONNECT_RECV_OPEN : SIMCONNECT_RECV {
    char szApplicationName[256];
    uint32_t dwApplicationVersionMajor;
    uint32_t dwApplicationVersionMinor;
    uint32_t dwApplicationBuildMajor;
    uint32_t dwApplicationBuildMinor;
    uint32_t dwSimConnectVersionMajor;
    uint32_t dwSimConnectVersionMinor;
    uint32_t dwSimConnectBuildMajor;
    uint32_t dwSimConnectBuildMinor;
    uint32_t dwReserved1;
    uint32_t dwReserved2;
};

struct SIMCONNECT_RECV_EVENT : SIMCONNECT_RECV {
    uint32_t uGroupID;
    uint32_t uEventID;
    uint32_t dwData;
};

// The data block of the definition follows these fields, 40 bytes into the
// record.
struct SIMCONNECT_RECV_SIMOBJECT_DATA : SIMCONNECT_RECV {
    uint32_t dwRequestID;
    uint32_t dwObjectID;
    uint32_t dwDefineID;
    uint32_t dwFlags;
    uint32_t dwentrynumber;
    uint32_t dwoutof;
    uint32_t dwDefineCount;
};
#pragma pack(pop)

constexpr uint32_t SIM_RECV_HEADER_SIZE = 12;
constexpr uint32_t SIM_SIMOBJECT_DATA_OFFSET = 40;
static_assert(sizeof(SIMCONNECT_RECV_SIMOBJECT_DATA) == SIM_SIMOBJECT_DATA_OFFSET,
              "data block starts 40 bytes into the record");

typedef void (*DispatchProc)(SIMCONNECT_RECV* data, uint32_t size, void* context);
