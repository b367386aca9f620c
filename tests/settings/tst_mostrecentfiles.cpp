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
    QString m_ini;

    QStringList paths() const
    {
        QStringList out;
        for (int i = 1; i <= MostRecentFilesClass::Count(m_menu.get()); ++i)
            out << MostRecentFilesClass::EntryPath(m_menu.get(), i);
        return out;
    }
    // The menu's items in order, "name" or "name (hidden)", and for entries
    // their caption.
    QString items() const
    {
        QStringList names;
        for (QAction* a : m_menu->actions()) {
            QString item = a->objectName();
            if (item.startsWith(QLatin1String("mnuFileMRU")) &&
                item != QLatin1String("mnuFileMRU0"))
                item += QLatin1Char('=') + a->text();
            names << (a->isVisible() ? item : item + QStringLiteral(" (hidden)"));
        }
        return names.join(QLatin1Char(' '));
    }

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
        QAction* sep3 = m_menu->addSeparator();
        sep3->setObjectName(QStringLiteral("mnuFileSep3"));
        m_menu->addAction(QStringLiteral("Quit"))->setObjectName(QStringLiteral("mnuFileQuit"));
        MostRecentFilesClass::Attach(m_menu.get(), sep3);
    }

    // The newest first, between the list's separator and the last one: a
    // known path moves to the top with the spelling just given.
    void adds_data()
    {
        QTest::addColumn<QStringList>("added");
        QTest::addColumn<QString>("entries"); // paths, "|" between
        QTest::addColumn<QString>("shown");   // the entries in the menu
        auto row = [](const char* name, const QStringList& added, const char* entries,
                      const char* shown) {
            QTest::newRow(name) << added << QString::fromLatin1(entries)
                                << QString::fromLatin1(shown);
        };
        row("three", {"C:\\a.cfg", "C:\\b.cfg", "C:\\c.cfg"}, "C:\\c.cfg|C:\\b.cfg|C:\\a.cfg",
            "mnuFileMRU1=C:\\c.cfg mnuFileMRU2=C:\\b.cfg mnuFileMRU3=C:\\a.cfg");
        row("same path, other case",
            {"C:\\Data\\one.cfg", "C:\\Data\\two.cfg", "C:\\Data\\three.cfg", "c:\\DATA\\ONE.cfg"},
            "c:\\DATA\\ONE.cfg|C:\\Data\\three.cfg|C:\\Data\\two.cfg",
            "mnuFileMRU1=C:\\Data\\one.cfg mnuFileMRU2=C:\\Data\\three.cfg "
            "mnuFileMRU3=C:\\Data\\two.cfg");
        row("the top entry again", {"/x/a.cfg", "/x/b.cfg", "/x/b.cfg"}, "/x/b.cfg|/x/a.cfg",
            "mnuFileMRU1=/x/b.cfg mnuFileMRU2=/x/a.cfg");
        row("a sixth path drops the oldest",
            {"/f/1.cfg", "/f/2.cfg", "/f/3.cfg", "/f/4.cfg", "/f/5.cfg", "/f/6.cfg"},
            "/f/6.cfg|/f/5.cfg|/f/4.cfg|/f/3.cfg|/f/2.cfg",
            "mnuFileMRU1=/f/6.cfg mnuFileMRU2=/f/5.cfg mnuFileMRU3=/f/4.cfg mnuFileMRU4=/f/3.cfg "
            "mnuFileMRU5=/f/2.cfg");
        // A menu takes "&" for an access key: the caption doubles it.
        row("ampersands", {"C:\\R&D\\x.cfg", "C:\\R&D\\a,b.cfg"}, "C:\\R&D\\a,b.cfg|C:\\R&D\\x.cfg",
            "mnuFileMRU1=C:\\R&&D\\a,b.cfg mnuFileMRU2=C:\\R&&D\\x.cfg");
    }

    void adds()
    {
        QFETCH(QStringList, added);
        QFETCH(QString, shown);
        MostRecentFilesClass mru;
        for (const QString& path : added)
            mru.Add(m_menu.get(), path);
        QTEST(paths().join(QLatin1Char('|')), "entries");
        QCOMPARE(items(), QStringLiteral("mnuFilePreview mnuFileSepMRU mnuFileMRU0 (hidden) ") +
                              shown + QStringLiteral(" mnuFileSep3 mnuFileQuit"));
    }

    // Long paths keep their first folder and their last 20-odd characters.
    void displayText_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("display");
        for (const auto& [path, display] :
             {std::pair{"C:\\Data\\Clients\\North\\Site 12\\Panels\\Unit-04.cfg",
                        "C:\\Data\\...\\Site 12\\Panels\\Unit-04.cfg"},
              {"C:\\Data\\Clients\\12345678901234567890",
               "C:\\Data\\Clients\\12345678901234567890"},
              {"C:\\Data\\Clients\\123456789012345678901", "C:\\Data\\...\\123456789012345678901"},
              {"/home/installer/orvel/sites/north/unit-04.cfg",
               "/home/.../sites/north/unit-04.cfg"},
              {"a-file-name-without-any-folder-at-all.cfg",
               "a-file-name-without-any-folder-at-all.cfg"},
              {"", ""}})
            QTest::newRow(path) << QString::fromLatin1(path) << QString::fromLatin1(display);
    }

    void displayText()
    {
        QFETCH(QString, path);
        QTEST(MostRecentFilesClass::DisplayText(path), "display");
    }

    void deleteTellsAndRemoves()
    {
        RecordingUi ui;
        MostRecentFilesClass mru;
        for (const char* p : {"/a.cfg", "/b.cfg", "/c.cfg"})
            mru.Add(m_menu.get(), QString::fromLatin1(p));
        mru.Delete(m_menu.get(), 2);
        QCOMPARE(ui.messages.size(), 1);
        QCOMPARE(ui.messages[0].text,
                 QStringLiteral("Le fichier \"/b.cfg\" n'existe plus ou a été déplacé"));
        QCOMPARE(ui.messages[0].icon, MsgIcon::Critical);
        QCOMPARE(ui.messages[0].buttons, MsgButtons::Ok);
        QCOMPARE(items(), QStringLiteral("mnuFilePreview mnuFileSepMRU mnuFileMRU0 (hidden) "
                                         "mnuFileMRU1=/c.cfg mnuFileMRU2=/a.cfg mnuFileSep3 "
                                         "mnuFileQuit"));
        mru.SetErrorMsg(QStringLiteral("File * is gone (*)."));
        mru.Delete(m_menu.get(), 2);
        QCOMPARE(ui.lastText(), QStringLiteral("File /a.cfg is gone (/a.cfg)."));
        // The last one gone, the separator hides and the placeholder stays.
        mru.Delete(m_menu.get(), 1);
        QCOMPARE(items(), QStringLiteral("mnuFilePreview mnuFileSepMRU (hidden) mnuFileMRU0 "
                                         "(hidden) mnuFileSep3 mnuFileQuit"));
        mru.Delete(m_menu.get(), 1);
        QCOMPARE(ui.messages.size(), 4);
        QCOMPARE(ui.lastText(),
                 ErrorReport(9, "Subscript out of range", "MostRecentFilesClass.Delete"));
        mru.Add(nullptr, QStringLiteral("/a.cfg"));
        QCOMPARE(ui.lastText(),
                 ErrorReport(91, "Object variable not set", "MostRecentFilesClass.Add"));
    }

    // The section is rewritten (none when the list is empty); loading reads
    // keys MaxRecent down to 1 and skips the empty ones.
    void saveAndLoad_data()
    {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QStringList>("added");
        QTest::addColumn<QString>("loaded");
        QTest::addColumn<QByteArray>("after");
        QTest::newRow("rewrites the section")
            << QByteArray("[General]\nLanguage=English\n[MRU]\n1=/old1\n2=/old2\n7=/old7\n"
                          "[Print]\nTopMargin=15\n")
            << QStringList{"/new/b.cfg", "/new/a.cfg"} << QString()
            << QByteArray("[General]\nLanguage=English\n[Print]\nTopMargin=15\n"
                          "[MRU]\n1=/new/a.cfg\n2=/new/b.cfg\n");
        QTest::newRow("an empty list leaves no section")
            << QByteArray("[MRU]\n1=/old1\n[General]\nMRU=5\n") << QStringList{} << QString()
            << QByteArray("[General]\nMRU=5\n");
        QTest::newRow("load, blanks skipped")
            << QByteArray("[MRU]\n1=/one.cfg\n2=\n3=/three.cfg\n5=/five.cfg\n6=/six.cfg\n")
            << QStringList{} << "/one.cfg|/three.cfg|/five.cfg"
            << QByteArray("[MRU]\n1=/one.cfg\n2=/three.cfg\n3=/five.cfg\n");
    }

    void saveAndLoad()
    {
        QFETCH(QByteArray, before);
        QFETCH(QStringList, added);
        QFETCH(QString, loaded);
        TestFiles::WriteBytes(m_ini, before);
        MostRecentFilesClass mru;
        if (!loaded.isEmpty()) {
            mru.Load(m_menu.get(), m_ini);
            QCOMPARE(paths().join(QLatin1Char('|')), loaded);
        }
        for (const QString& path : added)
            mru.Add(m_menu.get(), path);
        mru.Save(m_menu.get()); // the console's own INI file
        QTEST(TestFiles::ReadBytes(m_ini), "after");
        // A list that cannot be written is reported.
        RecordingUi ui;
        mru.Save(m_menu.get(), m_dir.filePath(QStringLiteral("no-such-folder/x.ini")));
        QCOMPARE(ui.lastText(), paths().isEmpty() ? QString()
                                                  : ErrorReport(75, "Path/File access error",
                                                                "MostRecentFilesClass.Save"));
    }

    // Lowering the length keeps the list until the next start, which reads
    // keys 1..MaxRecent only (checked by the start-up test).
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
    }

    // After a move an entry reports its new content (opening by entry is
    // checked end to end with the main window).
    void pickingAnEntrySignalsItsNumberAndPath()
    {
        MostRecentFilesClass mru;
        QSignalSpy spy(&mru, &MostRecentFilesClass::FileChosen);
        for (const char* p : {"/a.cfg", "/b.cfg", "/a.cfg"})
            mru.Add(m_menu.get(), QString::fromLatin1(p));
        MostRecentFilesClass::Entry(m_menu.get(), 2)->trigger();
        QCOMPARE(spy, (QList<QList<QVariant>>{{2, QStringLiteral("/b.cfg")}}));
    }
};

QTEST_MAIN(TestMostRecentFiles)
#include "tst_mostrecentfiles.moc"
