#pragma once

#include <QString>

#include <exception>

// Error numbers the console can raise. They keep the numbering the panel
// installers already know from the console's error box.
namespace ErrNo {
constexpr int InvalidCall = 5;
constexpr int Overflow = 6;
constexpr int OutOfMemory = 7;
constexpr int SubscriptOutOfRange = 9;
constexpr int DivisionByZero = 11;
constexpr int TypeMismatch = 13;
constexpr int BadFileName = 52;
constexpr int FileNotFound = 53;
constexpr int DeviceIO = 57;
constexpr int DiskFull = 61;
constexpr int InputPastEnd = 62;
constexpr int DeviceUnavailable = 68;
constexpr int PermissionDenied = 70;
constexpr int PathFileAccess = 75;
constexpr int PathNotFound = 76;
constexpr int NoObject = 91;
constexpr int InvalidPropertyValue = 380;
// Serial port.
constexpr int PortInvalid = 8002;
constexpr int PortAlreadyOpen = 8005;
constexpr int PortHardwareUnavailable = 8010;
constexpr int PortNotOpen = 8012;
constexpr int PortSettings = 8015;
constexpr int PortOpenRequired = 8018;
constexpr int PortRead = 8020;
constexpr int PortWrite = 8021;
// Data file.
constexpr int NoCurrentRecord = 3021;
constexpr int DataFileNotFound = 3024;
constexpr int DataFilePassword = 3031;
constexpr int DataItemNotFound = 3265;
constexpr int DataFileFormat = 3343;
} // namespace ErrNo

// Standard description of an error number; numbers the console never raises
// get the generic text.
QString ErrorDescription(int number);

// The one run-time error type: it carries the error number, and optionally a
// detail for diagnostics (never shown in place of the standard description).
class RuntimeError : public std::exception
{
public:
    explicit RuntimeError(int number, QString detail = {});
    int number() const { return m_number; }
    const QString& detail() const { return m_detail; }
    const char* what() const noexcept override { return m_what.constData(); }

private:
    int m_number;
    QString m_detail;
    QByteArray m_what;
};

[[noreturn]] void Raise(int number, const QString& detail = {});
