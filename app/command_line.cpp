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

static bool EqualIgnoringCase(const char* text, const char* lowerCase)
{
    for (; *lowerCase != '\0'; ++text, ++lowerCase)
        if (tolower(static_cast<unsigned char>(*text)) != *lowerCase)
            return false;
    return *text == '\0';
}

bool IsLayoutFileName(const char* name)
{
    const char extension[] = ".t6layout";
    size_t length = strlen(name);
    return length >= sizeof extension - 1 && EqualIgnoringCase(name + length - (sizeof extension - 1), extension);
}

// The log's file name (wantLogFile) or the layout file: both are read into path, which is
// also the scan's word buffer, so the file name is never cut where the words are not.
static bool FindArgument(const char* commandLine, bool wantLogFile, char* path, size_t pathSize)
{
    if (path == nullptr || pathSize == 0)
        return false;
    path[0] = '\0';
    if (commandLine == nullptr)
        return false;
    const char* p = commandLine;
    bool fits = true;
    while (*p != '\0') {
        p = NextWord(p, path, pathSize, &fits);
        if (fits && EqualIgnoringCase(path, "/log")) {
            p = NextWord(p, path, pathSize, &fits);
            if (wantLogFile) {
                if (fits && path[0] != '\0')
                    return true;
                break;
            }
        } else if (!wantLogFile && fits && IsLayoutFileName(path)) {
            return true;
        }
    }
    path[0] = '\0';
    return false;
}

bool FindLogFileOption(const char* commandLine, char* path, size_t pathSize)
{
    return FindArgument(commandLine, true, path, pathSize);
}

bool FindLayoutFileArgument(const char* commandLine, char* path, size_t pathSize)
{
    return FindArgument(commandLine, false, path, pathSize);
}
