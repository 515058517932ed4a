// The simulator is the yardstick of every device test, so its framing is checked directly.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "sim/sim_device.h"
#include "sim/sim_options.h"

namespace {

std::vector<std::string> TraceOf(SimDevice& device)
{
    std::vector<std::string> lines;
    for (const TraceEntry& e : device.trace().Entries())
        lines.push_back(FormatTraceEntry(e));
    return lines;
}

std::vector<uint8_t> Feed(SimDevice& device, const std::string& bytes, uint32_t baud = 115200)
{
    std::vector<uint8_t> out;
    for (const SimReply& r : device.Receive(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), baud))
        out.insert(out.end(), r.bytes.begin(), r.bytes.end());
    return out;
}

} // namespace

TEST(Simulator, FramesAcrossReadsUnknownCommandsAndStaleParts)
{
    SimDevice device;
    // A frame split over two reads is answered once it is whole.
    EXPECT_TRUE(Feed(device, "V").empty());
    EXPECT_EQ(Feed(device, "V"), (std::vector<uint8_t>{1, 5, 'Z'}));
    // An unknown command is answered "?" and whatever came with it is dropped.
    EXPECT_EQ(Feed(device, "QxVV"), (std::vector<uint8_t>{'?'}));
    // A part of a frame left on a quiet line is dropped, so the next frame parses.
    EXPECT_TRUE(Feed(device, std::string("E\x07", 2)).empty());
    device.DropPartialFrame();
    EXPECT_EQ(Feed(device, "VV").size(), 3u);
    // Two frames in one read get two replies, in order.
    EXPECT_EQ(Feed(device, "VVVV").size(), 6u);
    EXPECT_EQ(TraceOf(device), (std::vector<std::string>{"> 56 56", "< 01 05 5A", "> 51 78 56 56", "< 3F", "! 45 07",
                                                         "> 56 56", "< 01 05 5A", "> 56 56", "< 01 05 5A", "> 56 56",
                                                         "< 01 05 5A"}));
}

TEST(Simulator, ModelsWithoutTheExtendedProtocol)
{
    SimConfig config;
    config.modelId = '1';
    SimDevice device(config);
    EXPECT_EQ(Feed(device, std::string("HR\x07\x00\x01\xA2", 6)), (std::vector<uint8_t>{'?'}));
    EXPECT_EQ(Feed(device, std::string("S\x00S", 3)), (std::vector<uint8_t>{'?'}));
    // The original EEPROM frame; a frame with a wrong checksum gets no answer.
    std::string e("E\x07\x00\x01\0\0\0\0\0\0\0\x4D", 12);
    EXPECT_EQ(Feed(device, e).size(), 8u);
    e[11] = 0x4E;
    EXPECT_TRUE(Feed(device, e).empty());
}

TEST(Simulator, CommandLineAndMemoryFile)
{
    auto parse = [](std::vector<const char*> args, SimOptions* out) {
        args.insert(args.begin(), "t6sim");
        std::string error;
        return ParseSimOptions(int(args.size()), const_cast<char**>(args.data()), out, &error);
    };
    SimOptions o;
    ASSERT_TRUE(parse({"--model", "Q", "--firmware", "10.12", "--hwinfo", "51000053000000", "--usb-baud-index", "3",
                       "--fault", "H:2:delay:1500", "--fault", "V:0:silence", "--fault", "8S:2:question"},
                      &o));
    EXPECT_EQ(o.config.modelId, 'Q');
    EXPECT_EQ(o.config.firmwareMajor, 10);
    EXPECT_EQ(o.config.firmwareMinor, 12);
    EXPECT_EQ(o.config.hardwareInfo[3], 'S');
    EXPECT_EQ(o.config.usbBaudIndex, 3u);
    ASSERT_EQ(o.faults.size(), 3u);
    EXPECT_EQ(o.faults[0].command, 'H');
    EXPECT_EQ(o.faults[0].occurrence, 2u);
    EXPECT_EQ(o.faults[0].kind, SimFaultKind::kDelay);
    EXPECT_EQ(o.faults[0].param, 1500u);
    EXPECT_EQ(o.faults[1].occurrence, 0u);
    // Two characters pick the frames that start with both, and only those are counted:
    // the Orrery's bank requests, not the chip enable between them.
    SimDevice orrery;
    orrery.AddFault(o.faults[2]);
    const std::string select("8S\x03\x8E", 4), enable("8MY\xDE", 4);
    EXPECT_EQ(Feed(orrery, select + enable + select + select), (std::vector<uint8_t>{'O', 'O', '?', 'O'}));

    const std::vector<std::vector<const char*>> bad = {
        {"--model"},           {"--model", "ZZ"},          {"--firmware", "1"},     {"--firmware", "300.1"},
        {"--hwinfo", "5A01"},  {"--hwinfo", "5A0106551234zz"}, {"--usb-baud-index", "2"}, {"--fault", "V:x:silence"},
        {"--fault", "8SR:1:silence"}, {"--fault", "V:1:melt"}, {"--fault", "V:1:delay:-5"}, {"--frobnicate", "1"},
    };
    for (const auto& args : bad) {
        SimOptions ignored;
        EXPECT_FALSE(parse(args, &ignored)) << args[0] << " " << (args.size() > 1 ? args[1] : "");
    }

    // A memory file of another size is refused and the memory stays as it was. (A file
    // loaded and saved whole: the t6tool tests.)
    const std::string path = testing::TempDir() + "t6sim-image.bin";
    FILE* f = fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    fputs("short", f);
    fclose(f);
    SimDevice device;
    device.SetFlash(0x40000, {1});
    std::string error;
    EXPECT_FALSE(device.LoadFlash(path.c_str(), &error));
    EXPECT_EQ(device.Flash(0x40000, 2), (std::vector<uint8_t>{1, 0xFF}));
    remove(path.c_str());
}
