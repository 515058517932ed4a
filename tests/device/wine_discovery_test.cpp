// Discovery under Wine: the scan walks the COM ports of the test prefix from COM0 and
// finds the standalone simulator, which then takes a whole 256 KB position.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <vector>

#include "device/chip.h"

TEST(WineDiscovery, FindsTheSimulatorAndTakesAPosition)
{
    DeviceChannel channel;
    uint8_t version[3] = {};
    char name[100] = "";
    DWORD start = GetTickCount();
    DeviceCaps caps = channel.FindHardware(version, 0, name, sizeof name);
    DWORD scan = GetTickCount() - start;
    ASSERT_NE(caps, 0u);
    EXPECT_STREQ(name, "Orrery Programmer v1.5.Z");
    EXPECT_EQ(version[0], 1);
    EXPECT_EQ(version[1], 5);
    EXPECT_EQ(version[2], 'Z');
    EXPECT_EQ(channel.lastPortIndex, 5u);
    printf("FindHardware: found on COM%u after %lu ms\n", channel.lastPortIndex, static_cast<unsigned long>(scan));

    const uint32_t position = 2 * 0x40000;
    std::vector<uint8_t> image(0x40000);
    for (size_t i = 0; i < image.size(); ++i)
        image[i] = uint8_t(i * 31 + (i >> 9));
    ASSERT_EQ(EraseChip(channel, nullptr, kChipT6ViaOrrery, kEraseBlocks, 2, 1), CW_S_OK);
    ASSERT_EQ(WriteChip(channel, image.data(), kChipT6ViaOrrery, position, 0x40000, nullptr), CW_S_OK);
    EXPECT_EQ(VerifyChip(channel, image.data(), kChipT6ViaOrrery, position, 0x40000, nullptr), 1);
    std::vector<uint8_t> back(0x40000);
    ASSERT_EQ(ReadChip(channel, back.data(), kChipT6ViaOrrery, position, 0x40000, nullptr), CW_S_OK);
    EXPECT_TRUE(back == image);

    // One byte changed in the device's copy is found by the device-side verify.
    image[0x1234] ^= 0x01;
    EXPECT_EQ(VerifyChip(channel, image.data(), kChipT6ViaOrrery, position, 0x40000, nullptr), 0);
    channel.ClosePort();
}
