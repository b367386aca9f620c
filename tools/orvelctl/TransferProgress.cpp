#include "TransferProgress.h"

#include "CtlOutput.h"

#include <cstdio>

TransferProgress::TransferProgress(PanelLink& link)
{
    if (!StderrIsTerminal())
        return;
    m_connection = QObject::connect(&link, &PanelLink::BlockDone, [this] {
        m_dots = true;
        std::fputc('.', stderr);
        std::fflush(stderr);
    });
}

TransferProgress::~TransferProgress()
{
    QObject::disconnect(m_connection);
    if (m_dots) {
        std::fputc('\n', stderr);
        std::fflush(stderr);
    }
}
