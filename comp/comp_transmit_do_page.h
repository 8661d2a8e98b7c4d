// CPpgCompTransmitDo: reads the instrument's comparator table, all 200 entries; started by
// WM_COMP_RECEIVE_START, ends with request 31 (failed) or 32 (received).
#pragma once

#include "comp_transfer_page.h"

class CPpgCompTransmitDo : public CCompTransferPage {
    Q_OBJECT

public:
    explicit CPpgCompTransmitDo(QWidget* parent = nullptr);
};
