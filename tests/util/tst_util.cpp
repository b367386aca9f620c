// Bytes and words, Windows-1252, paths, file dialog filters, error reports, the INI file,
// and the safe file functions against permissions, links, special files and a full disk,
// run unprivileged so that permissions apply.
#include "ErrorReport.h"
#include "FileSizeLimit.h"
#include "RecordingUi.h"
#include "TestFiles.h"
#include "Unprivileged.h"
#include "util/ByteWord.h"
#include "util/Cp1252.h"
#include "util/ErrorHandling.h"
#include "util/FileDialog.h"
#include "util/IniFile.h"
#include "util/PathFunctions.h"
#include "util/RuntimeError.h"
#include "util/SafeFile.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <optional>
#include <sys/stat.h>

namespace {
using Split = std::tuple<double, int, int>; // value, high part, low part
using Read = std::tuple<QByteArray, QString, QString, QString>;
const QByteArray Old = "the previous content";
const QByteArray New(1000, 'n');
// The target, error number and text (0: written), mode after (0: unchecked), CheckFileWritable.
using FileWrite = std::tuple<QString, int, QString, int, bool>;
using FileRead = std::tuple<QString, int, QString>; // file, error number, text

void Chmod(const QString& path, mode_t mode)
{
    ::chmod(QFile::encodeName(path).constData(), mode);
}

int ModeOf(const QString& path)
{
    struct stat st
    {
    };
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0 ? int(st.st_mode & 07777) : 0;
}
} // namespace

