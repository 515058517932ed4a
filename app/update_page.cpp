#include "app/update_page.h"

#include <cctype>
#include <cstdio>
#include <cstring>

// Scheme names are compared without regard to case.
static bool StartsWithScheme(const char* url, const char* scheme)
{
    for (; *scheme != '\0'; ++url, ++scheme) {
        if (tolower(static_cast<unsigned char>(*url)) != *scheme)
            return false;
    }
    return true;
}

bool IsWebAddress(const char* url)
{
    return url != nullptr && (StartsWithScheme(url, "http://") || StartsWithScheme(url, "https://"));
}

static const char* EntityFor(char c)
{
    switch (c) {
    case '&': return "&amp;";
    case '<': return "&lt;";
    case '>': return "&gt;";
    case '"': return "&quot;";
    case '\'': return "&#39;";
    default: return nullptr;
    }
}

bool EscapeHtmlAttribute(const char* text, char* out, size_t outSize)
{
    if (out == nullptr || outSize == 0)
        return false;
    out[0] = '\0';
    if (text == nullptr)
        return false;
    size_t length = 0;
    for (; *text != '\0'; ++text) {
        const char* entity = EntityFor(*text);
        size_t add = entity != nullptr ? strlen(entity) : 1;
        if (length + add >= outSize) {
            out[0] = '\0';
            return false;
        }
        if (entity != nullptr)
            memcpy(out + length, entity, add);
        else
            out[length] = *text;
        length += add;
    }
    out[length] = '\0';
    return true;
}

bool BuildRedirectPage(const char* url, char* out, size_t outSize)
{
    if (out == nullptr || outSize == 0)
        return false;
    out[0] = '\0';
    char escaped[kRedirectPageSize];
    if (!EscapeHtmlAttribute(url, escaped, sizeof escaped))
        return false;
    int length = snprintf(out, outSize,
                          "<html>\n<head>\n<title>Launching Web Site ...</title>\n"
                          "<meta http-equiv=refresh content=\"1; URL=%s\">\n</head>\n"
                          "<body bgcolor=\"#FFFFFF\" text=\"#000000\">\nPlease wait ...\n</body>\n</html>",
                          escaped);
    if (length < 0 || size_t(length) >= outSize) {
        out[0] = '\0';
        return false;
    }
    return true;
}
