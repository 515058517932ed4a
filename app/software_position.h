// The position the device presents to the engine, picked in the selector, and the two
// options of the Advanced menu.
#pragma once

// CBN_SELENDOK: selects the chosen bank and enables the chip, or switches the chip off,
// and says in the status box whether the device took it.
void SelectSoftwarePosition();
// "Allow Software Position Selection": flips the stored option and shows or hides the
// selector.
void ToggleSoftwarePositionOption();
// "View Extended Positions": 8 or 16 positions in the grid and the selector.
void ToggleExtendedPositions();
