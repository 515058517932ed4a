// t6tool as a user runs it: a separate process against the standalone simulator, checked
// by its output, its exit status and the simulator's memory afterwards. (What the write and
// verify jobs send and store: jobs_tests.)
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "tests/support/process.h"
#include "tests/tune/temp_folder.h"
#include "tune/metadata.h"

namespace {

const uint32_t kPosition = 0x40000;
const uint32_t kDevice = 16 * kPosition;

Bytes Slice(const std::string& bytes, uint32_t position)
{
    return Bytes(bytes.begin() + position * kPosition, bytes.begin() + (position + 1) * kPosition);
}

class T6Tool : public testing::Test {
protected:
    // t6tool with these arguments, on the simulator's port unless told otherwise.
    ProcessResult Tool(const std::string& arguments, bool onPort = true)
    {
        return RunProcess(std::string(T6TOOL_PATH) + " " + arguments + (onPort ? " --port " + port_ : ""), dir_);
    }

    // The simulator on a device holding `memory`, with one fault.
    void StartSim(const Bytes& memory, const std::string& fault)
    {
        WriteBytes(memory_, memory);
        sim_.reset(new SimProcess(T6SIM_PATH, port_, {"--memory", memory_, "--fault", fault, "--trace", trace_}));
    }

    // A .t6layout file with these files in these positions.
    std::string Layout(const std::string& name, const std::vector<std::pair<int, std::string>>& files)
    {
        std::string layout(4164, '\0');
        layout[0] = 1;
        for (const auto& file : files)
            layout.replace(4 + size_t(file.first) * 260, file.second.size(), file.second);
        const std::string path = dir_ + name;
        WriteBytes(path, Bytes(layout.begin(), layout.end()));
        return path;
    }

    std::string Record(const std::string& memory, uint32_t position)
    {
        TuneMetadata record;
        memcpy(&record, &memory[position * kPosition + kMetadataOffset], sizeof record);
        return std::string(record.originalPath, strnlen(record.originalPath, sizeof record.originalPath));
    }

    // The device's memory once the simulator has stopped and saved it.
    std::string Memory()
    {
        sim_->Stop();
        const std::string memory = ReadWholeFile(memory_);
        EXPECT_EQ(memory.size(), kDevice);
        return memory.size() == kDevice ? memory : std::string(kDevice, '\0');
    }

    TempFolder folder_;
    const std::string dir_ = folder_.File(""), port_ = dir_ + "port", memory_ = dir_ + "device.bin";
    const std::string trace_ = dir_ + "trace.txt";
    std::unique_ptr<SimProcess> sim_;  // stopped before the folder is removed
};

} // namespace

TEST_F(T6Tool, DeviceCommandsChangeExactlyWhatTheySayAndNameTheirFailures)
{
    Bytes image = Pattern(kDevice, 5);
    // Position 7's record has a path; position 8's path does not start with a letter, so it
    // is no path, as in the device info box.
    for (uint32_t p : {7u, 8u}) {
        TuneMetadata record;
        memcpy(&record, &image[p * kPosition + kMetadataOffset], sizeof record);
        StampMetadata(&record, p == 7 ? "C:\\Tunes\\stock.bin" : "\\\\server\\stock.bin", kPosition, 0x09080100);
        memcpy(&image[p * kPosition + kMetadataOffset], &record, sizeof record);
    }
    // The third chip frame comes back with a bad checksum: the failed operation and its
    // result are named.
    StartSim(image, "8:3:badsum");
    ProcessResult r = Tool("backup 0 " + dir_ + "out.bin");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("reading position 0 failed: CW_E_EXTERNAL_CS_INVALID"), std::string::npos) << r.err;

    r = Tool("probe");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out.substr(0, r.out.find("reply time: ")),
              "Orrery Programmer v1.5.Z\nport: " + port_ +
                  "\nline: 115200 baud (USB baud index 7)\ncapabilities: 0x09140001 (extended protocol, Orrery "
                  "Programmer, interface U, chip programming, banks)\n");
    // Then the reply time: a bridge's default 16 ms latency timer gets a line on lowering
    // it, a quick adapter's 1 ms does not. A loaded machine only makes replies slower, so
    // the quick one has three tries. (The measurement's precision is the benchmark's.)
    for (const char* turnaround : {"1000", "16000"}) {
        const std::string port = dir_ + "port-" + turnaround;
        SimProcess sim(T6SIM_PATH, port, {"--turnaround-us", turnaround});
        const bool high = std::string(turnaround) == "16000";
        std::string lines;
        for (int run = 0; run < (high ? 1 : 3) && (run == 0 || lines.find("latency") != std::string::npos); ++run) {
            r = RunProcess(std::string(T6TOOL_PATH) + " probe --port " + port, dir_);
            const size_t reply = r.out.find("\nreply time: ");
            ASSERT_NE(reply, std::string::npos) << r.out;
            lines = r.out.substr(reply + 1);
        }
        const std::string hint = "The adapter's latency timer is probably high; set it to 1 ms: on Windows in Device "
                                 "Manager (the port's Properties > Port Settings > Advanced > Latency Timer), on "
                                 "Linux in /sys/bus/usb-serial/devices/<tty>/latency_timer.\n";
        EXPECT_EQ(lines.substr(lines.find(" ms\n") + 4), high ? hint : "") << turnaround << " us: " << lines;
    }
    EXPECT_EQ(Tool("probe --port " + dir_ + "nothing", false).status, 3);
    for (const char* bad : {"frobnicate", "backup", "backup 16 x", "select on", "metadata 1 2", "probe --bogus"})
        EXPECT_EQ(Tool(bad).status, 2) << bad;
    EXPECT_EQ(Tool("restore --help").out.substr(0, 21), "usage: t6tool restore");

    const std::string backup = dir_ + "p2.bin";
    ASSERT_EQ(Tool("backup 2 " + backup).status, 0);
    const std::string saved = ReadWholeFile(backup);
    EXPECT_EQ(Bytes(saved.begin(), saved.end()), Bytes(image.begin() + 2 * kPosition, image.begin() + 3 * kPosition));
    EXPECT_EQ(Tool("restore 3 " + backup + " --yes").out, "position 3: written from " + backup + " and verified\n");
    EXPECT_EQ(Tool("erase 4 --yes").status, 0);
    // Without --yes and without a terminal nothing is changed (restore asks in the same
    // step); a file of the wrong size is refused before the device is touched.
    r = Tool("erase 5");
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("--yes"), std::string::npos);
    EXPECT_EQ(Tool("restore all " + backup + " --yes").status, 2);

    r = Tool("metadata 7");
    EXPECT_EQ(r.out.substr(0, 12), "Position 7:\n");
    EXPECT_NE(r.out.find("Original Filepath: C:\\Tunes\\stock.bin\n"), std::string::npos) << r.out;
    EXPECT_EQ(r.out.find('\r'), std::string::npos);
    EXPECT_NE(Tool("metadata 8").out.find("Original Filepath: \n"), std::string::npos);
    EXPECT_EQ(Tool("select A").out, "Position A selected\n");
    EXPECT_EQ(Tool("select off").out, "Chip Off selected\n");

    const std::string memory = Memory();
    EXPECT_EQ(Slice(memory, 3), Slice(memory, 2));
    EXPECT_EQ(Slice(memory, 4), Bytes(kPosition, 0xFF));
    EXPECT_EQ(Slice(memory, 5), Bytes(image.begin() + 5 * kPosition, image.begin() + 6 * kPosition));

    // info needs no device: a whole image with the record, and files of no known size,
    // small and large, with their real size.
    const std::string file = dir_ + "tune.bin";
    WriteBytes(file, Slice(memory, 7));
    r = Tool("info " + file, false);
    EXPECT_NE(r.out.find("recognised: yes, a whole 256 KB image"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("C:\\Tunes\\stock.bin"), std::string::npos) << r.out;
    for (int size : {1000, 300000}) {
        ASSERT_EQ(truncate(file.c_str(), size), 0);
        r = Tool("info " + file, false);
        EXPECT_NE(r.out.find("size: " + std::to_string(size) + " bytes\nrecognised: no"), std::string::npos) << r.out;
    }
}

