#include "device/serial_port.h"

#include <cstring>

SerialPort::SerialPort() : handle_(kInvalidPort), logTarget_(nullptr)
{
    portName_[0] = '\0';
    Reset();
}

SerialPort::~SerialPort()
{
    if (IsOpen())
        PortClose(handle_);
    LogPrintf(logTarget_, "KVSerial: Port Closed");
}

void SerialPort::CloseHandleAndLog()
{
    if (IsOpen()) {
        PortClose(handle_);
        handle_ = kInvalidPort;
    }
    LogPrintf(logTarget_, "KVSerial: Port Closed");
}

void SerialPort::Reset()
{
    CloseHandleAndLog();
    logTarget_ = nullptr;
    portName_[0] = '\0';
    lineSettings_ = LineSettings();
    timeouts_ = PortTimeouts();
}

bool SerialPort::Open(const char* path)
{
    if (IsOpen())
        CloseHandleAndLog();
    if (path != nullptr) {
        strncpy(portName_, path, sizeof portName_ - 1);
        portName_[sizeof portName_ - 1] = '\0';
    }
    handle_ = PortOpen(portName_);
    if (!IsOpen()) {
        LogPrintf(logTarget_, "KVSerial: Open Port %s Failed", portName_);
        LogPrintf(logTarget_, "KVSerial: Port Closed");
        return false;
    }
    LogPrintf(logTarget_, "KVSerial: Successfully opened %s", portName_);

    if (!PortGetLine(handle_, &lineSettings_)) {
        LogPrintf(logTarget_, "KVSerial: GetCommState Failed");
        CloseHandleAndLog();
        return false;
    }
    // DTR and RTS raised and kept raised; no hardware handshake.
    lineSettings_.baudRate = 115200;
    lineSettings_.byteSize = 8;
    lineSettings_.parity = kNoParity;
    lineSettings_.outxCtsFlow = 0;
    lineSettings_.outxDsrFlow = 0;
    lineSettings_.dsrSensitivity = 0;
    lineSettings_.dtrControl = kLineControlEnable;
    lineSettings_.rtsControl = kLineControlEnable;
    if (!PortSetLine(handle_, lineSettings_)) {
        LogPrintf(logTarget_, "KVSerial: SetCommState Failed");
        CloseHandleAndLog();
        return false;
    }
    SetTimeouts(40, 0, 300, 0, 300);
    LogPrintf(logTarget_, "KVSerial: %s opened at %i baud", portName_, 115200);
    return true;
}

void SerialPort::Close()
{
    CloseHandleAndLog();
}

uint32_t SerialPort::Write(const void* data, uint32_t count)
{
    if (!IsOpen() || data == nullptr || count == 0)
        return 0;
    uint32_t done = 0;
    if (!PortWrite(handle_, data, count, &done))
        return 0;
    LogHexDump(logTarget_, "KVSerial: Write", data, done);
    return done;
}

uint32_t SerialPort::Read(void* data, uint32_t count)
{
    if (!IsOpen() || data == nullptr || count == 0)
        return 0;
    uint32_t done = 0;
    if (!PortRead(handle_, data, count, &done))
        return 0;
    LogHexDump(logTarget_, "KVSerial: Read", data, done);
    return done;
}

bool SerialPort::SetBaudRate(uint32_t baud)
{
    if (!IsOpen())
        return false;
    if (!PortGetLine(handle_, &lineSettings_)) {
        LogPrintf(logTarget_, "KVSerial: GetCommState Failed");
        return false;
    }
    if (lineSettings_.baudRate == baud)
        return true;
    lineSettings_.baudRate = baud;
    if (!PortSetLine(handle_, lineSettings_)) {
        LogPrintf(logTarget_, "KVSerial: SetCommState Failed");
        return false;
    }
    LogPrintf(logTarget_, "KVSerial: Baud changed to %i", int(baud));
    return true;
}

bool SerialPort::RefreshTimeouts()
{
    return IsOpen() && PortGetTimeouts(handle_, &timeouts_);
}

bool SerialPort::SetReadTimeout(uint32_t milliseconds)
{
    if (!RefreshTimeouts())
        return false;
    timeouts_.readTotalConstant = milliseconds;
    return PortSetTimeouts(handle_, timeouts_);
}

bool SerialPort::SetTimeouts(uint32_t readInterval, uint32_t readTotalMultiplier, uint32_t readTotalConstant,
                             uint32_t writeTotalMultiplier, uint32_t writeTotalConstant)
{
    if (!RefreshTimeouts())
        return false;
    timeouts_ = {readInterval, readTotalMultiplier, readTotalConstant, writeTotalMultiplier, writeTotalConstant};
    return PortSetTimeouts(handle_, timeouts_);
}

void SerialPort::Purge()
{
    if (IsOpen())
        PortPurge(handle_);
}

bool SerialPort::SetupBuffers()
{
    return IsOpen() && PortSetupQueues(handle_, 1024, 1024);
}

bool SerialPort::QueryLineSettings(LineSettings* out) const
{
    return IsOpen() && PortGetLine(handle_, out);
}

bool SerialPort::QueryTimeouts(PortTimeouts* out) const
{
    return IsOpen() && PortGetTimeouts(handle_, out);
}
