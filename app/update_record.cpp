#include "app/update_check.h"

#include <cstdio>
#include <new>

static std::atomic<int> g_liveChecks{0};

UpdateCheck* NewUpdateCheck()
{
    UpdateCheck* check = new (std::nothrow) UpdateCheck();
    if (check == nullptr)
        return nullptr;
    check->holders = 1;
    ++g_liveChecks;
    return check;
}

static void HoldUpdateCheck(UpdateCheck* check)
{
    ++check->holders;
}

void ReleaseUpdateCheck(UpdateCheck* check)
{
    if (check == nullptr || --check->holders > 0)
        return;
    delete check;
    --g_liveChecks;
}

int LiveUpdateChecks()
{
    return g_liveChecks;
}

void SetUpdateStatus(UpdateCheck& check, const char* text)
{
    std::lock_guard<std::mutex> lock(check.statusLock);
    snprintf(check.statusText, sizeof check.statusText, "%s", text);
}

void GetUpdateStatus(UpdateCheck& check, char* out, size_t outSize)
{
    std::lock_guard<std::mutex> lock(check.statusLock);
    snprintf(out, outSize, "%s", check.statusText);
}

bool StartUpdateCheck(UpdateCheck* check)
{
    if (check == nullptr)
        return false;
    HoldUpdateCheck(check);
    HANDLE thread = CreateThread(nullptr, 0, UpdateCheckThread, check, 0, nullptr);
    if (thread == nullptr) {
        ReleaseUpdateCheck(check);
        return false;
    }
    CloseHandle(thread);
    return true;
}
