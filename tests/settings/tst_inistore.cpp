#include "RecordingUi.h"
#include "settings/IniStore.h"
#include "TestFiles.h"
#include "Unprivileged.h"
#include "util/IniFile.h"
#include "util/RuntimeError.h"
#include "util/SafeFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

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

    void defaultNameBesideProgram()
    {
        SetIniFileNameOverride(QString());
        SetIniFolders(m_dir.path(), m_dir.filePath(QStringLiteral("user")));
        QCOMPARE(IniFileName(), m_dir.filePath(QStringLiteral("orvel.ini")));
        qputenv("ORVEL_INI", QByteArrayLiteral("/tmp/elsewhere.ini"));
        QCOMPARE(IniFileName(), QStringLiteral("/tmp/elsewhere.ini"));
        QCOMPARE(PresetIniFileName(), QString());
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
        QFETCH(bool, fileWritable);
        QFETCH(bool, folderWritable);
        QFETCH(bool, writtenBeside);
        QFETCH(QString, port);
        QFETCH(QString, language);
        QTemporaryDir program;
        const QString besideFile = program.filePath(QStringLiteral("orvel.ini"));
        const QString userFolder = m_dir.filePath(QStringLiteral("user"));
        const QString userFile = userFolder + QStringLiteral("/orvel.ini");
        QDir(userFolder).removeRecursively();
        QVERIFY(QDir().mkpath(userFolder));
        TestFiles::WriteBytes(userFile, "[Communication]\nPort=3\n");
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
        QCOMPARE(GetIniParam(QStringLiteral("Communication"), QStringLiteral("Port")), port);
        QCOMPARE(GetIniParam(QStringLiteral("General"), QStringLiteral("Language")), language);
        SetIniParam(QStringLiteral("Communication"), QStringLiteral("Port"), QStringLiteral("9"));
        QCOMPARE(GetIniParam(QStringLiteral("Communication"), QStringLiteral("Port")),
                 QStringLiteral("9"));
        QVERIFY(ui.messages.isEmpty());
        if (!writtenBeside)
            QCOMPARE(TestFiles::ReadBytes(besideFile), beside); // the preset is never changed
        QFile::setPermissions(program.path(),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    // A file that is not a regular one, or too large, is not read: it is
    // reported once and reads as every key absent; it is never replaced.
    void unreadableFileReportedOnce_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("named pipe") << "pipe";
        QTest::newRow("larger than 4 MiB") << "large";
    }

    void unreadableFileReportedOnce()
    {
        QFETCH(QString, kind);
        const QString file = m_dir.filePath(kind + QStringLiteral(".ini"));
        QFile::remove(file);
        if (kind == QLatin1String("pipe")) {
            QCOMPARE(::mkfifo(QFile::encodeName(file).constData(), 0600), 0);
        } else {
            QByteArray large = "[General]\nLanguage=English\n";
            large.append(QByteArray(MaxIniFileBytes, ';'));
            TestFiles::WriteBytes(file, large);
        }
        SetIniFileNameOverride(file);
        RecordingUi ui;
        QCOMPARE(
            GetIniParam(QStringLiteral("General"), QStringLiteral("Language"), QStringLiteral("d")),
            QStringLiteral("d"));
        QCOMPARE(GetIniInt(QStringLiteral("Communication"), QStringLiteral("Stops"), 1), 1);
        QCOMPARE(ui.messages.size(), 1);
        QCOMPARE(
            ui.messages[0].text,
            QStringLiteral("Error Nr 75 : Path/File access error\r\n\r\nModule : ZEBfonctions\r\n"
                           "Function : GetIniParam"));
        SetIniParam(QStringLiteral("General"), QStringLiteral("Language"), QStringLiteral("x"));
        QCOMPARE(ui.messages.size(), 2);
        QCOMPARE(KindOfFile(file),
                 kind == QLatin1String("pipe") ? FileKind::Other : FileKind::Regular);
        QFile::remove(file);
    }

    // The file is read again as soon as it changes, even within a second and
    // at the same size.
    void changedFileIsReadAgain()
    {
        const QString file = IniFileName();
        TestFiles::WriteBytes(file, "[General]\nLanguage=English\n");
        QCOMPARE(GetIniParam(QStringLiteral("General"), QStringLiteral("Language")),
                 QStringLiteral("English"));
        TestFiles::WriteBytes(file, "[General]\nLanguage=Espanol\n");
        QCOMPARE(GetIniParam(QStringLiteral("General"), QStringLiteral("Language")),
                 QStringLiteral("Espanol"));
    }

    void rtsWrittenAsOneReadsTrue()
    {
        QCOMPARE(GetIniBool(QStringLiteral("Communication"), QStringLiteral("RTS"), false), false);
        QCOMPARE(GetIniInt(QStringLiteral("Communication"), QStringLiteral("RTS"), 0), 0);
        SetIniParam(QStringLiteral("Communication"), QStringLiteral("RTS"), QStringLiteral("1"));
        QCOMPARE(GetIniBool(QStringLiteral("Communication"), QStringLiteral("RTS"), false), true);
        QCOMPARE(GetIniInt(QStringLiteral("Communication"), QStringLiteral("RTS"), 0), 1);
    }

    void deleteMissingFactoryChangesNothing()
    {
        SetIniParam(QStringLiteral("General"), QStringLiteral("Language"),
                    QStringLiteral("English"));
        QFile f(IniFileName());
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray before = f.readAll();
        f.close();
        DelIniParam(QStringLiteral("General"), QStringLiteral("Factory"));
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), before);
    }

    void rewritingMruDropsStaleKeys()
    {
        for (int i = 1; i <= 5; ++i)
            SetIniParam(QStringLiteral("MRU"), QString::number(i), QStringLiteral("/f%1").arg(i));
        DelIniSection(QStringLiteral("MRU"));
        SetIniParam(QStringLiteral("MRU"), QStringLiteral("1"), QStringLiteral("/new"));
        QCOMPARE(GetIniParam(QStringLiteral("MRU"), QStringLiteral("1")), QStringLiteral("/new"));
        QCOMPARE(GetIniParam(QStringLiteral("MRU"), QStringLiteral("4"), QStringLiteral("absent")),
                 QStringLiteral("absent"));
    }

    void conversions_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("asInt");  // -1000 marks a conversion error
        QTest::addColumn<int>("asBool"); // -1 marks a conversion error
        QTest::newRow("number") << "12" << 12 << 1;
        QTest::newRow("spaces") << "  3 " << 3 << 1;
        QTest::newRow("zero") << "0" << 0 << 0;
        QTest::newRow("True") << "True" << -1000 << 1;
        QTest::newRow("false lower") << "false" << -1000 << 0;
        QTest::newRow("halves to even") << "2.5" << 2 << 1;
        QTest::newRow("not a number") << "COM3" << -1000 << -1;
        QTest::newRow("empty") << "" << -1000 << -1;
    }
    void conversions()
    {
        QFETCH(QString, text);
        QFETCH(int, asInt);
        QFETCH(int, asBool);
        try {
            QCOMPARE(int(TextToInt(text)), asInt);
        } catch (const RuntimeError& e) {
            QCOMPARE(asInt, -1000);
            QCOMPARE(e.number(), ErrNo::TypeMismatch);
        }
        try {
            QCOMPARE(int(TextToBool(text)), asBool);
        } catch (const RuntimeError& e) {
            QCOMPARE(asBool, -1);
            QCOMPARE(e.number(), ErrNo::TypeMismatch);
        }
    }

    void intOverflow()
    {
        try {
            (void)TextToInt(QStringLiteral("40000"));
            QFAIL("no error");
        } catch (const RuntimeError& e) {
            QCOMPARE(e.number(), ErrNo::Overflow);
        }
        QCOMPARE(TextToLong(QStringLiteral("40000")), 40000);
    }

    void typedReadersUseDefaults()
    {
        QCOMPARE(GetIniLong(QStringLiteral("Communication"), QStringLiteral("Bauds"), 9600), 9600);
        QCOMPARE(GetIniDouble(QStringLiteral("Print"), QStringLiteral("TopMargin"), 15.0), 15.0);
        SetIniParam(QStringLiteral("Print"), QStringLiteral("TopMargin"), QStringLiteral("12.5"));
        QCOMPARE(GetIniDouble(QStringLiteral("Print"), QStringLiteral("TopMargin"), 15.0), 12.5);
        SetIniParam(QStringLiteral("Communication"), QStringLiteral("Port"),
                    QStringLiteral("ttyUSB0"));
        try {
            (void)GetIniInt(QStringLiteral("Communication"), QStringLiteral("Port"), 1);
            QFAIL("no error");
        } catch (const RuntimeError& e) {
            QCOMPARE(e.number(), ErrNo::TypeMismatch);
        }
    }

    void unwritableFileReported()
    {
        const QString folder = m_dir.filePath(QStringLiteral("adir.ini"));
        QVERIFY(QDir().mkpath(folder));
        SetIniFileNameOverride(folder);
        RecordingUi ui;
        SetIniParam(QStringLiteral("General"), QStringLiteral("MRU"), QStringLiteral("5"));
        QCOMPARE(ui.messages.size(), 1);
        QCOMPARE(
            ui.messages[0].text,
            QStringLiteral("Error Nr 75 : Path/File access error\r\n\r\nModule : ZEBfonctions\r\n"
                           "Function : SetIniParam"));
    }
};

ORVEL_UNPRIVILEGED_TEST_MAIN(TestIniStore)
#include "tst_inistore.moc"
