// The document commands on a panel: Read from the panel into a new document
// and Write the active document to a panel, with the slave dialog, the
// detection, the older-firmware rules, the progress of the transfer and the
// validation.

#include "wMain.h"

#include "LinkCommand.h"
#include "TransferStatus.h"
#include "wAskSlave.h"
#include "wSearchSlave.h"
#include "wWarning.h"

#include "config/VersionCorrection.h"
#include "editor/wPanneau.h"
#include "link/Detection.h"
#include "link/RegisterMap.h"
#include "settings/IniStore.h"
#include "texts/DataFunctions.h"
#include "util/ErrorHandling.h"
#include "util/UiSeam.h"

#include <QCoreApplication>
#include <QLabel>
#include <QPointer>

namespace {
const QString kCommunication = QStringLiteral("Communication");
const QString kLastSlave = QStringLiteral("LastSlave");
constexpr int kNoAnswerTag = 10100;
constexpr int kNotWrittenTag = 10105;
constexpr int kValidatedTag = 10106;
constexpr int kNotValidatedTag = 10109;
constexpr int kOlderFirmwareTag = 10120;
constexpr int kNoSupplyVoltageTag = 10121;
constexpr int kValidateQuestionTag = 20240;
// General parameter 21: the supply voltage, required from firmware 1.03 on.
constexpr int kSupplyVoltageParam = 21;
constexpr int kSlaveNumberParam = 23;

// Two texts as one message, the second on a line of its own.
QString TwoTexts(int first, int second)
{
    return GetText(first) + QLatin1Char('\r') + GetText(second);
}

} // namespace

bool wMain::askSlave(bool forWrite, const QString& presetSlave, std::uint8_t& slave,
                     bool& searchAll)
{
    reloadFrameDelay();
    wAskSlave dialog(*m_port, this);
    connect(&dialog, &wAskSlave::HelpRequested, this, &wMain::showHelpTopic);
    // A read ends the dialog above the warning, which concerns writing.
    dialog.SetWarningVisible(forWrite);
    if (!presetSlave.isEmpty())
        dialog.SetSlaveText(presetSlave);
    const bool accepted = Ui().execDialog(&dialog);
    if (!accepted || !dialog.Ok())
        return false;
    // The dialog accepts 0..64 only.
    slave = static_cast<std::uint8_t>(dialog.SlaveText().trimmed().toInt());
    searchAll = dialog.AutoSearch();
    return true;
}

void wMain::mnuFileRead_Click()
{
    Trap("wMain.mnuFileRead_Click", [&] {
        const LinkCommand command;
        if (command.refused())
            return;
        std::uint8_t typed = 0;
        bool search = false;
        if (askSlave(false, QString(), typed, search))
            readFromPanel(typed, search);
    });
}

bool wMain::readFromPanel(std::uint8_t typed, bool search)
{
    std::int32_t version = 0;
    const std::uint8_t slave = detect(typed, search, false, &version);
    if (slave == 0)
        return false;
    const BusyPointer busy;

    if (version < CurrentVersion()) {
        const QString text = OlderFirmwareText(
            GetText(kOlderFirmwareTag).replace(QStringLiteral("\r\n"), QStringLiteral("\n")),
            version, CurrentVersion());
        if (MsgBox(text, MsgIcon::Exclamation, MsgButtons::YesNo, MsgAnswer::No) != MsgAnswer::Yes)
            return false;
    }

    QCoreApplication::processEvents();
    wPanneau* panel = NewPanelWindow();
    bool ok = false;
    {
        TransferStatus status(statusBar(), m_prompt, *m_link, TransferStatus::Direction::Read);
        ok = panel->ReadOrvel(*m_link, slave, version);
        if (!ok)
            status.Failed();
    }
    if (!ok) {
        panel->CloseWithoutQuestion();
        MsgBox(GetText(kNoAnswerTag), MsgIcon::Critical);
        return false;
    }
    // The read document keeps the path "Orvel": Save asks for a name.
    panel->SetCaption();
    panel->CorrigeVersion(version);
    panel->RefreshFields();
    ShowPanelWindow(panel);
    return true;
}

void wMain::mnuFileWrite_Click()
{
    Trap("wMain.mnuFileWrite_Click", [&] {
        const QPointer<wPanneau> panel = activeDocument();
        const LinkCommand command;
        if (!panel || command.refused())
            return;
        std::uint8_t slave = 0;
        bool searchAll = false;
        const QString preset = QString::number(panel->Config().GenParam(kSlaveNumberParam));
        if (!askSlave(true, preset, slave, searchAll))
            return;
        QCoreApplication::processEvents();
        const BusyPointer busy;

        std::int32_t version = 0;
        std::uint8_t found = 0;
        {
            wSearchSlave search(*m_port, this);
            found = DetectOrvel(*m_link, search, slave, searchAll, version, false);
        }
        if (found == DetectNone) {
            MsgBox(TwoTexts(kNoAnswerTag, kNotWrittenTag), MsgIcon::Critical);
            return;
        }
        // The document may have been closed while the search let events run.
        if (found == DetectCancelled || !panel)
            return;
        if (slave == 0)
            slave = found;
        SetIniParam(kCommunication, kLastSlave, QString::number(slave));

        if (version < CurrentVersion()) {
            // The document itself is adapted to the older panel, once the
            // user agrees.
            wWarning warning(this);
            const bool accepted = Ui().execDialog(&warning);
            if (!accepted || !warning.Ok() || !panel)
                return;
            panel->CorrigeVersion(version);
            panel->RefreshFields();
        }
        if (panel->Config().GenParam(kSupplyVoltageParam) == 0 && version >= FirstFullVersion) {
            MsgBox(GetText(kNoSupplyVoltageTag), MsgIcon::Critical);
            return;
        }

        WriteOutcome outcome = WriteOutcome::NotWritten;
        {
            TransferStatus status(statusBar(), m_prompt, *m_link, TransferStatus::Direction::Write);
            outcome = panel->WriteOrvelOutcome(*m_link, slave, version);
            if (outcome != WriteOutcome::Written)
                status.Failed();
        }
        if (outcome != WriteOutcome::Written) {
            // A write that failed part-way asks to be written again.
            MsgBox(TwoTexts(kNoAnswerTag, WriteFailureTag(outcome)), MsgIcon::Critical);
        } else if (MsgBox(GetText(kValidateQuestionTag), MsgIcon::Question, MsgButtons::YesNo) !=
                   MsgAnswer::Yes) {
            MsgBox(GetText(kNotValidatedTag), MsgIcon::Information);
        } else if (!ValidationOrvel(*m_link, slave)) {
            MsgBox(TwoTexts(kNoAnswerTag, kNotValidatedTag), MsgIcon::Critical);
        } else {
            MsgBox(GetText(kValidatedTag), MsgIcon::Information);
        }
        // Writing leaves the document's modified mark as it was.
        if (panel)
            panel->SetCaption();
    });
}
