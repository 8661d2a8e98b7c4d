#include "pages/read_choice_page.h"

#include "controls/color_button.h"
#include "measure/memory_check.h"
#include "pages/page_requests.h"

namespace {

const UnitChoiceKind kReadChoiceKind{&layouts::kReadChoice,         kReadChoiceIds,
                                     button_colors::kBlue,          button_colors::kPaleBlue,
                                     kRequestBackFromReadChoice,    kRequestReadUnitChosen,
                                     measure::kSelectUnitToReadText};

} // namespace

CPpgReadChoice::CPpgReadChoice(QWidget* parent) : CUnitChoicePage(kReadChoiceKind, parent) {}
