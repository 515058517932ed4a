#include "device/serial_backend.h"

#include <windows.h>

static HANDLE H(PortHandle port)
{
    return reinterpret_cast<HANDLE>(port);
}

PortHandle PortOpen(const char* path)
{
    HANDLE h = CreateFileA(path, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    return h == INVALID_HANDLE_VALUE ? kInvalidPort : reinterpret_cast<PortHandle>(h);
}

void PortClose(PortHandle port)
{
    CloseHandle(H(port));
}

bool PortGetLine(PortHandle port, LineSettings* out)
{
    DCB dcb = {};
    dcb.DCBlength = sizeof dcb;
    if (!GetCommState(H(port), &dcb))
        return false;
    out->baudRate = dcb.BaudRate;
    out->byteSize = dcb.ByteSize;
    out->parity = dcb.Parity;
    out->stopBits = dcb.StopBits;
    out->outxCtsFlow = dcb.fOutxCtsFlow;
    out->outxDsrFlow = dcb.fOutxDsrFlow;
    out->dsrSensitivity = dcb.fDsrSensitivity;
    out->dtrControl = uint8_t(dcb.fDtrControl);
    out->rtsControl = uint8_t(dcb.fRtsControl);
    return true;
}

bool PortSetLine(PortHandle port, const LineSettings& s)
{
    // Read the driver's block first so every field not named here stays as it reports it.
    DCB dcb = {};
    dcb.DCBlength = sizeof dcb;
    if (!GetCommState(H(port), &dcb))
        return false;
    dcb.BaudRate = s.baudRate;
    dcb.ByteSize = s.byteSize;
    dcb.Parity = s.parity;
    dcb.StopBits = s.stopBits;
    dcb.fOutxCtsFlow = s.outxCtsFlow;
    dcb.fOutxDsrFlow = s.outxDsrFlow;
    dcb.fDsrSensitivity = s.dsrSensitivity;
    dcb.fDtrControl = s.dtrControl;
    dcb.fRtsControl = s.rtsControl;
    return SetCommState(H(port), &dcb) != FALSE;
}

bool PortGetTimeouts(PortHandle port, PortTimeouts* out)
{
    COMMTIMEOUTS t = {};
    if (!GetCommTimeouts(H(port), &t))
        return false;
    *out = {uint32_t(t.ReadIntervalTimeout), uint32_t(t.ReadTotalTimeoutMultiplier),
            uint32_t(t.ReadTotalTimeoutConstant), uint32_t(t.WriteTotalTimeoutMultiplier),
            uint32_t(t.WriteTotalTimeoutConstant)};
    return true;
}

bool PortSetTimeouts(PortHandle port, const PortTimeouts& p)
{
    COMMTIMEOUTS t = {p.readInterval, p.readTotalMultiplier, p.readTotalConstant,
                      p.writeTotalMultiplier, p.writeTotalConstant};
    return SetCommTimeouts(H(port), &t) != FALSE;
}

bool PortSetupQueues(PortHandle port, uint32_t inputBytes, uint32_t outputBytes)
{
    return SetupComm(H(port), inputBytes, outputBytes) != FALSE;
}

bool PortPurge(PortHandle port)
{
    return PurgeComm(H(port), PURGE_TXCLEAR | PURGE_RXCLEAR) != FALSE;
}

bool PortWrite(PortHandle port, const void* data, uint32_t count, uint32_t* done)
{
    DWORD n = 0;
    BOOL ok = WriteFile(H(port), data, count, &n, nullptr);
    *done = n;
    return ok != FALSE;
}

bool PortRead(PortHandle port, void* data, uint32_t count, uint32_t* done)
{
    DWORD n = 0;
    BOOL ok = ReadFile(H(port), data, count, &n, nullptr);
    *done = n;
    return ok != FALSE;
}
