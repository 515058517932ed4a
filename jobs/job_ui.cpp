#include "jobs/job_ui.h"

#include <atomic>
#include <cstdarg>
#include <cstdio>

#include "jobs/job_ui_calls.h"

namespace {

// Set on the window's thread, read on the worker's.
std::atomic<const JobUi*> g_jobUi{nullptr};

} // namespace

void SetJobUi(const JobUi* ui)
{
    g_jobUi.store(ui);
}

const JobUi* CurrentJobUi()
{
    return g_jobUi.load();
}

void UiAppendStatus(const char* text, int lineBreaks, int clearFirst)
{
    const JobUi* ui = CurrentJobUi();
    if (ui != nullptr && ui->appendStatus != nullptr)
        ui->appendStatus(ui->context, text, lineBreaks, clearFirst);
}

void UiStatus(int lineBreaks, const char* format, ...)
{
    char text[128];
    va_list args;
    va_start(args, format);
    vsnprintf(text, sizeof text, format, args);
    va_end(args);
    UiAppendStatus(text, lineBreaks, 0);
}

void UiSetDeviceContent(int row, const char* text)
{
    const JobUi* ui = CurrentJobUi();
    if (ui != nullptr && ui->setDeviceContent != nullptr)
        ui->setDeviceContent(ui->context, row, text);
}

int UiCurrentRow()
{
    const JobUi* ui = CurrentJobUi();
    return ui != nullptr && ui->currentRow != nullptr ? ui->currentRow(ui->context) : 0;
}

void UiSetSelectorIndex(int index)
{
    const JobUi* ui = CurrentJobUi();
    if (ui != nullptr && ui->setSelectorIndex != nullptr)
        ui->setSelectorIndex(ui->context, index);
}

int UiAskYesNo(const char* text, const char* title)
{
    const JobUi* ui = CurrentJobUi();
    return ui != nullptr && ui->askYesNo != nullptr ? ui->askYesNo(ui->context, text, title) : 0;
}

void UiPlaySound(int resourceId)
{
    const JobUi* ui = CurrentJobUi();
    if (ui != nullptr && ui->playSound != nullptr)
        ui->playSound(ui->context, resourceId);
}

void UiProgressBar(ProgressBarOp op, uint32_t value)
{
    const JobUi* ui = CurrentJobUi();
    if (ui != nullptr && ui->progressBar != nullptr)
        ui->progressBar(ui->context, op, value);
}

void UiShowDeviceMetadata(int row)
{
    const JobUi* ui = CurrentJobUi();
    if (ui != nullptr && ui->showDeviceMetadata != nullptr)
        ui->showDeviceMetadata(ui->context, row);
}

void UiJobDone(const JobRequest* request, int result)
{
    const JobUi* ui = CurrentJobUi();
    if (ui != nullptr && ui->jobDone != nullptr)
        ui->jobDone(ui->context, request, result);
}

void UiDeviceFailed(DeviceResult result, const char* format, ...)
{
    const JobUi* ui = CurrentJobUi();
    if (ui == nullptr || ui->deviceFailed == nullptr)
        return;
    char what[64];
    va_list args;
    va_start(args, format);
    vsnprintf(what, sizeof what, format, args);
    va_end(args);
    ui->deviceFailed(ui->context, what, result);
}
