#pragma once

#include "link/ComCtrl.h"
#include "link/ConfigSection.h"

#include <QList>

#include <cstdint>
#include <functional>

class LineMonitor;

// Link settings, from the INI file's Communication section.
struct LinkOptions
{
    bool halfDuplex = false;   // "RTS": RTS direction control
    int rtsDelayMs = 5;        // "RtsDelay": end of transmission -> RTS dropped
    int frameDelayMs = 50;     // "FrameDelay": pause between exchanges
    int replyTimeoutMs = 2000; // reply deadline (tests shorten it); once it has
                               // passed, the line must stay silent for 2/5
                               // of it before the next request
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

    // A stop asked from outside (an interrupted command): transfers finish
    // the exchange in progress and stop at the next block boundary.
    void SetStopRequest(std::function<bool()> stopRequested);
    bool StopRequested() const;

    // Write requests the panel has acknowledged since the link was made: a
    // transfer that fails tells from it whether anything reached the panel.
    int AcknowledgedWrites() const { return m_acknowledgedWrites; }
    void CountAcknowledgedWrite() { ++m_acknowledgedWrites; }

    // The line monitor that sees every frame, or none (the usual case, which
    // costs nothing). The link does not own it.
    void SetMonitor(LineMonitor* monitor) { m_monitor = monitor; }
    LineMonitor* Monitor() const { return m_monitor; }

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
    std::function<bool()> m_stopRequested;
    int m_acknowledgedWrites = 0;
    LineMonitor* m_monitor = nullptr;
};

// How long one exchange listens. By default: the link's reply deadline, and
// when it passes without the reply, the line must then stay silent for 2/5 of
// it, so that a reply still on its way cannot be taken for the answer to the
// next request. A probe (the bus scan) has a short deadline of its own, and
// its next request goes to another slave, which a late reply cannot answer:
// it only needs the line to have been silent for quietMs since the last byte
// heard, or since its request left the line when nothing was heard.
struct ReplyWait
{
    int deadlineMs = 0; // 0: LinkOptions::replyTimeoutMs
    int quietMs = -1;   // -1: 2/5 of the deadline
    bool quietSinceLastByte = false;
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
// until the reply has come or the deadline passes, on a monotonic clock.
// The reply is the first frame that answers this request: the slave number
// and function code asked, the byte count of the words asked (a read) or the
// echoed register address and count (a write), and a CRC that holds.
// Anything else on the line (an echo of the request, a late reply to an
// earlier request, another slave's reply, noise) is dropped while waiting.
// The panel's exception reply to the request ends the exchange at once as a
// failure. When the deadline passes without a reply, the exchange waits until
// the line has been silent for 2/5 of the reply deadline, so that a reply
// still on its way cannot be taken for the answer to the next request.
// Faults of the port are reported under CommFunctions.EcritMots / .LitMots
// and make the exchange return false.
//
// Function 16: writes words (1..127) at a register address. True when the
// acknowledgement came back in time.
bool EcritMots(PanelLink& link, std::uint8_t slave, std::uint16_t address,
               const QList<std::int16_t>& words);
// Function 3: reads words.size() words (1..125). On failure words is left
// unchanged.
bool LitMots(PanelLink& link, std::uint8_t slave, std::uint16_t address,
             QList<std::int16_t>& words);
bool LitMots(PanelLink& link, std::uint8_t slave, std::uint16_t address, QList<std::int16_t>& words,
             const ReplyWait& wait);

// One field of the port's settings text.
void SetCommBauds(ComCtrl& port, std::int32_t bauds);
std::int32_t GetCommBauds(const ComCtrl& port);
void SetCommStops(ComCtrl& port, std::int16_t stops);
std::int16_t GetCommStops(const ComCtrl& port);
void SetCommParity(ComCtrl& port, const QString& parity);
QString GetCommParity(const ComCtrl& port);
