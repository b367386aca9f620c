#include "CtlOptions.h"

#include "util/PathFunctions.h"

namespace {

const QStringList Commands = {QStringLiteral("new"),    QStringLiteral("dump"),
                              QStringLiteral("detect"), QStringLiteral("read"),
                              QStringLiteral("write"),  QStringLiteral("validate"),
                              QStringLiteral("buffer"), QStringLiteral("scan"),
                              QStringLiteral("print"),  QStringLiteral("help")};

// Whether a command talks to a panel over the line.
bool lineCommand(const QString& command)
{
    return command != QLatin1String("new") && command != QLatin1String("dump") &&
           command != QLatin1String("print");
}

std::optional<qint64> number(const QString& text, qint64 low, qint64 high)
{
    bool ok = false;
    const qint64 value = text.toLongLong(&ok, 10);
    if (!ok || value < low || value > high)
        return std::nullopt;
    return value;
}

class Parser
{
public:
    explicit Parser(const QStringList& arguments) : m_args(arguments) {}

    ParseResult run()
    {
        ParseResult result;
        CtlOptions& o = result.options;
        QStringList positional;
        for (m_i = 0; m_i < m_args.size() && m_error.isEmpty(); ++m_i) {
            const QString arg = m_args[m_i];
            if (arg == QLatin1String("--help") || arg == QLatin1String("-h")) {
                o.command = QStringLiteral("help");
                return result;
            }
            if (arg.startsWith(QLatin1Char('-')) && arg.size() > 1)
                option(arg, o);
            else
                positional.append(arg);
        }
        if (m_error.isEmpty())
            commands(positional, o);
        result.error = m_error;
        return result;
    }

private:
    // The value of an option: "--name value" or "--name=value".
    std::optional<QString> value(const QString& name)
    {
        if (!m_inline.isNull())
            return m_inline;
        if (m_i + 1 >= m_args.size()) {
            m_error = QStringLiteral("option %1 needs a value").arg(name);
            return std::nullopt;
        }
        return m_args[++m_i];
    }

    template <class T>
    void numeric(const QString& name, std::optional<T>& target, qint64 low, qint64 high)
    {
        const auto text = value(name);
        if (!text)
            return;
        const auto n = number(*text, low, high);
        if (!n) {
            m_error = QStringLiteral("option %1: %2 is not a number from %3 to %4")
                          .arg(name, *text)
                          .arg(low)
                          .arg(high);
            return;
        }
        target = T(*n);
    }

    void option(const QString& arg, CtlOptions& o)
    {
        QString name = arg;
        m_inline = QString();
        const qsizetype eq = arg.indexOf(QLatin1Char('='));
        if (arg.startsWith(QLatin1String("--")) && eq > 0) {
            name = arg.left(eq);
            m_inline = arg.mid(eq + 1);
        }
        const bool flag = m_inline.isNull();
        auto flagOnly = [&] {
            if (!flag)
                m_error = QStringLiteral("option %1 takes no value").arg(name);
            return true;
        };

        if (name == QLatin1String("--port")) {
            const auto v = value(name);
            if (v && v->trimmed().isEmpty())
                m_error = QStringLiteral("option --port needs a port number or a device");
            else if (v)
                o.port = v->trimmed();
        } else if (name == QLatin1String("--baud")) {
            numeric(name, o.bauds, 50, 4000000);
        } else if (name == QLatin1String("--stops")) {
            numeric(name, o.stops, 1, 2);
        } else if (name == QLatin1String("--parity")) {
            const auto v = value(name);
            if (!v)
                return;
            const QString p = v->toLower();
            if (p != QLatin1String("n") && p != QLatin1String("e") && p != QLatin1String("o"))
                m_error = QStringLiteral("option --parity: %1 is not n, e or o").arg(*v);
            else
                o.parity = p;
        } else if (name == QLatin1String("--half-duplex")) {
            o.halfDuplex = flagOnly();
        } else if (name == QLatin1String("--full-duplex")) {
            o.halfDuplex = !flagOnly();
        } else if (name == QLatin1String("--rts-delay")) {
            numeric(name, o.rtsDelayMs, 0, 1000);
        } else if (name == QLatin1String("--frame-delay")) {
            numeric(name, o.frameDelayMs, 0, 10000);
        } else if (name == QLatin1String("--timeout")) {
            numeric(name, o.replyTimeoutMs, 10, 60000);
        } else if (name == QLatin1String("--slave")) {
            numeric(name, o.slave, 1, 64);
        } else if (name == QLatin1String("--from")) {
            m_scanGiven = true;
            numeric(name, m_from, 1, 64);
        } else if (name == QLatin1String("--to")) {
            m_scanGiven = true;
            numeric(name, m_to, 1, 64);
        } else if (name == QLatin1String("--probe-margin")) {
            m_scanGiven = true;
            numeric(name, o.probeMarginMs, 1, 10000);
        } else if (name == QLatin1String("--trace")) {
            o.trace = flagOnly();
        } else if (name == QLatin1String("--search")) {
            o.search = flagOnly();
        } else if (name == QLatin1String("--factory")) {
            o.factory = flagOnly();
        } else if (name == QLatin1String("--validate")) {
            o.validate = flagOnly();
        } else if (name == QLatin1String("--allow-older")) {
            o.allowOlder = flagOnly();
        } else if (name == QLatin1String("--format")) {
            m_formatGiven = true;
            const auto v = value(name);
            if (!v)
                return;
            if (*v != QLatin1String("text") && *v != QLatin1String("csv-fr") &&
                *v != QLatin1String("csv-en"))
                m_error =
                    QStringLiteral("option --format: %1 is not text, csv-fr or csv-en").arg(*v);
            else
                o.format = *v;
        } else if (name == QLatin1String("-o") || name == QLatin1String("--output")) {
            const auto v = value(name);
            if (v && v->isEmpty())
                m_error = QStringLiteral("option %1 needs a file name").arg(name);
            else if (v)
                o.output = *v;
        } else {
            m_error = QStringLiteral("unknown option %1").arg(arg);
        }
    }

