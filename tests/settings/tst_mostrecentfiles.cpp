#include "RecordingUi.h"
#include "settings/IniStore.h"
#include "settings/MostRecentFilesClass.h"
#include "TestFiles.h"
#include "util/IniFile.h"

#include <QAction>
#include <QFile>
#include <QMenu>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

// The recent-files list on a File menu: entries, separator, placeholder,
// shortened captions, the INI section and the missing-file message.
class TestMostRecentFiles : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    std::unique_ptr<QMenu> m_menu;
    QAction* m_sep3 = nullptr;
    QString m_ini;

    QStringList paths() const
    {
        QStringList out;
        for (int i = 1; i <= MostRecentFilesClass::Count(m_menu.get()); ++i)
            out << MostRecentFilesClass::EntryPath(m_menu.get(), i);
        return out;
    }
    QAction* action(const QString& name) const
    {
        for (QAction* a : m_menu->actions()) {
            if (a->objectName() == name)
                return a;
        }
        return nullptr;
    }
    QStringList order() const
    {
        QStringList names;
        for (QAction* a : m_menu->actions())
            names << a->objectName();
        return names;
    }
    QByteArray iniBytes() const { return TestFiles::ReadBytes(m_ini); }
    void writeIni(const QByteArray& bytes) { TestFiles::WriteBytes(m_ini, bytes); }

