#include "RecordingPort.h"
#include "RecordingUi.h"
#include "settings/IniStore.h"
#include "shell/wAskSlave.h"
#include "SmallDataFile.h"
#include "TestFiles.h"
#include "texts/DataFunctions.h"
#include "util/ErrorHandling.h"
#include "WidgetLookup.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

// The slave dialog: what it proposes, the port it reopens, the slave numbers
// it refuses with a beep, and what a valid OK stores.
class TestWAskSlave : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_ini;
    std::unique_ptr<RecordingPort> m_port;

    QByteArray iniBytes() const { return TestFiles::ReadBytes(m_ini); }
    void writeIni(const QByteArray& bytes) { TestFiles::WriteBytes(m_ini, bytes); }
    static void choosePort(wAskSlave& dialog, const QString& text)
    {
        auto* combo = child<QComboBox>(&dialog, "cboPort");
        const int index = combo->findText(text);
        QVERIFY(index >= 0);
        combo->setCurrentIndex(index);
        Q_EMIT combo->activated(index);
    }

private Q_SLOTS:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QVERIFY(
            SmallDataFile::Create(m_dir.filePath(QStringLiteral("t.dat")),
                                  {12, 13, 15, 20200, 20201, 20202, 20203, 20204, 20205, 10101}));
        SetTextLookup([](int tag) { return GetText(tag); });
    }

    void init()
    {
        SetCurrentLanguage(QStringLiteral("English"));
        m_ini = m_dir.filePath(QStringLiteral("orvel.ini"));
        QFile::remove(m_ini);
        SetIniFileNameOverride(m_ini);
        m_port = std::make_unique<RecordingPort>();
    }

    void texts()
    {
        wAskSlave dialog(*m_port);
        QCOMPARE(dialog.windowTitle(), QStringLiteral("en20200"));
        QCOMPARE(child<QLabel>(&dialog, "lblPort")->text(), QStringLiteral("en20201"));
        QCOMPARE(child<QLabel>(&dialog, "lblSlave")->text(), QStringLiteral("en20202"));
        QCOMPARE(child<QCheckBox>(&dialog, "chkAutoSearch")->text(), QStringLiteral("en20203"));
        QCOMPARE(child<QLabel>(&dialog, "lblHint")->text(), QStringLiteral("en20204"));
        QCOMPARE(child<QLabel>(&dialog, "lblWarning")->text(), QStringLiteral("en20205"));
        QCOMPARE(child<QPushButton>(&dialog, "cmdButtons0")->text(), QStringLiteral("en12"));
        QCOMPARE(child<QPushButton>(&dialog, "cmdButtons1")->text(), QStringLiteral("en15"));
        QCOMPARE(child<QPushButton>(&dialog, "cmdButtons2")->text(), QStringLiteral("en13"));
        SetCurrentLanguage(QStringLiteral("Español"));
        dialog.Nationality();
        QCOMPARE(dialog.windowTitle(), QStringLiteral("es20200"));
        QCOMPARE(child<QLabel>(&dialog, "lblSlave")->text(), QStringLiteral("es20202"));
    }

    void proposesTheStoredChoices()
    {
        m_port->port = QStringLiteral("4");
        {
            wAskSlave dialog(*m_port);
            QCOMPARE(dialog.SlaveText(), QStringLiteral("1"));
            QVERIFY(dialog.AutoSearch());
            QCOMPARE(child<QComboBox>(&dialog, "cboPort")->currentText(), QStringLiteral("4"));
            QVERIFY(!dialog.Ok());
        }
        writeIni("[Communication]\nLastSlave=17\nAutoSearch=0\n");
        wAskSlave dialog(*m_port);
        QCOMPARE(dialog.SlaveText(), QStringLiteral("17"));
        QVERIFY(!dialog.AutoSearch());
        QVERIFY(m_port->events.isEmpty());
    }

    void portListOffersOneToSixteenFirst()
    {
        wAskSlave dialog(*m_port);
        auto* combo = child<QComboBox>(&dialog, "cboPort");
        QVERIFY(combo->isEditable());
        for (int i = 0; i < 16; ++i)
            QCOMPARE(combo->itemText(i), QString::number(i + 1));
    }

    void refusedSlaveNumbers_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("65") << "65";
        QTest::newRow("-1") << "-1";
        QTest::newRow("abc") << "abc";
        QTest::newRow("empty") << "";
        QTest::newRow("fraction") << "5.5";
        QTest::newRow("digits then text") << "5x";
        QTest::newRow("huge") << "99999";
    }
    void refusedSlaveNumbers()
    {
        QFETCH(QString, text);
        RecordingUi ui;
        wAskSlave dialog(*m_port);
        dialog.show();
        dialog.SetSlaveText(text);
        child<QPushButton>(&dialog, "cmdButtons1")->click();
        QCOMPARE(ui.beeps, 1);
        QVERIFY(dialog.isVisible());
        QVERIFY(!dialog.Ok());
        QVERIFY(ui.messages.isEmpty());
        QVERIFY(!QFile::exists(m_ini));
        // Enter does the same.
        QTest::keyClick(child<QLineEdit>(&dialog, "txtSlave"), Qt::Key_Return);
        QCOMPARE(ui.beeps, 2);
        QVERIFY(dialog.isVisible());
    }

    void acceptedSlaveNumbers_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("search");
        QTest::newRow("0 asks for a search") << "0" << true;
        QTest::newRow("64") << "64" << false;
        QTest::newRow("1") << "1" << true;
    }
    void acceptedSlaveNumbers()
    {
        QFETCH(QString, text);
        QFETCH(bool, search);
        RecordingUi ui;
        m_port->port = QStringLiteral("2");
        wAskSlave dialog(*m_port);
        dialog.show();
        dialog.SetSlaveText(text);
        child<QCheckBox>(&dialog, "chkAutoSearch")->setChecked(search);
        child<QPushButton>(&dialog, "cmdButtons1")->click();
        QCOMPARE(ui.beeps, 0);
        QVERIFY(dialog.Ok());
        QVERIFY(!dialog.isVisible());
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(dialog.AutoSearch(), search);
        QCOMPARE(iniBytes(),
                 QStringLiteral("[Communication]\nLastSlave=%1\nAutoSearch=%2\nPort=2\n")
                     .arg(text, search ? QStringLiteral("1") : QStringLiteral("0"))
                     .toUtf8());
        QVERIFY(m_port->events.isEmpty());
    }

    void choosingAnotherPortReopensIt()
    {
        wAskSlave dialog(*m_port);
        choosePort(dialog, QStringLiteral("3"));
        QCOMPARE(m_port->events, QStringList({"close", "port=3", "open"}));
        // The same port again changes nothing.
        choosePort(dialog, QStringLiteral("3"));
        QCOMPARE(m_port->events.size(), 3);
        QVERIFY(!QFile::exists(m_ini)); // stored only by OK
    }

    void choosingAPortWhileClosedOpensIt()
    {
        m_port->open = false;
        wAskSlave dialog(*m_port);
        choosePort(dialog, QStringLiteral("7"));
        QCOMPARE(m_port->events, QStringList({"port=7", "open"}));
    }

    void aPortThatCannotOpenIsReported()
    {
        RecordingUi ui;
        m_port->failingPorts << QStringLiteral("4");
        wAskSlave dialog(*m_port);
        choosePort(dialog, QStringLiteral("4"));
        QCOMPARE(ui.messages.size(), 1);
        QCOMPARE(ui.messages[0].text, QStringLiteral("en10101"));
        QCOMPARE(ui.messages[0].icon, MsgIcon::Exclamation);
        QCOMPARE(m_port->port, QStringLiteral("4"));
        QVERIFY(!m_port->open);
    }

    void aTypedPortIsOpenedByOk()
    {
        wAskSlave dialog(*m_port);
        dialog.show();
        child<QComboBox>(&dialog, "cboPort")->setEditText(QStringLiteral("ttyUSB1"));
        child<QPushButton>(&dialog, "cmdButtons1")->click();
        QVERIFY(dialog.Ok());
        QCOMPARE(m_port->events, QStringList({"close", "port=ttyUSB1", "open"}));
        QCOMPARE(GetIniParam("Communication", "Port"), QStringLiteral("ttyUSB1"));
    }

    void aTypedPortThatCannotOpenKeepsTheDialog()
    {
        RecordingUi ui;
        m_port->failingPorts << QStringLiteral("12");
        wAskSlave dialog(*m_port);
        dialog.show();
        child<QComboBox>(&dialog, "cboPort")->setEditText(QStringLiteral("12"));
        child<QPushButton>(&dialog, "cmdButtons1")->click();
        QCOMPARE(ui.lastText(), QStringLiteral("en10101"));
        QVERIFY(!dialog.Ok());
        QVERIFY(dialog.isVisible());
        QVERIFY(!QFile::exists(m_ini));
    }

    void cancelStoresNothing_data()
    {
        QTest::addColumn<bool>("escape");
        QTest::newRow("Cancel") << false;
        QTest::newRow("Escape") << true;
    }
    void cancelStoresNothing()
    {
        QFETCH(bool, escape);
        wAskSlave dialog(*m_port);
        dialog.show();
        dialog.SetSlaveText(QStringLiteral("9"));
        if (escape)
            QTest::keyClick(&dialog, Qt::Key_Escape);
        else
            child<QPushButton>(&dialog, "cmdButtons0")->click();
        QVERIFY(!dialog.Ok());
        QVERIFY(!dialog.isVisible());
        QVERIFY(!QFile::exists(m_ini));
    }

    void helpAsksForTheTopic()
    {
        wAskSlave dialog(*m_port);
        QSignalSpy spy(&dialog, &wAskSlave::HelpRequested);
        dialog.show();
        child<QPushButton>(&dialog, "cmdButtons2")->click();
        QTest::keyClick(&dialog, Qt::Key_F1);
        QCOMPARE(spy.size(), 2);
        QCOMPARE(spy[0][0].toInt(), 20200);
        QCOMPARE(spy[1][0].toInt(), 20200);
        QVERIFY(dialog.isVisible());
    }

    void theReadFormEndsAboveTheWarning()
    {
        wAskSlave dialog(*m_port);
        dialog.show();
        dialog.SetWarningVisible(true);
        QVERIFY(child<QLabel>(&dialog, "lblWarning")->isVisible());
        const int full = dialog.height();
        dialog.SetWarningVisible(false);
        QVERIFY(!child<QLabel>(&dialog, "lblWarning")->isVisible());
        QVERIFY2(dialog.height() < full,
                 qPrintable(QStringLiteral("%1 %2").arg(dialog.height()).arg(full)));
        QVERIFY(child<QPushButton>(&dialog, "cmdButtons1")->geometry().bottom() < dialog.height());
    }
};

QTEST_MAIN(TestWAskSlave)
#include "tst_waskslave.moc"
