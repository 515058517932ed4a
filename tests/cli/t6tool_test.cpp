// t6tool as a user runs it: a separate process against the standalone simulator, checked
// by its output, its exit status and the simulator's memory afterwards.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <vector>

#include "tests/support/process.h"
#include "tune/metadata.h"

namespace {

const uint32_t kPosition = 0x40000;
const uint32_t kDevice = 16 * kPosition;

std::vector<uint8_t> DeviceImage()
{
    std::vector<uint8_t> image(kDevice);
    for (size_t i = 0; i < image.size(); ++i)
        image[i] = uint8_t(i * 5 + (i >> 10));
    return image;
}

std::vector<uint8_t> Slice(const std::string& bytes, uint32_t position)
{
    return std::vector<uint8_t>(bytes.begin() + position * kPosition, bytes.begin() + (position + 1) * kPosition);
}

class T6Tool : public testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/t6tool-test-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir_ = pattern;
        port_ = dir_ + "/port";
        memory_ = dir_ + "/device.bin";
    }
    void TearDown() override { system(("rm -rf " + dir_).c_str()); }

    void WriteMemory(const std::vector<uint8_t>& image)
    {
        FILE* f = fopen(memory_.c_str(), "wb");
        ASSERT_NE(f, nullptr);
        fwrite(image.data(), 1, image.size(), f);
        fclose(f);
    }

    ProcessResult Tool(const std::string& arguments)
    {
        return RunProcess(std::string(T6TOOL_PATH) + " " + arguments + " --port " + port_, dir_);
    }

    SimProcess* StartSim(std::vector<std::string> options = {})
    {
        options.push_back("--memory");
        options.push_back(memory_);
        sim_.reset(new SimProcess(T6SIM_PATH, port_, options));
        return sim_.get();
    }

    std::string dir_, port_, memory_;
    std::unique_ptr<SimProcess> sim_;
};

} // namespace

TEST_F(T6Tool, ProbeAndUsage)
{
    StartSim();
    ProcessResult r = Tool("probe");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "Orrery Programmer v1.5.Z\nport: " + port_ +
                         "\nline: 115200 baud (USB baud index 7)\ncapabilities: 0x09140001 (extended protocol, Orrery "
                         "Programmer, interface U, chip programming, banks)\n");

    EXPECT_EQ(RunProcess(std::string(T6TOOL_PATH) + " probe --port " + dir_ + "/nothing", dir_).status, 3);
    for (const char* bad : {"frobnicate", "backup", "backup 16 x", "select on", "metadata 1 2", "probe --bogus"})
        EXPECT_EQ(Tool(bad).status, 2) << bad;
    ProcessResult help = Tool("restore --help");
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.out.substr(0, 21), "usage: t6tool restore");
}

TEST_F(T6Tool, BackupRestoreAndEraseChangeExactlyWhatTheySay)
{
    const std::vector<uint8_t> image = DeviceImage();
    WriteMemory(image);
    StartSim();
    const std::string backup = dir_ + "/p2.bin", again = dir_ + "/p3.bin";

    ProcessResult r = Tool("backup 2 " + backup);
    ASSERT_EQ(r.status, 0) << r.err;
    std::string saved = ReadWholeFile(backup);
    EXPECT_EQ(std::vector<uint8_t>(saved.begin(), saved.end()),
              std::vector<uint8_t>(image.begin() + 2 * kPosition, image.begin() + 3 * kPosition));

    r = Tool("restore 3 " + backup + " --yes");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "position 3: written from " + backup + " and verified\n");
    ASSERT_EQ(Tool("backup 3 " + again).status, 0);
    EXPECT_EQ(ReadWholeFile(again), saved);

    EXPECT_EQ(Tool("erase 4 --yes").status, 0);
    // Without --yes and without a terminal nothing is changed.
    r = Tool("erase 5");
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("--yes"), std::string::npos);
    EXPECT_EQ(Tool("restore 6 " + backup).status, 2);
    // A file of the wrong size is refused before the device is touched.
    EXPECT_EQ(Tool("restore all " + backup + " --yes").status, 2);

    sim_->Stop();
    std::string memory = ReadWholeFile(memory_);
    ASSERT_EQ(memory.size(), kDevice);
    EXPECT_EQ(Slice(memory, 3), Slice(memory, 2));
    EXPECT_EQ(Slice(memory, 4), std::vector<uint8_t>(kPosition, 0xFF));
    EXPECT_EQ(Slice(memory, 5), std::vector<uint8_t>(image.begin() + 5 * kPosition, image.begin() + 6 * kPosition));
    EXPECT_EQ(Slice(memory, 6), std::vector<uint8_t>(image.begin() + 6 * kPosition, image.begin() + 7 * kPosition));
}

