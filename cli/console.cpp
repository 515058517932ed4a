#include "cli/console.h"

#include <chrono>
#include <cstdio>
#include <cstring>
#if defined(_WIN32)
#include <io.h>
#define isatty _isatty
#define fileno _fileno
#else
#include <unistd.h>
#endif

namespace {

void WriteLogLine(LogSink*, const char* line)
{
    fprintf(stderr, "%s\n", line);
}

LogSink g_sink = {WriteLogLine, nullptr, nullptr, nullptr, nullptr};

struct Bar {
    const char* label = "";
    uint32_t bytesPerStep = 0;
    uint32_t total = 0;
    std::chrono::steady_clock::time_point start;
    std::chrono::steady_clock::time_point lastDraw;
    bool drawn = false;
};
Bar g_bar;

void FormatAmount(uint64_t steps, char* out, size_t size)
{
    if (g_bar.bytesPerStep == 0)
        snprintf(out, size, "%llu", static_cast<unsigned long long>(steps));
    else
        snprintf(out, size, "%.1f KB", steps * double(g_bar.bytesPerStep) / 1024.0);
}

void Draw(uint32_t current, bool force)
{
    auto now = std::chrono::steady_clock::now();
    if (!force && g_bar.drawn && now - g_bar.lastDraw < std::chrono::milliseconds(100))
        return;
    g_bar.lastDraw = now;
    g_bar.drawn = true;
    double seconds = std::chrono::duration<double>(now - g_bar.start).count();
    double perSecond = seconds > 0 ? current / seconds : 0;
    char done[32], total[32], rate[32] = "", left[32] = "";
    FormatAmount(current, done, sizeof done);
    FormatAmount(g_bar.total, total, sizeof total);
    if (perSecond > 0) {
        if (g_bar.bytesPerStep != 0)
            snprintf(rate, sizeof rate, "%.1f KB/s", perSecond * g_bar.bytesPerStep / 1024.0);
        else
            snprintf(rate, sizeof rate, "%.1f/s", perSecond);
        int remaining = int((g_bar.total - current) / perSecond + 0.5);
        snprintf(left, sizeof left, "%d:%02d left", remaining / 60, remaining % 60);
    }
    const int width = 24;
    int filled = g_bar.total ? int(uint64_t(current) * width / g_bar.total) : 0;
    char bar[width + 1];
    for (int i = 0; i < width; ++i)
        bar[i] = i < filled ? '#' : '.';
    bar[width] = '\0';
    fprintf(stderr, "\r%-10s [%s] %s / %s  %s  %s   ", g_bar.label, bar, done, total, rate, left);
    fflush(stderr);
}

} // namespace

LogSink* ConsoleLogSink()
{
    return &g_sink;
}

bool StandardErrorIsTerminal()
{
    return isatty(fileno(stderr)) != 0;
}

bool StandardInputIsTerminal()
{
    return isatty(fileno(stdin)) != 0;
}

void ProgressPhase(const char* label, uint32_t bytesPerStep)
{
    ProgressDone();
    g_bar = Bar();
    g_bar.label = label;
    g_bar.bytesPerStep = bytesPerStep;
    g_bar.start = std::chrono::steady_clock::now();
}

int ConsoleProgress(ProgressInfo* info)
{
    if (info == nullptr || !StandardErrorIsTerminal())
        return 0;
    if (info->flags & kProgressBegin) {
        g_bar.total = info->total;
        g_bar.start = std::chrono::steady_clock::now();
        Draw(0, true);
    } else if (info->flags == kProgressStep && g_bar.total != 0) {
        Draw(info->current, info->current == g_bar.total);
    }
    return 0;
}

void ProgressDone()
{
    if (g_bar.drawn)
        fputc('\n', stderr);
    g_bar.drawn = false;
}
