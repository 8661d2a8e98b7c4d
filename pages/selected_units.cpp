#include "pages/selected_units.h"

int g_selectedUnitForDeletion = 0;
int g_selectedUnitForReading = 0;
