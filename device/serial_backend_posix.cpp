// termios backend. The fd is non-blocking and raw; reads are bounded with poll() so that
// the COMMTIMEOUTS meaning of the five time-outs holds exactly as on Windows.
#include "device/serial_backend.h"

#include <cerrno>
#include <chrono>
#include <climits>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>
#if defined(__linux__)
#include <linux/serial.h>
#endif

namespace {

const uint32_t kMaxDword = 0xFFFFFFFFu;

struct PosixPort {
    int fd;
    PortTimeouts timeouts;
    // Remembered so they read back as set where the tty has no modem lines (a pty).
    uint8_t dtrControl;
    uint8_t rtsControl;
    uint8_t outxDsrFlow;
    uint8_t dsrSensitivity;
};

PosixPort* P(PortHandle port)
{
    return reinterpret_cast<PosixPort*>(port);
}

struct BaudEntry {
    uint32_t baud;
    speed_t speed;
};

const BaudEntry kBauds[] = {
    {300, B300},       {600, B600},       {1200, B1200},     {2400, B2400},
    {4800, B4800},     {9600, B9600},     {19200, B19200},   {38400, B38400},
    {57600, B57600},   {115200, B115200}, {230400, B230400}, {460800, B460800},
    {921600, B921600},
};

bool SpeedOfBaud(uint32_t baud, speed_t* out)
{
    for (const BaudEntry& e : kBauds)
        if (e.baud == baud) {
            *out = e.speed;
            return true;
        }
    return false;
}

uint32_t BaudOfSpeed(speed_t speed)
{
    for (const BaudEntry& e : kBauds)
        if (e.speed == speed)
            return e.baud;
    return 0;
}

int64_t NowMs()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

// Waits for the fd to become ready; false when it hung up or failed instead.
bool WaitReady(int fd, short events, int64_t waitMs)
{
    pollfd p = {fd, events, 0};
    int r = poll(&p, 1, int(waitMs > INT_MAX ? INT_MAX : waitMs));
    if (r < 0)
        return errno == EINTR;
    if (r == 0)
        return true;
    if (p.revents & events)
        return true;
    return (p.revents & (POLLHUP | POLLERR | POLLNVAL)) == 0;
}

void SetModemLine(int fd, int line, bool on)
{
    // A pty has no modem lines; the request fails there and the remembered value stands.
    ioctl(fd, on ? TIOCMBIS : TIOCMBIC, &line);
}

#if defined(__linux__)
int DriverControl(int fd, unsigned long request, void* argument)
{
    return ioctl(fd, request, argument);
}
#endif

} // namespace

#if defined(__linux__)
bool PortRequestLowLatency(int fd, PortDriverControl control)
{
    serial_struct serial;
    memset(&serial, 0, sizeof serial);
    if (control(fd, TIOCGSERIAL, &serial) != 0)
        return false;
    if (serial.flags & ASYNC_LOW_LATENCY)
        return true;
    serial.flags |= ASYNC_LOW_LATENCY;
    return control(fd, TIOCSSERIAL, &serial) == 0;
}
#endif

PortHandle PortOpen(const char* path)
{
    int fd = open(path, O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return kInvalidPort;
    // No sharing, as with Win32's share mode 0.
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        close(fd);
        return kInvalidPort;
    }
    termios t;
    if (tcgetattr(fd, &t) == 0) {
        // The Windows driver is always binary: no echo, no line editing, no translation.
        cfmakeraw(&t);
        t.c_cflag |= CLOCAL | CREAD;
        // With VMIN 0 a non-blocking read of an empty queue returns 0 instead of EAGAIN.
        t.c_cc[VMIN] = 1;
        t.c_cc[VTIME] = 0;
        tcsetattr(fd, TCSANOW, &t);
    }
#if defined(__linux__)
    // A bridge's latency timer would hold every short reply back for up to 16 ms. The
    // setting belongs to the port and is harmless, so it is not undone at close.
    PortRequestLowLatency(fd, DriverControl);
#endif
    PosixPort* port = new PosixPort{fd, {}, kLineControlEnable, kLineControlEnable, 0, 0};
    return reinterpret_cast<PortHandle>(port);
}

void PortClose(PortHandle port)
{
    close(P(port)->fd);
    delete P(port);
}

bool PortGetLine(PortHandle port, LineSettings* out)
{
    termios t;
    if (tcgetattr(P(port)->fd, &t) != 0)
        return false;
    out->baudRate = BaudOfSpeed(cfgetospeed(&t));
    switch (t.c_cflag & CSIZE) {
    case CS5: out->byteSize = 5; break;
    case CS6: out->byteSize = 6; break;
    case CS7: out->byteSize = 7; break;
    default: out->byteSize = 8; break;
    }
    out->parity = !(t.c_cflag & PARENB) ? kNoParity : (t.c_cflag & PARODD) ? kOddParity : kEvenParity;
    out->stopBits = (t.c_cflag & CSTOPB) ? kTwoStopBits : kOneStopBit;
    out->outxCtsFlow = (t.c_cflag & CRTSCTS) ? 1 : 0;
    out->outxDsrFlow = P(port)->outxDsrFlow;
    out->dsrSensitivity = P(port)->dsrSensitivity;
    out->dtrControl = P(port)->dtrControl;
    out->rtsControl = P(port)->rtsControl;
    int lines = 0;
    if (ioctl(P(port)->fd, TIOCMGET, &lines) == 0) {
        out->dtrControl = (lines & TIOCM_DTR) ? kLineControlEnable : kLineControlDisable;
        out->rtsControl = (lines & TIOCM_RTS) ? kLineControlEnable : kLineControlDisable;
    }
    return true;
}

