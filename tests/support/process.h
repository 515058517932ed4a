// Running programs as a user would: another process, its output and exit status; and the
// standalone simulator as a process of its own.
#pragma once
#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

struct ProcessResult {
    int status;
    std::string out;
    std::string err;
};

inline std::string ReadWholeFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// Runs a shell command line with no standard input.
inline ProcessResult RunProcess(const std::string& commandLine, const std::string& scratch)
{
    const std::string out = scratch + "/stdout", err = scratch + "/stderr";
    int raw = system((commandLine + " </dev/null >" + out + " 2>" + err).c_str());
    return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, ReadWholeFile(out), ReadWholeFile(err)};
}

// The standalone simulator serving a pty linked at `link` until Stop.
class SimProcess {
public:
    SimProcess(const std::string& program, const std::string& link, const std::vector<std::string>& options)
    {
        std::vector<std::string> args = {program, "--link", link};
        args.insert(args.end(), options.begin(), options.end());
        pid_ = fork();
        if (pid_ == 0) {
            std::vector<char*> argv;
            for (std::string& a : args)
                argv.push_back(&a[0]);
            argv.push_back(nullptr);
            freopen("/dev/null", "w", stdout);
            execv(program.c_str(), argv.data());
            _exit(127);
        }
        for (int i = 0; i < 200 && access(link.c_str(), F_OK) != 0; ++i)
            usleep(10000);
        EXPECT_EQ(access(link.c_str(), F_OK), 0) << "the simulator did not start";
    }
    ~SimProcess() { Stop(); }

    // Stops the simulator; it saves its memory on the way out.
    void Stop()
    {
        if (pid_ <= 0)
            return;
        kill(pid_, SIGTERM);
        int status = 0;
        waitpid(pid_, &status, 0);
        pid_ = -1;
    }

private:
    pid_t pid_ = -1;
};
