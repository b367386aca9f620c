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
#include "util/ErrorHandling.h"
#include "WidgetLookup.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

// A window that takes part in a language change.
class LanguageWatcher : public QWidget
{
    Q_OBJECT
public:
    int calls = 0;
public Q_SLOTS:
    void Nationality() { ++calls; }
};

// The preferences dialog: what it shows, and that Apply applies and stores
// exactly the groups the user touched.
class TestWConfig : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_ini;
    std::unique_ptr<RecordingPort> m_port;
    std::unique_ptr<PanelLink> m_link;

    QByteArray iniBytes() const { return TestFiles::ReadBytes(m_ini); }
    void writeIni(const QByteArray& bytes) { TestFiles::WriteBytes(m_ini, bytes); }

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
    }

    void cleanup()
    {
        m_link.reset();
        m_port.reset();
    }

    void textsOfTheCurrentLanguage()
    {
        wConfig dialog(*m_link, nullptr);
        QCOMPARE(dialog.windowTitle(), QStringLiteral("en1100"));
        auto* tabs = child<QTabWidget>(&dialog, "tbsPages");
        QCOMPARE(tabs->tabText(0), QStringLiteral("en1110"));
        QCOMPARE(tabs->tabText(1), QStringLiteral("en1120"));
        QCOMPARE(tabs->widget(0)->objectName(), QStringLiteral("frmPage1"));
        QCOMPARE(tabs->widget(1)->objectName(), QStringLiteral("frmPage2"));
        const QList<QPair<const char*, int>> labels = {
            {"lblPort", 1111},     {"lblBauds", 1112}, {"lblStops", 1115},   {"lblParity", 1116},
            {"lblRtsDelay", 1123}, {"lblMRU", 1122},   {"lblLanguage", 1121}};
        for (const auto& [name, tag] : labels)
            QCOMPARE(child<QLabel>(&dialog, name)->text(), QStringLiteral("en%1").arg(tag));
        QCOMPARE(child<QLabel>(&dialog, "lblCom")->text(), QStringLiteral("COM"));
        QCOMPARE(child<QCheckBox>(&dialog, "chkHalfDuplex")->text(), QStringLiteral("en1113"));
        QCOMPARE(child<QPushButton>(&dialog, "cmdButtons0")->text(), QStringLiteral("en12"));
        QCOMPARE(child<QPushButton>(&dialog, "cmdButtons1")->text(), QStringLiteral("en15"));
        QCOMPARE(child<QPushButton>(&dialog, "cmdButtons2")->text(), QStringLiteral("en14"));
        auto* parity = child<QComboBox>(&dialog, "cboParity");
        QCOMPARE(parity->count(), 3);
        for (int i = 0; i < 3; ++i)
            QCOMPARE(parity->itemText(i), QStringLiteral("en%1").arg(1117 + i));

        SetCurrentLanguage(QStringLiteral("Español"));
        dialog.Nationality();
        QCOMPARE(dialog.windowTitle(), QStringLiteral("es1100"));
        QCOMPARE(parity->itemText(2), QStringLiteral("es1119"));
        QCOMPARE(tabs->tabText(1), QStringLiteral("es1120"));
    }

    void fixedLists()
    {
        wConfig dialog(*m_link, nullptr);
        auto* port = child<QComboBox>(&dialog, "cboPort");
        QVERIFY(port->isEditable());
        QVERIFY(port->count() >= 16);
        for (int i = 0; i < 16; ++i)
            QCOMPARE(port->itemText(i), QString::number(i + 1));
        auto* bauds = child<QComboBox>(&dialog, "cboBauds");
        QVERIFY(!bauds->isEditable());
        QStringList rates;
        for (int i = 0; i < bauds->count(); ++i)
            rates << bauds->itemText(i);
        QCOMPARE(rates, QStringList({"19200", "9600", "4800", "2400", "1200"}));
        auto* stops = child<QComboBox>(&dialog, "cboStops");
        QCOMPARE(stops->count(), 2);
        QCOMPARE(stops->itemText(1), QStringLiteral("2"));
        auto* mru = child<QSpinBox>(&dialog, "txtMRU");
        QCOMPARE(mru->minimum(), 4);
        QCOMPARE(mru->maximum(), 9);
        auto* delay = child<QSpinBox>(&dialog, "txtRtsDelay");
        QCOMPARE(delay->minimum(), 0);
        QCOMPARE(delay->maximum(), 20);
    }

    // Each device once: the numbers for the fixed ports, names for the others.
    void portChoices_data()
    {
        QTest::addColumn<QStringList>("system");
        QTest::addColumn<QStringList>("after16");
        QTest::newRow("none") << QStringList{} << QStringList{};
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
        QStringList expected;
        for (int n = 1; n <= 16; ++n)
            expected << QString::number(n);
        QTEST(SerialPortChoices(system).mid(16), "after16");
        QCOMPARE(SerialPortChoices(system).mid(0, 16), expected);
    }

    void showsThePortSettings_data()
    {
        QTest::addColumn<QString>("portName");
        QTest::addColumn<QString>("settings");
        QTest::addColumn<QString>("bauds");
        QTest::addColumn<QString>("stops");
        QTest::addColumn<int>("parity");
        QTest::addColumn<bool>("com"); // "COM" before the port
        QTest::newRow("none") << "3"
                              << "9600,N,8,1"
                              << "9600"
                              << "1" << 0 << true;
        QTest::newRow("even, lower case") << "16"
                                          << "19200,e,8,2"
                                          << "19200"
                                          << "2" << 1 << true;
        QTest::newRow("odd") << "ttyUSB0"
                             << "1200,O,8,1"
                             << "1200"
                             << "1" << 2 << false;
        QTest::newRow("unknown parity letter") << "1"
                                               << "2400,M,8,1"
                                               << "2400"
                                               << "1" << -1 << true;
        QTest::newRow("speed outside the list") << "/dev/pts/4"
                                                << "38400,N,8,1"
                                                << "38400"
                                                << "1" << 0 << false;
    }
    void showsThePortSettings()
    {
        QFETCH(QString, portName);
        QFETCH(QString, settings);
        m_port->port = portName;
        m_port->settings = settings;
        wConfig dialog(*m_link, nullptr);
        QCOMPARE(child<QComboBox>(&dialog, "cboPort")->currentText(), portName);
        QTEST(child<QComboBox>(&dialog, "cboBauds")->currentText(), "bauds");
        QTEST(child<QComboBox>(&dialog, "cboStops")->currentText(), "stops");
        QTEST(child<QComboBox>(&dialog, "cboParity")->currentIndex(), "parity");
        QTEST(!child<QLabel>(&dialog, "lblCom")->isHidden(), "com");
        QVERIFY(!child<QPushButton>(&dialog, "cmdButtons2")->isEnabled());
        QVERIFY(m_port->events.isEmpty());
    }

    void showsTheStoredSettings()
    {
        writeIni("[Communication]\nRTS=1\nRtsDelay=7\n[General]\nMRU=6\nLanguage=Français\n");
        SetCurrentLanguage(QStringLiteral("Français"));
        wConfig dialog(*m_link, nullptr);
        QVERIFY(child<QCheckBox>(&dialog, "chkHalfDuplex")->isChecked());
        QVERIFY(child<QFrame>(&dialog, "frmRtsDelay")->isEnabled());
        QCOMPARE(child<QSpinBox>(&dialog, "txtRtsDelay")->value(), 7);
        QCOMPARE(child<QSpinBox>(&dialog, "txtMRU")->value(), 6);
        auto* language = child<QComboBox>(&dialog, "cboLanguage");
        QCOMPARE(language->count(), 3);
        QCOMPARE(language->itemText(0), QStringLiteral("English"));
        QCOMPARE(language->itemText(1), QStringLiteral("Français"));
        QCOMPARE(language->itemText(2), QStringLiteral("Español"));
        QCOMPARE(language->currentText(), QStringLiteral("Français"));
        QCOMPARE(child<QTabWidget>(&dialog, "tbsPages")->currentIndex(), 0);
        QVERIFY(!child<QPushButton>(&dialog, "cmdButtons2")->isEnabled());
    }

    void defaultsWithoutAnIniFile()
    {
        wConfig dialog(*m_link, nullptr);
        QVERIFY(!child<QCheckBox>(&dialog, "chkHalfDuplex")->isChecked());
        QVERIFY(!child<QFrame>(&dialog, "frmRtsDelay")->isEnabled());
        QCOMPARE(child<QSpinBox>(&dialog, "txtRtsDelay")->value(), 5);
        QCOMPARE(child<QSpinBox>(&dialog, "txtMRU")->value(), 4);
        QCOMPARE(child<QComboBox>(&dialog, "cboLanguage")->currentText(),
                 QStringLiteral("English"));
    }

    void changingOnlyTheLanguageLeavesThePortAlone()
    {
        LanguageWatcher other;
        other.show();
        // A child window is both a top-level window and a child of its owner:
        // it is relabelled once.
        auto* owned = new LanguageWatcher;
        owned->setParent(&other, Qt::Window);
        owned->show();
        auto* embedded = new LanguageWatcher;
        embedded->setParent(&other);
        wConfig dialog(*m_link, nullptr);
        dialog.show();
        auto* apply = child<QPushButton>(&dialog, "cmdButtons2");
        child<QComboBox>(&dialog, "cboLanguage")->setCurrentIndex(2);
        QVERIFY(apply->isEnabled());
        child<QPushButton>(&dialog, "cmdButtons1")->click();
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QVERIFY2(m_port->events.isEmpty(), qPrintable(m_port->events.join(',')));
        QVERIFY(m_port->open);
        QCOMPARE(iniBytes(), QStringLiteral("[General]\nLanguage=Español\n").toUtf8());
        QCOMPARE(CurrentLanguage(), QStringLiteral("Español"));
        // Every open window was relabelled, the dialog too.
        QCOMPARE(other.calls, 1);
        QCOMPARE(owned->calls, 1);
        QCOMPARE(embedded->calls, 1);
        QCOMPARE(dialog.windowTitle(), QStringLiteral("es1100"));
    }

    void languageChangeCallsTheHandlerOnce()
    {
        wConfig dialog(*m_link, nullptr);
        int calls = 0;
        dialog.SetNationalityHandler([&] { ++calls; });
        child<QComboBox>(&dialog, "cboLanguage")->setCurrentIndex(1);
        QVERIFY(dialog.Apply());
        QCOMPARE(calls, 1);
        QVERIFY(!child<QPushButton>(&dialog, "cmdButtons2")->isEnabled());
        // Nothing touched since: a second Apply does nothing.
        QVERIFY(dialog.Apply());
        QCOMPARE(calls, 1);
    }

    void portGroupReopensThePortAndStoresAllFour()
    {
        m_port->port = QStringLiteral("1");
        wConfig dialog(*m_link, nullptr);
        child<QComboBox>(&dialog, "cboPort")->setEditText(QStringLiteral("5"));
        child<QComboBox>(&dialog, "cboBauds")->setCurrentIndex(0); // 19200
        child<QPushButton>(&dialog, "cmdButtons2")->click();
        QCOMPARE(m_port->events,
                 QStringList({"close", "port=5", "settings=19200,N,8,1", "settings=19200,N,8,1",
                              "settings=19200,n,8,1", "open"}));
        QCOMPARE(iniBytes(),
                 QByteArray("[Communication]\nPort=5\nBauds=19200\nStops=1\nParity=n\n"));
        QVERIFY(!child<QPushButton>(&dialog, "cmdButtons2")->isEnabled());
        QVERIFY(dialog.isVisible() == false);
    }

    void parityAndStopsOnAClosedPortOpenIt()
    {
        m_port->open = false;
        wConfig dialog(*m_link, nullptr);
        child<QComboBox>(&dialog, "cboStops")->setCurrentIndex(1);
        child<QComboBox>(&dialog, "cboParity")->setCurrentIndex(2);
        QVERIFY(dialog.Apply());
        QCOMPARE(m_port->events.first(), QStringLiteral("port=1"));
        QCOMPARE(m_port->events.last(), QStringLiteral("open"));
        QVERIFY(!m_port->events.contains(QStringLiteral("close")));
        QCOMPARE(m_port->settings, QStringLiteral("9600,o,8,2"));
        QCOMPARE(GetIniParam("Communication", "Stops"), QStringLiteral("2"));
        QCOMPARE(GetIniParam("Communication", "Parity"), QStringLiteral("o"));
    }

    void aDeviceNameCanBeTyped()
    {
        wConfig dialog(*m_link, nullptr);
        auto* com = child<QLabel>(&dialog, "lblCom");
        QVERIFY(!com->isHidden());
        child<QComboBox>(&dialog, "cboPort")->setEditText(QStringLiteral("ttyUSB7"));
        QVERIFY(com->isHidden());
        QVERIFY(dialog.Apply());
        QCOMPARE(m_port->port, QStringLiteral("ttyUSB7"));
        QCOMPARE(GetIniParam("Communication", "Port"), QStringLiteral("ttyUSB7"));
    }

    void aPortThatCannotOpenStopsTheApply()
    {
        RecordingUi ui;
        m_port->failingPorts << QStringLiteral("9");
        MostRecentFilesClass mru;
        wConfig dialog(*m_link, &mru);
        dialog.show();
        child<QComboBox>(&dialog, "cboPort")->setEditText(QStringLiteral("9"));
        child<QSpinBox>(&dialog, "txtMRU")->setValue(8);
        QVERIFY(!dialog.Apply());
        QCOMPARE(ui.messages.size(), 1);
        QCOMPARE(ui.messages[0].text, QStringLiteral("en10101"));
        QCOMPARE(ui.messages[0].icon, MsgIcon::Exclamation);
        // The later groups were not applied, Apply stays enabled.
        QCOMPARE(GetIniParam("General", "MRU", "absent"), QStringLiteral("absent"));
        QCOMPARE(mru.MaxRecent(), std::int16_t(5));
        QVERIFY(child<QPushButton>(&dialog, "cmdButtons2")->isEnabled());
        QVERIFY(!m_port->open);
        // OK retries the Apply, fails the same way and still closes.
        child<QPushButton>(&dialog, "cmdButtons1")->click();
        QCOMPARE(ui.messages.size(), 2);
        QVERIFY(!dialog.isVisible());
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
    }

    void anEmptyPortIsRefused()
    {
        RecordingUi ui;
        wConfig dialog(*m_link, nullptr);
        child<QComboBox>(&dialog, "cboPort")->setEditText(QStringLiteral("  "));
        QVERIFY(!dialog.Apply());
        QCOMPARE(ui.lastText(), QStringLiteral("en10101"));
        QVERIFY(!iniBytes().contains("Port="));
    }

    void recentFilesGroup()
    {
        MostRecentFilesClass mru;
        wConfig dialog(*m_link, &mru);
        child<QSpinBox>(&dialog, "txtMRU")->setValue(7);
        QVERIFY(dialog.Apply());
        QCOMPARE(mru.MaxRecent(), std::int16_t(7));
        QCOMPARE(iniBytes(), QByteArray("[General]\nMRU=7\n"));
        QVERIFY(m_port->events.isEmpty());
    }

    void listLengthFiveStaysWhenTheFieldIsLeftAlone()
    {
        // Without an INI file the list starts at 5 while the dialog proposes 4.
        MostRecentFilesClass mru;
        QCOMPARE(mru.MaxRecent(), std::int16_t(5));
        wConfig dialog(*m_link, &mru);
        QCOMPARE(child<QSpinBox>(&dialog, "txtMRU")->value(), 4);
        child<QPushButton>(&dialog, "cmdButtons1")->click();
        QCOMPARE(mru.MaxRecent(), std::int16_t(5));
        QVERIFY(!QFile::exists(m_ini));
    }

    void halfDuplexGroup()
    {
        wConfig dialog(*m_link, nullptr);
        auto* check = child<QCheckBox>(&dialog, "chkHalfDuplex");
        auto* frame = child<QFrame>(&dialog, "frmRtsDelay");
        check->setChecked(true);
        QVERIFY(frame->isEnabled());
        child<QSpinBox>(&dialog, "txtRtsDelay")->setValue(12);
        QVERIFY(dialog.Apply());
        QVERIFY(m_link->options().halfDuplex);
        QCOMPARE(m_link->options().rtsDelayMs, 12);
        QCOMPARE(iniBytes(), QByteArray("[Communication]\nRTS=1\nRtsDelay=12\n"));
        check->setChecked(false);
        QVERIFY(!frame->isEnabled());
        QVERIFY(dialog.Apply());
        QVERIFY(!m_link->options().halfDuplex);
        QCOMPARE(iniBytes(), QByteArray("[Communication]\nRTS=0\nRtsDelay=12\n"));
        QVERIFY(m_port->events.isEmpty());
    }

    void onlyTheDelayStoresBothKeys()
    {
        wConfig dialog(*m_link, nullptr);
        child<QSpinBox>(&dialog, "txtRtsDelay")->setValue(3);
        QVERIFY(dialog.Apply());
        QCOMPARE(iniBytes(), QByteArray("[Communication]\nRTS=0\nRtsDelay=3\n"));
    }

    void firstRunShowsOnlyOkAndStoresTheLanguage()
    {
        SetCurrentLanguage(QString());
        wConfig dialog(*m_link, nullptr);
        int calls = 0;
        dialog.SetNationalityHandler([&] { ++calls; });
        dialog.SetFirstRun();
        dialog.show();
        QVERIFY(!child<QPushButton>(&dialog, "cmdButtons0")->isVisible());
        QVERIFY(!child<QPushButton>(&dialog, "cmdButtons2")->isVisible());
        QVERIFY(child<QPushButton>(&dialog, "cmdButtons1")->isVisible());
        QVERIFY(child<QPushButton>(&dialog, "cmdButtons2")->isEnabled());
        child<QPushButton>(&dialog, "cmdButtons1")->click();
        QCOMPARE(iniBytes(), QByteArray("[General]\nLanguage=English\n"));
        QCOMPARE(CurrentLanguage(), QStringLiteral("English"));
        QCOMPARE(calls, 1);
        QVERIFY(m_port->events.isEmpty());
    }

    void firstRunLeftThroughTheFrameStoresNothing()
    {
        SetCurrentLanguage(QString());
        wConfig dialog(*m_link, nullptr);
        dialog.SetFirstRun();
        dialog.show();
        dialog.close();
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        QVERIFY(!QFile::exists(m_ini));
    }

    void cancelKeepsWhatWasApplied()
    {
        MostRecentFilesClass mru;
        wConfig dialog(*m_link, &mru);
        child<QSpinBox>(&dialog, "txtMRU")->setValue(9);
        child<QPushButton>(&dialog, "cmdButtons2")->click();
        child<QComboBox>(&dialog, "cboLanguage")->setCurrentIndex(1);
        child<QPushButton>(&dialog, "cmdButtons0")->click();
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        QCOMPARE(iniBytes(), QByteArray("[General]\nMRU=9\n"));
        QCOMPARE(CurrentLanguage(), QStringLiteral("English"));
    }

    void pagesCarryTheirHelpContext()
    {
        wConfig dialog(*m_link, nullptr);
        QCOMPARE(dialog.HelpContextId(), 1110);
        child<QTabWidget>(&dialog, "tbsPages")->setCurrentIndex(1);
        QCOMPARE(dialog.HelpContextId(), 1120);
        QCOMPARE(child<QTabWidget>(&dialog, "tbsPages")->property("helpContextId").toInt(), 1120);
    }

    void aBadStoredValueIsReported()
    {
        RecordingUi ui;
        writeIni("[Communication]\nRtsDelay=abc\n");
        wConfig dialog(*m_link, nullptr);
        QCOMPARE(ui.messages.size(), 1);
        QVERIFY(ui.lastText().startsWith(QStringLiteral("Error Nr 13 : ")));
        QVERIFY(ui.lastText().contains(
            QStringLiteral("Module : wConfig\r\nObject : Form\r\nEvent : Load")));
    }
};

QTEST_MAIN(TestWConfig)
#include "tst_wconfig.moc"