class TestUtil : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_file;

    QString path(const QString& name) const { return m_dir->filePath(name); }
    QStringList entries() const
    {
        return QDir(m_dir->path())
            .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot | QDir::System);
    }

    // The INI file's bytes before a test; "-" for no file.
    void put(const QByteArray& bytes)
    {
        m_file = path("test.ini");
        if (bytes != "-")
            TestFiles::WriteBytes(m_file, bytes);
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(::geteuid() != 0);
        ::umask(022);
    }
    void init() { m_dir = std::make_unique<QTemporaryDir>(); }
    void cleanup()
    {
        Chmod(path("ro"), 0700);
        m_dir.reset();
    }

    // HiByte and LoByte of a negative word keep its sign bits; MakeWord joins them back.
    void bytes_data()
    {
        QTest::addColumn<Split>("split");
        QTest::newRow("0x1234") << Split{0x1234, 0x12, 0x34};
        QTest::newRow("-1") << Split{-1, 255, 255};
        QTest::newRow("only bits 8..15") << Split{0x12345678, 0x56, 0x78};
        QTest::newRow("-32768") << Split{-32768, 0x80, 0};
    }
    void bytes()
    {
        QFETCH(Split, split);
        const auto [value, hi, lo] = split;
        QCOMPARE(int(HiByte(std::int32_t(value))), hi);
        QCOMPARE(int(LoByte(std::int32_t(value))), lo);
        QCOMPARE(int(MakeWord(std::uint8_t(lo), std::uint8_t(hi))),
                 int(std::int16_t(std::int32_t(value))));
    }

    // Signed words of a whole number 0..2^32-1; anything else overflows (high part -2).
    void words_data()
    {
        QTest::addColumn<Split>("split");
        QTest::newRow("16777216") << Split{16777216, 256, 0};
        QTest::newRow("max") << Split{4294967295.0, -1, -1};
        QTest::newRow("0x8000") << Split{32768, 0, -32768};
        QTest::newRow("negative") << Split{-1, -2, 0};
        QTest::newRow("2^32") << Split{4294967296.0, -2, 0};
        QTest::newRow("fraction") << Split{1.5, -2, 0};
    }
    void words()
    {
        QFETCH(Split, split);
        const auto [value, hi, lo] = split;
        try {
            QCOMPARE(int(HiWord(value)), hi);
            QCOMPARE(int(LoWord(value)), lo);
        } catch (const RuntimeError& e) {
            QCOMPARE(hi, -2);
            QCOMPARE(e.number(), ErrNo::Overflow);
        }
    }

    // Windows-1252 both ways, one '?' per character outside it; every byte round-trips.
    void cp1252_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("back");
        QTest::newRow("page") << QStringLiteral("Façade € – “ok” Œuvre ÿ")
                              << QByteArray("Fa\xE7"
                                            "ade \x80 \x96 \x93ok\x94 \x8Cuvre \xFF")
                              << true;
        QTest::newRow("astral") << QString::fromUcs4(U"x\U0001F600y") << QByteArray("x?y") << false;
        QTest::newRow("C1 control") << QStringLiteral("\u0080") << QByteArray("?") << false;
    }
    void cp1252()
    {
        QFETCH(QString, text);
        QFETCH(QByteArray, bytes);
        QFETCH(bool, back);
        QCOMPARE(ToCp1252(text), bytes);
        if (back)
            QCOMPARE(FromCp1252(bytes), text);
        QByteArray all;
        for (int b = 0; b < 256; ++b)
            all.append(char(b));
        QCOMPARE(FromCp1252(all).size(), 256);
        QCOMPARE(ToCp1252(FromCp1252(all)), all);
    }

    void paths_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("name");
        const auto row = [](const char* path, const char* folder, const char* name) {
            QTest::newRow(path) << QString(path) << QString(folder) << QString(name);
        };
        row("C:\\Data\\unit.cfg", "C:\\Data", "unit.cfg");
        row("C:/Data\\sub/x.cfg", "C:/Data\\sub", "x.cfg");
        row("x.cfg", "", "x.cfg");
        row("/x.cfg", "/", "x.cfg");
    }
    void paths()
    {
        QFETCH(QString, path);
        QFETCH(QString, folder);
        QFETCH(QString, name);
        QCOMPARE(FolderOf(path), folder);
        QCOMPARE(FileNameOf(path), name);
        QCOMPARE(JoinPath(folder, name), path);
    }

    void filterToQt_data()
    {
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QString>("expected");
        const auto row = [](const char* filter, const char* expected) {
            QTest::newRow(filter) << QString(filter) << QString(expected);
        };
        row("Configurations|*.orv|All files|*.*", "Configurations (*.orv);;All files (*.*)");
        row("Text (*.txt)|*.txt", "Text (*.txt)"); // its own parentheses
        row("Exports|*.txt;*.csv", "Exports (*.txt *.csv)");
        row("Text|*.txt|dangling", "Text (*.txt)");
        row("", "");
    }
    void filterToQt()
    {
        QFETCH(QString, filter);
        QFETCH(QString, expected);
        QCOMPARE(FilterToQt(filter), expected);
    }

    // Each shape of source; 8002 shows its text alone. Every report resets the busy pointer.
    void report_data()
    {
        QTest::addColumn<QString>("source");
        QTest::addColumn<int>("number");
        QTest::addColumn<QString>("expected");
        const QString head = QStringLiteral("Error Nr 13 : Type mismatch\r\n\r\nModule : ");
        const auto row = [&](const char* source, const QString& lines, int number = 13) {
            QTest::newRow(source) << QString(source) << number
                                  << (number == 13 ? head + lines : lines);
        };
        row("ZEBfonctions", "ZEBfonctions");
        row("wMain.mnuFileRead_Click",
            "Error Nr 5 : Invalid procedure call or argument\r\n\r\nModule : wMain\r\n"
            "Object : mnuFileRead\r\nEvent : Click",
            5);
        row("wPanneau.grdInputs_Fill_List", "wPanneau\r\nObject : grdInputs\r\nEvent : Fill_List");
        row("my_form.DoIt", "my_form\r\nFunction : DoIt");
        row("X.Y",
            "Error Nr 31999 : Application-defined or object-defined error\r\n\r\n"
            "Module : X\r\nFunction : Y",
            31999);
        row("wMain.Form_Load", "#10101#", 8002);
    }
    void report()
    {
        QFETCH(QString, source);
        QFETCH(int, number);
        QFETCH(QString, expected);
        RecordingUi ui;
        ui.setBusy(true);
        ReportError(source, number);
        QCOMPARE(ui.messages.size(), 1);
        QCOMPARE(ui.messages[0].text, expected);
        QCOMPARE(ui.messages[0].icon, number == 8002 ? MsgIcon::Exclamation : MsgIcon::Critical);
        QCOMPARE(ui.messages[0].buttons, MsgButtons::Ok);
        QCOMPARE(ui.messages[0].title, QStringLiteral("Orvel"));
        QVERIFY(!ui.busy);
        if (number == 8002) {
            SetTextLookup([](int tag) { return QStringLiteral("text %1").arg(tag); });
            ReportError(source, number);
            SetTextLookup({});
            QCOMPARE(ui.lastText(), QStringLiteral("text 10101"));
        }
    }

    void trapReportsAndReturnsDefault()
    {
        RecordingUi ui;
        QCOMPARE(Trap("A.B", [] { return 42; }), 42);
        QVERIFY(ui.messages.isEmpty());
        QCOMPARE(Trap("CommFunctions.CRC16", []() -> int { Raise(ErrNo::Overflow); }), 0);
        QCOMPARE(Trap("DataFunctions.GetText", []() -> QString { Raise(ErrNo::NoCurrentRecord); }),
                 QString());
        QVERIFY(!Trap("ConfigClass.Save", []() -> bool { throw std::runtime_error("x"); }));
        QCOMPARE(ui.messages.size(), 3);
        QCOMPARE(ui.messages[0].text, ErrorReport(6, "Overflow", "CommFunctions.CRC16"));
        QCOMPARE(ui.messages[1].text,
                 ErrorReport(3021, "No current record", "DataFunctions.GetText"));
        QCOMPARE(ui.messages[2].text,
                 ErrorReport(5, "Invalid procedure call or argument", "ConfigClass.Save"));
    }

    // The file's bytes ("-": none), section, key and the value read ("dflt": the default).
    void iniRead_data()
    {
        QTest::addColumn<Read>("c");
        QTest::newRow("no file") << Read{"-", "General", "Language", "dflt"};
        QTest::newRow("no key") << Read{"[General]\n", "General", "Language", "dflt"};
        QTest::newRow("quoted") << Read{"[S]\nk=\"  spaced  \"\n", "S", "k", "  spaced  "};
        QTest::newRow("empty") << Read{"[S]\nk=\n", "S", "k", ""};
        QTest::newRow("equals sign") << Read{"[S]\nk=a=b\n", "S", "k", "a=b"};
        QTest::newRow("blanks") << Read{"[S]\n  spaced key  =  v  \n", "S", "spaced key", "v"};
        QTest::newRow("case") << Read{"[general]\nlanguage = Français \n", "GENERAL", "Language",
                                      "Français"};
        QTest::newRow("section twice") << Read{"[A]\nk=1\n[B]\nk=2\n[A]\nk=3\n", "A", "k", "1"};
        QTest::newRow("windows-1252") << Read{"[General]\nLanguage=Fran\xE7"
                                              "ais\n",
                                              "General", "Language", "Français"};
    }
    void iniRead()
    {
        QFETCH(Read, c);
        const auto& [bytes, section, key, value] = c;
        put(bytes);
        QCOMPARE(IniRead(section, key, "dflt", m_file), value);
    }

    // Steps: W(rite)|section|key|value, K(ey delete)|section|key, S(ection delete)|section.
    void iniWrite_data()
    {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QByteArray>("after");
        QTest::newRow("first write creates")
            << QByteArray("-")
            << QStringList{"W|Communication|Port|3", "W|Communication|Bauds|9600",
                           "W|General|MRU|5"}
            << QByteArray("[Communication]\nPort=3\nBauds=9600\n[General]\nMRU=5\n");
        QTest::newRow("deleting nothing creates nothing")
            << QByteArray("-") << QStringList{"K|General|Factory", "S|MRU"} << QByteArray("-");
        QTest::newRow("case") << QByteArray("[general]\nlanguage = Français \n")
                              << QStringList{"W|General|LANGUAGE|English"}
                              << QByteArray("[general]\nLANGUAGE=English\n");
        QTest::newRow("everything else kept")
            << QByteArray(
                   "; settings\r\n[General]\r\nLanguage=English\r\n; comment\r\nMRU=5\r\n\r\n"
                   "[Communication]\r\nPort=1\r\n\r\n[MRU]\r\n1=C:\\a.cfg\r\n")
            << QStringList{"W|Communication|Port|2", "W|General|DataFiles|C:\\Data"}
            << QByteArray("; settings\r\n[General]\r\nLanguage=English\r\n; comment\r\nMRU=5\r\n"
                          "DataFiles=C:\\Data\r\n\r\n[Communication]\r\nPort=2\r\n\r\n[MRU]\r\n"
                          "1=C:\\a.cfg\r\n");
        QTest::newRow("deletes")
            << QByteArray("[General]\nFactory=ABC\nMRU=4\n[MRU]\n1=a\n2=b\n[Print]\nTopMargin=15\n")
            << QStringList{"K|general|factory", "S|mru", "K|General|Factory"}
            << QByteArray("[General]\nMRU=4\n[Print]\nTopMargin=15\n");
    }
    void iniWrite()
    {
        QFETCH(QByteArray, before);
        QFETCH(QStringList, steps);
        QFETCH(QByteArray, after);
        put(before);
        for (const QString& step : steps) {
            const QStringList f = step.split(QLatin1Char('|'));
            QVERIFY(f[0] == "W"   ? IniWrite(f[1], f[2], f[3], m_file)
                    : f[0] == "K" ? IniDeleteKey(f[1], f[2], m_file)
                                  : IniDeleteSection(f[1], m_file));
        }
        QCOMPARE(QFile::exists(m_file), after != "-");
        if (after != "-")
            QCOMPARE(TestFiles::ReadBytes(m_file), after);
    }

    void lineBreaksCannotSplitTheFile()
    {
        put("-");
        QVERIFY(IniWrite("General", "DataFiles", "x\n[Evil]\nFactory=1", m_file));
        QCOMPARE(IniRead("Evil", "Factory", "none", m_file), QStringLiteral("none"));
    }

    void binaryFileYieldsItsLines()
    {
        QByteArray junk;
        for (int i = 0; i < 4096; ++i)
            junk.append(char((i * 131 + 7) & 0xFF));
        static const char tail[] = "\n[General]\nLanguage=English\n\0\0\xFF[";
        put(junk + QByteArray(tail, sizeof tail - 1));
        QCOMPARE(IniRead("General", "Language", QString(), m_file), QStringLiteral("English"));
        QVERIFY(IniWrite("General", "MRU", "6", m_file));
        QCOMPARE(IniRead("General", "MRU", QString(), m_file), QStringLiteral("6"));
    }

    void folderCannotBeReplaced()
    {
        QVERIFY(QDir().mkpath(path("adir")));
        QVERIFY(!IniWrite("A", "k", "v", path("adir")));
    }

    void safeWrite_data()
    {
        QTest::addColumn<FileWrite>("c");
        const auto row = [](const char* setup, int number, const char* text, int mode,
                            bool checked) {
            QTest::newRow(setup) << FileWrite{setup, number, text, mode, checked};
        };
        const char* const notRegular = "not a regular file";
        row("new file", 0, "", 0644, true);
        row("read-only file replaced, still read-only", 0, "", 0444, true);
        row("link to a read-only file", 0, "", 0444, true);
        row("read-only folder", ErrNo::PermissionDenied, "Permission denied", 0644, false);
        row("missing folder", ErrNo::PathNotFound, "No such file or directory", 0, false);
        row("folder", ErrNo::PathFileAccess, notRegular, 0, false);
        row("named pipe", ErrNo::PathFileAccess, notRegular, 0, false);
        row("device", ErrNo::PathFileAccess, notRegular, 0, false);
        row("full disk", ErrNo::DiskFull, "File too large", 0644, true);
    }
    void safeWrite()
    {
        QFETCH(FileWrite, c);
        const auto& [setup, number, text, mode, checked] = c;
        QString target = path("out.txt");
        QString file = target; // the regular file behind the target
        if (setup.startsWith("read-only file") || setup == "full disk") {
            TestFiles::WriteBytes(file, Old);
            Chmod(file, setup == "full disk" ? 0644 : 0444);
        } else if (setup.startsWith("link")) {
            file = path("real.txt");
            TestFiles::WriteBytes(file, Old);
            Chmod(file, 0444);
            QVERIFY(QFile::link("real.txt", target));
        } else if (setup == "read-only folder") {
            QVERIFY(QDir(m_dir->path()).mkdir("ro"));
            target = file = path("ro/out.txt");
            TestFiles::WriteBytes(file, Old);
            Chmod(path("ro"), 0555);
        } else if (setup == "missing folder") {
            target = file = path("none/out.txt");
        } else if (setup == "folder") {
            QVERIFY(QDir(m_dir->path()).mkdir("out.txt"));
        } else if (setup == "named pipe") {
            QCOMPARE(::mkfifo(QFile::encodeName(target).constData(), 0644), 0);
        } else if (setup == "device") {
            target = file = "/dev/null";
        }
        const QStringList before = entries();

        FileFailure check;
        QCOMPARE(CheckFileWritable(target, &check), checked);
        if (!checked)
            QCOMPARE(check.number, number);
        FileFailure failure;
        bool written = false;
        QElapsedTimer clock;
        clock.start();
        {
            std::optional<FileSizeLimit> limit;
            if (setup == "full disk")
                limit.emplace(100);
            written = SafeWriteFile(target, New, &failure);
        }
        QVERIFY(clock.elapsed() < 2000); // nothing blocks on a pipe or a device
        QCOMPARE(written, number == 0);
        QCOMPARE(failure.number, number);
        QCOMPARE(failure.text, text);
        QCOMPARE(entries(), setup == "new file" ? before + QStringList{"out.txt"} : before);
        if (setup.startsWith("link"))
            QVERIFY(QFileInfo(target).isSymLink());
        if (mode != 0) {
            QCOMPARE(TestFiles::ReadBytes(file), written ? New : Old);
            QCOMPARE(ModeOf(file), mode);
        }
    }

    void safeRead_data()
    {
        QTest::addColumn<FileRead>("c");
        const auto row = [](const char* name, int number, const char* text) {
            QTest::newRow(name) << FileRead{name, number, text};
        };
        row("file", 0, "");
        row("none", ErrNo::FileNotFound, "No such file or directory");
        row("pipe", ErrNo::PathFileAccess, "not a regular file");
        row("/dev/zero", ErrNo::PathFileAccess, "not a regular file");
        row("large", ErrNo::PathFileAccess, "larger than 20 bytes");
        row("secret", ErrNo::PermissionDenied, "Permission denied");
    }
    void safeRead()
    {
        QFETCH(FileRead, c);
        const auto& [name, number, text] = c;
        TestFiles::WriteBytes(path("file"), Old.left(20));
        TestFiles::WriteBytes(path("large"), Old + "!");
        TestFiles::WriteBytes(path("secret"), Old);
        Chmod(path("secret"), 0);
        QCOMPARE(::mkfifo(QFile::encodeName(path("pipe")).constData(), 0644), 0);
        QByteArray bytes = "unchanged";
        FileFailure failure;
        QCOMPARE(ReadWholeFile(name.startsWith('/') ? name : path(name), 20, bytes, &failure),
                 number == 0);
        QCOMPARE(failure.number, number);
        QCOMPARE(failure.text, text);
        QCOMPARE(bytes, number == 0 ? Old.left(20) : QByteArray("unchanged"));
    }
};

ORVEL_UNPRIVILEGED_TEST_MAIN(TestUtil)
#include "tst_util.moc"
