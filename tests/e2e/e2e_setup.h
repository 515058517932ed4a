// Where the end-to-end tests find what they run, and the folders and files they use.
// The tests run under Wine but the simulator and the build tree are Linux paths: those
// come from the environment (set by the test registration) and are turned into the
// Windows form through drive Z:, which is the Linux root.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

// A variable of the environment, "" when unset.
std::string EnvironmentText(const char* name);
// "/a/b" -> "Z:\a\b", and back.
std::string WindowsPathOf(const std::string& linuxPath);
std::string LinuxPathOf(const std::string& windowsPath);

// Starts T6_SOURCE_DIR/scripts/NAME with /bin/sh and these words. Wine runs a Linux
// program directly but hands out no handle to wait on or a pipe to read: such a script
// reports through files. False when it could not be started.
bool StartScript(const char* name, const std::vector<std::string>& words);
bool FileExists(const std::string& path);

// A fresh, empty folder under T6_E2E_SCRATCH named after the test; Windows form, ending
// in a backslash.
std::string FreshTestFolder(const std::string& name);

std::vector<uint8_t> ReadWholeFile(const std::string& path);
bool WriteWholeFile(const std::string& path, const std::vector<uint8_t>& bytes);
