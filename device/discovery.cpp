// Finding the device: the port scan, the firmware version at each line speed, the
// device-side USB baud, and identification from the EEPROM's hardware-information block.
#include <cstring>

#include "device/channel.h"

namespace {

bool IsAsciiAlnum(uint8_t c)
{
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

bool IsUsbBaudIndex(uint32_t index)
{
    return index == 0 || index == 1 || index == 3 || index == 7;
}

uint32_t UsbBaudOfIndex(uint32_t index)
{
    return 921600 / (index + 1);
}

} // namespace

DeviceResult DeviceChannel::GetFirmwareVersion(uint8_t* versionOut)
{
    if (!port.IsOpen())
        return CW_E_PORT_NOT_INITIALIZED;
    LogPrintf(logTarget, "KVChipwise: Firmware Version string requested");

    RequestScope request(*this, 110);
    if (request.busy())
        return CW_E_PORT_BUSY;
    memset(firmwareVersion, 0, sizeof firmwareVersion);
    // The one frame without a checksum.
    const uint8_t frame[2] = {'V', 'V'};
    DeviceResult result = request.WriteFrame(frame, sizeof frame);
    if (result != CW_S_OK)
        return result;
    if (request.Read(firmwareVersion, 3) < 3)
        return CW_E_COMM_READ_FAILURE;
    const uint8_t* v = firmwareVersion;
    if ((v[0] == 'V' && v[1] == 'V') || (v[0] == 0 && v[1] == 0) || !IsAsciiAlnum(v[2]))
        return CW_E_INVALID_RESPONSE;
    if (versionOut != nullptr)
        memcpy(versionOut, firmwareVersion, 3);
    return CW_S_OK;
}

DeviceResult DeviceChannel::SetUSBBaud(uint32_t index)
{
    DeviceResult result = CW_S_OK;
    if (capabilities != 0 && !(capabilities & kCapsExtendedProtocol)) {
        result = CW_E_REQUEST_NOT_SUPPORTED;
    } else if (!IsUsbBaudIndex(index)) {
        result = CW_E_INVALID_FUNC_PARAM;
    } else if (capabilities == 0) {
        // Nothing identified yet: only follow a device that may already run at that speed.
        usbBaudIndex = index;
        port.SetBaudRate(UsbBaudOfIndex(index));
    } else {
        RequestScope request(*this, 110);
        if (request.busy()) {
            result = CW_E_PORT_BUSY;
        } else {
            const uint8_t frame[3] = {'S', uint8_t(index), uint8_t('S' + index)};
            uint8_t ack = 0;
            result = request.WriteFrame(frame, sizeof frame);
            if (result == CW_S_OK && request.Read(&ack, 1) < 1)
                result = CW_E_COMM_READ_FAILURE;
            else if (result == CW_S_OK && ack != 'O')
                result = CW_E_INVALID_RESPONSE;
            if (result == CW_S_OK) {
                usbBaudIndex = index;
                port.SetBaudRate(UsbBaudOfIndex(index));
            }
        }
    }

    const uint32_t baud = UsbBaudOfIndex(IsUsbBaudIndex(index) ? index : usbBaudIndex);
    if (result == CW_S_OK) {
        LogPrintf(logTarget, "KVChipwise: SetUSBBaud to %i, Force = %s SUCCEEDED", int(baud), "TRUE");
        SleepMs(10);
    } else {
        LogPrintf(logTarget, "KVChipwise: SetUSBBaud to %i, Force = %s FAILED with %s", int(baud), "TRUE",
                  DeviceResultName(result));
    }
    return result;
}

DeviceResult DeviceChannel::ReadEEPROM(uint16_t address, uint8_t count, uint8_t* dataOut)
{
    if (!port.IsOpen())
        return CW_E_PORT_NOT_INITIALIZED;
    if (dataOut == nullptr && count != 0)
        return CW_E_INVALID_FUNC_PARAM;
    LogPrintf(logTarget, "KVChipwise: ReadEEPROM requested, %i bytes from address %X", count, address);

    uint8_t frame[12] = {};
    uint32_t frameSize;
    if (capabilities & kCapsExtendedProtocol) {
        const uint8_t head[5] = {'H', 'R', count, uint8_t(address >> 8), uint8_t(address)};
        memcpy(frame, head, sizeof head);
        frameSize = 6;
    } else {
        const uint8_t head[4] = {'E', count, uint8_t(address >> 8), uint8_t(address)};
        memcpy(frame, head, sizeof head);
        frameSize = 12;
    }
    frame[frameSize - 1] = ByteSum(frame, frameSize - 1);

    RequestScope request(*this, 300);
    if (request.busy())
        return CW_E_PORT_BUSY;
    DeviceResult result = request.WriteFrame(frame, frameSize);
    if (result != CW_S_OK)
        return result;
    uint32_t got = request.Read(dataOut, count);
    if (got < count)
        return got > 0 && dataOut[0] == '?' ? CW_E_UNKNOWN_COMMAND : CW_E_COMM_READ_FAILURE;
    uint8_t checksum = 0;
    if (request.Read(&checksum, 1) < 1)
        return CW_E_COMM_READ_FAILURE;
    uint8_t computed = ByteSum(dataOut, count);
    if (checksum != computed) {
        LogPrintf(logTarget,
                  "KVChipwise: ReadEEPROM: Invalid external data checksum\r\n\tCS of recvd data: %.2X\r\n\tCS from "
                  "device: %.2x",
                  computed, checksum);
        return CW_E_EXTERNAL_CS_INVALID;
    }
    return CW_S_OK;
}

DeviceCaps DeviceChannel::IdentifyDevice(const uint8_t version[3])
{
    capabilities = 0;
    IdentifyModel(char(version[2]), version, &capabilities);
    if (capabilities & kCapsExtendedProtocol) {
        // The hardware block names the real model behind a firmware that may belong to
        // another, and the interface the device is attached through.
        LogPrintf(logTarget, "KVChipwise: Hardware Version Information requested");
        uint8_t block[7] = {};
        ReadEEPROM(1, sizeof block, block);
        DeviceCaps fromBlock = 0;
        if (IdentifyModel(char(block[0]), version, &fromBlock)) {
            capabilities = fromBlock;
            switch (block[3]) {
            case 'U': capabilities |= kCapsInterfaceU; break;
            case 'S': capabilities |= kCapsInterfaceS; break;
            case 'B': capabilities |= kCapsInterfaceB; break;
            default: LogPrintf(logTarget, "VardenWare: Could not get communication interface type."); break;
            }
        }
    }
    if (capabilities & kCapsBanks) {
        GetBank(nullptr, kBankEmulation, false, 0);
        if (capabilities & (kCapsHeron | kCapsHeronII | kCapsGryph))
            GetBank(nullptr, kBankReadWrite, false, 0);
        if (capabilities & kCapsPalomar)
            GetPalomarMode();
    }
    return capabilities;
}

bool DeviceChannel::TryFirmwareVersion()
{
    // The speeds the device may be at: the one the port has (the remembered one on the
    // remembered port), 921600, 115200, then the two slow rates.
    const bool firstAt115200 = port.lineSettings().baudRate == 115200;
    if (GetFirmwareVersion(nullptr) == CW_S_OK)
        return true;
    if (SetUSBBaud(0) == CW_S_OK && GetFirmwareVersion(nullptr) == CW_S_OK)
        return true;
    SetUSBBaud(7);
    // A device reset to 115200 since it was last found at another speed answers here;
    // without this try it would never be found on its remembered port again.
    if (!firstAt115200 && GetFirmwareVersion(nullptr) == CW_S_OK)
        return true;
    if (port.SetBaudRate(19200) && GetFirmwareVersion(nullptr) == CW_S_OK)
        return true;
    return port.SetBaudRate(9600) && GetFirmwareVersion(nullptr) == CW_S_OK;
}

DeviceCaps DeviceChannel::FindHardware(uint8_t* versionOut, uint32_t options, char* nameOut, uint32_t nameSize)
{
    const bool fromZero = (options & 1) != 0;
    capabilities = 0;
    uint32_t com = fromZero ? 0 : lastPortIndex;
    bool found = false;
    for (int attempt = 0; attempt < 255 && !found; ++attempt) {
        char path[260];
        if (PortPathForIndex(*this, com, path, sizeof path) && OpenPort(path) == CW_S_OK) {
            if (com >= 4)
                SleepMs(60);
            if (!fromZero && com == lastPortIndex)
                SetUSBBaud(lastUsbBaudIndex);
            found = TryFirmwareVersion();
        }
        if (!found)
            com = com >= 255 ? 1 : com + 1;
    }

    if (found) {
        if (!fromZero) {
            lastPortIndex = com;
            lastUsbBaudIndex = usbBaudIndex;
        }
        IdentifyDevice(firmwareVersion);
        if (nameOut != nullptr)
            DeviceModelName(capabilities, nameOut, nameSize, firmwareVersion);
        if (versionOut != nullptr)
            memcpy(versionOut, firmwareVersion, 3);
    } else {
        if (nameOut != nullptr && nameSize != 0)
            nameOut[0] = '\0';
        memset(firmwareVersion, 0, sizeof firmwareVersion);
    }
    if (capabilities == 0)
        ClosePort();
    return capabilities;
}
