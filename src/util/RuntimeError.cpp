#include "RuntimeError.h"

#include <utility>

QString ErrorDescription(int number)
{
    switch (number) {
    case ErrNo::InvalidCall:
        return QStringLiteral("Invalid procedure call or argument");
    case ErrNo::Overflow:
        return QStringLiteral("Overflow");
    case ErrNo::OutOfMemory:
        return QStringLiteral("Out of memory");
    case ErrNo::SubscriptOutOfRange:
        return QStringLiteral("Subscript out of range");
    case ErrNo::DivisionByZero:
        return QStringLiteral("Division by zero");
    case ErrNo::TypeMismatch:
        return QStringLiteral("Type mismatch");
    case ErrNo::BadFileName:
        return QStringLiteral("Bad file name or number");
    case ErrNo::FileNotFound:
        return QStringLiteral("File not found");
    case ErrNo::DeviceIO:
        return QStringLiteral("Device I/O error");
    case ErrNo::DiskFull:
        return QStringLiteral("Disk full");
    case ErrNo::InputPastEnd:
        return QStringLiteral("Input past end of file");
    case ErrNo::DeviceUnavailable:
        return QStringLiteral("Device unavailable");
    case ErrNo::PermissionDenied:
        return QStringLiteral("Permission denied");
    case ErrNo::PathFileAccess:
        return QStringLiteral("Path/File access error");
    case ErrNo::PathNotFound:
        return QStringLiteral("Path not found");
    case ErrNo::NoObject:
        return QStringLiteral("Object variable not set");
    case ErrNo::InvalidPropertyValue:
        return QStringLiteral("Invalid property value");
    case ErrNo::PortInvalid:
        return QStringLiteral("Invalid port number");
    case ErrNo::PortAlreadyOpen:
        return QStringLiteral("Port already open");
    case ErrNo::PortHardwareUnavailable:
        return QStringLiteral("The hardware is not available (locked by another device)");
    case ErrNo::PortNotOpen:
        return QStringLiteral("The device is not open");
    case ErrNo::PortSettings:
        return QStringLiteral("Could not set comm state");
    case ErrNo::PortOpenRequired:
        return QStringLiteral("Operation valid only when the port is open");
    case ErrNo::PortRead:
        return QStringLiteral("Error reading comm device");
    case ErrNo::PortWrite:
        return QStringLiteral("Error writing comm device");
    case ErrNo::NoCurrentRecord:
        return QStringLiteral("No current record");
    case ErrNo::DataFileNotFound:
        return QStringLiteral("Couldn't find the data file");
    case ErrNo::DataFilePassword:
        return QStringLiteral("Not a valid password");
    case ErrNo::DataItemNotFound:
        return QStringLiteral("Item not found in this collection");
    case ErrNo::DataFileFormat:
        return QStringLiteral("Unrecognized data file format");
    default:
        return QStringLiteral("Application-defined or object-defined error");
    }
}

RuntimeError::RuntimeError(int number, QString detail)
    : m_number(number), m_detail(std::move(detail))
{
    QString text = QString::number(number) + QStringLiteral(" : ") + ErrorDescription(number);
    if (!m_detail.isEmpty())
        text += QStringLiteral(" (") + m_detail + QLatin1Char(')');
    m_what = text.toUtf8();
}

void Raise(int number, const QString& detail)
{
    throw RuntimeError(number, detail);
}
