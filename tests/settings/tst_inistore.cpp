// The console's INI store: where the file is, a preset beside the program,
// files that cannot be read or written, and the typed readers.
#include "ErrorReport.h"
#include "RecordingUi.h"
#include "settings/IniStore.h"
#include "TestFiles.h"
#include "Unprivileged.h"
#include "util/IniFile.h"
#include "util/RuntimeError.h"
#include "util/SafeFile.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

namespace {
const QString General = QStringLiteral("General");
const QString Communication = QStringLiteral("Communication");

// What a conversion gives, or "error N" for the error it raises.
template <class F> QString outcome(F convert)
{
    try {
        return QVariant(convert()).toString();
    } catch (const RuntimeError& e) {
        return QStringLiteral("error %1").arg(e.number());
    }
}
} // namespace

class TestIniStore : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

private Q_SLOTS:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void init()
    {
        QFile::remove(m_dir.filePath(QStringLiteral("orvel.ini")));
        SetIniFileNameOverride(m_dir.filePath(QStringLiteral("orvel.ini")));
    }

    void cleanup()
    {
        SetIniFolders({}, {});
        qunsetenv("ORVEL_INI");
    }

    // An orvel.ini beside the program that the user cannot write is a preset:
    // it is read, under the user's own file, which takes every change.
    void presetBesideProgram_data()
    {
        QTest::addColumn<QByteArray>("beside"); // null: no file
        QTest::addColumn<bool>("fileWritable");
        QTest::addColumn<bool>("folderWritable");
        QTest::addColumn<bool>("writtenBeside");
        QTest::addColumn<QString>("port");
        QTest::addColumn<QString>("language");
        const QByteArray preset = "[Communication]\nPort=7\n[General]\nLanguage=Français\n";
        QTest::newRow("writable file beside: the one file") << preset << true << true << true << "7"
                                                            << "Français";
        QTest::newRow("read-only file beside: under the user's")
            << preset << false << false << false << "3"
            << "Français";
        QTest::newRow("writable file in a read-only folder: under the user's")
            << preset << true << false << false << "3"
            << "Français";
        QTest::newRow("read-only folder, no file: the user's alone")
            << QByteArray() << false << false << false << "3"
            << "";
    }

    void presetBesideProgram()
    {
        QFETCH(QByteArray, beside);
        QFETCH(bool, writtenBeside);
        QTemporaryDir program;
        const QString besideFile = program.filePath(QStringLiteral("orvel.ini"));
        const QString userFolder = m_dir.filePath(QStringLiteral("user"));
        const QString userFile = userFolder + QStringLiteral("/orvel.ini");
        QDir(userFolder).removeRecursively();
        QVERIFY(QDir().mkpath(userFolder));
        TestFiles::WriteBytes(userFile, "[Communication]\nPort=3\n");
        QFETCH(bool, fileWritable);
        QFETCH(bool, folderWritable);
        if (!beside.isNull()) {
            TestFiles::WriteBytes(besideFile, beside);
            if (!fileWritable)
                QVERIFY(QFile::setPermissions(besideFile, QFile::ReadOwner));
        }
        if (!folderWritable)
            QVERIFY(QFile::setPermissions(program.path(), QFile::ReadOwner | QFile::ExeOwner));
        SetIniFileNameOverride(QString());
        SetIniFolders(program.path(), userFolder);

        RecordingUi ui;
        QCOMPARE(IniFileName(), writtenBeside ? besideFile : userFile);
        QTEST(GetIniParam(Communication, QStringLiteral("Port")), "port");
        QTEST(GetIniParam(General, QStringLiteral("Language")), "language");
        SetIniParam(Communication, QStringLiteral("Port"), QStringLiteral("9"));
        QCOMPARE(GetIniParam(Communication, QStringLiteral("Port")), QStringLiteral("9"));
        QVERIFY(ui.messages.isEmpty());
        if (!writtenBeside)
            QCOMPARE(TestFiles::ReadBytes(besideFile), beside); // the preset is never changed
        QFile::setPermissions(program.path(),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    // A file that is not a regular one, or too large, is not read: it is
    // reported once and reads as every key absent; it is never replaced. A
    // file that cannot be written is reported at each write.
    void unusableFile_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("named pipe") << "pipe";
        QTest::newRow("larger than 4 MiB") << "large";
        QTest::newRow("a folder") << "folder";
    }

    void unusableFile()
    {
        QFETCH(QString, kind);
        const QString file = m_dir.filePath(kind + QStringLiteral(".ini"));
        if (kind == QLatin1String("pipe"))
            QCOMPARE(::mkfifo(QFile::encodeName(file).constData(), 0600), 0);
        else if (kind == QLatin1String("folder"))
            QVERIFY(QDir().mkpath(file));
        else
            TestFiles::WriteBytes(file, "[General]\nLanguage=English\n" +
                                            QByteArray(MaxIniFileBytes, ';'));
        const FileKind before = KindOfFile(file);
        SetIniFileNameOverride(file);
        RecordingUi ui;
        QCOMPARE(GetIniParam(General, QStringLiteral("Language"), QStringLiteral("d")),
                 QStringLiteral("d"));
        QCOMPARE(GetIniInt(Communication, QStringLiteral("Stops"), 1), 1);
        SetIniParam(General, QStringLiteral("Language"), QStringLiteral("x"));
        QStringList texts;
        for (const MessageRequest& m : ui.messages)
            texts << m.text;
        QCOMPARE(
            texts,
            QStringList({ErrorReport(75, "Path/File access error", "ZEBfonctions.GetIniParam"),
                         ErrorReport(75, "Path/File access error", "ZEBfonctions.SetIniParam")}));
        QCOMPARE(KindOfFile(file), before);
    }

    // The file is read again as soon as it changes, even within a second and
    // at the same size.
    void changes()
    {
        const QString file = IniFileName();
        TestFiles::WriteBytes(file, "[General]\nLanguage=English\n");
        QCOMPARE(GetIniParam(General, QStringLiteral("Language")), QStringLiteral("English"));
        TestFiles::WriteBytes(file, "[General]\nLanguage=Espanol\n");
        QCOMPARE(GetIniParam(General, QStringLiteral("Language")), QStringLiteral("Espanol"));
    }

    void conversions_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("asInt");
        QTest::addColumn<QString>("asLong");
        QTest::addColumn<QString>("asBool");
        QTest::addColumn<QString>("asDouble");
        auto row = [](const char* text, const char* i, const char* l, const char* b,
                      const char* d) {
            QTest::newRow(text) << QString::fromLatin1(text) << QString::fromLatin1(i)
                                << QString::fromLatin1(l) << QString::fromLatin1(b)
                                << QString::fromLatin1(d);
        };
        row("12", "12", "12", "true", "12");
        row("  3 ", "3", "3", "true", "3");
        row("0", "0", "0", "false", "0");
        row("true", "error 13", "error 13", "true", "error 13");
        row("FALSE", "error 13", "error 13", "false", "error 13");
        row("2.5", "2", "2", "true", "2.5"); // halves to even
        row("-3.5", "-4", "-4", "true", "-3.5");
        row("40000", "error 6", "40000", "true", "40000");
        row("COM3", "error 13", "error 13", "error 13", "error 13");
        row("", "error 13", "error 13", "error 13", "error 13");
    }

    void conversions()
    {
        QFETCH(QString, text);
        QTEST(outcome([&] { return int(TextToInt(text)); }), "asInt");
        QTEST(outcome([&] { return TextToLong(text); }), "asLong");
        QTEST(outcome([&] { return TextToBool(text); }), "asBool");
        QTEST(outcome([&] { return TextToDouble(text); }), "asDouble");
    }
};

ORVEL_UNPRIVILEGED_TEST_MAIN(TestIniStore)
#include "tst_inistore.moc"
