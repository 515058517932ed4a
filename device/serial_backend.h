// The operating-system side of a communications port: Win32 handles and COMMTIMEOUTS in
// the product, termios on POSIX with the same time-out behaviour. SerialPort holds the
// policy (what is set, what is logged); these functions only move settings and bytes.
#pragma once
#include <cstdint>

typedef intptr_t PortHandle;
const PortHandle kInvalidPort = -1;

enum : uint8_t { kNoParity = 0, kOddParity = 1, kEvenParity = 2 };
enum : uint8_t { kOneStopBit = 0, kOneAndHalfStopBits = 1, kTwoStopBits = 2 };
enum : uint8_t { kLineControlDisable = 0, kLineControlEnable = 1, kLineControlHandshake = 2 };

// The line settings this program reads and changes. Setting them changes only these
// fields; everything else the driver keeps stays as it was.
struct LineSettings {
    uint32_t baudRate;
    uint8_t byteSize;
    uint8_t parity;
    uint8_t stopBits;
    uint8_t outxCtsFlow;
    uint8_t outxDsrFlow;
    uint8_t dsrSensitivity;
    uint8_t dtrControl;
    uint8_t rtsControl;
};

// The five time-outs, in milliseconds, with the meaning of Win32 COMMTIMEOUTS: a read ends
// when the count has arrived, when multiplier x count + constant has passed, or when the
// interval passes between two bytes after the first one.
struct PortTimeouts {
    uint32_t readInterval;
    uint32_t readTotalMultiplier;
    uint32_t readTotalConstant;
    uint32_t writeTotalMultiplier;
    uint32_t writeTotalConstant;
};

PortHandle PortOpen(const char* path);
void PortClose(PortHandle port);
bool PortGetLine(PortHandle port, LineSettings* out);
bool PortSetLine(PortHandle port, const LineSettings& settings);
bool PortGetTimeouts(PortHandle port, PortTimeouts* out);
bool PortSetTimeouts(PortHandle port, const PortTimeouts& timeouts);
bool PortSetupQueues(PortHandle port, uint32_t inputBytes, uint32_t outputBytes);
bool PortPurge(PortHandle port);
// Both report false on failure; *done holds the bytes moved either way.
bool PortWrite(PortHandle port, const void* data, uint32_t count, uint32_t* done);
bool PortRead(PortHandle port, void* data, uint32_t count, uint32_t* done);

#if defined(__linux__)
// How the low-latency request reaches the port's driver (ioctl); tests put in a driver of their own.
typedef int (*PortDriverControl)(int fd, unsigned long request, void* argument);
// Asks the port's driver to pass every reply on at once (ASYNC_LOW_LATENCY), which the
// drivers of the common USB-serial bridges turn into a 1 ms latency timer. Everything else
// the driver keeps stays as it is. False, with nothing changed, where the port has no such
// setting (a pseudo-terminal, another driver). PortOpen asks it of every port it opens.
bool PortRequestLowLatency(int fd, PortDriverControl control);
#endif
