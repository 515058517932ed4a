// A log sink that keeps every line, for tests that check what the device layer logs.
#pragma once
#include <mutex>
#include <string>
#include <vector>

#include "device/log.h"

class CaptureSink {
public:
    CaptureSink() : sink_{&CaptureSink::Append, this, nullptr, nullptr, nullptr} {}

    LogSink* sink() { return &sink_; }

    std::vector<std::string> lines()
    {
        std::lock_guard<std::mutex> hold(mutex_);
        return lines_;
    }

    void clear()
    {
        std::lock_guard<std::mutex> hold(mutex_);
        lines_.clear();
    }

    // The lines as an edit control would hold them: CR LF between, none after the last.
    std::string text()
    {
        std::string all;
        for (const std::string& line : lines()) {
            if (!all.empty())
                all += "\r\n";
            all += line;
        }
        return all;
    }

private:
    static void Append(LogSink* sink, const char* line)
    {
        CaptureSink* self = static_cast<CaptureSink*>(sink->context);
        std::lock_guard<std::mutex> hold(self->mutex_);
        self->lines_.push_back(line);
    }

    LogSink sink_;
    std::mutex mutex_;
    std::vector<std::string> lines_;
};
