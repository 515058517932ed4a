// A job copies a position's path while the metadata editor stores a new one, or a layout
// command replaces the layout: the copy is always one whole path, never part of each.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <string>
#include <thread>

#include "app/position_paths.h"

TEST(PositionPaths, CopiesNeverMixTwoStores)
{
    const std::string paths[2] = {"C:\\" + std::string(256, 'a'), "D:\\" + std::string(100, 'b') + ".bin"};
    LayoutBlock layout = {};
    snprintf(layout.positionPaths[5].path, kPathFieldSize, "%s", paths[1].c_str());
    StorePositionPath(5, paths[0].c_str());
    std::atomic<bool> done{false};
    std::thread editor([&] {
        for (int i = 0; i < 100000; ++i)
            i % 2 == 0 ? StorePositionPath(5, paths[0].c_str()) : StoreLayout(layout);
        done = true;
    });
    int torn = 0;
    char copy[kPathFieldSize];
    while (!done) {
        CopyPositionPath(5, copy);
        torn += copy != paths[0] && copy != paths[1];
    }
    editor.join();
    EXPECT_EQ(torn, 0);

    // Longer paths are cut to the field; positions outside the table are left alone.
    StorePositionPath(5, std::string(300, 'x').c_str());
    StorePositionPath(16, "E:\\elsewhere.bin");
    CopyPositionPath(5, copy);
    EXPECT_EQ(std::string(copy), std::string(kPathFieldSize - 1, 'x'));
    CopyPositionPath(16, copy);
    EXPECT_STREQ(copy, "");
    StorePositionPath(5, "");
}
