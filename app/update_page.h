// The local page that sends the browser to a download address. The address comes from
// the update server, so it is checked and escaped before it goes into the page.
#pragma once
#include <cstddef>

// Only web addresses are opened: the text starts with http:// or https:// (any case).
bool IsWebAddress(const char* url);

// The text with &, <, >, " and ' written as character references, fit for an attribute
// value; everything else, "%" and line ends included, stays as it is. False when it does
// not fit outSize (out then holds nothing).
bool EscapeHtmlAttribute(const char* text, char* out, size_t outSize);

// Room for the page of any address the update file can hold (299 characters, every one
// escaped).
enum { kRedirectPageSize = 2048 };

// The page: a one-second refresh to url. False when the url does not fit (out then holds
// nothing).
bool BuildRedirectPage(const char* url, char* out, size_t outSize);
