#include "SimulatedPanel.h"

#include "link/CommFunctions.h"

#include <QStringList>

#include <utility>

namespace {
struct Range
{
    int start;
    int count;
    std::int32_t since; // first version code that has it
};

// Read window of the panel.
const Range readRanges[] = {
    {130, 1, 0},    {132, 2, 0},   {144, 1, 0},    {146, 128, 0},  {334, 2, 0},    {593, 12, 0},
    {609, 24, 0},   {641, 12, 0},  {657, 12, 0},   {673, 12, 0},   {689, 12, 0},   {705, 24, 0},
    {737, 12, 0},   {753, 12, 0},  {769, 12, 259}, {785, 12, 259}, {929, 12, 0},   {945, 12, 0},
    {961, 12, 261}, {1057, 14, 0}, {1105, 9, 0},   {1114, 1, 259}, {1115, 3, 261}, {1137, 5, 0},
    {1142, 1, 259}, {1154, 1, 0},  {1172, 4, 0},
};

// Write window: each block lands in the read window at readStart.
struct WriteBlock
{
    int start;
    int count;
    std::int32_t since;
    int readStart;
};
const WriteBlock writeBlocks[] = {
    {337, 12, 0, 593},  {353, 24, 0, 609},    {385, 12, 0, 641},   {401, 12, 0, 657},
    {417, 12, 0, 673},  {433, 12, 0, 689},    {449, 24, 0, 705},   {481, 12, 0, 737},
    {497, 12, 0, 753},  {513, 12, 259, 769},  {529, 12, 259, 785}, {849, 12, 0, 929},
    {865, 12, 0, 945},  {881, 12, 261, 961},  {1025, 13, 0, 1057}, {1038, 1, 260, 1070},
    {1089, 9, 0, 1105}, {1098, 1, 259, 1114}, {1121, 5, 0, 1137},  {1126, 1, 259, 1142},
    {1153, 1, 0, 1154}, {1099, 3, 262, 1115}, {1171, 3, 0, 1172},
};

constexpr int RegSlaveAtAny = 130;
constexpr int RegCount = 144;
constexpr int RegRecords = 146;
constexpr int RegVersion = 334;
constexpr int RegValidation = 336;
constexpr int RegDiscard = 288;
constexpr int RegEndOfClear = 289;
constexpr int RegSlaveNumber = 1138;

struct LineParts
{
    int bauds = 0;
    QChar parity;
    int dataBits = 0;
    int stops = 0;
    bool operator==(const LineParts&) const = default;
};

LineParts parts(const QString& settings)
{
    const QStringList f = settings.split(QLatin1Char(','));
    LineParts p;
    if (f.size() != 4)
        return p;
    p.bauds = f[0].trimmed().toInt();
    p.parity = f[1].trimmed().isEmpty() ? QChar() : f[1].trimmed().at(0).toUpper();
    p.dataBits = f[2].trimmed().toInt();
    p.stops = f[3].trimmed().toInt();
    return p;
}

std::uint16_t beWord(const QByteArray& b, int offset)
{
    return static_cast<std::uint16_t>(static_cast<std::uint8_t>(b[offset]) << 8 |
                                      static_cast<std::uint8_t>(b[offset + 1]));
}

void appendWord(QByteArray& frame, std::uint16_t word)
{
    frame.append(static_cast<char>(word >> 8));
    frame.append(static_cast<char>(word & 0xFF));
}

std::int16_t w16(int value)
{
    return static_cast<std::int16_t>(static_cast<std::uint16_t>(value & 0xFFFF));
}
} // namespace

SimulatedPanel::SimulatedPanel(std::uint8_t slave, std::int32_t version,
                               const QString& lineSettings)
    : m_slave(slave), m_version(version), m_lineSettings(lineSettings)
{
    m_read[132] = 1;
    m_read[133] = 1;
    setSlave(slave);
    refreshVersionRegisters();
}

void SimulatedPanel::setSlave(std::uint8_t slave)
{
    m_slave = slave;
    m_read[RegSlaveAtAny] = slave;
    m_read[RegSlaveNumber] = slave;
}

void SimulatedPanel::setVersion(std::int32_t version)
{
    m_version = version;
    refreshVersionRegisters();
}

void SimulatedPanel::refreshVersionRegisters()
{
    m_read[RegVersion] = w16(m_version >> 8);
    m_read[RegVersion + 1] = w16((m_version & 0xFF) << 8);
}

