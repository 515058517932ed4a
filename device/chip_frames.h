// Pieces shared by the chip operations' files.
#pragma once
#include <cstdint>

#include "device/chip.h"

// Two letters, the length byte (256 as 0), then 2 or 3 address bytes. Returns its length.
uint32_t ChipCommandHeader(uint8_t* out, char first, char second, uint32_t length, uint32_t address,
                           uint8_t addressBytes);

// "KVChipwise: <operation> took %i milliseconds (%f seconds)" since startTick.
void LogElapsed(DeviceChannel& channel, const char* operation, uint32_t startTick);

// Text buffer sizes of the progress records.
enum : uint32_t { kChipTextSize = 100, kEraseTextSize = 50, kVerifyTextSize = 40 };

// A block's step, reported once the next block's frame is on its way, so that whoever
// receives the report (a window repainting its progress bar) works while the device does.
// The reports stay what they would be if each step came right after its block's reply: the
// same ones in the same order, a failing frame after the steps of the blocks before it, the
// end after the last step. Reads and verifies let a cancel raised in a step's report end the
// operation where it would have ended, before the next block's reports; that block's frame
// has already gone out, so its reply is read and dropped (ReportAfterSend). A write, which
// cannot take a frame back and skips blank blocks, keeps its own account (chip_write.cpp).
class DeferredStep {
public:
    DeferredStep(DeviceChannel& channel, ProgressReporter& reporter) : channel_(channel), reporter_(reporter) {}
    // The block in flight was answered well; its step waits for the next frame.
    void Done() { pending_ = true; }
    // Reports a waiting step now: before a failure or a cancel is returned, and at the end.
    void Flush();
    // Called once the next frame has been sent: reports the waiting step. False when a
    // cancel was raised by the time it was reported, so the loop would have stopped here.
    bool ReportAfterSend();

private:
    DeviceChannel& channel_;
    ProgressReporter& reporter_;
    bool pending_ = false;
};
