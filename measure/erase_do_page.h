// CPpgEraseDo: names the unit about to be deleted and asks "Do you want to proceed?"; OK deletes,
// Cancel posts request 8.
#pragma once

#include "page.h"

class CColorButton;

class CPpgEraseDo : public CPage {
    Q_OBJECT

public:
    explicit CPpgEraseDo(QWidget* parent = nullptr);

    CColorButton* CancelButton() const;
    CColorButton* OkButton() const;
};
