#include "sim/trace.h"

void SimTrace::Add(TraceDir dir, const uint8_t* bytes, size_t count)
{
    std::lock_guard<std::mutex> hold(mutex_);
    entries_.push_back({dir, std::vector<uint8_t>(bytes, bytes + count)});
    if (mirror_ != nullptr) {
        fprintf(mirror_, "%s\n", FormatTraceEntry(entries_.back()).c_str());
        fflush(mirror_);
    }
}

std::vector<TraceEntry> SimTrace::Entries() const
{
    std::lock_guard<std::mutex> hold(mutex_);
    return entries_;
}

void SimTrace::Clear()
{
    std::lock_guard<std::mutex> hold(mutex_);
    entries_.clear();
}

void SimTrace::MirrorTo(FILE* file)
{
    std::lock_guard<std::mutex> hold(mutex_);
    mirror_ = file;
}

std::string FormatTraceEntry(const TraceEntry& entry)
{
    static const char kHex[] = "0123456789ABCDEF";
    std::string text(1, char(entry.dir));
    for (uint8_t b : entry.bytes) {
        text += ' ';
        text += kHex[b >> 4];
        text += kHex[b & 15];
    }
    return text;
}
