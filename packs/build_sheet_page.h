// The build sheet as a page to print: one self-contained HTML5 document (inline CSS and SVG, no
// script) in the report page's style. Its heading names the files and the rules; per pack the
// group resistances against their mean, the cells' voltage against resistance coloured by group,
// and a table of the groups with their cells; then the spares and the readings left out. The
// page depends on its inputs alone, so equal inputs give equal pages.
#pragma once

#include <string>
#include <vector>

#include "base/local_time.h"
#include "packs/build_sheet.h"

namespace packs {

// What the page says of itself and of where its cells came from.
struct SheetHeading {
    LocalTime made;                 // when the page was made (the PC's local time)
    std::string program;            // "k720ctl 1.03"
    std::vector<std::string> files; // the measurement files read, as the user named them
    std::string results;            // the results a cell may have: "PASS", "PASS,WARNING"
};

// The page as UTF-8 text; every text from the files or the command line is escaped.
std::string BuildSheetHtml(const Sheet& sheet, const SheetHeading& heading);

} // namespace packs
