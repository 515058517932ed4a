// What the channel's port reports now, for checks that a request left it as it should.
#pragma once
#include <gtest/gtest.h>

#include "device/channel.h"

inline uint32_t ReadTimeoutNow(const DeviceChannel& channel)
{
    PortTimeouts t = {};
    EXPECT_TRUE(channel.port.QueryTimeouts(&t));
    return t.readTotalConstant;
}

inline uint32_t BaudNow(const DeviceChannel& channel)
{
    LineSettings s = {};
    EXPECT_TRUE(channel.port.QueryLineSettings(&s));
    return s.baudRate;
}
