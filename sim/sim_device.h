// A model of one device of the family: it takes the bytes the PC sends, cuts them into
// command frames by their fixed lengths, answers each from its own state and records
// every byte in its trace. Faults can be scripted per command and frame number.
#pragma once
#include <cstdint>
#include <map>
#include <mutex>
#include <vector>

#include "sim/trace.h"

struct SimConfig {
    char modelId = 'Z';
    uint8_t firmwareMajor = 1;
    uint8_t firmwareMinor = 5;
    // Stored at EEPROM address 1: model id, three bytes of serial, interface, two spare.
    uint8_t hardwareInfo[7] = {'Z', 0x01, 0x06, 'U', 0x12, 0x34, 0x56};
    // USB baud index the device starts at: 0 = 921600, 1 = 460800, 3 = 230400, 7 = 115200.
    uint32_t usbBaudIndex = 7;
    // Bytes sent at another line speed than the device's are lost, as on a real line.
    bool checkLineSpeed = true;
};

// What a model of the family understands.
struct SimModel {
    bool extendedProtocol; // "H" "R" EEPROM frames and the device-side "S" baud request
};
SimModel SimModelOf(char id);

// Everything the command handlers answer from and change.
struct SimState {
    SimConfig config;
    SimModel model;
    uint32_t usbBaudIndex;
    std::vector<uint8_t> eeprom;
};

struct SimReply {
    std::vector<uint8_t> bytes;
    uint32_t delayMs = 0;     // wait before sending
    bool disconnect = false;  // the port vanishes after the bytes are sent
};

enum class SimFaultKind {
    kSilence,     // no reply at all
    kShortReply,  // the reply without its last `param` bytes (at least one)
    kQuestion,    // "?" in place of the reply
    kWrongAck,    // first reply byte replaced by `param`
    kBadChecksum, // last reply byte off by one
    kStaleByte,   // the reply, then one extra byte `param`
    kDelay,       // the reply after `param` milliseconds
    kDisconnect,  // the first `param` bytes of the reply, then the port vanishes
};

struct SimFault {
    uint8_t command;     // first byte of the frames it applies to
    uint32_t occurrence; // the n-th such frame, counting from 1; 0 for every one
    SimFaultKind kind;
    uint32_t param;
};

class SimDevice {
public:
    explicit SimDevice(const SimConfig& config = SimConfig());

    // Bytes from the PC, sent at pcBaud (0 when unknown); the replies in order.
    std::vector<SimReply> Receive(const uint8_t* data, size_t count, uint32_t pcBaud);
    // Drops an incomplete frame; the server calls it when the line has been quiet a while.
    void DropPartialFrame();
    bool HasPartialFrame() const;

    void AddFault(const SimFault& fault);
    void ClearFaults();

    uint32_t DeviceBaud() const;
    SimTrace& trace() { return trace_; }

private:
    SimReply Answer(const uint8_t* frame, size_t length);
    void ApplyFault(uint8_t command, SimReply& reply);

    mutable std::mutex mutex_;
    SimState state_;
    std::vector<uint8_t> pending_;
    std::vector<SimFault> faults_;
    std::map<uint8_t, uint32_t> frameCounts_;
    SimTrace trace_;
};

uint32_t SimBaudOfIndex(uint32_t index);
