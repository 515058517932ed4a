// The standalone simulator: serves one device on a pty until interrupted.
#include <atomic>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <thread>
#include <unistd.h>

#include "sim/sim_options.h"
#include "sim/sim_pty.h"

static std::atomic<bool> g_stop{false};
static std::atomic<bool> g_save{false};

static void OnSignal(int)
{
    g_stop = true;
}

static void OnSaveSignal(int)
{
    g_save = true;
}

// A test driving a program against the simulator reads the chip between two of the
// program's operations without stopping it (the program keeps the port open): a SIGUSR1
// saves the memory file and says so. The save takes the device's lock, so it never sees
// half a frame.
static void SaveOnRequest(const SimDevice& device, const std::string& path, const std::atomic<bool>& served)
{
    while (!served.load()) {
        if (g_save.exchange(false)) {
            std::string error;
            if (path.empty())
                printf("t6sim: no memory file to save\n");
            else if (device.SaveFlash(path.c_str(), &error))
                printf("t6sim: memory saved\n");
            else
                printf("t6sim: %s\n", error.c_str());
            fflush(stdout);
        }
        usleep(20 * 1000);
    }
}

int main(int argc, char** argv)
{
    if (argc > 1 && (strcmp(argv[1], "--help") == 0 || strcmp(argv[1], "-h") == 0)) {
        fputs(kSimUsage, stdout);
        return 0;
    }
    SimOptions options;
    std::string error;
    if (!ParseSimOptions(argc, argv, &options, &error)) {
        fprintf(stderr, "t6sim: %s\n%s", error.c_str(), kSimUsage);
        return 2;
    }

    SimDevice device(options.config);
    if (!options.memoryPath.empty() && access(options.memoryPath.c_str(), F_OK) == 0 &&
        !device.LoadFlash(options.memoryPath.c_str(), &error)) {
        fprintf(stderr, "t6sim: %s\n", error.c_str());
        return 1;
    }
    for (const SimFault& fault : options.faults)
        device.AddFault(fault);
    FILE* trace = nullptr;
    if (!options.tracePath.empty()) {
        trace = fopen(options.tracePath.c_str(), "w");
        if (trace == nullptr) {
            fprintf(stderr, "t6sim: cannot write %s: %s\n", options.tracePath.c_str(), strerror(errno));
            return 1;
        }
        device.trace().MirrorTo(trace);
    }

    SimPty pty(device);
    if (!pty.Open()) {
        fprintf(stderr, "t6sim: no pseudo-terminal: %s\n", strerror(errno));
        return 1;
    }
    if (!options.linkPath.empty() && !pty.Link(options.linkPath)) {
        fprintf(stderr, "t6sim: cannot link %s: %s\n", options.linkPath.c_str(), strerror(errno));
        return 1;
    }
    signal(SIGINT, OnSignal);
    signal(SIGTERM, OnSignal);
    signal(SIGPIPE, SIG_IGN);
    signal(SIGUSR1, OnSaveSignal);
    printf("t6sim: serving %s%s%s\n", pty.slavePath().c_str(), options.linkPath.empty() ? "" : " as ",
           options.linkPath.c_str());
    fflush(stdout);

    std::atomic<bool> served{false};
    std::thread saver(SaveOnRequest, std::cref(device), std::cref(options.memoryPath), std::cref(served));
    pty.Serve(g_stop);
    served = true;
    saver.join();
    if (pty.vanished())
        printf("t6sim: the port vanished\n");
    device.trace().MirrorTo(nullptr);
    if (!options.memoryPath.empty() && !device.SaveFlash(options.memoryPath.c_str(), &error)) {
        fprintf(stderr, "t6sim: %s\n", error.c_str());
        return 1;
    }
    if (trace != nullptr)
        fclose(trace);
    return 0;
}
