#include <gtest/gtest.h>

#include <cstdio>

#include "device/channel.h"
#include "device/models.h"
#include "device/result.h"

// The models whose capabilities depend on the firmware, on both sides of each boundary.
TEST(Models, FirmwareBoundariesAndUnknownIds)
{
    struct Case {
        char id;
        uint8_t major, minor;
        DeviceCaps caps;
    } const cases[] = {
        {'1', 1, 33, 0x02000042}, {'1', 1, 34, 0x22000042}, {'1', 2, 0, 0x22000042}, // another major is not "below"
        {'2', 1, 33, 0x02000022}, {'2', 0, 1, 0x22000022},  {'A', 2, 11, 0x13000101}, {'A', 2, 12, 0x53000101},
        {'A', 1, 0, 0x53000101},  {'O', 10, 4, 0x02000401}, {'O', 10, 5, 0x0A000401}, {'O', 10, 11, 0x0A000401},
        {'O', 10, 12, 0x4A000401}, {'O', 9, 0, 0x4A000401},
    };
    for (const Case& c : cases) {
        const uint8_t version[3] = {c.major, c.minor, uint8_t(c.id)};
        DeviceCaps caps = 0;
        EXPECT_TRUE(IdentifyModel(c.id, version, &caps)) << c.id;
        EXPECT_EQ(caps, c.caps) << c.id << " " << int(c.major) << "." << int(c.minor);
    }
    const uint8_t version[3] = {1, 0, 'K'};
    DeviceCaps caps = 1234;
    EXPECT_FALSE(IdentifyModel('K', version, &caps));
    EXPECT_FALSE(IdentifyModel('\0', version, &caps));
    EXPECT_EQ(caps, 1234u);
}

TEST(Models, NamesAndResultNames)
{
    // Bits are tested in a fixed order; the last match wins (Palomar after Kestrel).
    char name[100];
    DeviceModelName(kCapsKestrel | kCapsPalomar, name, sizeof name, nullptr);
    EXPECT_STREQ(name, "Palomar");
    // Bounded by the buffer, the version too.
    const uint8_t orrery[3] = {1, 5, 'Z'};
    char small[10];
    DeviceModelName(0x09040001, small, sizeof small, orrery);
    EXPECT_STREQ(small, "Orrery Pr");
    DeviceModelName(kCapsT5, name, 8, orrery);
    EXPECT_STREQ(name, "T5 v1.5");
    // No model bit: the text stays and the version is appended.
    snprintf(name, sizeof name, "keep");
    DeviceModelName(kCapsBanks, name, sizeof name, orrery);
    EXPECT_STREQ(name, "keep v1.5.Z");

    EXPECT_STREQ(DeviceResultName(-24), "CW_E_INVALID_REQUEST_PARAM");
    EXPECT_STREQ(DeviceResultName(-25), "(ERROR NOT IN LIST)");
    EXPECT_STREQ(DeviceResultName(5), "(ERROR NOT IN LIST)");
}
