#include "PortList.h"

#include <QCollator>
#include <QComboBox>
#include <QSerialPortInfo>

#include <algorithm>

QStringList SerialPortChoices()
{
    QStringList choices;
    for (int n = 1; n <= 16; ++n)
        choices << QString::number(n);
    const QList<QSerialPortInfo> ports = QSerialPortInfo::availablePorts();
    QStringList devices;
    for (const QSerialPortInfo& info : ports) {
        const QString name = info.portName();
        if (!name.isEmpty() && !choices.contains(name) && !devices.contains(name))
            devices << name;
    }
    // ttyS2 before ttyS10.
    QCollator collator;
    collator.setNumericMode(true);
    std::sort(devices.begin(), devices.end(), collator);
    return choices + devices;
}

QComboBox* NewPortList(QWidget* parent)
{
    auto* list = new QComboBox(parent);
    list->setObjectName(QStringLiteral("cboPort"));
    list->setEditable(true);
    list->setInsertPolicy(QComboBox::NoInsert);
    // Wide enough for device paths such as /dev/ttyUSB0 or a simulator link.
    list->setMinimumContentsLength(22);
    list->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    list->addItems(SerialPortChoices());
    return list;
}
