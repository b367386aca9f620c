#include "PortList.h"

#include "link/SerialComCtrl.h"

#include <QComboBox>
#include <QLabel>
#include <QSerialPortInfo>

#include <algorithm>

namespace {
constexpr int FixedPorts = 16;

// Device names in the order a user looks for them, the same in every locale:
// by the name without its trailing number, then by that number (ttyS2 before
// ttyS10 before ttyUSB0).
bool NameOrder(const QString& a, const QString& b)
{
    auto split = [](const QString& name) {
        qsizetype digits = name.size();
        while (digits > 0 && name[digits - 1].isDigit())
            --digits;
        return std::pair(name.left(digits), name.mid(digits).toULongLong());
    };
    return split(a) < split(b);
}
} // namespace

QStringList SerialPortChoices(const QStringList& systemPorts)
{
    QStringList choices;
    QStringList fixedDevices;
    for (int n = 1; n <= FixedPorts; ++n) {
        choices << QString::number(n);
        fixedDevices << SerialComCtrl::DeviceName(QString::number(n));
    }
    QStringList devices;
    QStringList seen = fixedDevices;
    for (const QString& name : systemPorts) {
        const QString device = SerialComCtrl::DeviceName(name);
        if (name.isEmpty() || seen.contains(device))
            continue;
        seen << device;
        devices << name;
    }
    std::sort(devices.begin(), devices.end(), NameOrder);
    return choices + devices;
}

QStringList SerialPortChoices()
{
    QStringList names;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts())
        names << info.portName();
    return SerialPortChoices(names);
}

bool IsPortNumber(const QString& port)
{
    bool numeric = false;
    const int n = port.trimmed().toInt(&numeric);
    return numeric && n >= 1;
}

QComboBox* NewPortList(QWidget* parent, QLabel* numberPrefix)
{
    auto* list = new QComboBox(parent);
    list->setObjectName(QStringLiteral("cboPort"));
    list->setEditable(true);
    list->setInsertPolicy(QComboBox::NoInsert);
    // Wide enough for device paths such as /dev/ttyUSB0 or a simulator link.
    list->setMinimumContentsLength(22);
    list->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    list->addItems(SerialPortChoices());
    if (numberPrefix) {
        // "COM" reads right before a port number, wrong before a device path.
        auto follow = [list, numberPrefix] {
            numberPrefix->setVisible(IsPortNumber(list->currentText()));
        };
        QObject::connect(list, &QComboBox::editTextChanged, numberPrefix, follow);
        QObject::connect(list, &QComboBox::currentIndexChanged, numberPrefix, follow);
        follow();
    }
    return list;
}
