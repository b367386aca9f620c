// detect, read, write and validate: the configuration commands on the line.
#include "Commands.h"
#include "config/ConfigClass.h"
#include "config/VersionCorrection.h"
#include "CtlOutput.h"
#include "CtlSession.h"
#include "DocumentFile.h"
#include "ExitCode.h"
#include "InterruptGuard.h"
#include "link/Detection.h"
#include "link/RegisterMap.h"
#include "texts/DataFunctions.h"
#include "TransferProgress.h"
#include "util/UiSeam.h"

int RunDetect(const CtlOptions&, CtlSession& session)
{
    const int status = session.Detect(false, TextLines(10100));
    if (status != ExitSuccess)
        return status;
    const QString line = QStringLiteral("slave=%1 version=%2 code=%3\n")
                             .arg(session.slave())
                             .arg(VersionText(session.version()))
                             .arg(session.version());
    return WriteStdout(line.toUtf8()) ? ExitSuccess : ExitFile;
}

int RunRead(const CtlOptions& options, CtlSession& session)
{
    // Nothing is asked of the panel for a result that could not be saved.
    if (!CheckOutputFile(options.output))
        return ExitFile;
    const int status = session.Detect(false, TextLines(10100));
    if (status != ExitSuccess)
        return status;
    const std::int32_t version = session.version();
    if (version < CurrentVersion())
        MsgBox(OlderFirmwareText(TextLines(10120), version, CurrentVersion()),
               MsgIcon::Exclamation);

    // A fresh record with the defaults: a failed read leaves nothing half-filled
    // behind, and what an older panel lacks keeps its default.
    ConfigClass config;
    GetAllDefaults(config);
    bool ok = false;
    {
        TransferProgress progress(session.link());
        ok = ReadAll(session.link(), config, session.slave(), version);
    }
    if (!ok) {
        Say(10100, MsgIcon::Critical);
        return ExitTransfer;
    }
    config.SetModuleNo(config.GenParam(23));
    CorrigeVersion(config, version);
    return config.Save(options.output) ? ExitSuccess : ExitFile;
}

int RunWrite(const CtlOptions& options, CtlSession& session)
{
    InterruptGuard interrupt;
    ConfigClass config;
    const int loaded = LoadDocument(options.file, config);
    if (loaded != ExitSuccess)
        return loaded;

    const int status = session.Detect(false, TextLines(10100, 10105), true);
    if (status != ExitSuccess)
        return status;
    const std::int32_t version = session.version();
    const std::uint8_t slave = session.slave();
    session.link().SetStopRequest(&InterruptGuard::Requested);

    if (version < CurrentVersion()) {
        if (!options.allowOlder) {
            MsgBox(TextLines(1610) + QStringLiteral("\n(--allow-older)"), MsgIcon::Critical);
            return ExitRefused;
        }
        MsgBox(TextLines(1610), MsgIcon::Exclamation);
        // What is written is adapted; the file stays as it is.
        CorrigeVersion(config, version);
    }
    if (config.GenParam(21) == 0 && version >= FirstFullVersion) {
        Say(10121, MsgIcon::Critical);
        return ExitRefused;
    }

    WriteOutcome outcome = WriteOutcome::NotWritten;
    {
        TransferProgress progress(session.link());
        outcome = WriteConfiguration(session.link(), config, slave, options.factory, version);
    }
    const bool interrupted = InterruptGuard::Requested();
    if (outcome != WriteOutcome::Written) {
        MsgBox(TextLines(interrupted ? 10123 : 10100, WriteFailureTag(outcome)), MsgIcon::Critical);
        return ExitTransfer;
    }
    if (interrupted && options.validate) {
        MsgBox(TextLines(10123, 10109), MsgIcon::Critical);
        return ExitTransfer;
    }
    if (!options.validate) {
        Say(10109, MsgIcon::Information);
        return ExitSuccess;
    }
    session.link().FramePause();
    if (!ValidationOrvel(session.link(), slave)) {
        MsgBox(TextLines(10100, 10109), MsgIcon::Critical);
        return ExitTransfer;
    }
    Say(10106, MsgIcon::Information);
    return ExitSuccess;
}

int RunValidate(const CtlOptions&, CtlSession& session)
{
    const int status = session.Detect(false, TextLines(10100));
    if (status != ExitSuccess)
        return status;
    if (!ValidationOrvel(session.link(), session.slave())) {
        MsgBox(TextLines(10100, 10109), MsgIcon::Critical);
        return ExitTransfer;
    }
    Say(10106, MsgIcon::Information);
    return ExitSuccess;
}
