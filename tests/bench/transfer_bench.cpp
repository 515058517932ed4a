// Prints how close whole-position transfers come to the wire limit of a modelled line:
// write, device-side verify and read-back of 256 KB through the real serial port and a pty
// to the simulator, at 921600 and 115200 baud with a 1 ms turnaround. Also prints how long
// discovery takes to find the device among candidate ports. Figures only; no pass or fail.
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "device/chip.h"
#include "sim/sim_pty.h"

namespace {

const uint32_t kPosition = 0x40000;
const uint32_t kFrames = kPosition / 256;
const uint32_t kTurnaroundUs = 1000;

double Seconds(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Every frame: command and reply bytes at 10 bits a byte, plus one turnaround.
double WireLimit(uint32_t frames, uint32_t bytesPerFrame, uint32_t baud)
{
    return frames * (bytesPerFrame * 10.0 / baud + kTurnaroundUs / 1e6);
}

void Report(const char* what, double seconds, double limit)
{
    printf("  %-28s %8.3f s   wire limit %8.3f s   ratio %.3f\n", what, seconds, limit, limit / seconds);
}

bool BenchLine(uint32_t baud, uint32_t usbIndex)
{
    SimConfig config;
    config.lineRateBaud = baud;
    config.turnaroundUs = kTurnaroundUs;
    SimDevice device(config);
    SimPty pty(device);
    if (!pty.Open())
        return false;
    pty.Start();
    DeviceChannel channel;
    if (channel.OpenPort(pty.slavePath().c_str()) != CW_S_OK)
        return false;
    channel.capabilities = 0x09040001;
    if (usbIndex != 7 && channel.SetUSBBaud(usbIndex) != CW_S_OK)
        return false;

    std::vector<uint8_t> image(kPosition), back(kPosition);
    for (size_t i = 0; i < image.size(); ++i)
        image[i] = uint8_t(i * 7 + (i >> 8)); // no blank blocks: every frame goes out
    printf("%u baud, %u us turnaround, 256 KB position (%u frames each way):\n", baud, kTurnaroundUs, kFrames);

    auto start = std::chrono::steady_clock::now();
    if (EraseChip(channel, nullptr, kChipT6ViaOrrery, kEraseBlocks, 1, 1) != CW_S_OK)
        return false;
    Report("erase (4 sectors)", Seconds(start), WireLimit(4, 4 + 1, baud));

    start = std::chrono::steady_clock::now();
    if (WriteChip(channel, image.data(), kChipT6ViaOrrery, kPosition, kPosition, nullptr) != CW_S_OK)
        return false;
    Report("write (263 + 1 bytes/frame)", Seconds(start), WireLimit(kFrames, 263 + 1, baud));

    start = std::chrono::steady_clock::now();
    if (VerifyChip(channel, image.data(), kChipT6ViaOrrery, kPosition, kPosition, nullptr) != 1)
        return false;
    Report("verify (263 + 1 bytes/frame)", Seconds(start), WireLimit(kFrames, 263 + 1, baud));

    start = std::chrono::steady_clock::now();
    if (ReadChip(channel, back.data(), kChipT6ViaOrrery, kPosition, kPosition, nullptr) != CW_S_OK || back != image)
        return false;
    Report("read (7 + 257 bytes/frame)", Seconds(start), WireLimit(kFrames, 7 + 257, baud));
    channel.ClosePort();
    return true;
}

bool BenchDiscovery()
{
    SimDevice device;
    SimPty pty(device);
    if (!pty.Open())
        return false;
    pty.Start();
    // Sixteen candidates like the built-in list, the device on the eighth.
    std::vector<std::string> paths;
    for (int i = 0; i < 16; ++i)
        paths.push_back(i == 7 ? pty.slavePath() : "/nonexistent/ttyUSB" + std::to_string(i));
    std::vector<const char*> pointers;
    for (const std::string& p : paths)
        pointers.push_back(p.c_str());
    DeviceChannel channel;
    channel.portCandidates = pointers.data();
    channel.portCandidateCount = uint32_t(pointers.size());
    auto start = std::chrono::steady_clock::now();
    char name[100] = "";
    DeviceCaps caps = channel.FindHardware(nullptr, 0, name, sizeof name);
    printf("FindHardware, 16 candidates, device on port 7: %.3f s (%s)\n", Seconds(start),
           caps != 0 ? name : "not found");
    start = std::chrono::steady_clock::now();
    caps = channel.FindHardware(nullptr, 0, name, sizeof name);
    printf("FindHardware again, from the remembered port:  %.3f s (%s)\n", Seconds(start),
           caps != 0 ? name : "not found");
    return caps != 0;
}

} // namespace

int main()
{
    bool ok = BenchLine(921600, 0) && BenchLine(115200, 7) && BenchDiscovery();
    if (!ok)
        fprintf(stderr, "transfer_bench: a transfer failed\n");
    return ok ? 0 : 1;
}
