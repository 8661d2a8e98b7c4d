// CPpgEraseChoice: the unit selection for deletion. Red units; Cancel and a failed check post
// request 6, a unit request 7 with its code.
#pragma once

#include "pages/unit_choice_page.h"

class CPpgEraseChoice : public CUnitChoicePage {
    Q_OBJECT

public:
    explicit CPpgEraseChoice(QWidget* parent = nullptr);
};
