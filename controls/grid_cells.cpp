// What a cell's text is (text or number) and how a cell's own alignment is stored.
#include <cctype>
#include <cstring>

#include "controls/grid_state.h"

static bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

int GridClassifyText(const char* text)
{
    char upper[512];
    size_t length = strnlen(text, sizeof(upper) - 1);
    for (size_t i = 0; i < length; ++i)
        upper[i] = char(toupper(static_cast<unsigned char>(text[i])));
    upper[length] = '\0';

    size_t i = 0;
    while (i < length && IsBlank(upper[i]))
        ++i;
    if (i == length)
        return GRID_TYPE_TEXT;
    int digits = 0, points = 0;
    for (; i < length; ++i) {
        char c = upper[i];
        // Only a sign that opens the whole text belongs to a number.
        if (isalpha(static_cast<unsigned char>(c)) || IsBlank(c) || ((c == '+' || c == '-') && i != 0))
            return GRID_TYPE_TEXT;
        if (isdigit(static_cast<unsigned char>(c)))
            ++digits;
        else if (c == '.')
            ++points;
    }
    return digits > 0 && points <= 1 ? GRID_TYPE_NUMBER : GRID_TYPE_TEXT;
}

// A cell keeps its alignment in two 2-bit codes inside its flags: horizontal (left,
// centre, right) at bit 3 and vertical (top, middle, bottom) at bit 5.
uint32_t GridEncodeAlign(uint32_t alignValues)
{
    if (alignValues == 0)
        return 0;
    uint32_t vertical = (alignValues & GA_MIDDLE) ? 1 : (alignValues & GA_BOTTOM) ? 2 : 0;
    uint32_t horizontal = (alignValues & GA_CENTER) ? 1 : (alignValues & GA_RIGHT) ? 2 : 0;
    return GRID_CELL_OWNALIGN | (horizontal << 3) | (vertical << 5);
}

uint32_t GridDecodeAlign(uint32_t cellFlags)
{
    if (!(cellFlags & GRID_CELL_OWNALIGN))
        return 0;
    static const uint32_t horizontal[4] = {GA_LEFT, GA_CENTER, GA_RIGHT, GA_LEFT};
    static const uint32_t vertical[4] = {GA_TOP, GA_MIDDLE, GA_BOTTOM, GA_TOP};
    return horizontal[(cellFlags >> 3) & 3] | vertical[(cellFlags >> 5) & 3];
}

void GridColumnLetters(int column, char out[3])
{
    int high = (column - 1) / 26;
    int low = column % 26;
    out[0] = high == 0 ? ' ' : char('A' + high - 1);
    out[1] = low == 0 ? 'Z' : char('A' + low - 1);
    out[2] = '\0';
}
