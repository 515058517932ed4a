// The main window's title: version, hardware, the current layout file, and "*" while the
// layout differs from its file.
#pragma once

void UpdateTitle();
