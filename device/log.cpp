#include "device/log.h"

#include <cstdarg>
#include <cstdio>

static bool LogEnabled(const LogSink* sink)
{
    return sink != nullptr && sink->appendLine.load() != nullptr;
}

void LogPrintf(LogSink* sink, const char* format, ...)
{
    // The one function used for the whole line, even if the sink is switched off meanwhile.
    LogAppendLine append = sink != nullptr ? sink->appendLine.load() : nullptr;
    if (append == nullptr)
        return;
    // Each call formats into its own buffer: lines logged from the job thread and the
    // user-interface thread at the same moment can never overwrite each other.
    char line[kLogLineMax + 1];
    va_list args;
    va_start(args, format);
    vsnprintf(line, sizeof line, format, args);
    va_end(args);
    line[kLogLineMax] = '\0';
    append(sink, line);
}

void LogHexDump(LogSink* sink, const char* title, const void* data, uint32_t length)
{
    if (!LogEnabled(sink) || data == nullptr || length == 0)
        return;
    if (title != nullptr)
        LogPrintf(sink, "%s", title);

    static const char kHex[] = "0123456789ABCDEF";
    const uint8_t* bytes = static_cast<const uint8_t*>(data);
    for (uint32_t offset = 0; offset < length; offset += 16) {
        uint32_t chunk = length - offset < 16 ? length - offset : 16;
        char text[256];
        char* p = text;
        for (uint32_t i = 0; i < 16; ++i) {
            if (i < chunk) {
                *p++ = kHex[bytes[offset + i] >> 4];
                *p++ = kHex[bytes[offset + i] & 15];
            } else {
                *p++ = ' ';
                *p++ = ' ';
            }
            *p++ = ' ';
        }
        for (uint32_t i = 0; i < chunk; ++i) {
            uint8_t c = bytes[offset + i];
            *p++ = (c >= 0x20 && c <= 0x7E) ? char(c) : '.';
        }
        *p = '\0';
        LogPrintf(sink, "%04X: %s", offset, text);
    }
}