    void commands(const QStringList& positional, CtlOptions& o)
    {
        if (positional.isEmpty()) {
            m_error = QStringLiteral("no command given");
            return;
        }
        o.command = positional[0];
        if (!Commands.contains(o.command)) {
            m_error = QStringLiteral("unknown command %1").arg(o.command);
            return;
        }
        if (o.command == QLatin1String("help"))
            return;
        QStringList rest = positional.mid(1);
        if (o.command == QLatin1String("buffer")) {
            if (rest.isEmpty() ||
                (rest[0] != QLatin1String("read") && rest[0] != QLatin1String("clear"))) {
                m_error = QStringLiteral("buffer needs read or clear");
                return;
            }
            o.subcommand = rest.takeFirst();
        }
        if (o.command == QLatin1String("dump") || o.command == QLatin1String("write") ||
            o.command == QLatin1String("print")) {
            if (rest.isEmpty()) {
                m_error = QStringLiteral("%1 needs a configuration file").arg(o.command);
                return;
            }
            o.file = rest.takeFirst();
        }
        if (!rest.isEmpty()) {
            m_error = QStringLiteral("unexpected argument %1").arg(rest[0]);
            return;
        }
        o.from = m_from.value_or(1);
        o.to = m_to.value_or(64);
        checkCombination(o);
    }

    // Options that only some commands take.
    void checkCombination(const CtlOptions& o)
    {
        const bool isBufferRead =
            o.command == QLatin1String("buffer") && o.subcommand == QLatin1String("read");
        const bool needsOutput = o.command == QLatin1String("new") ||
                                 o.command == QLatin1String("read") ||
                                 o.command == QLatin1String("print");
        const bool takesOutput = needsOutput || isBufferRead;
        if (needsOutput && o.output.isEmpty())
            m_error = QStringLiteral("%1 needs -o FILE").arg(o.command);
        else if (!takesOutput && !o.output.isEmpty())
            m_error = QStringLiteral("%1 takes no -o").arg(commandName(o));
        else if (o.factory && o.command != QLatin1String("write") &&
                 o.command != QLatin1String("print"))
            m_error = QStringLiteral("--factory belongs to write and print");
        else if (o.command != QLatin1String("write") && (o.validate || o.allowOlder))
            m_error = QStringLiteral("--validate and --allow-older belong to write");
        else if (!isBufferRead && m_formatGiven)
            m_error = QStringLiteral("--format belongs to buffer read");
        else if (o.command != QLatin1String("scan") && m_scanGiven)
            m_error = QStringLiteral("--from, --to and --probe-margin belong to scan");
        else if (o.command == QLatin1String("scan") && o.slave)
            m_error = QStringLiteral("scan takes --from and --to, not --slave");
        else if (o.from > o.to)
            m_error = QStringLiteral("--from %1 is above --to %2").arg(o.from).arg(o.to);
        else if (!lineCommand(o.command) && usesLine(o))
            m_error = QStringLiteral("%1 does not use the line").arg(o.command);
    }

    static bool usesLine(const CtlOptions& o)
    {
        return o.port || o.bauds || o.stops || o.parity || o.halfDuplex || o.rtsDelayMs ||
               o.frameDelayMs || o.replyTimeoutMs || o.slave || o.search;
    }

    static QString commandName(const CtlOptions& o)
    {
        return o.subcommand.isEmpty() ? o.command : o.command + QLatin1Char(' ') + o.subcommand;
    }

    const QStringList& m_args;
    qsizetype m_i = 0;
    QString m_inline;
    QString m_error;
    bool m_formatGiven = false;
    bool m_scanGiven = false;
    std::optional<int> m_from;
    std::optional<int> m_to;
};

} // namespace

ParseResult ParseCommandLine(const QStringList& arguments)
{
    return Parser(arguments).run();
}