TEST_F(T6Tool, MetadataSelectAndInfo)
{
    std::vector<uint8_t> image(kDevice, 0xFF);
    TuneMetadata record;
    memset(&record, 0, sizeof record);
    StampMetadata(&record, "C:\\Tunes\\stock.bin", kPosition, 0x09080100);
    strcpy(record.version, "v2");
    memcpy(&image[kPosition + kMetadataOffset], &record, sizeof record);
    // A path that does not start with a letter is no path, as in the device info box.
    StampMetadata(&record, "\\\\server\\stock.bin", kPosition, 0x09080100);
    memcpy(&image[2 * kPosition + kMetadataOffset], &record, sizeof record);
    WriteMemory(image);
    StartSim();

    ProcessResult r = Tool("metadata 1");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out.substr(0, 12), "Position 1:\n");
    EXPECT_NE(r.out.find("C:\\Tunes\\stock.bin"), std::string::npos) << r.out;
    EXPECT_EQ(r.out.find('\r'), std::string::npos);
    r = Tool("metadata 2");
    EXPECT_NE(r.out.find("Original Filepath: \n"), std::string::npos) << r.out;

    EXPECT_EQ(Tool("select A").out, "Position A selected\n");
    EXPECT_EQ(Tool("select off").out, "Chip Off selected\n");

    // info needs no device: a whole image with the record, and a file of no known size.
    const std::string file = dir_ + "/tune.bin";
    FILE* f = fopen(file.c_str(), "wb");
    fwrite(&image[kPosition], 1, kPosition, f);
    fclose(f);
    r = RunProcess(std::string(T6TOOL_PATH) + " info " + file, dir_);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("recognised: yes, a whole 256 KB image"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("C:\\Tunes\\stock.bin"), std::string::npos) << r.out;
    // Files of no known size, small and large, with their real size.
    for (int size : {1000, 300000}) {
        truncate(file.c_str(), size);
        r = RunProcess(std::string(T6TOOL_PATH) + " info " + file, dir_);
        EXPECT_NE(r.out.find("size: " + std::to_string(size) + " bytes\nrecognised: no"), std::string::npos) << r.out;
    }
}

TEST_F(T6Tool, DeviceFaultsNameTheFailure)
{
    struct Case {
        const char* fault;
        const char* name;
    } const cases[] = {
        {"8:3:silence", "CW_E_COMM_READ_TIMEOUT"},
        {"8:3:badsum", "CW_E_EXTERNAL_CS_INVALID"},
        {"8:3:disconnect:100", "CW_E_COMM_READ_TIMEOUT"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.fault);
        StartSim({"--fault", c.fault});
        auto start = std::chrono::steady_clock::now();
        ProcessResult r = Tool("backup 0 " + dir_ + "/out.bin");
        auto seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        EXPECT_EQ(r.status, 1);
        EXPECT_NE(r.err.find(std::string("reading position 0 failed: ") + c.name), std::string::npos) << r.err;
        EXPECT_LT(seconds, 10.0); // within the 6 s read time-out of the chip reads
        sim_->Stop();
    }
}

