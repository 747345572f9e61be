#include "platform/framework/data_exchange.h"

void DDX_Control(CDataExchange* exchange, int id, CWnd& control) {
    if (exchange == nullptr || exchange->m_pDlgWnd == nullptr) return;
    if (control.m_hWnd != nullptr) return;  // bound already
    if (!control.SubclassDlgItem(static_cast<UINT>(id), exchange->m_pDlgWnd)) exchange->ok = false;
}
