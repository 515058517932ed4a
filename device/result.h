// Result codes of every device request: zero or positive is success.
#pragma once
#include <cstdint>

typedef int32_t DeviceResult;

enum : DeviceResult {
    CW_S_OK = 0,
    CW_E_GENERAL_ERROR = -1,
    CW_E_PORT_NOT_INITIALIZED = -2,
    CW_E_REQUEST_NOT_SUPPORTED = -3,
    CW_E_COMM_WRITE_FAILURE = -4,
    CW_E_COMM_READ_FAILURE = -5,
    CW_E_DEVICE_NOT_FOUND = -6,
    CW_E_INVALID_RESPONSE = -7,
    CW_E_UNKNOWN_COMMAND = -8,
    CW_E_BAD_CHECKSUM = -9,
    CW_E_ALT_WRITE_BAD_CHECKSUM = -10,
    CW_E_EXTERNAL_CS_INVALID = -11,
    CW_E_NVRAM_BUFFERING_FAILED = -12,
    CW_E_INTERNAL_CS_INVALID = -13,
    CW_E_INVALID_FIRMWARE_IMAGE = -14,
    CW_E_FIRMWARE_FLASH_FAILED = -15,
    CW_E_THREAD_TIMEOUT = -16,
    CW_E_COMM_READ_TIMEOUT = -17,
    CW_E_INVALID_FUNC_PARAM = -18,
    CW_E_OPERATION_CANCELED = -19,
    CW_E_PORT_BUSY = -20,
    CW_E_INVALID_VERSION = -21,
    CW_E_INVALID_HARDWARE_ID = -22,
    CW_E_LARGE_BIN_BANK_FAILED = -23,
    CW_E_INVALID_REQUEST_PARAM = -24,
};

// The constant's name as text, or "(ERROR NOT IN LIST)".
const char* DeviceResultName(DeviceResult result);
