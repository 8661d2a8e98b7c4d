#include "comp_transmit_do_page.h"

CPpgCompTransmitDo::CPpgCompTransmitDo(QWidget* parent)
    : CCompTransferPage(layouts::kCompTransmitDo, kCompTransmitDoIds, parent) {}
