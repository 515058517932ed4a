// Prints how close whole-position transfers come to the wire limit of a modelled line:
// write, device-side verify and read-back of 256 KB through the real serial port and a pty
// to the simulator, at 921600 and 115200 baud with a 1 ms turnaround; and the write and
// verify jobs (as t6tool runs them) for a 224 KB tune file. Also prints how long discovery
// takes to find the device among candidate ports. Figures only; no pass or fail.
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "app/app_state.h"
#include "device/chip.h"
#include "jobs/upload_jobs.h"
#include "jobs/verify_jobs.h"
#include "sim/sim_pty.h"

namespace {

const uint32_t kPosition = 0x40000;
const uint32_t kFrames = kPosition / 256;
const uint32_t kTurnaroundUs = 1000;

// Seconds `run` took, or a negative number when it failed.
template <class Run>
double Seconds(Run run)
{
    const auto start = std::chrono::steady_clock::now();
    const bool ok = run();
    return ok ? std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() : -1;
}

// Prints the time against the limit; false when the transfer failed.
bool Report(const std::string& what, double seconds, double limit)
{
    if (seconds >= 0)
        printf("  %-28s %8.3f s   wire limit %8.3f s   ratio %.3f\n", what.c_str(), seconds, limit, limit / seconds);
    return seconds >= 0;
}

// Every frame: command and reply bytes at 10 bits a byte, plus one turnaround.
double WireLimit(uint32_t frames, uint32_t bytesPerFrame, uint32_t baud)
{
    return frames * (bytesPerFrame * 10.0 / baud + kTurnaroundUs / 1e6);
}

// The simulator behind a pty, its bytes paced like a line of that speed, and a channel
// open on it as an identified Orrery Programmer at that USB baud index.
struct PacedLine {
    static SimConfig Config(uint32_t baud)
    {
        SimConfig config;
        config.lineRateBaud = baud;
        config.turnaroundUs = kTurnaroundUs;
        return config;
    }
    explicit PacedLine(uint32_t baud) : device(Config(baud)), pty(device) {}

    bool Connect(DeviceChannel& channel, uint32_t usbIndex)
    {
        if (!pty.Open())
            return false;
        pty.Start();
        if (channel.OpenPort(pty.slavePath().c_str()) != CW_S_OK)
            return false;
        channel.capabilities = 0x09040001;
        return usbIndex == 7 || channel.SetUSBBaud(usbIndex) == CW_S_OK;
    }

