#include "TestFiles.h"
#include "util/IniFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using Read = std::tuple<QByteArray, QString, QString, QString>;

class TestIniFile : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_file;

    // The file's bytes before a test; "-" for no file.
    void put(const QByteArray& bytes)
    {
        m_file = m_dir.filePath(QString::number(qHash(QTest::currentDataTag())) + ".ini");
        QFile::remove(m_file);
        if (bytes != "-")
            TestFiles::WriteBytes(m_file, bytes);
    }

private Q_SLOTS:
    // The file's bytes ("-": none), section, key and the value read ("dflt"
    // is the default).
    void read_data()
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
    void read()
    {
        QFETCH(Read, c);
        const auto& [bytes, section, key, value] = c;
        put(bytes);
        QCOMPARE(IniRead(section, key, "dflt", m_file), value);
    }

    // Steps "W|section|key|value", "K|section|key" (delete a key) and
    // "S|section" (delete a section), then the file's bytes ("-": none).
    void write_data()
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
    void write()
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
        QVERIFY(QDir().mkpath(m_dir.filePath("adir")));
        QVERIFY(!IniWrite("A", "k", "v", m_dir.filePath("adir")));
    }
};

QTEST_GUILESS_MAIN(TestIniFile)
#include "tst_inifile.moc"
