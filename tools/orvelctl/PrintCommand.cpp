// print: the printed report of a configuration file as a PDF file.
#include "Commands.h"
#include "CtlOutput.h"
#include "DocumentFile.h"
#include "ExitCode.h"
#include "print/PrintFunctions.h"

#include "config/ConfigClass.h"

int RunPrint(const CtlOptions& options)
{
    ConfigClass config;
    const int status = LoadDocument(options.file, config);
    if (status != ExitSuccess)
        return status;
    ReportOptions report;
    report.factory = options.factory;
    // A report that could not be built (a print setting it cannot use) has
    // been reported; nothing is written.
    const std::optional<QByteArray> pdf = ReportPdf(config, report);
    if (!pdf)
        return ExitFile;
    return WriteFileBytes(options.output, *pdf) ? ExitSuccess : ExitFile;
}
