#include "app/module_directory.h"

#include <cstdio>
#include <cstring>

#if defined(_WIN32)
#include <windows.h>
#else
#include <unistd.h>
#endif

void DirectoryOfPath(const char* path, char* out, size_t outSize)
{
    if (out == nullptr || outSize == 0)
        return;
    out[0] = '\0';
    if (path == nullptr)
        return;
    size_t length = strlen(path);
    for (size_t i = length; i > 1; --i) {
        char c = path[i - 1];
        if (c == '\\' || c == '/') {
            snprintf(out, outSize, "%.*s", int(i), path);
            return;
        }
    }
}

static size_t SystemProgramPath(char* buffer, size_t bufferSize)
{
#if defined(_WIN32)
    return GetModuleFileNameA(nullptr, buffer, DWORD(bufferSize));
#else
    ssize_t length = readlink("/proc/self/exe", buffer, bufferSize);
    return length > 0 ? size_t(length) : 0;
#endif
}

static ProgramPathSource g_programPath = SystemProgramPath;

void SetProgramPathSource(ProgramPathSource source)
{
    g_programPath = source != nullptr ? source : SystemProgramPath;
}

void ModuleDirectory(char* out, size_t outSize)
{
    char program[260] = "";
    size_t length = g_programPath(program, sizeof program);
    // A cut-off name would give a wrong folder; an unknown one is safer.
    if (length >= sizeof program)
        length = 0;
    program[length] = '\0';
    DirectoryOfPath(program, out, outSize);
}