bool PortSetLine(PortHandle port, const LineSettings& s)
{
    PosixPort* p = P(port);
    termios t;
    speed_t speed;
    if (tcgetattr(p->fd, &t) != 0 || !SpeedOfBaud(s.baudRate, &speed))
        return false;
    cfsetispeed(&t, speed);
    cfsetospeed(&t, speed);
    t.c_cflag &= ~tcflag_t(CSIZE);
    switch (s.byteSize) {
    case 5: t.c_cflag |= CS5; break;
    case 6: t.c_cflag |= CS6; break;
    case 7: t.c_cflag |= CS7; break;
    case 8: t.c_cflag |= CS8; break;
    default: return false;
    }
    t.c_cflag &= ~tcflag_t(PARENB | PARODD);
    if (s.parity == kOddParity)
        t.c_cflag |= PARENB | PARODD;
    else if (s.parity == kEvenParity)
        t.c_cflag |= PARENB;
    else if (s.parity != kNoParity)
        return false;
    if (s.stopBits == kTwoStopBits)
        t.c_cflag |= CSTOPB;
    else
        t.c_cflag &= ~tcflag_t(CSTOPB);
    if (s.outxCtsFlow)
        t.c_cflag |= CRTSCTS;
    else
        t.c_cflag &= ~tcflag_t(CRTSCTS);
    if (tcsetattr(p->fd, TCSANOW, &t) != 0)
        return false;
    SetModemLine(p->fd, TIOCM_DTR, s.dtrControl != kLineControlDisable);
    SetModemLine(p->fd, TIOCM_RTS, s.rtsControl != kLineControlDisable);
    p->dtrControl = s.dtrControl;
    p->rtsControl = s.rtsControl;
    p->outxDsrFlow = s.outxDsrFlow;
    p->dsrSensitivity = s.dsrSensitivity;
    return true;
}

bool PortGetTimeouts(PortHandle port, PortTimeouts* out)
{
    *out = P(port)->timeouts;
    return true;
}

bool PortSetTimeouts(PortHandle port, const PortTimeouts& timeouts)
{
    P(port)->timeouts = timeouts;
    return true;
}

bool PortSetupQueues(PortHandle port, uint32_t, uint32_t)
{
    // The kernel's tty queues have a fixed size; there is nothing to set.
    termios t;
    return tcgetattr(P(port)->fd, &t) == 0;
}

bool PortPurge(PortHandle port)
{
    return tcflush(P(port)->fd, TCIOFLUSH) == 0;
}

bool PortWrite(PortHandle port, const void* data, uint32_t count, uint32_t* done)
{
    const PosixPort* p = P(port);
    const PortTimeouts& t = p->timeouts;
    const bool bounded = t.writeTotalMultiplier != 0 || t.writeTotalConstant != 0;
    const int64_t deadline = NowMs() + int64_t(t.writeTotalMultiplier) * count + t.writeTotalConstant;
    const uint8_t* bytes = static_cast<const uint8_t*>(data);
    *done = 0;
    while (*done < count) {
        ssize_t n = write(p->fd, bytes + *done, count - *done);
        if (n > 0) {
            *done += uint32_t(n);
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EINTR)
            return false;
        int64_t wait = bounded ? deadline - NowMs() : 1000;
        if (wait <= 0)
            return true; // a write time-out is a short count, not a failure
        if (!WaitReady(p->fd, POLLOUT, wait))
            return false;
    }
    return true;
}

bool PortRead(PortHandle port, void* data, uint32_t count, uint32_t* done)
{
    const PosixPort* p = P(port);
    const PortTimeouts& t = p->timeouts;
    // The special forms of COMMTIMEOUTS: return at once with what is there, or return as
    // soon as anything arrives.
    const bool returnAtOnce = t.readInterval == kMaxDword && t.readTotalMultiplier == 0 && t.readTotalConstant == 0;
    const bool returnOnFirst = t.readInterval == kMaxDword && t.readTotalMultiplier == kMaxDword &&
                               t.readTotalConstant != 0 && t.readTotalConstant != kMaxDword;
    const bool useInterval = t.readInterval != 0 && t.readInterval != kMaxDword;
    const bool totalBounded = t.readTotalMultiplier != 0 || t.readTotalConstant != 0;
    const int64_t multiplier = returnOnFirst ? 0 : t.readTotalMultiplier;
    const int64_t deadline = NowMs() + multiplier * count + t.readTotalConstant;
    int64_t lastByte = 0;
    uint8_t* bytes = static_cast<uint8_t*>(data);
    *done = 0;
    while (*done < count) {
        ssize_t n = read(p->fd, bytes + *done, count - *done);
        if (n > 0) {
            *done += uint32_t(n);
            lastByte = NowMs();
            if (returnOnFirst)
                return true;
            continue;
        }
        // VMIN is 1, so an empty queue gives EAGAIN; 0 is the end of a hung-up line. When
        // the device goes away mid-reply, the bytes it sent first are a short read.
        if (n == 0 || (errno != EAGAIN && errno != EINTR))
            return *done > 0;
        if (returnAtOnce)
            return true;
        int64_t now = NowMs();
        int64_t wait = totalBounded ? deadline - now : INT_MAX;
        if (useInterval && *done > 0 && lastByte + t.readInterval - now < wait)
            wait = lastByte + t.readInterval - now;
        if (wait <= 0)
            return true; // time-out: a short count, which the caller judges
        if (!WaitReady(p->fd, POLLIN, wait))
            return *done > 0;
    }
    return true;
}
