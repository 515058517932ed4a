#include "device/progress.h"

#include <cstdio>

ProgressReporter::ProgressReporter(ProgressCallback callback, char* textBuffer, uint32_t textSize)
    : callback_(callback), buffer_(textBuffer), info_{sizeof(ProgressInfo), 0, 0, 0, textBuffer, textSize}
{
    if (buffer_ != nullptr && textSize != 0)
        buffer_[0] = '\0';
}

void ProgressReporter::Report(uint32_t flags)
{
    info_.flags = flags;
    if (callback_ != nullptr)
        callback_(&info_);
}

void ProgressReporter::Begin(uint32_t total)
{
    info_.total = total;
    info_.current = 0;
    Report(kProgressBegin);
}

void ProgressReporter::Step()
{
    ++info_.current;
    Report(kProgressStep);
}

void ProgressReporter::OpenStep()
{
    Report(kProgressOpenStep);
}

void ProgressReporter::FormatText(const char* format, va_list args)
{
    if (buffer_ == nullptr || info_.textSize == 0)
        return;
    vsnprintf(buffer_, info_.textSize, format, args);
    info_.text = buffer_;
}

void ProgressReporter::SetText(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    FormatText(format, args);
    va_end(args);
}

void ProgressReporter::Text(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    FormatText(format, args);
    va_end(args);
    Report(kProgressText);
}

void ProgressReporter::End(uint32_t flags)
{
    if (flags & kProgressText)
        info_.text = nullptr;
    Report(flags);
}
