// A static control turned into a link: drawn underlined in the link colour, a hand over
// it, and a click opens the URL and shows it as visited.
#pragma once
#include <windows.h>

// The URL may be null or "" (a click then opens the control's text); colour -1 is blue.
void MakeHyperlink(HWND dialog, int controlId, const char* url, COLORREF colour);
// The colour the link is drawn in now; CLR_INVALID for a control that is no link.
COLORREF HyperlinkColour(HWND control);
