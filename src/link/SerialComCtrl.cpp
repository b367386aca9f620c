#include "link/SerialComCtrl.h"

#include "link/SerialDevice.h"
#include "util/RuntimeError.h"

#include <QDeadlineTimer>
#include <QMetaObject>
#include <QRegularExpression>

#ifdef Q_OS_UNIX
#include <termios.h>
#endif

SerialComCtrl::SerialComCtrl(QObject* parent) : ComCtrl(parent) {}

SerialComCtrl::~SerialComCtrl()
{
    joinDrain();
    if (m_port.isOpen())
        m_port.close();
}

QString SerialComCtrl::DeviceName(const QString& port)
{
    const QString name = port.trimmed();
    bool numeric = false;
    const int n = name.toInt(&numeric);
    if (numeric && n >= 1) {
#ifdef Q_OS_WIN
        return QStringLiteral("COM") + QString::number(n);
#else
        return QStringLiteral("/dev/ttyS") + QString::number(n - 1);
#endif
    }
#ifdef Q_OS_WIN
    return name;
#else
    if (name.isEmpty() || name.startsWith(QLatin1Char('/')))
        return name;
    return QStringLiteral("/dev/") + name;
#endif
}

void SerialComCtrl::SetCommPort(const QString& port)
{
    // Naming the open port again ("1" or "/dev/ttyS0" alike) changes nothing;
    // another port can only be set once this one is closed.
    if (m_port.isOpen() && DeviceName(port) != DeviceName(m_commPort))
        Raise(ErrNo::PortAlreadyOpen);
    m_commPort = port.trimmed();
}

SerialComCtrl::LineSettings SerialComCtrl::parse(const QString& settings)
{
    static const QRegularExpression form(QStringLiteral(
        "^\\s*(\\d{2,7})\\s*,\\s*([NnEeOoMmSs])\\s*,\\s*([5-8])\\s*,\\s*([12])\\s*$"));
    const QRegularExpressionMatch m = form.match(settings);
    if (!m.hasMatch())
        Raise(ErrNo::InvalidPropertyValue, settings);
    LineSettings line;
    line.bauds = m.captured(1).toInt();
    switch (m.captured(2).at(0).toUpper().toLatin1()) {
    case 'E':
        line.parity = QSerialPort::EvenParity;
        break;
    case 'O':
        line.parity = QSerialPort::OddParity;
        break;
    case 'M':
        line.parity = QSerialPort::MarkParity;
        break;
    case 'S':
        line.parity = QSerialPort::SpaceParity;
        break;
    default:
        line.parity = QSerialPort::NoParity;
    }
    line.dataBits = static_cast<QSerialPort::DataBits>(m.captured(3).toInt());
    line.stopBits =
        m.captured(4) == QLatin1String("2") ? QSerialPort::TwoStop : QSerialPort::OneStop;
    return line;
}

void SerialComCtrl::apply(const LineSettings& line)
{
    if (!m_port.setBaudRate(line.bauds) || !m_port.setParity(line.parity) ||
        !m_port.setDataBits(line.dataBits) || !m_port.setStopBits(line.stopBits) ||
        !m_port.setFlowControl(QSerialPort::NoFlowControl)) {
        m_port.clearError();
        Raise(ErrNo::PortSettings, m_port.errorString());
    }
}

void SerialComCtrl::SetSettings(const QString& settings)
{
    const LineSettings line = parse(settings);
    if (m_port.isOpen())
        apply(line);
    m_settings = settings.trimmed();
}

bool SerialComCtrl::PortOpen() const
{
    return m_port.isOpen();
}

void SerialComCtrl::SetPortOpen(bool open)
{
    // Opening the open port succeeds: its settings are applied as they
    // change, so it is already open as asked.
    if (open == m_port.isOpen())
        return;
    if (!open) {
        joinDrain();
        m_port.close();
        return;
    }
    const QString device = SerialDevicePath(DeviceName(m_commPort));
    RemoveStaleLockFiles(device);
    m_port.setPortName(device);
    if (!m_port.open(QIODevice::ReadWrite)) {
        const QSerialPort::SerialPortError error = m_port.error();
        const QString detail = m_port.errorString();
        m_port.clearError();
        switch (error) {
        case QSerialPort::DeviceNotFoundError:
            Raise(ErrNo::PortInvalid, detail);
        case QSerialPort::OpenError:
            Raise(ErrNo::PortAlreadyOpen, detail);
        case QSerialPort::UnsupportedOperationError:
            Raise(ErrNo::PortSettings, detail);
        default:
            Raise(ErrNo::PortHardwareUnavailable, detail);
        }
    }
    if (!LockOpenDevice(m_port.handle())) {
        m_port.close();
        Raise(ErrNo::PortHardwareUnavailable, device);
    }
    try {
        apply(parse(m_settings));
    } catch (...) {
        m_port.close();
        throw;
    }
    // A line that cannot drive RTS refuses quietly; that is no fault.
    m_port.setRequestToSend(m_rts);
    m_port.clearError();
    m_port.clear();
}

