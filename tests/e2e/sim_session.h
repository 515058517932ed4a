// The standalone simulator as a Linux process beside a test under Wine, serving a COM
// port of the test prefix, through scripts/sim-session.sh and a session folder: Windows
// tests can thus start one per case, with its own options, stop it, and read its memory
// and trace afterwards.
#pragma once
#include <string>
#include <vector>

class SimSession {
public:
    SimSession() = default;
    ~SimSession() { Stop(); }
    SimSession(const SimSession&) = delete;
    SimSession& operator=(const SimSession&) = delete;

    // Serves COMn with these further t6sim options (Linux paths), keeping its files in
    // folder (Windows form, ending in a backslash); true once it serves.
    bool Start(const std::string& folder, int com, const std::vector<std::string>& options);
    // Has it save its memory file (--memory) while it goes on serving, and waits until
    // it has: the chip as it stands between two of the program's operations.
    bool SaveMemory();
    // Stops it and waits until it has ended, and so saved its memory.
    bool Stop();
    // What it printed.
    std::string Output() const;

private:
    std::string folder_;
};
