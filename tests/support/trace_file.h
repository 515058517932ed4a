// The trace file of the standalone simulator (--trace), one line a frame: "> 56 56" to the
// device, "< 01 05 5A" back. scripts/with-sim.sh names its simulator's in T6_SIM_TRACE.
#pragma once
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

// Empty when there is no such file.
inline std::vector<std::string> ReadTraceFile(const char* path)
{
    std::vector<std::string> lines;
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

inline std::vector<std::string> ReadSimTraceFile()
{
    return ReadTraceFile(getenv("T6_SIM_TRACE"));
}

// The last frame sent to the device that starts with `start` ("" when none), and whether
// the device acknowledged it with "O".
inline std::string LastFrame(const std::vector<std::string>& trace, const char* start, bool* acknowledged)
{
    for (size_t i = trace.size(); i-- > 0;) {
        if (trace[i].rfind(start, 0) == 0) {
            *acknowledged = i + 1 < trace.size() && trace[i + 1] == "< 4F";
            return trace[i];
        }
    }
    *acknowledged = false;
    return "";
}
