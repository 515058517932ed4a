#include "sim/sim_pty.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace {

// A frame that stays incomplete this long is dropped, as the device's own receive
// time-out would.
const int kPartialFrameMs = 500;

struct SpeedEntry {
    speed_t speed;
    uint32_t baud;
};

const SpeedEntry kSpeeds[] = {
    {B9600, 9600},     {B19200, 19200},   {B38400, 38400},   {B57600, 57600},
    {B115200, 115200}, {B230400, 230400}, {B460800, 460800}, {B921600, 921600},
};

void SleepInterruptible(uint32_t ms, const std::atomic<bool>& stop)
{
    auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (!stop.load() && std::chrono::steady_clock::now() < until)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
}

} // namespace

SimPty::SimPty(SimDevice& device) : device_(device) {}

SimPty::~SimPty()
{
    Stop();
    Vanish();
}

bool SimPty::Open()
{
    master_ = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master_ < 0 || grantpt(master_) != 0 || unlockpt(master_) != 0)
        return false;
    const char* name = ptsname(master_);
    if (name == nullptr)
        return false;
    slavePath_ = name;
    slaveKeep_ = open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (slaveKeep_ < 0)
        return false;
    // Raw, both ways: no echo of what the PC writes, no translation of the bytes.
    termios t;
    if (tcgetattr(slaveKeep_, &t) == 0) {
        cfmakeraw(&t);
        cfsetispeed(&t, B115200);
        cfsetospeed(&t, B115200);
        tcsetattr(slaveKeep_, TCSANOW, &t);
    }
    fcntl(master_, F_SETFL, fcntl(master_, F_GETFL) | O_NONBLOCK);
    return true;
}

bool SimPty::Link(const std::string& linkPath)
{
    unlink(linkPath.c_str());
    if (symlink(slavePath_.c_str(), linkPath.c_str()) != 0)
        return false;
    linkPath_ = linkPath;
    return true;
}

void SimPty::Start()
{
    stop_ = false;
    thread_ = std::thread([this] { Serve(stop_); });
}

void SimPty::Stop()
{
    stop_ = true;
    if (thread_.joinable())
        thread_.join();
}

void SimPty::Vanish()
{
    if (master_ >= 0)
        close(master_);
    if (slaveKeep_ >= 0)
        close(slaveKeep_);
    master_ = slaveKeep_ = -1;
    if (!linkPath_.empty())
        unlink(linkPath_.c_str());
    linkPath_.clear();
    vanished_ = true;
}

uint32_t SimPty::PcBaud() const
{
    // The slave's settings are what the code under test set on its port.
    termios t;
    if (tcgetattr(slaveKeep_, &t) != 0)
        return 0;
    for (const SpeedEntry& e : kSpeeds)
        if (e.speed == cfgetospeed(&t))
            return e.baud;
    return 0;
}

// A real UART sends on time; the scheduler wakes a sleeper late by tens of microseconds.
// Sleep to just short of the deadline, then spin the rest.
static void WaitUntil(std::chrono::steady_clock::time_point deadline)
{
    const auto margin = std::chrono::microseconds(150);
    if (deadline - std::chrono::steady_clock::now() > margin)
        std::this_thread::sleep_until(deadline - margin);
    while (std::chrono::steady_clock::now() < deadline)
        std::this_thread::yield();
}

// Time for count bytes at the modelled line rate: ten bits a byte.
static std::chrono::microseconds WireTime(size_t count, uint32_t baud)
{
    return std::chrono::microseconds(baud == 0 ? 0 : int64_t(count) * 10 * 1000000 / baud);
}

std::chrono::steady_clock::time_point SimPty::ArrivalOf(size_t count)
{
    // The PC's write lands in the pty at once; on a real line the last byte arrives only
    // after every byte before it has crossed.
    auto now = std::chrono::steady_clock::now();
    inputDoneAt_ = std::max(now, inputDoneAt_) + WireTime(count, device_.config().lineRateBaud);
    return inputDoneAt_;
}

bool SimPty::Send(const SimReply& reply, std::chrono::steady_clock::time_point arrival, const std::atomic<bool>& stop)
{
    if (reply.delayMs != 0)
        SleepInterruptible(reply.delayMs, stop);
    // Every byte leaves at its own deadline, counted from when the command had arrived:
    // one sleep per chunk, and no sleep's overshoot adds to the next.
    const uint32_t baud = device_.config().lineRateBaud;
    const auto start = std::max(arrival, std::chrono::steady_clock::now()) +
                       std::chrono::microseconds(device_.config().turnaroundUs);
    const bool paced = baud != 0 || device_.config().turnaroundUs != 0;
    const size_t chunk = baud == 0 ? reply.bytes.size() : 64;
    size_t sent = 0;
    while (sent < reply.bytes.size() && !stop.load()) {
        size_t want = std::min(chunk, reply.bytes.size() - sent);
        if (paced)
            WaitUntil(start + WireTime(sent + want, baud));
        ssize_t n = write(master_, reply.bytes.data() + sent, want);
        if (n > 0) {
            sent += size_t(n);
        } else if (n < 0 && errno != EAGAIN && errno != EINTR) {
            return false;
        } else {
            pollfd p = {master_, POLLOUT, 0};
            poll(&p, 1, 20);
        }
    }
    if (reply.disconnect) {
        Vanish();
        return false;
    }
    return true;
}

void SimPty::Serve(const std::atomic<bool>& stop)
{
    auto lastByte = std::chrono::steady_clock::now();
    uint8_t buffer[4096];
    while (!stop.load() && master_ >= 0) {
        pollfd p = {master_, POLLIN, 0};
        int ready = poll(&p, 1, 20);
        if (ready > 0 && (p.revents & POLLIN)) {
            ssize_t n = read(master_, buffer, sizeof buffer);
            if (n > 0) {
                auto arrival = ArrivalOf(size_t(n));
                lastByte = std::chrono::steady_clock::now();
                for (const SimReply& reply : device_.Receive(buffer, size_t(n), PcBaud()))
                    if (!Send(reply, arrival, stop))
                        return;
                continue;
            }
        }
        if (device_.HasPartialFrame() &&
            std::chrono::steady_clock::now() - lastByte > std::chrono::milliseconds(kPartialFrameMs))
            device_.DropPartialFrame();
    }
}