TEST_F(T6Tool, WriteAndVerifyRunTheJobsOfTheProgram)
{
    StartSim();
    // Two bank bodies: the image holds them at 0x12000 and 0x22000 and 0xFF elsewhere.
    std::vector<uint8_t> banks(0x1C000);
    for (size_t i = 0; i < banks.size(); ++i)
        banks[i] = uint8_t((i * 7 + (i >> 8)) % 255);
    const std::string tune = dir_ + "/tune.bin", other = dir_ + "/other.bin", whole = dir_ + "/whole.bin";
    auto save = [](const std::string& path, const std::vector<uint8_t>& bytes) {
        FILE* f = fopen(path.c_str(), "wb");
        fwrite(bytes.data(), 1, bytes.size(), f);
        fclose(f);
    };
    save(tune, banks);
    std::vector<uint8_t> changed = banks;
    changed[0xE000 + 10] ^= 1;  // in the second body: bank 8
    save(other, changed);
    save(whole, std::vector<uint8_t>(kPosition, 0x11));
    // A layout with the tune in position 2 only.
    std::string layout(4164, '\0');
    layout[0] = 1;
    layout.replace(4 + 2 * 260, tune.size(), tune);
    const std::string layoutPath = dir_ + "/tunes.t6layout";
    save(layoutPath, std::vector<uint8_t>(layout.begin(), layout.end()));

    ProcessResult r = Tool("write 2 " + tune);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "Uploading to position 2...\nErasing position 2... OK\nWriting data to position 2... OK\n"
                     "Upload succeeded.\n");
    r = Tool("verify all " + layoutPath);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "Verifying position 2...\n    Verifying bank 0... OK\n    Verifying bank 1... OK\n"
                     "    Verifying bank 8... OK\n    Verifying bank 9... OK\nPosition 2 verify succeeded.\n");
    r = Tool("verify 2 " + other);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "Verifying position 2...\n    Verifying bank 0... OK\n    Verifying bank 1... OK\n"
                     "    Verifying bank 8... FAIL\nPosition 2 verify failed..\n");
    // Without a terminal and without --yes, a whole image is not written: the answer No.
    r = Tool("write 3 " + whole);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "Uploading to position 3...\nInvalid file size or unknown calibration bank order.\n"
                     "Upload failed.\n");
    EXPECT_NE(r.err.find("--yes"), std::string::npos) << r.err;

    sim_->Stop();
    const std::string memory = ReadWholeFile(memory_);
    ASSERT_EQ(memory.size(), kDevice);
    std::vector<uint8_t> expected(kPosition, 0xFF), held = Slice(memory, 2);
    std::copy(banks.begin(), banks.begin() + 0xE000, expected.begin() + 0x12000);
    std::copy(banks.begin() + 0xE000, banks.end(), expected.begin() + 0x22000);
    TuneMetadata record;
    memcpy(&record, &held[kMetadataOffset], sizeof record);
    EXPECT_EQ(memcmp(record.magic, "6TVK", 4), 0);
    EXPECT_EQ(record.originalSize, 0x1C000u);
    EXPECT_EQ(record.bankOrder, 0xFF0801FFu);
    EXPECT_EQ(std::string(record.originalPath), tune);
    EXPECT_TRUE(UploadTimePresent(record.uploadTime));
    // The stamp fills the record's head and leaves its texts as the image had them: 0xFF.
    memcpy(&expected[kMetadataOffset], &record, offsetof(TuneMetadata, reserved));
    EXPECT_TRUE(held == expected);
    EXPECT_EQ(Slice(memory, 3), std::vector<uint8_t>(kPosition, 0xFF));
}

TEST_F(T6Tool, AWriteToADeviceThatFallsSilentNamesTheResult)
{
    // Four sector erases, then the sixth 256-byte write frame gets no answer.
    StartSim({"--fault", "8:10:silence"});
    const std::string tune = dir_ + "/tune.bin";
    FILE* f = fopen(tune.c_str(), "wb");
    fwrite(std::vector<uint8_t>(0xE000, 0x42).data(), 1, 0xE000, f);
    fclose(f);
    auto start = std::chrono::steady_clock::now();
    ProcessResult r = Tool("write 2 " + tune);
    auto seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "Uploading to position 2...\nErasing position 2... OK\nWriting data to position 2... FAILED\n"
                     "Upload failed.\n");
    EXPECT_NE(r.err.find("writing position 2 failed: CW_E_GENERAL_ERROR"), std::string::npos) << r.err;
    EXPECT_LT(seconds, 10.0); // one 6 s acknowledgement time-out, not one per frame
}
