#pragma once

#include "config/ConfigClass.h"

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QString>

#include <cstdint>
#include <optional>

// One simulated Orvel panel: its slave number, firmware version, the line
// settings it listens at, its register store and its event log. It answers
// Modbus RTU requests (function 3 read, function 16 write) the way a panel
// does, and can be told to misbehave.
//
// Register model
// - Separate read and write windows: a block written at its write address
//   reads back through its read address (for example inputs' InSecu are
//   written at 337 and read at 593). The factory block is written at 1171
//   (BrightMin, 0, SupplyType) and read at 1172 (BrightMin, the 0, SupplyType,
//   CommonType): CommonType (1175) is read-only, set by setReadRegister or
//   loadConfig.
// - Blocks exist per firmware: 1.03 (259) adds the input disturbance and
//   repeat-block blocks and the last words of the general blocks; 1.04 adds
//   word 13 of the first general write block; 1.05 adds output modes and the
//   G-R5 read block; 1.06 adds the G-W5 write block. A request touching any
//   register the firmware lacks answers exception 2 (illegal data address);
//   a bad count answers exception 3, another function exception 1.
// - 130 (read at address 65 or at the panel's own address): the slave
//   number. 132 and 133: identification words (1). 334, 335: version (low
//   byte of 334 = major, high byte of 335 = minor). 1138: the configured slave
//   number; writing it (word 1 of the 1121 block) takes effect as the panel's
//   address when the configuration is validated.
// - 336: validation, write the single word 0.
// - Event buffer: 144 count word (the number of events, at most 62: a panel
//   with 63 or 64 events reports 62 and shows events 63 and 64 at 270..273,
//   zeros for an absent one), 146 + 2k record k (two words), 288 discard
//   register (writing c drops the c oldest events), 289 end-of-clear register
//   (write 0 once the count has fallen to 0).
// - At address 65 every panel on the line answers reads (with address 65);
//   writes to 65 are ignored. A frame with a bad CRC is ignored.
class SimulatedPanel
{
public:
    enum class Fault
    {
        None,
        NoReply,    // the request is ignored
        BadCrc,     // the reply's two CRC bytes are swapped
        Echo,       // the request is heard back before the reply (two-wire line)
        Exception,  // exception reply, code 4 (slave device failure)
        WrongSlave, // the reply carries slave number + 1, with a valid CRC
        ShortReply, // the reply lacks its last byte
        LateReply,  // the reply comes lateReplyMs() after the request
        HeldReply,  // the reply is held back until the next request is heard,
                    // and comes just before that request's own reply
        BadEcho,    // with a valid CRC, a write acknowledgement echoes the
                    // address plus one, a read reply a byte count two too large
    };

    // One event record as it sits in the buffer: W0 then W1.
    struct Event
    {
        std::uint16_t w0 = 0;
        std::uint16_t w1 = 0;
        bool operator==(const Event&) const = default;
    };
    static constexpr int MaxEvents = 64;

    // What the panel puts on the line for one request: nothing, or bytes after
    // a delay (counted from the end of the request).
    struct Reply
    {
        QByteArray bytes;
        QByteArray echo; // heard at once, before the reply
        QByteArray held; // a reply held back from an earlier request, sent at once
        int delayMs = 0;
    };

    explicit SimulatedPanel(std::uint8_t slave = 1, std::int32_t version = 262,
                            const QString& lineSettings = QStringLiteral("9600,N,8,1"));

    // Slave number 1..64 (also what registers 130 and 1138 read).
    std::uint8_t slave() const { return m_slave; }
    void setSlave(std::uint8_t slave);

    // Version code major x 256 + minor, 258 (1.02) to 262 (1.06).
    std::int32_t version() const { return m_version; }
    void setVersion(std::int32_t version);

    // The line settings it answers at, "9600,N,8,1": the panel answers only
    // when the line's baud rate, parity, data bits and stop bits equal these.
    QString lineSettings() const { return m_lineSettings; }
    void setLineSettings(const QString& settings);
    bool listensAt(const QString& lineSettings) const;

    // Processing time before the reply starts.
    int turnaroundMs() const { return m_turnaroundMs; }
    void setTurnaroundMs(int ms) { m_turnaroundMs = ms; }

    // Faults: applied to the next `times` requests this panel answers
    // (-1: until set back to None); with a register, only to the requests
    // that start at that register (the others are answered well).
    void setFault(Fault fault, int times = -1, std::optional<int> atRegister = std::nullopt);
    Fault fault() const { return m_fault; }
    int lateReplyMs() const { return m_lateReplyMs; }
    void setLateReplyMs(int ms) { m_lateReplyMs = ms; }
    // The identification words 132 and 133 (1 and 1 on a valid module).
    void setIdentification(std::int16_t w132, std::int16_t w133);

    // Register store.
    bool readable(int address) const;
    bool writable(int address) const;
    std::int16_t readRegister(int address) const;
    void setReadRegister(int address, std::int16_t value);
    // The last value written at a write-window address (nullopt: never).
    std::optional<std::int16_t> writtenRegister(int address) const;

    // The configuration, packed into and unpacked from the read window by the
    // panel's own layout (independent of the console's register map).
    // loadConfig keeps the panel's slave number (GenParam(23) is not loaded).
    void loadConfig(const ConfigClass& config);
    ConfigClass config() const;

    // Event log, oldest first; at most 64 (adding more drops the oldest).
    QList<Event> events() const { return m_events; }
    void setEvents(const QList<Event>& events);
    void addEvent(Event event);
    // Forces the count word (for example 0xFFFF or 300); nullopt: the real count.
    void setCountOverride(std::optional<std::int16_t> count) { m_countOverride = count; }
    // Fault of the event buffer: discard writes are acknowledged, nothing goes.
    void setClearNeverFalls(bool on) { m_clearNeverFalls = on; }
    QList<std::int16_t> discardWrites() const { return m_discardWrites; }
    int endOfClearWrites() const { return m_endOfClearWrites; }

    int validations() const { return m_validations; }
    int requestsAnswered() const { return m_requestsAnswered; }

    // Handles one complete request frame heard on the line. The Reply is
    // empty when the panel stays silent (not addressed, bad CRC, fault).
    Reply handle(const QByteArray& request);

private:
    QByteArray answer(const QByteArray& request, std::uint8_t address);
    QByteArray readReply(std::uint8_t address, int start, int count);
    QByteArray writeReply(std::uint8_t address, int start, const QList<std::int16_t>& words);
    QByteArray exception(std::uint8_t address, int function, int code) const;
    void store(int address, std::int16_t value);
    void refreshVersionRegisters();

    std::uint8_t m_slave;
    std::int32_t m_version;
    QString m_lineSettings;
    int m_turnaroundMs = 0;
    Fault m_fault = Fault::None;
    int m_faultTimes = -1;
    std::optional<int> m_faultRegister;
    QByteArray m_held;
    int m_lateReplyMs = 2500;
    QMap<int, std::int16_t> m_read;
    QMap<int, std::int16_t> m_written;
    QList<Event> m_events;
    std::optional<std::int16_t> m_countOverride;
    bool m_clearNeverFalls = false;
    QList<std::int16_t> m_discardWrites;
    int m_endOfClearWrites = 0;
    int m_validations = 0;
    int m_requestsAnswered = 0;
};
