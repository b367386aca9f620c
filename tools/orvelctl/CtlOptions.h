#pragma once

#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>

// What the command line asks for. Line settings left unset take their value
// from the INI file, then the console's defaults.
struct CtlOptions
{
    QString command;    // new, dump, detect, read, write, validate, buffer, scan, print, help
    QString subcommand; // buffer: read or clear
    QString file;       // dump, write and print: the configuration file
    QString output;     // -o

    std::optional<QString> port;
    std::optional<std::int32_t> bauds;
    std::optional<std::int16_t> stops;
    std::optional<QString> parity; // "n", "e" or "o"
    std::optional<bool> halfDuplex;
    std::optional<int> rtsDelayMs;
    std::optional<int> frameDelayMs;
    std::optional<int> replyTimeoutMs;

    std::optional<std::uint8_t> slave; // 1..64
    bool search = false;

    // scan
    int from = 1;
    int to = 64;
    std::optional<int> probeMarginMs;

    // Every frame on the line to standard error.
    bool trace = false;

    bool factory = false;
    bool validate = false;
    bool allowOlder = false;
    QString format = QStringLiteral("text"); // text, csv-fr, csv-en
};

struct ParseResult
{
    CtlOptions options;
    QString error; // empty when the command line is valid
};

// Parses the arguments after the program name.
ParseResult ParseCommandLine(const QStringList& arguments);

// The usage error for arguments the program cannot take as they are given:
// one that is not valid text in the system's encoding would name another
// file once decoded. Empty when every argument is valid.
QString ArgumentEncodingError(int argc, const char* const* argv);

// The text of --help.
QString UsageText();
