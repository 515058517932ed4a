#include "sim/sim_device.h"

#include <cstdio>

#include "sim/frames.h"
#include "sim/handlers.h"

SimModel SimModelOf(char id)
{
    SimModel m = {};
    // The Mirra pair and the Relay Plus speak only the original protocol.
    m.extendedProtocol = !(id == '1' || id == '2' || id == 'T');
    m.address24 = id == 'R' || id == 'Q';
    m.bankCommands = id == 'O' || id == 'P' || id == 'D' || id == 'Z';
    m.orrery = id == 'Z';
    m.palomar = id == 'Q';
    m.chipProgramming = id == 'A' || id == 'F' || id == 'J' || id == 'X' || id == 'Z';
    return m;
}

uint32_t SimBaudOfIndex(uint32_t index)
{
    return 921600 / (index + 1);
}

SimDevice::SimDevice(const SimConfig& config)
{
    state_.config = config;
    state_.model = SimModelOf(config.modelId);
    state_.usbBaudIndex = config.usbBaudIndex;
    state_.eeprom.assign(256, 0xFF);
    for (size_t i = 0; i < sizeof config.hardwareInfo; ++i)
        state_.eeprom[1 + i] = config.hardwareInfo[i];
    state_.flash.assign(kSimFlashSize, 0xFF);
    state_.space10.assign(kSimSpaceSize, 0);
    state_.space20.assign(kSimSpaceSize, 0);
    state_.emulationBank = config.emulationBank;
    state_.rwBank = config.rwBank;
    state_.palomarMode = config.palomarMode;
    state_.palomarUnlocked = false;
    state_.chipEnabled = true;
    state_.eecIvNext = -1;
}

std::vector<uint8_t> SimDevice::Flash(uint32_t address, uint32_t count) const
{
    std::lock_guard<std::mutex> hold(mutex_);
    std::vector<uint8_t> out(count);
    for (uint32_t i = 0; i < count; ++i)
        out[i] = state_.flash[(address + i) % kSimFlashSize];
    return out;
}

void SimDevice::SetFlash(uint32_t address, const std::vector<uint8_t>& bytes)
{
    std::lock_guard<std::mutex> hold(mutex_);
    for (size_t i = 0; i < bytes.size(); ++i)
        state_.flash[(address + i) % kSimFlashSize] = bytes[i];
}

std::vector<uint8_t> SimDevice::Emulation(uint8_t space, uint32_t address, uint32_t count) const
{
    std::lock_guard<std::mutex> hold(mutex_);
    const std::vector<uint8_t>& memory = space == 0x10 ? state_.space10 : state_.space20;
    std::vector<uint8_t> out(count);
    for (uint32_t i = 0; i < count; ++i)
        out[i] = memory[(address + i) % kSimSpaceSize];
    return out;
}

uint8_t SimDevice::EmulationBank() const
{
    std::lock_guard<std::mutex> hold(mutex_);
    return state_.emulationBank;
}

uint8_t SimDevice::RwBank() const
{
    std::lock_guard<std::mutex> hold(mutex_);
    return state_.rwBank;
}

bool SimDevice::ChipEnabled() const
{
    std::lock_guard<std::mutex> hold(mutex_);
    return state_.chipEnabled;
}

bool SimDevice::LoadFlash(const char* path, std::string* error)
{
    FILE* f = fopen(path, "rb");
    if (f == nullptr) {
        *error = std::string("cannot read ") + path;
        return false;
    }
    std::vector<uint8_t> image(kSimFlashSize + 1);
    size_t got = fread(image.data(), 1, image.size(), f);
    fclose(f);
    if (got != kSimFlashSize) {
        *error = std::string(path) + " is not a 4 MB device image";
        return false;
    }
    image.resize(kSimFlashSize);
    std::lock_guard<std::mutex> hold(mutex_);
    state_.flash.swap(image);
    return true;
}

bool SimDevice::SaveFlash(const char* path, std::string* error) const
{
    // Written beside and renamed, so an interrupted save keeps the previous image.
    std::string temporary = std::string(path) + ".tmp";
    FILE* f = fopen(temporary.c_str(), "wb");
    if (f == nullptr) {
        *error = "cannot write " + temporary;
        return false;
    }
    bool ok;
    {
        std::lock_guard<std::mutex> hold(mutex_);
        ok = fwrite(state_.flash.data(), 1, state_.flash.size(), f) == state_.flash.size();
    }
    ok = fclose(f) == 0 && ok;
    if (!ok || rename(temporary.c_str(), path) != 0) {
        remove(temporary.c_str());
        *error = std::string("cannot write ") + path;
        return false;
    }
    return true;
}

uint32_t SimDevice::DeviceBaud() const
{
    std::lock_guard<std::mutex> hold(mutex_);
    return SimBaudOfIndex(state_.usbBaudIndex);
}

