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
    // A write frame is longer than any buffer worth keeping on the stack: a line is read
    // in pieces until its end.
    char piece[512];
    std::string line;
    while (fgets(piece, sizeof piece, file) != nullptr) {
        const size_t end = strcspn(piece, "\r\n");
        line.append(piece, end);
        if (piece[end] != '\0') {
            lines.push_back(line);
            line.clear();
        }
    }
    if (!line.empty())
        lines.push_back(line);
    fclose(file);
    return lines;
}
