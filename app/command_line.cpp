#include "app/command_line.h"

#include <cctype>
#include <cstring>

// The next word of a command line: spaces end it unless inside double quotes, which are
// dropped. Returns where the scan stopped; the word is cut to wordSize, *fits says whether
// it was not.
static const char* NextWord(const char* p, char* word, size_t wordSize, bool* fits)
{
    while (*p == ' ' || *p == '\t')
        ++p;
    size_t length = 0;
    bool quoted = false;
    *fits = true;
    for (; *p != '\0' && (quoted || (*p != ' ' && *p != '\t')); ++p) {
        if (*p == '"') {
            quoted = !quoted;
            continue;
        }
        if (length + 1 < wordSize)
            word[length++] = *p;
        else
            *fits = false;
    }
    word[length] = '\0';
    return p;
}

static bool IsLogOption(const char* word)
{
    const char option[] = "/log";
    for (size_t i = 0; i < sizeof option; ++i)
        if (tolower(static_cast<unsigned char>(word[i])) != option[i])
            return false;
    return true;
}

bool FindLogFileOption(const char* commandLine, char* path, size_t pathSize)
{
    if (path == nullptr || pathSize == 0)
        return false;
    path[0] = '\0';
    if (commandLine == nullptr)
        return false;
    const char* p = commandLine;
    char word[8];
    bool fits = true;
    while (*p != '\0') {
        p = NextWord(p, word, sizeof word, &fits);
        if (!fits || !IsLogOption(word))
            continue;
        p = NextWord(p, path, pathSize, &fits);
        if (fits && path[0] != '\0')
            return true;
        path[0] = '\0';
        return false;
    }
    return false;
}
