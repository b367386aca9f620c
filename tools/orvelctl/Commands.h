#pragma once

#include "CtlOptions.h"

class CtlSession;

// The commands of orvelctl; each returns its exit status (ExitCode.h).

// Without the line.
int RunNew(const CtlOptions& options);
int RunDump(const CtlOptions& options);
// The printed report as a PDF file (needs a GUI application for its fonts).
int RunPrint(const CtlOptions& options);

// On an open line.
int RunDetect(const CtlOptions& options, CtlSession& session);
int RunRead(const CtlOptions& options, CtlSession& session);
int RunWrite(const CtlOptions& options, CtlSession& session);
int RunValidate(const CtlOptions& options, CtlSession& session);
int RunBufferRead(const CtlOptions& options, CtlSession& session);
int RunBufferClear(const CtlOptions& options, CtlSession& session);
// Every panel that answers on the line, one line each on standard output.
int RunScan(const CtlOptions& options, CtlSession& session);
