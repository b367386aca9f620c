#pragma once

#include "link/ComCtrl.h"
#include "link/ConfigSection.h"

#include <QList>

#include <cstdint>

// Link settings, from the INI file's Communication section.
struct LinkOptions
{
    bool halfDuplex = false;   // "RTS": RTS direction control
    int rtsDelayMs = 5;        // "RtsDelay": end of transmission -> RTS dropped
    int frameDelayMs = 50;     // "FrameDelay": pause between exchanges
    int replyTimeoutMs = 2000; // reply deadline (tests shorten it)
};

// The line to the panels: the one port and its link settings. It also owns
// the half-duplex turn-around: when the port reports that its transmit buffer
// has drained and half-duplex is on, it waits RtsDelay and drops RTS. The
// console and the command-line tool both go through it.
class PanelLink : public QObject
{
    Q_OBJECT

public:
    explicit PanelLink(ComCtrl& port, LinkOptions options = {}, QObject* parent = nullptr);

    ComCtrl& port() const { return m_port; }
    LinkOptions& options() { return m_options; }
    const LinkOptions& options() const { return m_options; }

    // Blocking pause of FrameDelay milliseconds (announced by FramePaused
    // first, so tests can see where the schedule puts its pauses).
    void FramePause() const;

Q_SIGNALS:
    void FramePaused(int ms);
    // A whole-configuration transfer (ReadAll, WriteAll) announces how many
    // blocks it moves, each section as it starts and each block that went
    // through, for a progress display. They change nothing on the line.
    void TransferBegun(int blocks);
    void SectionBegun(ConfigSection section);
    void BlockDone();

public Q_SLOTS:
    // The port's event notification (ComCtrl_OnComm).
    void OnComm(int commEvent);

private:
    ComCtrl& m_port;
    LinkOptions m_options;
};

// CRC-16 (Modbus) of the first count bytes.
std::uint16_t CRC16(const QByteArray& bytes, int count);

// The request frames, CRC included (the simulator and tests build them too).
QByteArray ReadRequestFrame(std::uint8_t slave, std::uint16_t address, int count);
QByteArray WriteRequestFrame(std::uint8_t slave, std::uint16_t address,
                             const QList<std::int16_t>& words);
// Appends the CRC-16 of the whole frame, low byte first.
void AppendCRC16(QByteArray& frame);

// One exchange: both buffers are cleared, RTS raised and the request sent; in
// half-duplex mode the exchange lets events run until the send notification
// has dropped RTS (or the reply deadline passes), then it blocks on the port
// until the reply is complete or the deadline passes, on a monotonic clock.
// Faults of the port are reported under CommFunctions.EcritMots / .LitMots
// and make the exchange return false.
//
// Function 16: writes words (1..127) at a register address. True when a
// well-formed acknowledgement came back in time.
bool EcritMots(PanelLink& link, std::uint8_t slave, std::uint16_t address,
               const QList<std::int16_t>& words);
// Function 3: reads words.size() words (1..125). On failure words is left
// unchanged.
bool LitMots(PanelLink& link, std::uint8_t slave, std::uint16_t address,
             QList<std::int16_t>& words);

// One field of the port's settings text.
void SetCommBauds(ComCtrl& port, std::int32_t bauds);
std::int32_t GetCommBauds(const ComCtrl& port);
void SetCommStops(ComCtrl& port, std::int16_t stops);
std::int16_t GetCommStops(const ComCtrl& port);
void SetCommParity(ComCtrl& port, const QString& parity);
QString GetCommParity(const ComCtrl& port);