void SimulatedPanel::setLineSettings(const QString& settings)
{
    m_lineSettings = settings;
}

bool SimulatedPanel::listensAt(const QString& lineSettings) const
{
    return parts(lineSettings) == parts(m_lineSettings);
}

void SimulatedPanel::setFault(Fault fault, int times, std::optional<int> atRegister)
{
    m_fault = fault;
    m_faultTimes = fault == Fault::None ? -1 : times;
    m_faultRegister = atRegister;
}

void SimulatedPanel::setIdentification(std::int16_t w132, std::int16_t w133)
{
    m_read[132] = w132;
    m_read[133] = w133;
}

bool SimulatedPanel::readable(int address) const
{
    for (const Range& r : readRanges) {
        if (address >= r.start && address < r.start + r.count)
            return m_version >= r.since;
    }
    return false;
}

bool SimulatedPanel::writable(int address) const
{
    if (address == RegValidation || address == RegDiscard || address == RegEndOfClear)
        return true;
    for (const WriteBlock& b : writeBlocks) {
        if (address >= b.start && address < b.start + b.count)
            return m_version >= b.since;
    }
    return false;
}

std::int16_t SimulatedPanel::readRegister(int address) const
{
    if (address == RegCount) {
        if (m_countOverride)
            return *m_countOverride;
        return static_cast<std::int16_t>(qMin<qsizetype>(m_events.size(), 62));
    }
    if (address >= RegRecords && address < RegRecords + 2 * MaxEvents) {
        const int k = (address - RegRecords) / 2;
        if (k >= m_events.size())
            return 0;
        const Event& e = m_events[k];
        return static_cast<std::int16_t>((address - RegRecords) % 2 == 0 ? e.w0 : e.w1);
    }
    return m_read.value(address, 0);
}

void SimulatedPanel::setReadRegister(int address, std::int16_t value)
{
    m_read[address] = value;
}

std::optional<std::int16_t> SimulatedPanel::writtenRegister(int address) const
{
    const auto it = m_written.constFind(address);
    if (it == m_written.constEnd())
        return std::nullopt;
    return *it;
}

void SimulatedPanel::setEvents(const QList<Event>& events)
{
    m_events = events.mid(qMax<qsizetype>(0, events.size() - MaxEvents));
}

void SimulatedPanel::addEvent(Event event)
{
    m_events.append(event);
    if (m_events.size() > MaxEvents)
        m_events.removeFirst();
}

void SimulatedPanel::store(int address, std::int16_t value)
{
    m_written[address] = value;
    if (address == RegValidation) {
        ++m_validations;
        const std::int16_t configured = m_read.value(RegSlaveNumber, 0);
        if (configured >= 1 && configured <= 64)
            setSlave(static_cast<std::uint8_t>(configured));
        return;
    }
    if (address == RegDiscard) {
        m_discardWrites.append(value);
        if (!m_clearNeverFalls && value > 0)
            m_events.remove(0, qMin<qsizetype>(value, m_events.size()));
        return;
    }
    if (address == RegEndOfClear) {
        ++m_endOfClearWrites;
        return;
    }
    for (const WriteBlock& b : writeBlocks) {
        if (address >= b.start && address < b.start + b.count) {
            m_read[b.readStart + address - b.start] = value;
            return;
        }
    }
}

