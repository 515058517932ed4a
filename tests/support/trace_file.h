// The trace file of the standalone simulator that scripts/with-sim.sh starts (T6_SIM_TRACE),
// one line a frame: "> 56 56" to the device, "< 01 05 5A" back.
#pragma once
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

// Empty when there is no such file.
inline std::vector<std::string> ReadSimTraceFile()
{
    std::vector<std::string> lines;
    const char* path = getenv("T6_SIM_TRACE");
    FILE* file = path != nullptr ? fopen(path, "r") : nullptr;
    if (file == nullptr)
        return lines;
    char line[512];
    while (fgets(line, sizeof line, file) != nullptr) {
        line[strcspn(line, "\r\n")] = '\0';
        lines.push_back(line);
    }
    fclose(file);
    return lines;
}
