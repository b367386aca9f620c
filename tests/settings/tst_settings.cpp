#include "ErrorReport.h"
#include "link/CommFunctions.h"
#include "RecordingPort.h"
#include "RecordingUi.h"
#include "settings/IniStore.h"
#include "settings/MostRecentFilesClass.h"
#include "settings/PortList.h"
#include "settings/wConfig.h"
#include "SmallDataFile.h"
#include "TestFiles.h"
#include "texts/DataFunctions.h"
#include "Unprivileged.h"
#include "util/ErrorHandling.h"
#include "util/IniFile.h"
#include "util/RuntimeError.h"
#include "util/SafeFile.h"
#include "WidgetLookup.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

#include <sys/stat.h>

// A window that takes part in a language change.
class LanguageWatcher : public QWidget
{
    Q_OBJECT
public:
    int calls = 0;
public Q_SLOTS:
    void Nationality() { ++calls; }
};

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

QComboBox* combo(wConfig& d, const char* name)
{
    return child<QComboBox>(&d, name);
}
} // namespace

// The settings, run as an unprivileged user. The INI store: where the file
// is, a preset beside the program, files that cannot be read or written, the
// typed readers. The preferences dialog: what it shows, and that Apply
// applies and stores exactly the groups the user touched. The recent-files
// list on a File menu: entries, separator, placeholder, shortened captions,
// the INI section and the missing-file message.
class TestSettings : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_ini;
    std::unique_ptr<RecordingPort> m_port;
    std::unique_ptr<PanelLink> m_link;
    std::unique_ptr<QMenu> m_menu;

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
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QVERIFY(SmallDataFile::Create(m_dir.filePath(QStringLiteral("test.dat")),
                                      {12, 14, 15, 1100, 1110, 1111, 1112, 1113, 1115, 1116, 1117,
                                       1118, 1119, 1120, 1121, 1122, 1123, 10101}));
        SetTextLookup([](int tag) { return GetText(tag); });
    }

    void init()
    {
        m_ini = m_dir.filePath(QStringLiteral("orvel.ini"));
        QFile::remove(m_ini);
        SetIniFileNameOverride(m_ini);
        SetCurrentLanguage(QStringLiteral("English"));
        m_port = std::make_unique<RecordingPort>();
        m_link = std::make_unique<PanelLink>(*m_port);
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

    void cleanup()
    {
        m_link.reset();
        m_port.reset();
        SetIniFolders({}, {});
    }

    // The lists and ranges offered; the help context follows the page.
    void listsAndHelp()
    {
        wConfig dialog(*m_link, nullptr);
        QStringList t;
        for (const char* name : {"cboParity", "cboBauds", "cboStops"}) {
            for (int i = 0; i < combo(dialog, name)->count(); ++i)
                t << combo(dialog, name)->itemText(i);
        }
        for (const char* name : {"txtMRU", "txtRtsDelay"})
            t << QStringLiteral("%1-%2")
                     .arg(child<QSpinBox>(&dialog, name)->minimum())
                     .arg(child<QSpinBox>(&dialog, name)->maximum());
        QCOMPARE(t.join(QLatin1Char(' ')),
                 QStringLiteral("en1117 en1118 en1119 19200 9600 4800 2400 1200 1 2 4-9 0-20"));
        QCOMPARE(dialog.HelpContextId(), 1110);
        child<QTabWidget>(&dialog, "tbsPages")->setCurrentIndex(1);
        QCOMPARE(dialog.HelpContextId(), 1120);
    }

    // Each device once: the numbers for the fixed ports, names for the others.
    void portChoices_data()
    {
        QTest::addColumn<QStringList>("system");
        QTest::addColumn<QStringList>("after16");
        QTest::newRow("fixed ports are numbers")
            << QStringList{"ttyS0", "ttyS15", "/dev/ttyS3"} << QStringList{};
        QTest::newRow("others by name, in number order")
            << QStringList{"ttyUSB1", "ttyS16", "ttyS0", "ttyUSB0", "ttyS100", "ttyS20"}
            << QStringList{"ttyS16", "ttyS20", "ttyS100", "ttyUSB0", "ttyUSB1"};
        QTest::newRow("a device twice")
            << QStringList{"ttyACM0", "/dev/ttyACM0", ""} << QStringList{"ttyACM0"};
    }

    void portChoices()
    {
        QFETCH(QStringList, system);
        QFETCH(QStringList, after16);
        QStringList expected;
        for (int n = 1; n <= 16; ++n)
            expected << QString::number(n);
        QCOMPARE(SerialPortChoices(system), expected + after16);
    }

    // What the dialog shows for a port and an INI file: port; speed, stop
    // bits and parity item; "COM" before the port; half-duplex and delay;
    // list length; language.
    void shows_data()
    {
        QTest::addColumn<QString>("port");
        QTest::addColumn<QString>("settings");
        QTest::addColumn<QByteArray>("ini");
        QTest::addColumn<QString>("shown");
        auto row = [](const char* name, const char* port, const char* settings, const char* shown,
                      const QByteArray& ini = {}) {
            QTest::newRow(name) << QString::fromLatin1(port) << QString::fromLatin1(settings) << ini
                                << QString::fromUtf8(shown);
        };
        row("no INI file", "3", "9600,N,8,1", "3; 9600 1 0; COM; off 5; 4; English");
        row("even, lower case", "16", "19200,e,8,2", "16; 19200 2 1; COM; off 5; 4; English");
        row("odd, a device name", "ttyUSB0", "1200,O,8,1",
            "ttyUSB0; 1200 1 2; ; off 5; 4; English");
        row("unknown parity letter", "1", "2400,M,8,1", "1; 2400 1 -1; COM; off 5; 4; English");
        row("speed outside the list", "/dev/pts/4", "38400,N,8,1",
            "/dev/pts/4; 38400 1 0; ; off 5; 4; English");
        row("stored settings", "1", "9600,N,8,1", "1; 9600 1 0; COM; on 7; 6; Français",
            "[Communication]\nRTS=1\nRtsDelay=7\n[General]\nMRU=6\nLanguage=Français\n");
    }

    void shows()
    {
        QFETCH(QString, port);
        QFETCH(QString, settings);
        QFETCH(QByteArray, ini);
        m_port->port = port;
        m_port->settings = settings;
        if (!ini.isEmpty())
            TestFiles::WriteBytes(m_ini, ini);
        SetCurrentLanguage(GetIniParam(QStringLiteral("General"), QStringLiteral("Language"),
                                       QStringLiteral("English")));
        wConfig dialog(*m_link, nullptr);
        const bool half = child<QCheckBox>(&dialog, "chkHalfDuplex")->isChecked();
        QTEST(QStringLiteral("%1; %2 %3 %4; %5; %6 %7; %8; %9")
                  .arg(combo(dialog, "cboPort")->currentText(),
                       combo(dialog, "cboBauds")->currentText(),
                       combo(dialog, "cboStops")->currentText(),
                       QString::number(combo(dialog, "cboParity")->currentIndex()),
                       child<QLabel>(&dialog, "lblCom")->isHidden() ? QString()
                                                                    : QStringLiteral("COM"),
                       QLatin1String(half ? "on" : "off"),
                       QString::number(child<QSpinBox>(&dialog, "txtRtsDelay")->value()),
                       QString::number(child<QSpinBox>(&dialog, "txtMRU")->value()),
                       combo(dialog, "cboLanguage")->currentText()),
              "shown");
        QVERIFY(!child<QPushButton>(&dialog, "cmdButtons2")->isEnabled());
        QVERIFY(m_port->events.isEmpty());
    }

    // The user's edits, the INI file and the port they leave, and the state
    // after: language; list length; duplex and RTS delay; calls of the
    // language handler; the dialog's result.
    void apply_data()
    {
        QTest::addColumn<QByteArray>("ini");
        QTest::addColumn<QString>("edits");
        QTest::addColumn<QString>("events");
        QTest::addColumn<QByteArray>("iniAfter");
        QTest::addColumn<QString>("state");
        QTest::addColumn<QString>("message");
        const QString normal = QStringLiteral("English; 5; full 5 ms; 0; accepted");
        auto row = [&](const char* name, const char* edits, const char* events,
                       const QByteArray& iniAfter, const QString& state, const char* message = "",
                       const QByteArray& ini = {}) {
            QTest::newRow(name) << ini << QString::fromUtf8(edits) << QString::fromUtf8(events)
                                << iniAfter << (state.isEmpty() ? normal : state)
                                << QString::fromUtf8(message);
        };
        row("the language alone", "cboLanguage=2", "", "[General]\nLanguage=Español\n",
            "Español; 5; full 5 ms; 1; accepted");
        row("the port group reopens the port and stores all four", "cboPort=5;cboBauds=0",
            "close|port=5|settings=19200,N,8,1|settings=19200,N,8,1|settings=19200,n,8,1|open",
            "[Communication]\nPort=5\nBauds=19200\nStops=1\nParity=n\n", "");
        row("parity and stops open a closed port", "closed;cboStops=1;cboParity=2",
            "port=1|settings=9600,N,8,1|settings=9600,N,8,2|settings=9600,o,8,2|open",
            "[Communication]\nPort=1\nBauds=9600\nStops=2\nParity=o\n", "");
        row("an empty port", "cboPort=  ", "close", "", "", "en10101");
        // The later groups are not applied; OK still closes.
        row("a port that cannot open", "cboPort=9;txtMRU=8",
            "close|port=9|settings=9600,N,8,1|settings=9600,N,8,1|settings=9600,n,8,1",
            "[Communication]\nPort=9\nBauds=9600\nStops=1\nParity=n\n", "", "en10101");
        // Without an INI file the list starts at 5 while the dialog proposes 4.
        row("the list length left alone", "", "", "", "");
        row("half-duplex on", "chkHalfDuplex=1;txtRtsDelay=12", "",
            "[Communication]\nRTS=1\nRtsDelay=12\n", "English; 5; half 12 ms; 0; accepted");
        row("half-duplex off", "chkHalfDuplex=0", "", "[Communication]\nRTS=0\nRtsDelay=12\n",
            "English; 5; full 12 ms; 0; accepted", "", "[Communication]\nRTS=1\nRtsDelay=12\n");
        row("the delay alone stores both", "txtRtsDelay=3", "",
            "[Communication]\nRTS=0\nRtsDelay=3\n", "English; 5; full 3 ms; 0; accepted");
        row("Cancel keeps what was applied", "txtMRU=9;cmdButtons2;cboLanguage=1;cmdButtons0", "",
            "[General]\nMRU=9\n", "English; 9; full 5 ms; 0; rejected");
    }

    void apply()
    {
        QFETCH(QByteArray, ini);
        QFETCH(QString, edits);
        QFETCH(QString, events);
        QFETCH(QByteArray, iniAfter);
        QFETCH(QString, message);
        RecordingUi ui;
        if (!ini.isEmpty())
            TestFiles::WriteBytes(m_ini, ini);
        m_port->failingPorts << QStringLiteral("9");
        MostRecentFilesClass recent;
        wConfig dialog(*m_link, &recent);
        int relabelled = 0;
        dialog.SetNationalityHandler([&] { ++relabelled; });
        // "cboPort=5" types into the port list, "cboBauds=0" picks an item,
        // "txtMRU=7" sets a number, "chkHalfDuplex=1" ticks, "cmdButtons2"
        // presses a button; "closed" closes the port. OK ends the edits
        // (the first-run form is driven by the start-up test).
        if (!edits.endsWith(QLatin1String("cmdButtons0")))
            edits += QStringLiteral(";cmdButtons1");
        for (const QString& e : edits.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
            const QString name = e.section(QLatin1Char('='), 0, 0);
            const QString value = e.section(QLatin1Char('='), 1);
            auto* w = dialog.findChild<QWidget*>(name);
            if (auto* c = qobject_cast<QComboBox*>(w); c && c->isEditable())
                c->setEditText(value);
            else if (c)
                c->setCurrentIndex(value.toInt());
            else if (auto* s = qobject_cast<QSpinBox*>(w))
                s->setValue(value.toInt());
            else if (auto* b = qobject_cast<QCheckBox*>(w))
                b->setChecked(value == QLatin1String("1"));
            else if (auto* p = qobject_cast<QPushButton*>(w))
                p->click();
            else if (name == QLatin1String("closed"))
                m_port->open = false;
        }
        QCOMPARE(m_port->events.join(QLatin1Char('|')), events);
        QCOMPARE(TestFiles::ReadBytes(m_ini), iniAfter.isEmpty() ? ini : iniAfter);
        QCOMPARE(QFile::exists(m_ini), !ini.isEmpty() || !iniAfter.isEmpty());
        const LinkOptions& o = m_link->options();
        QTEST(QStringLiteral("%1; %2; %3 %4 ms; %5; %6")
                  .arg(CurrentLanguage())
                  .arg(recent.MaxRecent())
                  .arg(QLatin1String(o.halfDuplex ? "half" : "full"))
                  .arg(o.rtsDelayMs)
                  .arg(relabelled)
                  .arg(QLatin1String(dialog.result() ? "accepted" : "rejected")),
              "state");
        QCOMPARE(ui.lastText(), message);
        if (!message.isEmpty()) {
            QCOMPARE(ui.messages.size(), 1);
            QCOMPARE(ui.messages[0].icon, MsgIcon::Exclamation);
        }
        QVERIFY(!dialog.isVisible());
        // Apply stays enabled after a failure; nothing touched since a
        // success, a second Apply does nothing.
        if (dialog.result() == QDialog::Accepted) {
            QCOMPARE(child<QPushButton>(&dialog, "cmdButtons2")->isEnabled(), !message.isEmpty());
            if (message.isEmpty()) {
                const int calls = relabelled;
                QVERIFY(dialog.Apply());
                QCOMPARE(m_port->events.join(QLatin1Char('|')), events);
                QCOMPARE(relabelled, calls);
            }
        }
    }

    // A language change relabels every open window once, the dialog too.
    void languageRelabelsEveryWindow()
    {
        LanguageWatcher other;
        other.show();
        auto* owned = new LanguageWatcher; // a top-level window and a child of its owner
        owned->setParent(&other, Qt::Window);
        owned->show();
        auto* embedded = new LanguageWatcher;
        embedded->setParent(&other);
        wConfig dialog(*m_link, nullptr);
        dialog.show();
        combo(dialog, "cboLanguage")->setCurrentIndex(2);
        QVERIFY(dialog.Apply());
        QCOMPARE(QList<int>({other.calls, owned->calls, embedded->calls}), QList<int>({1, 1, 1}));
        QCOMPARE(dialog.windowTitle(), QStringLiteral("es1100"));
    }

    void aBadStoredValueIsReported()
    {
        RecordingUi ui;
        TestFiles::WriteBytes(m_ini, "[Communication]\nRtsDelay=abc\n");
        wConfig dialog(*m_link, nullptr);
        QCOMPARE(ui.messages.size(), 1);
        QCOMPARE(ui.lastText(),
                 QStringLiteral("Error Nr 13 : Type mismatch\r\n\r\nModule : wConfig\r\n"
                                "Object : Form\r\nEvent : Load"));
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
               "a-file-name-without-any-folder-at-all.cfg"}})
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

    // An orvel.ini beside the program that the user cannot write is a preset:
    // it is read, under the user's own file, which takes every change.
    void presetBesideProgram_data()
    {
        QTest::addColumn<QByteArray>("beside"); // null: no file
        QTest::addColumn<bool>("fileWritable");
        QTest::addColumn<bool>("folderWritable");
        QTest::addColumn<QString>("port");
        QTest::addColumn<QString>("language");
        const QByteArray preset = "[Communication]\nPort=7\n[General]\nLanguage=Français\n";
        QTest::newRow("writable file beside: the one file") << preset << true << true << "7"
                                                            << "Français";
        QTest::newRow("read-only file beside: under the user's") << preset << false << false << "3"
                                                                 << "Français";
        QTest::newRow("writable file in a read-only folder: under the user's")
            << preset << true << false << "3"
            << "Français";
        QTest::newRow("read-only folder, no file: the user's alone")
            << QByteArray() << false << false << "3"
            << "";
    }

    void presetBesideProgram()
    {
        QFETCH(QByteArray, beside);
        QFETCH(bool, fileWritable);
        QFETCH(bool, folderWritable);
        const bool writtenBeside = !beside.isNull() && fileWritable && folderWritable;
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
    }

    void unusableFile()
    {
        QFETCH(QString, kind);
        const QString file = m_dir.filePath(kind + QStringLiteral(".ini"));
        if (kind == QLatin1String("pipe"))
            QCOMPARE(::mkfifo(QFile::encodeName(file).constData(), 0600), 0);
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

ORVEL_UNPRIVILEGED_APP_MAIN(QApplication, TestSettings)
#include "tst_settings.moc"
