#include "cli/job_console.h"

#include <cstdio>
#include <string>

#include "cli/console.h"
#include "cli/session.h"
#include "jobs/job_ui.h"

namespace {

struct ConsoleJob {
    const CliOptions* options = nullptr;
    // The box's last line: printed whole once the next line begins, because " OK" and
    // " FAILED" still join it.
    std::string line;
    bool lineOpen = false;
    std::string barLabel;
    uint32_t barTotal = 0;
    bool barOpen = false;
};
ConsoleJob g_job;

void EndBar()
{
    ProgressDone();
    g_job.barOpen = false;
}

// Ends the open line: what follows starts a line of its own without a break of its own.
void PrintOpenLine()
{
    if (g_job.lineOpen)
        printf("%s\n", g_job.line.c_str());
    fflush(stdout);
    g_job.line.clear();
    g_job.lineOpen = false;
}

void AppendStatus(void*, const char* text, int lineBreaks, int clearFirst)
{
    EndBar();
    // A console cannot take lines back: a cleared box starts below what was shown.
    if (clearFirst)
        PrintOpenLine();
    if (g_job.lineOpen && lineBreaks > 0) {
        PrintOpenLine();
        for (int i = 1; i < lineBreaks; ++i)
            printf("\n");
    }
    g_job.line += text;
    g_job.lineOpen = g_job.lineOpen || text[0] != '\0';
}

int AskYesNo(void*, const char* text, const char* title)
{
    EndBar();
    PrintOpenLine();
    return Confirm(*g_job.options, std::string(title) + ": " + text) == kExitOk ? 1 : 0;
}

// Each bar is labelled with the step it belongs to; erases count sectors, the rest
// 256-byte blocks.
void StartBar(uint32_t total)
{
    size_t start = g_job.line.find_first_not_of(' ');
    g_job.barLabel = start == std::string::npos ? "" : g_job.line.substr(start);
    ProgressPhase(g_job.barLabel.c_str(), g_job.barLabel.compare(0, 7, "Erasing") == 0 ? 0 : 256);
    ProgressInfo begin = {sizeof begin, 0, total, kProgressBegin, nullptr, 0};
    ConsoleProgress(&begin);
    g_job.barTotal = total;
    g_job.barOpen = true;
}

void ProgressBar(void*, ProgressBarOp op, uint32_t value)
{
    // Operations restate their range with each text report; one bar is drawn per step.
    if (op == kBarSetRange && !(g_job.barOpen && value == g_job.barTotal))
        StartBar(value);
    if (op == kBarSetPos && g_job.barOpen && value != 0) {
        ProgressInfo step = {sizeof step, value, g_job.barTotal, kProgressStep, nullptr, 0};
        ConsoleProgress(&step);
    }
}

void DeviceFailed(void*, const char* what, DeviceResult result)
{
    EndBar();
    ReportFailure(what, result);
}

const JobUi kConsoleUi = {nullptr, AppendStatus, nullptr, nullptr, nullptr, AskYesNo, nullptr,
                          ProgressBar, nullptr, nullptr, DeviceFailed};

} // namespace

void AttachConsoleJobUi(const CliOptions& options)
{
    g_job = ConsoleJob();
    g_job.options = &options;
    SetJobUi(&kConsoleUi);
}

void DetachConsoleJobUi()
{
    SetJobUi(nullptr);
    EndBar();
    PrintOpenLine();
}
