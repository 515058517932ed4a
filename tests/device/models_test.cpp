#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "device/channel.h"
#include "device/models.h"
#include "device/result.h"

namespace {
DeviceCaps Identify(char id, uint8_t major, uint8_t minor)
{
    const uint8_t version[3] = {major, minor, uint8_t(id)};
    DeviceCaps caps = 0xDEADBEEF;
    EXPECT_TRUE(IdentifyModel(id, version, &caps)) << id;
    return caps;
}
}

TEST(Models, TableAndFirmwareBoundaries)
{
    EXPECT_EQ(Identify('1', 1, 33), 0x02000042u);
    EXPECT_EQ(Identify('1', 1, 34), 0x22000042u);
    EXPECT_EQ(Identify('1', 2, 0), 0x22000042u); // another major is not "below"
    EXPECT_EQ(Identify('2', 1, 33), 0x02000022u);
    EXPECT_EQ(Identify('2', 0, 1), 0x22000022u);
    EXPECT_EQ(Identify('A', 2, 11), 0x13000101u);
    EXPECT_EQ(Identify('A', 2, 12), 0x53000101u);
    EXPECT_EQ(Identify('A', 1, 0), 0x53000101u);
    EXPECT_EQ(Identify('D', 0, 0), 0xCA004001u);
    EXPECT_EQ(Identify('F', 0, 0), 0x01000201u);
    EXPECT_EQ(Identify('J', 0, 0), 0x01020001u);
    EXPECT_EQ(Identify('O', 10, 4), 0x02000401u);
    EXPECT_EQ(Identify('O', 10, 5), 0x0A000401u);
    EXPECT_EQ(Identify('O', 10, 11), 0x0A000401u);
    EXPECT_EQ(Identify('O', 10, 12), 0x4A000401u);
    EXPECT_EQ(Identify('O', 9, 0), 0x4A000401u);
    EXPECT_EQ(Identify('P', 0, 0), 0x6A000801u);
    EXPECT_EQ(Identify('Q', 0, 0), 0x2A010001u);
    EXPECT_EQ(Identify('R', 0, 0), 0x62001001u);
    EXPECT_EQ(Identify('T', 0, 0), 0x02000084u);
    EXPECT_EQ(Identify('X', 0, 0), 0x01008001u);
    EXPECT_EQ(Identify('Z', 1, 5), 0x09040001u);

    const uint8_t version[3] = {1, 0, 'K'};
    DeviceCaps caps = 1234;
    EXPECT_FALSE(IdentifyModel('K', version, &caps));
    EXPECT_FALSE(IdentifyModel('\0', version, &caps));
    EXPECT_EQ(caps, 1234u);
}

TEST(Models, Names)
{
    char name[100];
    const uint8_t orrery[3] = {1, 5, 'Z'};
    DeviceModelName(0x09040001, name, sizeof name, orrery);
    EXPECT_STREQ(name, "Orrery Programmer v1.5.Z");

    // Bits are tested in a fixed order; the last match wins (Palomar after Kestrel).
    DeviceModelName(kCapsKestrel | kCapsPalomar, name, sizeof name, nullptr);
    EXPECT_STREQ(name, "Palomar");
    DeviceModelName(kCapsMirraI | kCapsMirraII, name, sizeof name, nullptr);
    EXPECT_STREQ(name, "Mirra II");
    DeviceModelName(0x01000201, name, sizeof name, nullptr);
    EXPECT_STREQ(name, "Spark & Etch");

    // Bounded by the buffer, the version too.
    char small[10];
    DeviceModelName(0x09040001, small, sizeof small, orrery);
    EXPECT_STREQ(small, "Orrery Pr");
    char fits[20];
    DeviceModelName(kCapsT5, fits, 8, orrery);
    EXPECT_STREQ(fits, "T5 v1.5");

    // No model bit: the text stays and the version is appended.
    strcpy(name, "keep");
    DeviceModelName(kCapsBanks, name, sizeof name, orrery);
    EXPECT_STREQ(name, "keep v1.5.Z");
}

TEST(Results, NamesAndChecksum)
{
    EXPECT_STREQ(DeviceResultName(CW_S_OK), "CW_S_OK");
    EXPECT_STREQ(DeviceResultName(-1), "CW_E_GENERAL_ERROR");
    EXPECT_STREQ(DeviceResultName(-20), "CW_E_PORT_BUSY");
    EXPECT_STREQ(DeviceResultName(-24), "CW_E_INVALID_REQUEST_PARAM");
    EXPECT_STREQ(DeviceResultName(-25), "(ERROR NOT IN LIST)");
    EXPECT_STREQ(DeviceResultName(5), "(ERROR NOT IN LIST)");
    EXPECT_STREQ(DeviceResultName(-30), "(ERROR NOT IN LIST)");

    const uint8_t s7[] = {0x53, 0x07};
    const uint8_t ff2[] = {0xFF, 0x02};
    EXPECT_EQ(ByteSum(s7, 2), 0x5A);
    EXPECT_EQ(ByteSum(ff2, 2), 0x01);
    EXPECT_EQ(ByteSum(s7, 0), 0x00);
}
