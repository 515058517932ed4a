#include "device/result.h"

const char* DeviceResultName(DeviceResult result)
{
    // Indexed by -result.
    static const char* const kNames[] = {
        "CW_S_OK",
        "CW_E_GENERAL_ERROR",
        "CW_E_PORT_NOT_INITIALIZED",
        "CW_E_REQUEST_NOT_SUPPORTED",
        "CW_E_COMM_WRITE_FAILURE",
        "CW_E_COMM_READ_FAILURE",
        "CW_E_DEVICE_NOT_FOUND",
        "CW_E_INVALID_RESPONSE",
        "CW_E_UNKNOWN_COMMAND",
        "CW_E_BAD_CHECKSUM",
        "CW_E_ALT_WRITE_BAD_CHECKSUM",
        "CW_E_EXTERNAL_CS_INVALID",
        "CW_E_NVRAM_BUFFERING_FAILED",
        "CW_E_INTERNAL_CS_INVALID",
        "CW_E_INVALID_FIRMWARE_IMAGE",
        "CW_E_FIRMWARE_FLASH_FAILED",
        "CW_E_THREAD_TIMEOUT",
        "CW_E_COMM_READ_TIMEOUT",
        "CW_E_INVALID_FUNC_PARAM",
        "CW_E_OPERATION_CANCELED",
        "CW_E_PORT_BUSY",
        "CW_E_INVALID_VERSION",
        "CW_E_INVALID_HARDWARE_ID",
        "CW_E_LARGE_BIN_BANK_FAILED",
        "CW_E_INVALID_REQUEST_PARAM",
    };
    const DeviceResult count = DeviceResult(sizeof(kNames) / sizeof(kNames[0]));
    if (result > 0 || result <= -count)
        return "(ERROR NOT IN LIST)";
    return kNames[-result];
}
