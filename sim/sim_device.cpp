#include "sim/sim_device.h"

#include "sim/frames.h"
#include "sim/handlers.h"

SimModel SimModelOf(char id)
{
    // The Mirra pair and the Relay Plus speak only the original protocol.
    bool original = id == '1' || id == '2' || id == 'T';
    return SimModel{!original};
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
        int length = SimFrameLength(state_.model, pending_.data(), pending_.size());
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
    switch (frame[0]) {
    case 'V':
    case 'S':
    case 'H':
    case 'E':
        HandleIdentityFrame(state_, frame, length, reply);
        break;
    }
    ApplyFault(frame[0], reply);
    return reply;
}

void SimDevice::ApplyFault(uint8_t command, SimReply& reply)
{
    uint32_t number = ++frameCounts_[command];
    for (const SimFault& fault : faults_) {
        if (fault.command != command || (fault.occurrence != 0 && fault.occurrence != number))
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