TEST_F(T6Tool, WriteAndVerifyRunTheJobsOfTheProgram)
{
    // Four sector erases, then the sixth 256-byte write frame is refused ("?").
    StartSim(Bytes(kDevice, 0xFF), "8:10:question");
    // Two bank bodies: bank 1 and bank 8.
    Bytes banks = Pattern(0x1C000, 0);
    const std::string tune = dir_ + "tune.bin", other = dir_ + "other.bin", whole = dir_ + "whole.bin";
    WriteBytes(tune, banks);
    banks[0xE000 + 10] ^= 1;  // in the second body: bank 8
    WriteBytes(other, banks);
    WriteBytes(whole, Bytes(kPosition, 0x11));
    const std::string layoutPath = Layout("tunes.t6layout", {{2, tune}});

    // A file or layout that cannot be read (missing, or a folder) is named before any device
    // search: the device hears nothing.
    const std::string typo = dir_ + "typo.bin";
    for (const std::string command : {"write 2 ", "verify 2 ", "write all ", "verify all "}) {
        const std::string file = command[0] == 'w' ? typo : dir_;
        ProcessResult r = Tool(command + file);
        EXPECT_EQ(r.status, 1) << command;
        EXPECT_EQ(r.err, "t6tool: cannot read " + file + "\n") << command;
    }
    EXPECT_TRUE(ReadWholeFile(trace_).empty());

    // The status lines as the window's box joins them; a failed device step named.
    ProcessResult r = Tool("write 2 " + tune);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "Uploading to position 2...\nErasing position 2... OK\nWriting data to position 2... FAILED\n"
                     "Upload failed.\n");
    EXPECT_NE(r.err.find("writing position 2 failed: CW_E_INVALID_RESPONSE"), std::string::npos) << r.err;
    EXPECT_EQ(Tool("write 2 " + tune).status, 0);
    r = Tool("verify all " + layoutPath);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out.substr(r.out.rfind("Verifying bank")), "Verifying bank 9... OK\nPosition 2 verify succeeded.\n");
    r = Tool("verify 2 " + other);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out.substr(r.out.rfind("Verifying bank")), "Verifying bank 8... FAIL\nPosition 2 verify failed..\n");
    // Without a terminal and without --yes, a whole image is not written: the answer No.
    r = Tool("write 3 " + whole);
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("--yes"), std::string::npos) << r.err;
    // A failing position in the middle: those around it are written all the same.
    const std::string small = dir_ + "small.bin";
    WriteBytes(small, Bytes(1000, 0));
    EXPECT_EQ(Tool("write all " + Layout("three.t6layout", {{4, tune}, {5, small}, {6, other}})).status, 1);

    const std::string memory = Memory();
    EXPECT_EQ(Record(memory, 2), tune);
    EXPECT_EQ(Slice(memory, 3), Bytes(kPosition, 0xFF));
    EXPECT_EQ(Record(memory, 4), tune);
    EXPECT_EQ(Slice(memory, 5), Bytes(kPosition, 0xFF));
    EXPECT_EQ(Record(memory, 6), other);
}
