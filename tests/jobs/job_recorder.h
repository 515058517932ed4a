// The window as the jobs see it: every call through JobUi is recorded in order as one line
// ("status|text|breaks|clear", "bar|pos|5", "done|kind|message|result",
// "failed|writing position 2|CW_E_GENERAL_ERROR", ...), the status box is kept as the
// window's edit control would hold it, and a test can wait for the completion. Calls come
// from the job's worker thread.
#pragma once
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <vector>

#include "jobs/job_thread.h"

class JobRecorder {
public:
    JobRecorder()
        : ui_{this, AppendStatus, SetDeviceContent, CurrentRow, SetSelectorIndex, AskYesNo, PlaySound,
              ProgressBar, ShowDeviceMetadata, JobDone, DeviceFailed}
    {
    }

    const JobUi* ui() const { return &ui_; }

    void Reset()
    {
        std::lock_guard<std::mutex> hold(mutex_);
        calls_.clear();
        box_.clear();
        done_ = false;
    }

    std::vector<std::string> Calls()
    {
        std::lock_guard<std::mutex> hold(mutex_);
        return calls_;
    }
    // The calls of every kind but one ("bar" leaves status lines, sounds and completion).
    std::vector<std::string> CallsExcept(const std::string& kind)
    {
        std::vector<std::string> kept;
        for (const std::string& call : Calls())
            if (call.compare(0, kind.size() + 1, kind + "|") != 0)
                kept.push_back(call);
        return kept;
    }
    std::string Box()
    {
        std::lock_guard<std::mutex> hold(mutex_);
        return box_;
    }
    bool WaitForDone(int milliseconds)
    {
        std::unique_lock<std::mutex> hold(mutex_);
        return doneChanged_.wait_for(hold, std::chrono::milliseconds(milliseconds), [this] { return done_; });
    }

    // What the window answers.
    int currentRow = 0;
    int yes = 0;

private:
    static JobRecorder& Of(void* context) { return *static_cast<JobRecorder*>(context); }

    void Record(const std::string& call)
    {
        std::lock_guard<std::mutex> hold(mutex_);
        calls_.push_back(call);
    }

    static void AppendStatus(void* context, const char* text, int lineBreaks, int clearFirst)
    {
        JobRecorder& self = Of(context);
        self.Record("status|" + std::string(text) + "|" + std::to_string(lineBreaks) + "|" +
                    std::to_string(clearFirst));
        std::lock_guard<std::mutex> hold(self.mutex_);
        if (clearFirst)
            self.box_.clear();
        for (int i = 0; i < lineBreaks && !self.box_.empty(); ++i)
            self.box_ += "\r\n";
        self.box_ += text;
    }
    static void SetDeviceContent(void* context, int row, const char* text)
    {
        Of(context).Record("cell|" + std::to_string(row) + "|" + text);
    }
    static int CurrentRow(void* context)
    {
        Of(context).Record("row");
        return Of(context).currentRow;
    }
    static void SetSelectorIndex(void* context, int index) { Of(context).Record("selector|" + std::to_string(index)); }
    static int AskYesNo(void* context, const char* text, const char* title)
    {
        Of(context).Record("ask|" + std::string(text) + "|" + title);
        return Of(context).yes;
    }
    static void PlaySound(void* context, int resourceId) { Of(context).Record("sound|" + std::to_string(resourceId)); }
    static void ProgressBar(void* context, ProgressBarOp op, uint32_t value)
    {
        static const char* const names[] = {"range", "step", "pos"};
        Of(context).Record(std::string("bar|") + names[op] + "|" + std::to_string(value));
    }
    static void ShowDeviceMetadata(void* context, int row) { Of(context).Record("info|" + std::to_string(row)); }
    static void JobDone(void* context, const JobRequest* request, int result)
    {
        JobRecorder& self = Of(context);
        self.Record("done|" + std::to_string(request->kind) + "|" + std::to_string(request->notifyMessage) + "|" +
                    std::to_string(result));
        std::lock_guard<std::mutex> hold(self.mutex_);
        self.done_ = true;
        // Notified under the lock: the waiting test may go on the moment it is released.
        self.doneChanged_.notify_all();
    }

    static void DeviceFailed(void* context, const char* what, DeviceResult result)
    {
        Of(context).Record("failed|" + std::string(what) + "|" + DeviceResultName(result));
    }

    JobUi ui_;
    std::mutex mutex_;
    std::condition_variable doneChanged_;
    std::vector<std::string> calls_;
    std::string box_;
    bool done_ = false;
};

// One for the whole program: a worker may still be returning from its last call when a
// test ends.
inline JobRecorder& Recorder()
{
    static JobRecorder recorder;
    return recorder;
}
