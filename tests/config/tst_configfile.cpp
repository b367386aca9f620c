#include "config/ConfigClass.h"
#include "FileSizeLimit.h"
#include "HandFile.h"
#include "RecordingUi.h"
#include "TestFiles.h"
#include "Unprivileged.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

// A record where every field holds a distinct value.
ConfigClass fullRecord()
{
    ConfigClass c;
    for (int ch = 1; ch <= 12; ++ch) {
        c.SetInSecu(ch, quint8(ch));
        c.SetInTempo(ch, ch * 100003 - 7);
        c.SetInSequence(ch, quint8(20 + ch));
        c.SetInDetect(ch, quint8(40 + ch));
        c.SetInRelance(ch, quint8(60 + ch));
        c.SetInBlocage(ch, quint8(80 + ch));
        for (int k = 1; k <= 4; ++k)
            c.SetInRedir(ch, k, quint8((ch + k) % 13));
        c.SetInSynth(ch, quint8(100 + ch));
        c.SetInTypeKL(ch, quint8(120 + ch));
        c.SetInDisturb(ch, quint8(140 + ch));
        c.SetInRepBlock(ch, quint8(160 + ch));
        c.SetOutSecu(ch, quint8(180 + ch));
        c.SetOutPilot(ch, quint8(200 + ch));
        c.SetOutMode(ch, quint8(220 + ch));
    }
    for (int i = 0; i <= 32; ++i)
        c.SetGenParam(i, quint8(i * 7 + 1));
    c.SetGenTempoRelance(-123456789);
    c.SetModuleNo(42);
    c.SetModuleName(QStringLiteral("Salle des pompes"));
    c.SetModuleType(QStringLiteral("Orvel 12"));
    c.SetBrightMin(-2);
    c.SetSupplyType(3);
    c.SetCommonType(4);
    return c;
}

} // namespace

class TestConfigFile : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString path(const QString& name) const { return m_dir.filePath(name); }

