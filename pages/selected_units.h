// The unit codes chosen on the two unit selection pages, stored by the main window from page-switch
// requests 7 and 12 and read by the pages that follow them: 1, 2, 4, ..., 2048 for one unit
// (bit i for unit i), 4096 for all units; 0 before any choice. UI thread only.
#pragma once

// Chosen for deletion (request 7); read by the deletion page.
extern int g_selectedUnitForDeletion;
// Chosen for reading (request 12); read by the read confirmation and reception pages.
extern int g_selectedUnitForReading;
