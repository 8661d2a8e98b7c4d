// CPpgReadChoice: the unit selection for reading. Blue units; Cancel and a failed check post
// request 11, a unit request 12 with its code.
#pragma once

#include "pages/unit_choice_page.h"

class CPpgReadChoice : public CUnitChoicePage {
    Q_OBJECT

public:
    explicit CPpgReadChoice(QWidget* parent = nullptr);
};
