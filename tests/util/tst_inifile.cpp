#include "TestFiles.h"
#include "util/IniFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class TestIniFile : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString path(const QString& name) const { return m_dir.filePath(name); }

private Q_SLOTS:
    void missingFileReadsDefaults()
    {
        const QString file = path(QStringLiteral("none.ini"));
        QCOMPARE(IniRead(QStringLiteral("General"), QStringLiteral("Language"),
                         QStringLiteral("dflt"), file),
                 QStringLiteral("dflt"));
        QVERIFY(!QFile::exists(file));
        QVERIFY(IniDeleteKey(QStringLiteral("General"), QStringLiteral("Factory"), file));
        QVERIFY(IniDeleteSection(QStringLiteral("MRU"), file));
        QVERIFY(!QFile::exists(file)); // deleting nothing creates nothing
    }

    void firstWriteCreates()
    {
        const QString file = path(QStringLiteral("new.ini"));
        QVERIFY(IniWrite(QStringLiteral("Communication"), QStringLiteral("Port"),
                         QStringLiteral("3"), file));
        QCOMPARE(TestFiles::ReadBytes(file), QByteArray("[Communication]\nPort=3\n"));
        QVERIFY(IniWrite(QStringLiteral("Communication"), QStringLiteral("Bauds"),
                         QStringLiteral("9600"), file));
        QVERIFY(
            IniWrite(QStringLiteral("General"), QStringLiteral("MRU"), QStringLiteral("5"), file));
        QCOMPARE(TestFiles::ReadBytes(file),
                 QByteArray("[Communication]\nPort=3\nBauds=9600\n[General]\nMRU=5\n"));
    }

    void namesIgnoreCase()
    {
        const QString file = path(QStringLiteral("case.ini"));
        TestFiles::WriteBytes(file, "[general]\nlanguage = Français \n");
        QCOMPARE(IniRead(QStringLiteral("GENERAL"), QStringLiteral("Language"), QString(), file),
                 QStringLiteral("Français"));
        QVERIFY(IniWrite(QStringLiteral("General"), QStringLiteral("LANGUAGE"),
                         QStringLiteral("English"), file));
        QCOMPARE(TestFiles::ReadBytes(file), QByteArray("[general]\nLANGUAGE=English\n"));
    }

    void writeKeepsEverythingElse()
    {
        const QString file = path(QStringLiteral("keep.ini"));
        const QByteArray before =
            "; settings\r\n[General]\r\nLanguage=English\r\n; comment in section\r\n"
            "MRU=5\r\n\r\n[Communication]\r\nPort=1\r\n\r\n[MRU]\r\n1=C:\\a.cfg\r\n";
        TestFiles::WriteBytes(file, before);
        QVERIFY(IniWrite(QStringLiteral("Communication"), QStringLiteral("Port"),
                         QStringLiteral("2"), file));
        QVERIFY(IniWrite(QStringLiteral("General"), QStringLiteral("DataFiles"),
                         QStringLiteral("C:\\Data"), file));
        QCOMPARE(TestFiles::ReadBytes(file),
                 QByteArray(
                     "; settings\r\n[General]\r\nLanguage=English\r\n; comment in section\r\n"
                     "MRU=5\r\nDataFiles=C:\\Data\r\n\r\n[Communication]\r\nPort=2\r\n\r\n[MRU]\r\n"
                     "1=C:\\a.cfg\r\n"));
    }

    void deleteKeyAndSection()
    {
        const QString file = path(QStringLiteral("del.ini"));
        TestFiles::WriteBytes(
            file, "[General]\nFactory=ABC\nMRU=4\n[MRU]\n1=a\n2=b\n[Print]\nTopMargin=15\n");
        QVERIFY(IniDeleteKey(QStringLiteral("general"), QStringLiteral("factory"), file));
        QVERIFY(IniDeleteSection(QStringLiteral("mru"), file));
        QCOMPARE(TestFiles::ReadBytes(file),
                 QByteArray("[General]\nMRU=4\n[Print]\nTopMargin=15\n"));
        const QByteArray now = TestFiles::ReadBytes(file);
        QVERIFY(IniDeleteKey(QStringLiteral("General"), QStringLiteral("Factory"), file));
        QCOMPARE(TestFiles::ReadBytes(file), now);
    }

    void valuesAsStored()
    {
        const QString file = path(QStringLiteral("values.ini"));
        TestFiles::WriteBytes(
            file, "[S]\nquoted=\"  spaced  \"\nempty=\nequals=a=b\n  spaced key  =  v  \n");
        QCOMPARE(IniRead(QStringLiteral("S"), QStringLiteral("quoted"), QString(), file),
                 QStringLiteral("  spaced  "));
        QCOMPARE(IniRead(QStringLiteral("S"), QStringLiteral("empty"), QStringLiteral("d"), file),
                 QString());
        QCOMPARE(IniRead(QStringLiteral("S"), QStringLiteral("equals"), QString(), file),
                 QStringLiteral("a=b"));
        QCOMPARE(IniRead(QStringLiteral("S"), QStringLiteral("spaced key"), QString(), file),
                 QStringLiteral("v"));
    }

    void lineBreaksCannotSplitTheFile()
    {
        const QString file = path(QStringLiteral("inject.ini"));
        QVERIFY(IniWrite(QStringLiteral("General"), QStringLiteral("DataFiles"),
                         QStringLiteral("x\n[Evil]\nFactory=1"), file));
        QCOMPARE(IniRead(QStringLiteral("Evil"), QStringLiteral("Factory"), QStringLiteral("none"),
                         file),
                 QStringLiteral("none"));
    }

    void sameSectionTwiceUsesFirst()
    {
        const QString file = path(QStringLiteral("twice.ini"));
        TestFiles::WriteBytes(file, "[A]\nk=1\n[B]\nk=2\n[A]\nk=3\n");
        QCOMPARE(IniRead(QStringLiteral("A"), QStringLiteral("k"), QString(), file),
                 QStringLiteral("1"));
    }

    void binaryFileNeverCrashes()
    {
        const QString file = path(QStringLiteral("binary.ini"));
        QByteArray junk;
        for (int i = 0; i < 4096; ++i)
            junk.append(char((i * 131 + 7) & 0xFF));
        static const char tail[] = "\n[General]\nLanguage=English\n\0\0\xFF[";
        junk.append(tail, sizeof tail - 1);
        TestFiles::WriteBytes(file, junk);
        QCOMPARE(IniRead(QStringLiteral("General"), QStringLiteral("Language"), QString(), file),
                 QStringLiteral("English"));
        QVERIFY(
            IniWrite(QStringLiteral("General"), QStringLiteral("MRU"), QStringLiteral("6"), file));
        QCOMPARE(IniRead(QStringLiteral("General"), QStringLiteral("MRU"), QString(), file),
                 QStringLiteral("6"));
    }

    void windows1252FileIsRead()
    {
        const QString file = path(QStringLiteral("ansi.ini"));
        TestFiles::WriteBytes(file, "[General]\nLanguage=Fran\xE7"
                                    "ais\n");
        QCOMPARE(IniRead(QStringLiteral("General"), QStringLiteral("Language"), QString(), file),
                 QStringLiteral("Français"));
    }

    void unwritableTargetFails()
    {
        // A folder where the file should be cannot be replaced by a file.
        const QString file = path(QStringLiteral("adir"));
        QVERIFY(QDir().mkpath(file));
        QVERIFY(!IniWrite(QStringLiteral("A"), QStringLiteral("k"), QStringLiteral("v"), file));
    }
};

QTEST_GUILESS_MAIN(TestIniFile)
#include "tst_inifile.moc"
