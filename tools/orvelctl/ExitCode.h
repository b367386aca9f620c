#pragma once

// Exit status of orvelctl.
enum ExitCode : int
{
    ExitSuccess = 0,
    ExitUsage = 1,    // the command line is wrong
    ExitFile = 2,     // a file (configuration, export, data file) could not be read or written
    ExitNoPanel = 3,  // no panel answered, or the port could not be opened
    ExitTransfer = 4, // a transfer with the panel failed
    ExitRefused = 5,  // refused: older firmware, general parameter 21, cancelled search
};
