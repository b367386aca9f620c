// new and dump: configuration files without the line.
#include "Commands.h"
#include "config/ConfigClass.h"
#include "ConfigJson.h"
#include "CtlOutput.h"
#include "DocumentFile.h"
#include "ExitCode.h"
#include "texts/DataFunctions.h"

int RunNew(const CtlOptions& options)
{
    if (!CheckOutputFile(options.output))
        return ExitFile;
    // A default that the data file cannot give has been reported; a file
    // with a wrong value in its place is not written.
    ConfigClass config;
    if (!GetAllDefaults(config))
        return ExitFile;
    return config.Save(options.output) ? ExitSuccess : ExitFile;
}

int RunDump(const CtlOptions& options)
{
    ConfigClass config;
    const int status = LoadDocument(options.file, config);
    if (status != ExitSuccess)
        return status;
    return WriteStdout(ConfigToJson(config)) ? ExitSuccess : ExitFile;
}