SimulatedPanel::Reply SimulatedPanel::handle(const QByteArray& request)
{
    Reply reply;
    if (request.size() < 4)
        return reply;
    const int n = static_cast<int>(request.size());
    const std::uint16_t crc = CRC16(request, n - 2);
    if (static_cast<std::uint8_t>(request[n - 2]) != (crc & 0xFF) ||
        static_cast<std::uint8_t>(request[n - 1]) != (crc >> 8))
        return reply;
    // A reply held back goes out as soon as the next request is heard.
    reply.held = std::exchange(m_held, {});
    const auto address = static_cast<std::uint8_t>(request[0]);
    const int function = static_cast<std::uint8_t>(request[1]);
    if (address != m_slave && !(address == 65 && function == 3))
        return reply;

    Fault fault = Fault::None;
    const bool targeted =
        !m_faultRegister || (request.size() >= 4 && beWord(request, 2) == *m_faultRegister);
    if (m_fault != Fault::None && m_faultTimes != 0 && targeted) {
        fault = m_fault;
        if (m_faultTimes > 0 && --m_faultTimes == 0)
            m_fault = Fault::None;
    }
    if (fault == Fault::NoReply)
        return reply;

    ++m_requestsAnswered;
    QByteArray bytes = answer(request, address);
    reply.delayMs = m_turnaroundMs;
    switch (fault) {
    case Fault::BadCrc:
        std::swap(bytes[bytes.size() - 2], bytes[bytes.size() - 1]);
        if (bytes[bytes.size() - 2] == bytes[bytes.size() - 1])
            bytes[bytes.size() - 1] = static_cast<char>(bytes[bytes.size() - 1] ^ 0x55);
        break;
    case Fault::Echo:
        reply.echo = request;
        break;
    case Fault::Exception:
        bytes = exception(address, function, 4);
        break;
    case Fault::WrongSlave:
        bytes[0] = static_cast<char>(address + 1);
        bytes.chop(2);
        AppendCRC16(bytes);
        break;
    case Fault::ShortReply:
        bytes.chop(1);
        break;
    case Fault::LateReply:
        reply.delayMs += m_lateReplyMs;
        break;
    case Fault::HeldReply:
        m_held = bytes;
        bytes.clear();
        break;
    case Fault::BadEcho:
        if (bytes.size() == 8 && function == 16)
            bytes[3] = static_cast<char>(bytes[3] + 1);
        else if (function == 3 && bytes.size() > 5)
            bytes[2] = static_cast<char>(bytes[2] + 2);
        bytes.chop(2);
        AppendCRC16(bytes);
        break;
    default:
        break;
    }
    reply.bytes = bytes;
    return reply;
}

QByteArray SimulatedPanel::exception(std::uint8_t address, int function, int code) const
{
    QByteArray bytes;
    bytes.append(static_cast<char>(address));
    bytes.append(static_cast<char>(function | 0x80));
    bytes.append(static_cast<char>(code));
    AppendCRC16(bytes);
    return bytes;
}

QByteArray SimulatedPanel::answer(const QByteArray& request, std::uint8_t address)
{
    const int function = static_cast<std::uint8_t>(request[1]);
    if (function == 3) {
        if (request.size() != 8)
            return exception(address, function, 3);
        return readReply(address, beWord(request, 2), beWord(request, 4));
    }
    if (function == 16) {
        if (request.size() < 9)
            return exception(address, function, 3);
        const int start = beWord(request, 2);
        const int count = beWord(request, 4);
        const int byteCount = static_cast<std::uint8_t>(request[6]);
        if (count < 1 || count > 123 || byteCount != 2 * count || request.size() != 9 + byteCount)
            return exception(address, function, 3);
        QList<std::int16_t> words;
        for (int i = 0; i < count; ++i)
            words.append(static_cast<std::int16_t>(beWord(request, 7 + 2 * i)));
        return writeReply(address, start, words);
    }
    return exception(address, function, 1);
}

QByteArray SimulatedPanel::readReply(std::uint8_t address, int start, int count)
{
    if (count < 1 || count > 125)
        return exception(address, 3, 3);
    if (address == 65 && !(start == RegSlaveAtAny && count == 1))
        return exception(address, 3, 2);
    for (int a = start; a < start + count; ++a) {
        if (!readable(a))
            return exception(address, 3, 2);
    }
    QByteArray bytes;
    bytes.append(static_cast<char>(address));
    bytes.append(char(3));
    bytes.append(static_cast<char>(2 * count));
    for (int a = start; a < start + count; ++a)
        appendWord(bytes, static_cast<std::uint16_t>(readRegister(a)));
    AppendCRC16(bytes);
    return bytes;
}

QByteArray SimulatedPanel::writeReply(std::uint8_t address, int start,
                                      const QList<std::int16_t>& words)
{
    const int count = static_cast<int>(words.size());
    for (int a = start; a < start + count; ++a) {
        if (!writable(a))
            return exception(address, 16, 2);
    }
    const bool special = start == RegValidation || start == RegDiscard || start == RegEndOfClear;
    if (special && (count != 1 || (start != RegDiscard && words[0] != 0)))
        return exception(address, 16, 3);
    for (int i = 0; i < count; ++i)
        store(start + i, words[i]);
    QByteArray bytes;
    bytes.append(static_cast<char>(address));
    bytes.append(char(16));
    appendWord(bytes, static_cast<std::uint16_t>(start));
    appendWord(bytes, static_cast<std::uint16_t>(count));
    AppendCRC16(bytes);
    return bytes;
}