void SerialComCtrl::SetRTSEnable(bool on)
{
    m_rts = on;
    if (m_port.isOpen()) {
        m_port.setRequestToSend(on);
        if (m_port.error() == QSerialPort::ResourceError)
            deviceLost(ErrNo::PortWrite);
        m_port.clearError();
    }
}

void SerialComCtrl::requireOpen() const
{
    if (!m_port.isOpen())
        Raise(ErrNo::PortOpenRequired);
}

void SerialComCtrl::deviceLost(int number)
{
    const QString detail = m_port.errorString();
    m_port.clearError();
    joinDrain();
    m_port.close();
    Raise(number, detail);
}

void SerialComCtrl::joinDrain()
{
    if (m_drain.joinable())
        m_drain.join();
}

void SerialComCtrl::ClearOutBuffer()
{
    requireOpen();
    m_port.clear(QSerialPort::Output);
    m_port.clearError();
}

void SerialComCtrl::ClearInBuffer()
{
    requireOpen();
    m_port.clear(QSerialPort::Input);
    m_port.readAll();
    m_port.clearError();
}

void SerialComCtrl::checkRead()
{
    // A device that went away (adapter unplugged, terminal hung up) fails
    // every read at once from then on.
    const QSerialPort::SerialPortError error = m_port.error();
    if (error == QSerialPort::ResourceError || error == QSerialPort::ReadError)
        deviceLost(ErrNo::PortRead);
    m_port.clearError();
}

int SerialComCtrl::InBufferCount()
{
    requireOpen();
    // Pick up whatever the driver holds without waiting.
    m_port.waitForReadyRead(0);
    checkRead();
    return static_cast<int>(m_port.bytesAvailable());
}

void SerialComCtrl::Output(const QByteArray& bytes)
{
    requireOpen();
    joinDrain();
    if (m_port.write(bytes) != bytes.size())
        deviceLost(ErrNo::PortWrite);
    // Hand every byte to the driver now: the exchange does not return to the
    // event loop before the reply is in.
    QDeadlineTimer deadline(2000);
    while (m_port.bytesToWrite() > 0 && !deadline.hasExpired()) {
        if (!m_port.waitForBytesWritten(static_cast<int>(deadline.remainingTime())) &&
            m_port.error() != QSerialPort::NoError && m_port.error() != QSerialPort::TimeoutError)
            deviceLost(ErrNo::PortWrite);
    }
    m_port.clearError();
    if (m_port.bytesToWrite() > 0)
        deviceLost(ErrNo::PortWrite);

#ifdef Q_OS_UNIX
    // The driver has the bytes; they have left the line once tcdrain returns.
    const int fd = static_cast<int>(m_port.handle());
    m_drain = std::thread([this, fd] {
        ::tcdrain(fd);
        QMetaObject::invokeMethod(
            this, [this] { Q_EMIT OnComm(comEvSend); }, Qt::QueuedConnection);
    });
#else
    QMetaObject::invokeMethod(
        this, [this] { Q_EMIT OnComm(comEvSend); }, Qt::QueuedConnection);
#endif
}

QByteArray SerialComCtrl::Input()
{
    requireOpen();
    m_port.waitForReadyRead(0);
    checkRead();
    return m_port.readAll();
}

int SerialComCtrl::WaitForInput(int count, int timeoutMs)
{
    requireOpen();
    QDeadlineTimer deadline(timeoutMs < 0 ? 0 : timeoutMs);
    for (;;) {
        if (m_port.bytesAvailable() >= count)
            break;
        const auto left = deadline.remainingTime();
        if (left <= 0)
            break;
        if (!m_port.waitForReadyRead(static_cast<int>(left)))
            checkRead();
    }
    return static_cast<int>(m_port.bytesAvailable());
}