    SimDevice device;
    SimPty pty;
};

bool BenchLine(uint32_t baud, uint32_t usbIndex)
{
    PacedLine line(baud);
    DeviceChannel channel;
    if (!line.Connect(channel, usbIndex))
        return false;
    std::vector<uint8_t> image(kPosition), back(kPosition);
    for (size_t i = 0; i < image.size(); ++i)
        image[i] = uint8_t(i * 7 + (i >> 8)); // no blank blocks: every frame goes out
    printf("%u baud, %u us turnaround, 256 KB position (%u frames each way):\n", baud, kTurnaroundUs, kFrames);
    const uint8_t* bytes = image.data();
    const ChipId chip = kChipT6ViaOrrery;
    return Report("erase (4 sectors)",
                  Seconds([&] { return EraseChip(channel, nullptr, chip, kEraseBlocks, 1, 1) == CW_S_OK; }),
                  WireLimit(4, 4 + 1, baud)) &&
           Report("write (263 + 1 bytes/frame)",
                  Seconds([&] { return WriteChip(channel, bytes, chip, kPosition, kPosition, nullptr) == CW_S_OK; }),
                  WireLimit(kFrames, 263 + 1, baud)) &&
           Report("verify (263 + 1 bytes/frame)",
                  Seconds([&] { return VerifyChip(channel, bytes, chip, kPosition, kPosition, nullptr) == 1; }),
                  WireLimit(kFrames, 263 + 1, baud)) &&
           Report("read (7 + 257 bytes/frame)", Seconds([&] {
                      return ReadChip(channel, back.data(), chip, kPosition, kPosition, nullptr) == CW_S_OK &&
                             back == image;
                  }),
                  WireLimit(kFrames, 7 + 257, baud));
}

// Runs the job on row 2 (position 1) and prints its time against what the frames in the
// trace cost on the line: every byte both ways at 10 bits, and one turnaround per command.
bool BenchJob(const char* name, int (*job)(int), SimTrace& trace, uint32_t baud)
{
    trace.Clear();
    const double seconds = Seconds([&] { return job(2) == 1; });
    double limit = 0;
    uint32_t commands = 0;
    for (const TraceEntry& e : trace.Entries()) {
        limit += e.bytes.size() * 10.0 / baud;
        if (e.dir == TraceDir::kToDevice) {
            limit += kTurnaroundUs / 1e6;
            ++commands;
        }
    }
    return Report(std::string(name) + " job (" + std::to_string(commands) + " frames)", seconds, limit);
}

// UploadPosition and VerifyPosition on g_app.channel, as t6tool write and verify run them,
// for a 224 KB file of banks 0, 1, 8 and 9 in image order.
bool BenchJobs(uint32_t baud, uint32_t usbIndex)
{
    std::vector<uint8_t> file(4 * 0xE000);
    for (size_t i = 0; i < file.size(); ++i)
        file[i] = uint8_t(i * 7 + (i >> 8) + 1);
    const uint8_t bank0[] = {0xFF, 0xFA, 0x27, 0xFE}, bank8[] = {0xFF, 0xFA, 0x12, 0x34};
    memcpy(&file[0], bank0, 4);
    file[0xE000] = 0x12;
    memcpy(&file[0x1C000], bank8, 4);
    memcpy(&file[0x2A000], bank0, 4);
    memcpy(&file[0x2A000 + 100], "Copyright Ford", 14);
    const std::string path = "/tmp/t6bench-" + std::to_string(getpid()) + ".bin";
    const bool written = bool(std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(file.data()),
                                                                          std::streamsize(file.size())));
    PacedLine line(baud);
    bool ok = written && line.Connect(g_app.channel, usbIndex);
    if (ok) {
        g_app.chipId = kChipT6ViaOrrery;
        snprintf(g_settings.layout.positionPaths[1].path, kPathFieldSize, "%s", path.c_str());
        printf("%u baud, %u us turnaround, jobs for a 224 KB tune file in position 1:\n", baud, kTurnaroundUs);
        ok = BenchJob("write", UploadPosition, line.device.trace(), baud) &&
             BenchJob("verify", VerifyPosition, line.device.trace(), baud);
    }
    g_app.channel.ClosePort();
    unlink(path.c_str());
    return ok;
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
    std::vector<const char*> pointers;
    for (int i = 0; i < 16; ++i)
        paths.push_back(i == 7 ? pty.slavePath() : "/nonexistent/ttyUSB" + std::to_string(i));
    for (const std::string& p : paths)
        pointers.push_back(p.c_str());
    DeviceChannel channel;
    channel.portCandidates = pointers.data();
    channel.portCandidateCount = uint32_t(pointers.size());
    DeviceCaps caps = 0;
    for (const char* what :
         {"FindHardware, 16 candidates, device on port 7:", "FindHardware again, from the remembered port: "}) {
        char name[100] = "";
        const double seconds = Seconds([&] {
            caps = channel.FindHardware(nullptr, 0, name, sizeof name);
            return true;
        });
        printf("%s %.3f s (%s)\n", what, seconds, caps != 0 ? name : "not found");
    }
    return caps != 0;
}

} // namespace

int main()
{
    bool ok = BenchLine(921600, 0) && BenchLine(115200, 7) && BenchJobs(921600, 0) && BenchJobs(115200, 7) &&
              BenchDiscovery();
    if (!ok)
        fprintf(stderr, "transfer_bench: a transfer failed\n");
    return ok ? 0 : 1;
}
