#pragma once

#include "link/CommFunctions.h"

#include <QMetaObject>

// Progress of a long transfer on standard error, when it is a terminal: one
// dot per block that went through, and the line ended when the transfer is
// over.
class TransferProgress
{
public:
    explicit TransferProgress(PanelLink& link);
    ~TransferProgress();
    TransferProgress(const TransferProgress&) = delete;
    TransferProgress& operator=(const TransferProgress&) = delete;

private:
    QMetaObject::Connection m_connection;
    bool m_dots = false;
};
