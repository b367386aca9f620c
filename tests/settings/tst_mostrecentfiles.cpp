#include "ErrorReport.h"
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

    void adds_data()
    {
        QTest::addColumn<QStringList>("added");
        QTest::addColumn<QStringList>("paths");
        QTest::addColumn<QStringList>("captions");
        // A known path moves to the top with the spelling just given, its
        // caption with it.
        QTest::newRow("same path, other case")
            << QStringList{"C:\\Data\\one.cfg", "C:\\Data\\two.cfg", "C:\\Data\\three.cfg",
                           "c:\\DATA\\ONE.cfg"}
            << QStringList{"c:\\DATA\\ONE.cfg", "C:\\Data\\three.cfg", "C:\\Data\\two.cfg"}
            << QStringList{"C:\\Data\\one.cfg", "C:\\Data\\three.cfg", "C:\\Data\\two.cfg"};
        QTest::newRow("the top entry again")
            << QStringList{"/x/a.cfg", "/x/b.cfg", "/x/b.cfg"}
            << QStringList{"/x/b.cfg", "/x/a.cfg"} << QStringList{"/x/b.cfg", "/x/a.cfg"};
        const QStringList six{"/f/1.cfg", "/f/2.cfg", "/f/3.cfg",
                              "/f/4.cfg", "/f/5.cfg", "/f/6.cfg"};
        const QStringList kept{"/f/6.cfg", "/f/5.cfg", "/f/4.cfg", "/f/3.cfg", "/f/2.cfg"};
        QTest::newRow("a sixth path drops the oldest") << six << kept << kept;
        // A menu takes "&" for an access key: the caption doubles it.
        QTest::newRow("ampersands") << QStringList{"C:\\R&D\\x.cfg", "C:\\R&D\\a,b.cfg"}
                                    << QStringList{"C:\\R&D\\a,b.cfg", "C:\\R&D\\x.cfg"}
                                    << QStringList{"C:\\R&&D\\a,b.cfg", "C:\\R&&D\\x.cfg"};
        const QString path = "C:\\Data\\Clients\\North\\Site 12\\Panels\\Unit-04.cfg";
        QTest::newRow("long path") << QStringList{path} << QStringList{path}
                                   << QStringList{"C:\\Data\\...\\Site 12\\Panels\\Unit-04.cfg"};
    }
    void adds()
    {
        QFETCH(QStringList, added);
        QFETCH(QStringList, paths);
        QFETCH(QStringList, captions);
        MostRecentFilesClass mru;
        for (const QString& path : added)
            mru.Add(m_menu.get(), path);
        QCOMPARE(this->paths(), paths);
        QStringList shown;
        for (int i = 1; i <= MostRecentFilesClass::Count(m_menu.get()); ++i)
            shown << MostRecentFilesClass::Entry(m_menu.get(), i)->text();
        QCOMPARE(shown, captions);
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

    void deleteTellsAndRemoves()
    {
        RecordingUi ui;
        MostRecentFilesClass mru;
        const QStringList initialOrder = order();
        for (const char* p : {"/a.cfg", "/b.cfg", "/c.cfg"})
            mru.Add(m_menu.get(), QString::fromLatin1(p));
        mru.Delete(m_menu.get(), 2);
        QCOMPARE(ui.messages.size(), 1);
        QCOMPARE(ui.messages[0].text,
                 QStringLiteral("Le fichier \"/b.cfg\" n'existe plus ou a été déplacé"));
        QCOMPARE(ui.messages[0].icon, MsgIcon::Critical);
        QCOMPARE(ui.messages[0].buttons, MsgButtons::Ok);
        QCOMPARE(paths(), QStringList({"/c.cfg", "/a.cfg"}));
        QCOMPARE(MostRecentFilesClass::Entry(m_menu.get(), 2)->text(), QStringLiteral("/a.cfg"));
        QVERIFY(action("mnuFileSepMRU")->isVisible());

        mru.SetErrorMsg(QStringLiteral("File * is gone (*)."));
        mru.Delete(m_menu.get(), 2);
        QCOMPARE(ui.lastText(), QStringLiteral("File /a.cfg is gone (/a.cfg)."));
        mru.Delete(m_menu.get(), 1);
        // The last one gone, the separator hides and the placeholder stays.
        QCOMPARE(order(), initialOrder);
        QVERIFY(!action("mnuFileSepMRU")->isVisible());
        QVERIFY(!action("mnuFileMRU0")->isVisible());

        mru.Delete(m_menu.get(), 1);
        QCOMPARE(ui.messages.size(), 4);
        QCOMPARE(ui.lastText(),
                 ErrorReport(9, "Subscript out of range", "MostRecentFilesClass.Delete"));
    }

    void save_data()
    {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QStringList>("added");
        QTest::addColumn<bool>("load");
        QTest::addColumn<QByteArray>("after");
        QTest::newRow("rewrites the section")
            << QByteArray("[General]\nLanguage=English\n[MRU]\n1=/old1\n2=/old2\n7=/old7\n"
                          "[Print]\nTopMargin=15\n")
            << QStringList{"/new/b.cfg", "/new/a.cfg"} << false
            << QByteArray("[General]\nLanguage=English\n[Print]\nTopMargin=15\n"
                          "[MRU]\n1=/new/a.cfg\n2=/new/b.cfg\n");
        QTest::newRow("an empty list leaves no section")
            << QByteArray("[MRU]\n1=/old1\n[General]\nMRU=5\n") << QStringList{} << false
            << QByteArray("[General]\nMRU=5\n");
        const QByteArray two("[MRU]\n1=/one.cfg\n2=/two.cfg\n");
        QTest::newRow("load then save") << two << QStringList{} << true << two;
    }
    void save()
    {
        QFETCH(QByteArray, before);
        QFETCH(QStringList, added);
        QFETCH(bool, load);
        QFETCH(QByteArray, after);
        writeIni(before);
        MostRecentFilesClass mru;
        if (load)
            mru.Load(m_menu.get(), m_ini);
        for (const QString& path : added)
            mru.Add(m_menu.get(), path);
        mru.Save(m_menu.get(), m_ini);
        QCOMPARE(iniBytes(), after);
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
        QCOMPARE(ui.lastText(),
                 ErrorReport(75, "Path/File access error", "MostRecentFilesClass.Save"));
    }

    void loadReadsKeyOneFirstAndSkipsBlanks()
    {
        writeIni("[MRU]\n1=/one.cfg\n2=\n3=/three.cfg\n5=/five.cfg\n6=/six.cfg\n");
        MostRecentFilesClass mru;
        mru.Load(m_menu.get(), m_ini);
        QCOMPARE(paths(), QStringList({"/one.cfg", "/three.cfg", "/five.cfg"}));
        QVERIFY(action("mnuFileSepMRU")->isVisible());
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
        QCOMPARE(ui.lastText(),
                 ErrorReport(91, "Object variable not set", "MostRecentFilesClass.Add"));
    }
};

QTEST_MAIN(TestMostRecentFiles)
#include "tst_mostrecentfiles.moc"