QString ArgumentEncodingError(int argc, const char* const* argv)
{
    for (int i = 1; i < argc; ++i) {
        const QByteArray raw(argv[i]);
        if (IsExactLocalName(raw))
            continue;
        QString shown;
        for (const char c : raw) {
            const auto byte = static_cast<unsigned char>(c);
            shown += byte >= 0x20 && byte < 0x7F
                         ? QString(QLatin1Char(c))
                         : QStringLiteral("\\x%1").arg(byte, 2, 16, QLatin1Char('0'));
        }
        return QStringLiteral("argument %1 (%2) is not valid in the system's encoding; "
                              "rename the file or give another name")
            .arg(i)
            .arg(shown);
    }
    return {};
}

QString UsageText()
{
    return QStringLiteral(
        "Usage: orvelctl COMMAND [OPTIONS]\n"
        "\n"
        "The command-line companion of the Orvel console: the same files, texts and\n"
        "rules, without windows. Messages go to standard error in the language of the\n"
        "console's INI file; data go to standard output.\n"
        "\n"
        "Commands:\n"
        "  new -o FILE                 save a configuration holding the default values\n"
        "  dump FILE                   print a configuration file as JSON\n"
        "  detect                      find the panel: slave=<n> version=<x.y> code=<v>\n"
        "  read -o FILE                read the panel's configuration into FILE\n"
        "  write FILE [--factory] [--validate] [--allow-older]\n"
        "                              write FILE to the panel\n"
        "  validate                    tell the panel to use the configuration written\n"
        "  buffer read [--format text|csv-fr|csv-en] [-o FILE]\n"
        "                              list the panel's event buffer\n"
        "  buffer clear                empty the panel's event buffer\n"
        "  scan [--from N] [--to M] [--search] [--probe-margin MS]\n"
        "                              find every panel on the line, one line each:\n"
        "                              slave=<n> version=<x.yy> baud=<b> stops=<s>\n"
        "  print FILE -o OUT.pdf [--factory]\n"
        "                              write the printed report of FILE as a PDF file,\n"
        "                              with the INI file's print settings (section Print)\n"
        "\n"
        "Line options (default: the INI file's Communication section, then the\n"
        "console's defaults):\n"
        "  --port P          port number (1 is /dev/ttyS0, COM1 on Windows) or device\n"
        "                    name or path (ttyUSB0, /dev/ttyUSB0, /dev/pts/3); default 1\n"
        "  --baud B          baud rate; default 9600\n"
        "  --stops 1|2       stop bits; default 1\n"
        "  --parity n|e|o    parity; default n\n"
        "  --half-duplex     switch the transmitter with RTS (two-wire line)\n"
        "  --full-duplex     do not switch RTS (overrides the INI file)\n"
        "  --rts-delay MS    end of transmission to RTS dropped; default 5\n"
        "  --frame-delay MS  pause between exchanges; default 50\n"
        "  --timeout MS      reply deadline of one exchange; default 2000\n"
        "  --trace           every frame sent and received on standard error: time\n"
        "                    in ms, direction, bytes in hexadecimal, decoding\n"
        "\n"
        "Panel:\n"
        "  --slave N         the panel's slave number, 1 to 64 (default: the last\n"
        "                    slave of the INI file, else 1)\n"
        "  --search          search baud rates and stop bits; without --slave, also\n"
        "                    find the slave number (Ctrl+C cancels the search)\n"
        "\n"
        "write:\n"
        "  --factory         also write the factory section\n"
        "  --validate        validate the configuration once written\n"
        "  --allow-older     write to a panel older than the console, adapted to its\n"
        "                    firmware (the file itself is not changed)\n"
        "\n"
        "print:\n"
        "  --factory         also print the factory parameters\n"
        "\n"
        "scan:\n"
        "  --from N, --to M  the slave numbers to ask (default 1 to 64)\n"
        "  --search          ask them at every baud rate and stop count the search\n"
        "                    tries, not only at the line's settings\n"
        "  --probe-margin MS how long a panel may take to start its reply beyond the\n"
        "                    wire time (default 100); a panel that answers is then\n"
        "                    asked again with the full reply deadline. Ctrl+C stops.\n"
        "\n"
        "buffer read:\n"
        "  --format F        text (tab-separated, default), csv-fr (\";\"), csv-en (\",\")\n"
        "  -o FILE           write the list to FILE (Windows-1252) instead of\n"
        "                    standard output\n"
        "\n"
        "Environment: ORVEL_INI names the INI file to read instead of orvel.ini.\n"
        "\n"
        "Ctrl+C (or SIGTERM) during write or buffer clear ends the exchange in\n"
        "progress, stops before the next block and says what the panel now holds\n"
        "(exit 4); a second one ends the program at once.\n"
        "\n"
        "Exit status: 0 success (scan: at least one panel answered), 1 usage, 2 file\n"
        "error, 3 no panel answered (or the port cannot be opened), 4 a transfer\n"
        "failed, 5 refused (older firmware, general parameter 21 not set, search or\n"
        "scan cancelled).\n");
}
