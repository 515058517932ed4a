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
    static void Record(void* context, const std::string& call)
    {
        std::lock_guard<std::mutex> hold(Of(context).mutex_);
        Of(context).calls_.push_back(call);
    }
    static std::string N(int64_t number) { return std::to_string(number); }

    void AppendStatus(const char* text, int lineBreaks, int clearFirst)
    {
        std::lock_guard<std::mutex> hold(mutex_);
        calls_.push_back("status|" + std::string(text) + "|" + N(lineBreaks) + "|" + N(clearFirst));
        if (clearFirst)
            box_.clear();
        for (int i = 0; i < lineBreaks && !box_.empty(); ++i)
            box_ += "\r\n";
        box_ += text;
    }
    void JobDone(const JobRequest* request, int result)
    {
        std::lock_guard<std::mutex> hold(mutex_);
        calls_.push_back("done|" + N(request->kind) + "|" + N(request->notifyMessage) + "|" + N(result));
        done_ = true;
        // Notified under the lock: the waiting test may go on the moment it is released.
        doneChanged_.notify_all();
    }

    const JobUi ui_ = {
        this,
        [](void* c, const char* text, int breaks, int clear) { Of(c).AppendStatus(text, breaks, clear); },
        [](void* c, int row, const char* text) { Record(c, "cell|" + N(row) + "|" + text); },
        [](void* c) { return Record(c, "row"), Of(c).currentRow; },
        [](void* c, int index) { Record(c, "selector|" + N(index)); },
        [](void* c, const char* text, const char* title) {
            return Record(c, "ask|" + std::string(text) + "|" + title), Of(c).yes;
        },
        [](void* c, int id) { Record(c, "sound|" + N(id)); },
        [](void* c, ProgressBarOp op, uint32_t value) {
            static const char* const names[] = {"range", "step", "pos"};
            Record(c, std::string("bar|") + names[op] + "|" + N(value));
        },
        [](void* c, int row) { Record(c, "info|" + N(row)); },
        [](void* c, const JobRequest* request, int result) { Of(c).JobDone(request, result); },
        [](void* c, const char* what, DeviceResult result) {
            Record(c, "failed|" + std::string(what) + "|" + DeviceResultName(result));
        },
    };
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
