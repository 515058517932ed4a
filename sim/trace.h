// Every byte that crosses the simulated line, in order, with its direction.
#pragma once
#include <cstdint>
#include <cstdio>
#include <mutex>
#include <string>
#include <vector>

enum class TraceDir : char {
    kToDevice = '>',   // a frame the device took
    kFromDevice = '<', // a reply it sent
    kDropped = '!',    // bytes the device could not use (line speed mismatch, stale partial frame)
};

struct TraceEntry {
    TraceDir dir;
    std::vector<uint8_t> bytes;
};

class SimTrace {
public:
    void Add(TraceDir dir, const uint8_t* bytes, size_t count);
    std::vector<TraceEntry> Entries() const;
    void Clear();
    // Mirror every new entry to a file as it is added, one text line each.
    void MirrorTo(FILE* file);

private:
    mutable std::mutex mutex_;
    std::vector<TraceEntry> entries_;
    FILE* mirror_ = nullptr;
};

// "> 56 56": the direction character, then the bytes in upper-case hex.
std::string FormatTraceEntry(const TraceEntry& entry);
