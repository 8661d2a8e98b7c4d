// CPpgCompTransmitSend: sends the edited comparator table to the instrument, all 200 entries;
// started by WM_COMP_SEND_START, ends with request 28 (could not start) or 29 (ended).
#pragma once

#include "comp_transfer_page.h"

class CPpgCompTransmitSend : public CCompTransferPage {
    Q_OBJECT

public:
    explicit CPpgCompTransmitSend(QWidget* parent = nullptr);
};
