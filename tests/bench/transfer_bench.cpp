// Prints how close whole-position transfers come to the wire limit of a modelled line:
// write, device-side verify and read-back of 256 KB through the real serial port and a pty
// to the simulator, at 921600 and 115200 baud with a 1 ms turnaround; and the write and
// verify jobs (as t6tool runs them) for a 224 KB tune file. Also prints how long discovery
// takes to find the device among candidate ports. Figures only; no pass or fail.
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>
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

// The simulator behind a pty, its bytes paced like a line of that speed.
struct PacedLine {
    static SimConfig Config(uint32_t baud)
    {
        SimConfig config;
        config.lineRateBaud = baud;
        config.turnaroundUs = kTurnaroundUs;
        return config;
    }
    explicit PacedLine(uint32_t baud) : device(Config(baud)), pty(device) {}

    // Opens the channel on it, as an identified Orrery Programmer at that USB baud index.
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

// What the frames in the trace cost on the line: every byte both ways at 10 bits, and one
// turnaround per command.
double TraceWireLimit(const SimTrace& trace, uint32_t baud, uint32_t* commands)
{
    double seconds = 0;
    *commands = 0;
    for (const TraceEntry& e : trace.Entries()) {
        seconds += e.bytes.size() * 10.0 / baud;
        if (e.dir == TraceDir::kToDevice) {
            seconds += kTurnaroundUs / 1e6;
            ++*commands;
        }
    }
    return seconds;
}

// A 224 KB file of banks 0, 1, 8 and 9 in image order, written to a temporary file.
std::string BankFile()
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
    char path[] = "/tmp/t6bench-XXXXXX";
    int fd = mkstemp(path);
    if (fd < 0)
        return "";
    bool written = write(fd, file.data(), file.size()) == ssize_t(file.size());
    close(fd);
    return written ? path : "";
}

// UploadPosition and VerifyPosition on g_app.channel, as t6tool write and verify run them.
bool BenchJobs(uint32_t baud, uint32_t usbIndex)
{
    PacedLine line(baud);
    SimDevice& device = line.device;
    DeviceChannel& channel = g_app.channel;
    const std::string file = BankFile();
    if (file.empty() || !line.Connect(channel, usbIndex))
        return false;
    g_app.chipId = kChipT6ViaOrrery;
    snprintf(g_settings.layout.positionPaths[1].path, kPathFieldSize, "%s", file.c_str());
    printf("%u baud, %u us turnaround, jobs for a 224 KB tune file in position 1:\n", baud, kTurnaroundUs);

    uint32_t commands = 0;
    device.trace().Clear();
    auto start = std::chrono::steady_clock::now();
    bool ok = UploadPosition(2) == 1;
    double seconds = Seconds(start), limit = TraceWireLimit(device.trace(), baud, &commands);
    std::string what = "write job (" + std::to_string(commands) + " frames)";
    Report(what.c_str(), seconds, limit);

    device.trace().Clear();
    start = std::chrono::steady_clock::now();
    ok = ok && VerifyPosition(2) == 1;
    seconds = Seconds(start);
    limit = TraceWireLimit(device.trace(), baud, &commands);
    what = "verify job (" + std::to_string(commands) + " frames)";
    Report(what.c_str(), seconds, limit);
    channel.ClosePort();
    unlink(file.c_str());
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
    bool ok = BenchLine(921600, 0) && BenchLine(115200, 7) && BenchJobs(921600, 0) && BenchJobs(115200, 7) &&
              BenchDiscovery();
    if (!ok)
        fprintf(stderr, "transfer_bench: a transfer failed\n");
    return ok ? 0 : 1;
}
