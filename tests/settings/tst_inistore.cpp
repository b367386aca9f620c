#include "RecordingUi.h"
#include "settings/IniStore.h"
#include "util/RuntimeError.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

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

    void defaultNameBesideProgram()
    {
        SetIniFileNameOverride(QString());
        qunsetenv("ORVEL_INI");
        QCOMPARE(
            IniFileName(),
            QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("orvel.ini")));
        qputenv("ORVEL_INI", QByteArrayLiteral("/tmp/elsewhere.ini"));
        QCOMPARE(IniFileName(), QStringLiteral("/tmp/elsewhere.ini"));
        qunsetenv("ORVEL_INI");
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

QTEST_GUILESS_MAIN(TestIniStore)
#include "tst_inistore.moc"
