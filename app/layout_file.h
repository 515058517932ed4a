// Layout files (.t6layout): the raw 4164-byte image of a LayoutBlock.
#pragma once
#include "app/app_state.h"

enum LayoutReadResult {
    kLayoutUnreadable = 0,  // missing, unreadable or shorter than a layout
    kLayoutRead = 1,
    kLayoutTooNew = 2,  // a version above 1
};

// Reads the first 4164 bytes of a file; bytes beyond them are ignored. *block changes only
// when the result is kLayoutRead, so a bad file never costs the layout already loaded.
LayoutReadResult ReadLayoutFile(const char* path, LayoutBlock* block);

// Returns 1 when all 4164 bytes were written; the old file is replaced only then.
int WriteLayoutFile(const char* path, const LayoutBlock* block);

// A stored path that fills its whole field has no NUL: end it in the field's last byte.
// Paths that have their NUL keep every byte, so a good file round-trips unchanged.
void EndPathInField(char* field, size_t fieldSize);
void EndPathsInTheirFields(LayoutBlock* block);
