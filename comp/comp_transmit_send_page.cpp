#include "comp_transmit_send_page.h"

CPpgCompTransmitSend::CPpgCompTransmitSend(QWidget* parent)
    : CCompTransferPage(layouts::kCompTransmitSend, kCompTransmitSendIds, parent) {}
