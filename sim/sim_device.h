// A model of one device of the family: it takes the bytes the PC sends, cuts them into
// command frames by their fixed lengths, answers each from its own state and records
// every byte in its trace. Faults can be scripted per command and frame number.
#pragma once
#include <cstdint>
#include <map>
#include <mutex>
#include <string>
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
    // Banks and registers at power-up.
    uint8_t emulationBank = 0;
    uint8_t rwBank = 0;
    uint8_t palomarMode = 3;
    // The line itself: bytes flow no faster than this (10 bits a byte; 0: no limit), and
    // each reply starts this long after its command has arrived.
    uint32_t lineRateBaud = 0;
    uint32_t turnaroundUs = 0;
};

// What a model of the family understands.
struct SimModel {
    bool extendedProtocol; // "H" "R" EEPROM frames and the device-side "S" baud request
    bool address24;        // block frames carry A2 with a memory-space selector
    bool bankCommands;     // the four-byte "B" bank commands
    bool orrery;           // "8" bank selection and chip enable
    bool palomar;          // bank and mode as registers in memory space 0x20
    bool chipProgramming;  // the chip commands
};
SimModel SimModelOf(char id);

enum : uint32_t {
    kSimFlashSize = 4u << 20,   // the chip the programmer presents, 4 MB
    kSimSpaceSize = 2u << 20,   // emulation memory, per memory space
};

// Everything the command handlers answer from and change.
struct SimState {
    SimConfig config;
    SimModel model;
    uint32_t usbBaudIndex;
    std::vector<uint8_t> eeprom;
    std::vector<uint8_t> flash;
    std::vector<uint8_t> space10; // emulation memory: space 0x10 of 24-bit models
    std::vector<uint8_t> space20; // space 0x20, and all of it on two-byte-address models
    uint8_t emulationBank;
    uint8_t rwBank;
    uint8_t palomarMode;
    bool palomarUnlocked;
    bool chipEnabled;
    int eecIvNext; // next frame of the EEC-IV stream, -1 outside it
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
    // Their second byte as well, unless 0: on the Orrery, bank selection, chip enable and
    // every chip command start alike with "8".
    uint8_t second = 0;
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
    const SimConfig& config() const { return state_.config; }
    SimTrace& trace() { return trace_; }

    // A look at (or a change of) the device's state from outside, for tests.
    std::vector<uint8_t> Flash(uint32_t address, uint32_t count) const;
    void SetFlash(uint32_t address, const std::vector<uint8_t>& bytes);
    std::vector<uint8_t> Emulation(uint8_t space, uint32_t address, uint32_t count) const;
    uint8_t EmulationBank() const;
    uint8_t RwBank() const;
    bool ChipEnabled() const;
    // The 4 MB chip image as a file, so it outlives the program.
    bool LoadFlash(const char* path, std::string* error);
    bool SaveFlash(const char* path, std::string* error) const;

private:
    SimReply Answer(const uint8_t* frame, size_t length);
    void ApplyFault(const uint8_t* frame, size_t length, SimReply& reply);

    mutable std::mutex mutex_;
    SimState state_;
    std::vector<uint8_t> pending_;
    std::vector<SimFault> faults_;
    // Frames seen since the start, by first byte and by first two bytes.
    std::map<uint32_t, uint32_t> frameCounts_;
    SimTrace trace_;
};

uint32_t SimBaudOfIndex(uint32_t index);
