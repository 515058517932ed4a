#include "app/update_version.h"

#include <cstdint>
#include <cstdio>
#include <cstring>

namespace {

enum { kVersionTextSize = 30, kVersionParts = 3 };

// Leading blanks skipped, digits up to the first other character; the value kept modulo
// 2^16, which is the whole number truncated to 16 bits however long it is.
uint16_t PartValue(const char* part)
{
    while (*part == ' ' || *part == '\t')
        ++part;
    uint16_t value = 0;
    for (; *part >= '0' && *part <= '9'; ++part)
        value = uint16_t(value * 10u + unsigned(*part - '0'));
    return value;
}

void SplitVersion(const char* text, uint16_t (&parts)[kVersionParts])
{
    char copy[kVersionTextSize];
    snprintf(copy, sizeof copy, "%s", text);
    int count = 0;
    char* cursor = copy;
    while (count < kVersionParts && *cursor != '\0') {
        char* end = strchr(cursor, '.');
        if (end != nullptr)
            *end = '\0';
        if (*cursor != '\0')
            parts[count++] = PartValue(cursor);
        if (end == nullptr)
            break;
        cursor = end + 1;
    }
    for (; count < kVersionParts; ++count)
        parts[count] = 0;
}

} // namespace

int IsNewerVersion(const char* current, const char* candidate)
{
    if (current == nullptr || candidate == nullptr)
        return 0;
    uint16_t have[kVersionParts], offered[kVersionParts];
    SplitVersion(current, have);
    SplitVersion(candidate, offered);
    for (int i = 0; i < kVersionParts; ++i) {
        if (offered[i] != have[i])
            return offered[i] > have[i] ? 1 : 0;
    }
    return 0;
}

bool IsVersionLine(const char* line)
{
    if (line == nullptr)
        return false;
    while (*line == ' ' || *line == '\t' || *line == '.')
        ++line;
    return *line >= '0' && *line <= '9';
}