private Q_SLOTS:
    void sizes()
    {
        ConfigClass c;
        c.SetModuleType(QString());
        QCOMPARE(c.ToFileBytes().size(), 291);
        c.SetModuleType(QStringLiteral("Orvel"));
        QCOMPARE(c.ToFileBytes().size(), 296);
        QVERIFY(c.Save(path(QStringLiteral("new.orv"))));
        QCOMPARE(TestFiles::ReadBytes(path(QStringLiteral("new.orv"))).size(), 296);
    }

    void everyFieldAtItsOffset()
    {
        HandFile f("Orvel 12", "Salle des pompes");
        const ConfigClass c = fullRecord();
        for (int ch = 1; ch <= 12; ++ch) {
            const int r = (ch - 1) * 15;
            f.put(r + 0, ch);
            f.putLong(r + 1, ch * 100003 - 7);
            f.put(r + 5, 20 + ch);
            f.put(r + 6, 40 + ch);
            f.put(r + 7, 60 + ch);
            f.put(r + 8, 80 + ch);
            for (int k = 1; k <= 4; ++k)
                f.put(r + 8 + k, (ch + k) % 13);
            f.put(r + 13, 100 + ch);
            f.put(r + 14, 120 + ch);
            f.put(180 + (ch - 1) * 2, 180 + ch);
            f.put(181 + (ch - 1) * 2, 200 + ch);
            f.put(f.late(249 + ch - 1), 140 + ch);
            f.put(f.late(261 + ch - 1), 160 + ch);
            f.put(f.late(278 + ch - 1), 220 + ch);
        }
        f.putLong(204, -123456789);
        const int block[] = {0,  1,  2,  3,  4,  5,  6,  7,  8,  9,  10, 11, 12, 13,
                             14, 15, 16, 17, 18, 19, 20, 22, 23, 24, 25, 26, 28, 32};
        for (int j = 0; j < 28; ++j)
            f.put(208 + j, block[j] * 7 + 1);
        f.put(236, 0xFE); // BrightMin -2, low byte first
        f.put(237, 0xFF);
        f.put(238, 3);
        f.put(239, 4);
        f.put(240, 42);
        const int late[] = {21, 27, 29, 30, 31};
        for (int j = 0; j < 5; ++j)
            f.put(f.late(273 + j), late[j] * 7 + 1);
        f.put(f.late(290), 32 * 7 + 1);

        QCOMPARE(c.ToFileBytes(), f.bytes());

        const QString file = path(QStringLiteral("hand.orv"));
        TestFiles::WriteBytes(file, f.bytes());
        RecordingUi ui;
        ConfigClass loaded;
        QVERIFY(loaded.Load(file));
        QVERIFY(ui.messages.isEmpty());
        QVERIFY(loaded == c);
        QCOMPARE(int(loaded.ModuleNo()), 42); // offset 240 wins over the mirror of GenParam(23)
        const QString again = path(QStringLiteral("again.orv"));
        QVERIFY(loaded.Save(again));
        QCOMPARE(TestFiles::ReadBytes(again), f.bytes());
    }

    void fileWithoutTail()
    {
        HandFile f("Orvel", "");
        f.put(235, 77);        // GenParam(32), first copy
        f.put(f.late(276), 0); // GenParam(30)
        f.put(f.late(277), 5); // GenParam(31): 0 h 5 min stays
        const QString file = path(QStringLiteral("short.orv"));
        TestFiles::WriteBytes(file, f.withoutTail());
        QCOMPARE(f.withoutTail().size(), 283);
        ConfigClass c;
        for (int ch = 1; ch <= 12; ++ch)
            c.SetOutMode(ch, 9);
        RecordingUi ui;
        QVERIFY(c.Load(file));
        QVERIFY(ui.messages.isEmpty());
        for (int ch = 1; ch <= 12; ++ch)
            QCOMPARE(int(c.OutMode(ch)), 9);
        QCOMPARE(int(c.GenParam(32)), 77);
        QCOMPARE(int(c.GenParam(31)), 5);
    }

    void tailReplacesFirstCopy()
    {
        HandFile f("", "");
        f.put(235, 1);
        f.put(f.late(290), 2);
        const QString file = path(QStringLiteral("tail.orv"));
        TestFiles::WriteBytes(file, f.bytes());
        ConfigClass c;
        QVERIFY(c.Load(file));
        QCOMPARE(int(c.GenParam(32)), 2);
    }

    void hornDelayRule_data()
    {
        QTest::addColumn<int>("hours");
        QTest::addColumn<int>("minutes");
        QTest::addColumn<int>("expectedMinutes");
        QTest::newRow("0h0 becomes 0h10") << 0 << 0 << 10;
        QTest::newRow("0h5 stays") << 0 << 5 << 5;
        QTest::newRow("2h0 stays") << 2 << 0 << 0;
    }
    void hornDelayRule()
    {
        QFETCH(int, hours);
        QFETCH(int, minutes);
        QFETCH(int, expectedMinutes);
        HandFile f("", "");
        f.put(f.late(276), hours);
        f.put(f.late(277), minutes);
        const QString file = path(QStringLiteral("horn.orv"));
        TestFiles::WriteBytes(file, f.bytes());
        ConfigClass c;
        QVERIFY(c.Load(file));
        QCOMPARE(int(c.GenParam(30)), hours);
        QCOMPARE(int(c.GenParam(31)), expectedMinutes);
    }

    void textsTrimmedAndWindows1252()
    {
        ConfigClass c;
        c.SetModuleType(QStringLiteral("  Orvel  "));
        c.SetModuleName(QStringLiteral(" Chaufferie n°2 – Façade € 中 "));
        const QByteArray bytes = c.ToFileBytes();
        // 9 characters of type, then the name in Windows-1252 with '?' for what it cannot hold.
        QCOMPARE(bytes.mid(241, 4), QByteArray("\x09\x00\x00\x00", 4));
        const QByteArray name = bytes.mid(254, 4);
        QCOMPARE(name, QByteArray("\x1D\x00\x00\x00", 4));
        QCOMPARE(bytes.mid(258, 29), QByteArray(" Chaufferie n\xB0"
                                                "2 \x96 Fa\xE7"
                                                "ade \x80 ? "));
        const QString file = path(QStringLiteral("texts.orv"));
        QVERIFY(c.Save(file));
        ConfigClass back;
        QVERIFY(back.Load(file));
        QCOMPARE(back.ModuleType(), QStringLiteral("Orvel"));
        QCOMPARE(back.ModuleName(), QStringLiteral("Chaufferie n°2 – Façade € ?"));
    }

    void missingFileIsSilent()
    {
        RecordingUi ui;
        ConfigClass c = fullRecord();
        const ConfigClass before = c;
        QVERIFY(!c.Load(path(QStringLiteral("nothing-here.orv"))));
        QVERIFY(!c.Load(QString()));
        QVERIFY(ui.messages.isEmpty());
        QVERIFY(c == before);
    }

    void damagedFiles_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        HandFile good("Orvel", "A");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("cut in inputs") << good.bytes().left(100);
        QTest::newRow("cut in type text") << good.bytes().left(247);
        QTest::newRow("cut before late block") << good.bytes().left(280);
        HandFile negative("Orvel", "A");
        negative.putLong(241, -5);
        QTest::newRow("negative count") << negative.bytes();
        HandFile huge("Orvel", "A");
        huge.putLong(241, 0x7FFFFFFF);
        QTest::newRow("oversized count") << huge.bytes();
        HandFile nameTooLong("Orvel", "A");
        nameTooLong.putLong(250, 40);
        QTest::newRow("name past end") << nameTooLong.bytes();
    }
    void damagedFiles()
    {
        QFETCH(QByteArray, bytes);
        const QString file = path(QStringLiteral("damaged.orv"));
        TestFiles::WriteBytes(file, bytes);
        RecordingUi ui;
        ConfigClass c;
        QVERIFY(!c.Load(file));
        QCOMPARE(ui.messages.size(), 1);
        QCOMPARE(ui.messages[0].text,
                 QStringLiteral("Error Nr 62 : Input past end of file\r\n\r\nModule : "
                                "ConfigClass\r\nFunction : Load"));
    }

    void failedLoadKeepsFieldsReadSoFar()
    {
        HandFile f("Orvel", "");
        f.put(0, 9);        // InSecu(1)
        f.putLong(241, -1); // then a damaged text count
        const QString file = path(QStringLiteral("partial.orv"));
        TestFiles::WriteBytes(file, f.bytes());
        RecordingUi ui;
        ConfigClass c;
        c.SetModuleType(QStringLiteral("before"));
        QVERIFY(!c.Load(file));
        QCOMPARE(int(c.InSecu(1)), 9);
        QCOMPARE(c.ModuleType(), QStringLiteral("before"));
    }

    // Run by an unprivileged user: the read-only file is replaced (and stays
    // read-only).
    void saveReplacesReadOnlyTarget()
    {
        const QString file = path(QStringLiteral("readonly.orv"));
        TestFiles::WriteBytes(file, "old");
        QVERIFY(QFile::setPermissions(file, QFile::ReadOwner | QFile::ReadUser));
        RecordingUi ui;
        const ConfigClass c = fullRecord();
        QVERIFY(c.Save(file));
        QVERIFY(ui.messages.isEmpty());
        QCOMPARE(TestFiles::ReadBytes(file), c.ToFileBytes());
        QCOMPARE(QFile::permissions(file), QFile::ReadOwner | QFile::ReadUser);
    }

    void failedSaveKeepsOldFile()
    {
        const QString file = path(QStringLiteral("atomic.orv"));
        const QByteArray old = "the previous configuration";
        TestFiles::WriteBytes(file, old);

        // Files may not grow beyond 100 bytes: the write fails part-way, as on a full disk.
        RecordingUi ui;
        bool ok = true;
        {
            FileSizeLimit limit(100);
            ok = fullRecord().Save(file);
        }

        QVERIFY(!ok);
        QCOMPARE(TestFiles::ReadBytes(file), old);
        QCOMPARE(QDir(m_dir.path())
                     .entryList(QDir::Files | QDir::Hidden)
                     .filter(QStringLiteral("atomic")),
                 QStringList{QStringLiteral("atomic.orv")});
        QCOMPARE(ui.messages.size(), 1);
        QVERIFY(ui.messages[0].text.endsWith(
            QStringLiteral("Module : ConfigClass\r\nFunction : Save")));
    }

    void saveIntoMissingFolderFails()
    {
        RecordingUi ui;
        QVERIFY(!ConfigClass().Save(path(QStringLiteral("no/such/folder/x.orv"))));
        QCOMPARE(ui.messages.size(), 1);
        QVERIFY(ui.messages[0].text.startsWith(QStringLiteral("Error Nr 76 : Path not found")));
    }

    void extremeValuesRoundTrip()
    {
        ConfigClass c;
        c.SetInTempo(3, INT32_MAX);
        c.SetInTempo(4, INT32_MIN);
        c.SetGenTempoRelance(-1);
        c.SetBrightMin(INT16_MIN);
        const QString file = path(QStringLiteral("extreme.orv"));
        QVERIFY(c.Save(file));
        ConfigClass back;
        QVERIFY(back.Load(file));
        QVERIFY(back.InTempo(3) == INT32_MAX && back.InTempo(4) == INT32_MIN);
        QCOMPARE(back.GenTempoRelance(), -1);
        QCOMPARE(int(back.BrightMin()), int(INT16_MIN));
        QCOMPARE(int(back.GenParam(31)), 10); // a new record has no horn delay
    }
};

ORVEL_UNPRIVILEGED_TEST_MAIN(TestConfigFile)
#include "tst_configfile.moc"
