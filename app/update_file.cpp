#include "app/update_file.h"

#include <cstdlib>

const char kUpdateDirectory[] = "T5UP";
const char kUpdateFileName[] = "T6UD.TXT";

// Ours, under a top-level domain reserved for such names; a mirror is set by name.
static const char kDefaultUpdateHost[] = "ftp.t6programmer.example";

void UpdateHostName(char* out, size_t outSize)
{
    if (out == nullptr || outSize == 0)
        return;
    const char* host = getenv("T6_UPDATE_HOST");
    if (host == nullptr || host[0] == '\0')
        host = kDefaultUpdateHost;
    snprintf(out, outSize, "%s", host);
}

bool ReadUpdateLine(FILE* file, char* out, size_t outSize)
{
    if (out == nullptr || outSize == 0)
        return false;
    out[0] = '\0';
    if (file == nullptr)
        return false;
    size_t length = 0;
    int c = EOF;
    while ((c = getc(file)) != EOF) {
        if (length + 1 < outSize)
            out[length++] = char(c);
        if (c == '\n')
            break;
    }
    out[length] = '\0';
    return c != EOF || length > 0;
}