private Q_SLOTS:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void init()
    {
        m_ini = m_dir.filePath(QStringLiteral("orvel.ini"));
        QFile::remove(m_ini);
        SetIniFileNameOverride(m_ini);
        // A File menu as the main window builds it: the list goes above the
        // last separator and Quit.
        m_menu = std::make_unique<QMenu>();
        m_menu->addAction(QStringLiteral("Preview"))
            ->setObjectName(QStringLiteral("mnuFilePreview"));
        m_sep3 = m_menu->addSeparator();
        m_sep3->setObjectName(QStringLiteral("mnuFileSep3"));
        m_menu->addAction(QStringLiteral("Quit"))->setObjectName(QStringLiteral("mnuFileQuit"));
        MostRecentFilesClass::Attach(m_menu.get(), m_sep3);
    }

    void attachBuildsHiddenSeparatorAndPlaceholder()
    {
        QCOMPARE(order(), QStringList({"mnuFilePreview", "mnuFileSepMRU", "mnuFileMRU0",
                                       "mnuFileSep3", "mnuFileQuit"}));
        QVERIFY(action("mnuFileSepMRU")->isSeparator());
        QVERIFY(!action("mnuFileSepMRU")->isVisible());
        QCOMPARE(action("mnuFileMRU0")->text(), QStringLiteral("(Vide)"));
        QVERIFY(!action("mnuFileMRU0")->isVisible());
        QCOMPARE(MostRecentFilesClass::Count(m_menu.get()), 0);
        // A second attach keeps the items the menu has.
        MostRecentFilesClass::Attach(m_menu.get());
        QCOMPARE(m_menu->actions().size(), 5);
    }

    void defaults()
    {
        MostRecentFilesClass mru;
        QCOMPARE(mru.MaxRecent(), std::int16_t(5));
        QCOMPARE(mru.ParamSep(), QStringLiteral(","));
        QCOMPARE(mru.ErrorMsg(), QStringLiteral("Le fichier \"*\" n'existe plus ou a été déplacé"));
    }

    void addPutsNewestFirstBetweenSeparatorAndSep3()
    {
        MostRecentFilesClass mru;
        mru.Add(m_menu.get(), QStringLiteral("C:\\a.cfg"));
        QVERIFY(action("mnuFileSepMRU")->isVisible());
        mru.Add(m_menu.get(), QStringLiteral("C:\\b.cfg"));
        mru.Add(m_menu.get(), QStringLiteral("C:\\c.cfg"));
        QCOMPARE(paths(), QStringList({"C:\\c.cfg", "C:\\b.cfg", "C:\\a.cfg"}));
        QCOMPARE(order(),
                 QStringList({"mnuFilePreview", "mnuFileSepMRU", "mnuFileMRU0", "mnuFileMRU1",
                              "mnuFileMRU2", "mnuFileMRU3", "mnuFileSep3", "mnuFileQuit"}));
        for (int i = 1; i <= 3; ++i)
            QVERIFY(MostRecentFilesClass::Entry(m_menu.get(), i)->isVisible());
        QVERIFY(!action("mnuFileMRU0")->isVisible());
        QCOMPARE(MostRecentFilesClass::Entry(m_menu.get(), 1)->text(), QStringLiteral("C:\\c.cfg"));
    }

    void caseInsensitiveMatchMovesToTopWithNewCase()
    {
        MostRecentFilesClass mru;
        for (const char* p : {"C:\\Data\\one.cfg", "C:\\Data\\two.cfg", "C:\\Data\\three.cfg"})
            mru.Add(m_menu.get(), QString::fromLatin1(p));
        const QString oldCaption = MostRecentFilesClass::Entry(m_menu.get(), 3)->text();
        mru.Add(m_menu.get(), QStringLiteral("c:\\DATA\\ONE.cfg"));
        QCOMPARE(paths(),
                 QStringList({"c:\\DATA\\ONE.cfg", "C:\\Data\\three.cfg", "C:\\Data\\two.cfg"}));
        // The caption moves with the entry.
        QCOMPARE(MostRecentFilesClass::Entry(m_menu.get(), 1)->text(), oldCaption);
        QCOMPARE(MostRecentFilesClass::Entry(m_menu.get(), 2)->text(),
                 QStringLiteral("C:\\Data\\three.cfg"));
    }

    void addingTheTopEntryAgainChangesNothing()
    {
        MostRecentFilesClass mru;
        mru.Add(m_menu.get(), QStringLiteral("/x/a.cfg"));
        mru.Add(m_menu.get(), QStringLiteral("/x/b.cfg"));
        mru.Add(m_menu.get(), QStringLiteral("/x/b.cfg"));
        QCOMPARE(paths(), QStringList({"/x/b.cfg", "/x/a.cfg"}));
    }

    void sixthPathDropsTheOldest()
    {
        MostRecentFilesClass mru;
        for (int i = 1; i <= 6; ++i)
            mru.Add(m_menu.get(), QStringLiteral("/f/%1.cfg").arg(i));
        QCOMPARE(paths(),
                 QStringList({"/f/6.cfg", "/f/5.cfg", "/f/4.cfg", "/f/3.cfg", "/f/2.cfg"}));
        QCOMPARE(MostRecentFilesClass::Entry(m_menu.get(), 5)->text(), QStringLiteral("/f/2.cfg"));
        QVERIFY(!MostRecentFilesClass::Entry(m_menu.get(), 6));
    }

    void loweringMaxRecentKeepsTheList()
    {
        MostRecentFilesClass mru;
        for (int i = 1; i <= 5; ++i)
            mru.Add(m_menu.get(), QStringLiteral("/f/%1.cfg").arg(i));
        mru.SetMaxRecent(4);
        mru.Add(m_menu.get(), QStringLiteral("/f/new.cfg"));
        QCOMPARE(paths(),
                 QStringList({"/f/new.cfg", "/f/5.cfg", "/f/4.cfg", "/f/3.cfg", "/f/2.cfg"}));
        mru.Save(m_menu.get(), m_ini);
        QCOMPARE(IniRead("MRU", "5", "absent", m_ini), QStringLiteral("/f/2.cfg"));
        // The next start reads only keys 1..4.
        m_menu = std::make_unique<QMenu>();
        MostRecentFilesClass next;
        next.SetMaxRecent(4);
        next.Load(m_menu.get(), m_ini);
        QCOMPARE(paths(), QStringList({"/f/new.cfg", "/f/5.cfg", "/f/4.cfg", "/f/3.cfg"}));
    }

    void displayText_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("display");
        QTest::newRow("48 characters") << "C:\\Data\\Clients\\North\\Site 12\\Panels\\Unit-04.cfg"
                                       << "C:\\Data\\...\\Site 12\\Panels\\Unit-04.cfg";
        QTest::newRow("short") << "C:\\a.cfg"
                               << "C:\\a.cfg";
        QTest::newRow("20 characters after the last usable separator")
            << "C:\\Data\\Clients\\12345678901234567890"
            << "C:\\Data\\Clients\\12345678901234567890";
        QTest::newRow("21 characters after it") << "C:\\Data\\Clients\\123456789012345678901"
                                                << "C:\\Data\\...\\123456789012345678901";
        QTest::newRow("only the first folder") << "C:\\Data\\a-very-long-file-name-of-a-panel.cfg"
                                               << "C:\\Data\\a-very-long-file-name-of-a-panel.cfg";
        QTest::newRow("slashes") << "/home/installer/orvel/sites/north/unit-04.cfg"
                                 << "/home/.../sites/north/unit-04.cfg";
        QTest::newRow("no separator") << "a-file-name-without-any-folder-at-all.cfg"
                                      << "a-file-name-without-any-folder-at-all.cfg";
        QTest::newRow("empty") << ""
                               << "";
    }
    void displayText()
    {
        QFETCH(QString, path);
        QFETCH(QString, display);
        QCOMPARE(MostRecentFilesClass::DisplayText(path), display);
    }

    void captionOfTheLongExample()
    {
        MostRecentFilesClass mru;
        mru.Add(m_menu.get(),
                QStringLiteral("C:\\Data\\Clients\\North\\Site 12\\Panels\\Unit-04.cfg"));
        QAction* entry = MostRecentFilesClass::Entry(m_menu.get(), 1);
        QCOMPARE(entry->text(), QStringLiteral("C:\\Data\\...\\Site 12\\Panels\\Unit-04.cfg"));
        QCOMPARE(entry->data().toString(),
                 QStringLiteral("C:\\Data\\Clients\\North\\Site 12\\Panels\\Unit-04.cfg"));
    }

    void ampersandShowsAsItself_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("caption");
        QTest::newRow("plain") << "C:\\R&D\\x.cfg"
                               << "C:\\R&&D\\x.cfg";
        QTest::newRow("with separator") << "C:\\R&D\\a,b.cfg"
                                        << "C:\\R&&D\\a,b.cfg";
    }
    void ampersandShowsAsItself()
    {
        QFETCH(QString, path);
        QFETCH(QString, caption);
        MostRecentFilesClass mru;
        mru.Add(m_menu.get(), path);
        QCOMPARE(MostRecentFilesClass::Entry(m_menu.get(), 1)->text(), caption);
    }

    void deletingTheOnlyEntryHidesTheSeparator()
    {
        RecordingUi ui;
        MostRecentFilesClass mru;
        mru.Add(m_menu.get(), QStringLiteral("/gone/a.cfg"));
        mru.Delete(m_menu.get(), 1);
        QCOMPARE(ui.messages.size(), 1);
        QCOMPARE(ui.messages[0].text,
                 QStringLiteral("Le fichier \"/gone/a.cfg\" n'existe plus ou a été déplacé"));
        QCOMPARE(ui.messages[0].icon, MsgIcon::Critical);
        QCOMPARE(ui.messages[0].buttons, MsgButtons::Ok);
        QCOMPARE(MostRecentFilesClass::Count(m_menu.get()), 0);
        QVERIFY(!action("mnuFileSepMRU")->isVisible());
        QVERIFY(action("mnuFileMRU0"));
        QVERIFY(!action("mnuFileMRU0")->isVisible());
        QCOMPARE(order(), QStringList({"mnuFilePreview", "mnuFileSepMRU", "mnuFileMRU0",
                                       "mnuFileSep3", "mnuFileQuit"}));
    }

    void deletingAMiddleEntryMovesTheOthersUp()
    {
        RecordingUi ui;
        MostRecentFilesClass mru;
        mru.SetErrorMsg(QStringLiteral("File * is gone (*)."));
        for (const char* p : {"/a.cfg", "/b.cfg", "/c.cfg"})
            mru.Add(m_menu.get(), QString::fromLatin1(p));
        mru.Delete(m_menu.get(), 2);
        QCOMPARE(ui.lastText(), QStringLiteral("File /b.cfg is gone (/b.cfg)."));
        QCOMPARE(paths(), QStringList({"/c.cfg", "/a.cfg"}));
        QCOMPARE(MostRecentFilesClass::Entry(m_menu.get(), 2)->text(), QStringLiteral("/a.cfg"));
        QVERIFY(action("mnuFileSepMRU")->isVisible());
    }

    void deletingAMissingEntryIsReported()
    {
        RecordingUi ui;
        MostRecentFilesClass mru;
        mru.Add(m_menu.get(), QStringLiteral("/a.cfg"));
        mru.Delete(m_menu.get(), 2);
        QCOMPARE(ui.messages.size(), 1);
        QVERIFY(ui.lastText().startsWith(QStringLiteral("Error Nr 9 : ")));
        QVERIFY(ui.lastText().contains(
            QStringLiteral("Module : MostRecentFilesClass\r\nFunction : Delete")));
        QCOMPARE(paths(), QStringList({"/a.cfg"}));
    }

    void saveRewritesTheSection()
    {
        writeIni("[General]\nLanguage=English\n[MRU]\n1=/old1\n2=/old2\n3=/old3\n4=/old4\n7=/old7\n"
                 "[Print]\nTopMargin=15\n");
        MostRecentFilesClass mru;
        mru.Add(m_menu.get(), QStringLiteral("/new/b.cfg"));
        mru.Add(m_menu.get(), QStringLiteral("/new/a.cfg"));
        mru.Save(m_menu.get(), m_ini);
        const QByteArray bytes = iniBytes();
        QVERIFY2(bytes.contains("[General]\nLanguage=English\n"), bytes.constData());
        QVERIFY2(bytes.contains("[Print]\nTopMargin=15\n"), bytes.constData());
        QVERIFY2(bytes.contains("[MRU]\n1=/new/a.cfg\n2=/new/b.cfg\n"), bytes.constData());
        QVERIFY(!bytes.contains("/old"));
        QCOMPARE(bytes.count("[MRU]"), 1);
    }

    void savingAnEmptyListLeavesNoSection()
    {
        writeIni("[MRU]\n1=/old1\n[General]\nMRU=5\n");
        MostRecentFilesClass mru;
        mru.Save(m_menu.get(), m_ini);
        const QByteArray bytes = iniBytes();
        QVERIFY2(!bytes.contains("MRU]"), bytes.constData());
        QVERIFY(bytes.contains("[General]\nMRU=5"));
    }

    void saveWithoutFileNameUsesTheConsolesIni()
    {
        MostRecentFilesClass mru;
        mru.Add(m_menu.get(), QStringLiteral("/p.cfg"));
        mru.Save(m_menu.get());
        QCOMPARE(GetIniParam("MRU", "1"), QStringLiteral("/p.cfg"));
    }

    void saveToAnUnwritableFileIsReported()
    {
        RecordingUi ui;
        MostRecentFilesClass mru;
        mru.Add(m_menu.get(), QStringLiteral("/p.cfg"));
        mru.Save(m_menu.get(), m_dir.filePath(QStringLiteral("no-such-folder/x.ini")));
        QCOMPARE(ui.messages.size(), 1);
        QVERIFY(ui.lastText().contains(
            QStringLiteral("Module : MostRecentFilesClass\r\nFunction : Save")));
    }

    void loadReadsKeyOneFirstAndSkipsBlanks()
    {
        writeIni("[MRU]\n1=/one.cfg\n2=\n3=/three.cfg\n5=/five.cfg\n6=/six.cfg\n");
        MostRecentFilesClass mru;
        mru.Load(m_menu.get(), m_ini);
        QCOMPARE(paths(), QStringList({"/one.cfg", "/three.cfg", "/five.cfg"}));
        QVERIFY(action("mnuFileSepMRU")->isVisible());
    }

    void loadThenSaveKeepsTheFile()
    {
        writeIni("[MRU]\n1=/one.cfg\n2=/two.cfg\n");
        MostRecentFilesClass mru;
        mru.Load(m_menu.get(), m_ini);
        mru.Save(m_menu.get(), m_ini);
        QCOMPARE(iniBytes(), QByteArray("[MRU]\n1=/one.cfg\n2=/two.cfg\n"));
    }

    void pickingAnEntrySignalsItsNumberAndPath()
    {
        MostRecentFilesClass mru;
        QSignalSpy spy(&mru, &MostRecentFilesClass::FileChosen);
        mru.Add(m_menu.get(), QStringLiteral("/a.cfg"));
        mru.Add(m_menu.get(), QStringLiteral("/b.cfg"));
        MostRecentFilesClass::Entry(m_menu.get(), 2)->trigger();
        QCOMPARE(spy.size(), 1);
        QCOMPARE(spy[0][0].toInt(), 2);
        QCOMPARE(spy[0][1].toString(), QStringLiteral("/a.cfg"));
        // After a move the same action reports its new content.
        mru.Add(m_menu.get(), QStringLiteral("/a.cfg"));
        MostRecentFilesClass::Entry(m_menu.get(), 2)->trigger();
        QCOMPARE(spy[1][1].toString(), QStringLiteral("/b.cfg"));
    }

    void aNullMenuIsReported()
    {
        RecordingUi ui;
        MostRecentFilesClass mru;
        mru.Add(nullptr, QStringLiteral("/a.cfg"));
        QCOMPARE(ui.messages.size(), 1);
        QVERIFY(ui.lastText().startsWith(QStringLiteral("Error Nr 91 : ")));
    }
};

QTEST_MAIN(TestMostRecentFiles)
#include "tst_mostrecentfiles.moc"
