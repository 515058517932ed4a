// Serves a SimDevice on a pseudo-terminal: the code under test opens the slave side as
// its serial port, exactly as it would open a real one.
#pragma once
#include <atomic>
#include <chrono>
#include <string>
#include <thread>

#include "sim/sim_device.h"

class SimPty {
public:
    explicit SimPty(SimDevice& device);
    ~SimPty();
    SimPty(const SimPty&) = delete;
    SimPty& operator=(const SimPty&) = delete;

    // Creates the pty; false (with errno set) when the system has none to give.
    bool Open();
    const std::string& slavePath() const { return slavePath_; }
    // A symbolic link to the slave, for example a Wine prefix's dosdevices/com7.
    bool Link(const std::string& linkPath);

    // Serves on a thread of its own until Stop (in-process use).
    void Start();
    void Stop();
    // Serves on the calling thread until stop becomes true or the port vanishes.
    void Serve(const std::atomic<bool>& stop);

    bool vanished() const { return vanished_.load(); }

private:
    void Vanish();
    uint32_t PcBaud() const;
    std::chrono::steady_clock::time_point ArrivalOf(size_t count);
    bool Send(const SimReply& reply, std::chrono::steady_clock::time_point arrival, const std::atomic<bool>& stop);

    SimDevice& device_;
    int master_ = -1;
    int slaveKeep_ = -1; // keeps the line up while no client has the port open
    std::string slavePath_;
    std::string linkPath_;
    std::thread thread_;
    // Line-rate model: when the bytes read so far have finished arriving at the device.
    std::chrono::steady_clock::time_point inputDoneAt_;
    std::atomic<bool> stop_{false};
    std::atomic<bool> vanished_{false};
};
