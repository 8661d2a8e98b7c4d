#include "pages/erase_choice_page.h"

#include "controls/color_button.h"
#include "measure/memory_check.h"
#include "pages/page_requests.h"

namespace {

const UnitChoiceKind kEraseChoiceKind{&layouts::kEraseChoice,
                                      kEraseChoiceIds,
                                      button_colors::kRed,
                                      button_colors::kPaleRed,
                                      kRequestBackFromEraseChoice,
                                      kRequestEraseUnitChosen,
                                      measure::kSelectUnitToDeleteText};

} // namespace

CPpgEraseChoice::CPpgEraseChoice(QWidget* parent) : CUnitChoicePage(kEraseChoiceKind, parent) {}