void SimDevice::AddFault(const SimFault& fault)
{
    std::lock_guard<std::mutex> hold(mutex_);
    faults_.push_back(fault);
}

void SimDevice::ClearFaults()
{
    std::lock_guard<std::mutex> hold(mutex_);
    faults_.clear();
}

bool SimDevice::HasPartialFrame() const
{
    std::lock_guard<std::mutex> hold(mutex_);
    return !pending_.empty();
}

void SimDevice::DropPartialFrame()
{
    std::lock_guard<std::mutex> hold(mutex_);
    if (pending_.empty())
        return;
    trace_.Add(TraceDir::kDropped, pending_.data(), pending_.size());
    pending_.clear();
}

std::vector<SimReply> SimDevice::Receive(const uint8_t* data, size_t count, uint32_t pcBaud)
{
    std::lock_guard<std::mutex> hold(mutex_);
    std::vector<SimReply> replies;
    if (state_.config.checkLineSpeed && pcBaud != 0 && pcBaud != SimBaudOfIndex(state_.usbBaudIndex)) {
        trace_.Add(TraceDir::kDropped, data, count);
        return replies;
    }
    pending_.insert(pending_.end(), data, data + count);
    while (!pending_.empty()) {
        int length = SimFrameLength(state_, pending_.data(), pending_.size());
        if (length == kFrameNeedMore || (length > 0 && size_t(length) > pending_.size()))
            break;
        if (length == kFrameUnknown) {
            // Whatever else is queued belongs to the frame it did not understand.
            trace_.Add(TraceDir::kToDevice, pending_.data(), pending_.size());
            pending_.clear();
            SimReply reply;
            reply.bytes = {'?'};
            trace_.Add(TraceDir::kFromDevice, reply.bytes.data(), reply.bytes.size());
            replies.push_back(reply);
            break;
        }
        std::vector<uint8_t> frame(pending_.begin(), pending_.begin() + length);
        pending_.erase(pending_.begin(), pending_.begin() + length);
        trace_.Add(TraceDir::kToDevice, frame.data(), frame.size());
        SimReply reply = Answer(frame.data(), frame.size());
        if (!reply.bytes.empty())
            trace_.Add(TraceDir::kFromDevice, reply.bytes.data(), reply.bytes.size());
        replies.push_back(reply);
    }
    return replies;
}

SimReply SimDevice::Answer(const uint8_t* frame, size_t length)
{
    SimReply reply;
    switch (SimFrameFamilyOf(state_, frame)) {
    case SimFamily::kIdentity:
        HandleIdentityFrame(state_, frame, length, reply);
        break;
    case SimFamily::kChip:
        HandleChipFrame(state_, frame, length, reply);
        break;
    case SimFamily::kBlock:
        HandleBlockFrame(state_, frame, length, reply);
        break;
    case SimFamily::kBank:
        HandleBankFrame(state_, frame, length, reply);
        break;
    }
    ApplyFault(frame, length, reply);
    return reply;
}

void SimDevice::ApplyFault(const uint8_t* frame, size_t length, SimReply& reply)
{
    const uint32_t byFirst = ++frameCounts_[frame[0]];
    const uint32_t byTwo = length > 1 ? ++frameCounts_[0x10000u | uint32_t(frame[1]) << 8 | frame[0]] : 0;
    for (const SimFault& fault : faults_) {
        if (fault.command != frame[0] || (fault.second != 0 && (length < 2 || fault.second != frame[1])))
            continue;
        const uint32_t number = fault.second != 0 ? byTwo : byFirst;
        if (fault.occurrence != 0 && fault.occurrence != number)
            continue;
        std::vector<uint8_t>& bytes = reply.bytes;
        switch (fault.kind) {
        case SimFaultKind::kSilence:
            bytes.clear();
            break;
        case SimFaultKind::kShortReply: {
            size_t cut = fault.param == 0 ? 1 : fault.param;
            bytes.resize(bytes.size() > cut ? bytes.size() - cut : 0);
            break;
        }
        case SimFaultKind::kQuestion:
            bytes = {'?'};
            break;
        case SimFaultKind::kWrongAck:
            if (!bytes.empty())
                bytes[0] = uint8_t(fault.param);
            break;
        case SimFaultKind::kBadChecksum:
            if (!bytes.empty())
                bytes.back() = uint8_t(bytes.back() + 1);
            break;
        case SimFaultKind::kStaleByte:
            bytes.push_back(uint8_t(fault.param));
            break;
        case SimFaultKind::kDelay:
            reply.delayMs = fault.param;
            break;
        case SimFaultKind::kDisconnect:
            if (bytes.size() > fault.param)
                bytes.resize(fault.param);
            reply.disconnect = true;
            break;
        }
    }
}
