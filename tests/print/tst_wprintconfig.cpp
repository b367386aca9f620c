// The print settings dialog: what it shows, what it refuses, what it stores.
#include "RecordingUi.h"
#include "TestFiles.h"
#include "WidgetLookup.h"

#include "print/wPrintConfig.h"
#include "settings/IniStore.h"
#include "texts/DataFunctions.h"

#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

namespace {
const char* const Boxes[5] = {"tbMarginLeft", "tbMarginRight", "tbMarginTop", "tbMarginBottom",
                              "tbMarginValue"};
const PrinterList TwoPrinters{{"Laser", "Office"}, "Office"};
} // namespace

Q_DECLARE_METATYPE(PrinterList)

class TestWPrintConfig : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_ini;
    RecordingUi m_ui;

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(OpenDataFile(QStringLiteral(ORVEL_BIN_DIR "/orvel.dat")));
        SetCurrentLanguage(QStringLiteral("English"));
        m_ini = m_dir.filePath(QStringLiteral("orvel.ini"));
        SetIniFileNameOverride(m_ini);
    }

    void init() { QFile::remove(m_ini); }
    void cleanup() { QVERIFY(m_ui.messages.isEmpty()); }

    // The texts, and the margins from the INI file or their defaults.
    void shown_data()
    {
        QTest::addColumn<QByteArray>("ini");
        QTest::addColumn<QStringList>("margins");
        QTest::newRow("defaults") << QByteArray() << QStringList{"20", "20", "15", "10", "120"};
        QTest::newRow("stored") << QByteArray("[Print]\nLeftMargin=5\nRightMargin=6\n"
                                              "TopMargin=7\nBottomMargin=8\nValueMargin=90\n")
                                << QStringList{"5", "6", "7", "8", "90"};
    }

    void shown()
    {
        QFETCH(QByteArray, ini);
        QFETCH(QStringList, margins);
        if (!ini.isEmpty())
            TestFiles::WriteBytes(m_ini, ini);
        wPrintConfig dialog(TwoPrinters);
        QStringList shown;
        for (const char* name : Boxes)
            shown << child<QLineEdit>(&dialog, name)->text();
        QCOMPARE(shown, margins);
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Print Setup"));
        QCOMPARE(child<QGroupBox>(&dialog, "frmMargins")->title(), QStringLiteral("Margins (mm)"));
        QCOMPARE(child<QGroupBox>(&dialog, "frmPrinter")->title(), QStringLiteral("Printer"));
        QCOMPARE(child<QLabel>(&dialog, "lblMarginValue")->text(), QStringLiteral("Value column"));
        QCOMPARE(child<QPushButton>(&dialog, "Bouton1")->text(), QStringLiteral("OK"));
        QVERIFY(child<QPushButton>(&dialog, "Bouton1")->isDefault());
        auto* list = child<QListWidget>(&dialog, "lstPrinters");
        QCOMPARE(list->count(), 3);
        QCOMPARE(list->item(2)->text(), QStringLiteral("PDF file"));
    }

    // Only digits reach a margin box, three at the most.
    void onlyDigits_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("kept");
        QTest::newRow("letters") << "a1b2"
                                 << "12";
        QTest::newRow("point, sign, blank") << "1.-5 "
                                            << "15";
        QTest::newRow("four digits") << "1234"
                                     << "123";
    }

    void onlyDigits()
    {
        QFETCH(QString, typed);
        QFETCH(QString, kept);
        wPrintConfig dialog(TwoPrinters);
        auto* box = child<QLineEdit>(&dialog, "tbMarginTop");
        box->clear();
        QTest::keyClicks(box, typed);
        QCOMPARE(box->text(), kept);
        QTest::keyClick(box, Qt::Key_Backspace);
        QCOMPARE(box->text(), kept.chopped(1));
    }

    // A click places the cursor; the box still selects its whole text.
    void focusSelectsTheWholeText()
    {
        wPrintConfig dialog(TwoPrinters);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        auto* box = child<QLineEdit>(&dialog, "tbMarginValue");
        QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(4, box->height() / 2));
        QTRY_COMPARE(box->selectedText(), QStringLiteral("120"));
    }

    // The printer selected on opening, which a confirmation stores: the
    // stored one while it is installed, else the default printer, else the
    // PDF file.
    void printerSelected_data()
    {
        QTest::addColumn<PrinterList>("printers");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("selected");
        QTest::addColumn<QString>("stores");
        QTest::newRow("nothing stored") << TwoPrinters << ""
                                        << "Office"
                                        << "Office";
        QTest::newRow("stored") << TwoPrinters << "Laser"
                                << "Laser"
                                << "Laser";
        QTest::newRow("PDF stored") << TwoPrinters << "<PDF>"
                                    << "PDF file"
                                    << "<PDF>";
        QTest::newRow("printer gone") << TwoPrinters << "Gone"
                                      << "Office"
                                      << "Office";
        QTest::newRow("no printers") << PrinterList{} << "Gone"
                                     << "PDF file"
                                     << "<PDF>";
        QTest::newRow("default gone") << PrinterList{{"Laser"}, "Office"} << ""
                                      << "PDF file"
                                      << "<PDF>";
    }

    void printerSelected()
    {
        QFETCH(PrinterList, printers);
        QFETCH(QString, stored);
        QFETCH(QString, selected);
        QFETCH(QString, stores);
        if (!stored.isEmpty())
            SetIniParam("Print", "PrinterName", stored);
        wPrintConfig dialog(printers);
        QCOMPARE(child<QListWidget>(&dialog, "lstPrinters")->currentItem()->text(), selected);
        dialog.Bouton_Click(1);
        QCOMPARE(GetIniParam("Print", "PrinterName"), stores);
    }

    // OK stores the five margins (an emptied box as 0) and the printer; with
    // the margins hidden only the printer; Cancel nothing.
    void stored_data()
    {
        QTest::addColumn<bool>("masked");
        QTest::addColumn<QString>("button");
        QTest::addColumn<QByteArray>("ini");
        QTest::newRow("OK") << false << "Bouton1"
                            << QByteArray("[Print]\nLeftMargin=11\nRightMargin=12\nTopMargin=0\n"
                                          "BottomMargin=14\nValueMargin=99\nPrinterName=Laser\n");
        QTest::newRow("printer only")
            << true << "Bouton1" << QByteArray("[Print]\nPrinterName=Laser\n");
        QTest::newRow("Cancel") << false << "Bouton0" << QByteArray();
    }

    void stored()
    {
        QFETCH(bool, masked);
        QFETCH(QString, button);
        QFETCH(QByteArray, ini);
        wPrintConfig dialog(TwoPrinters);
        const int fullHeight = dialog.sizeHint().height();
        if (masked)
            dialog.MaskMargins();
        QCOMPARE(child<QGroupBox>(&dialog, "frmMargins")->isHidden(), masked);
        QCOMPARE(dialog.sizeHint().height() < fullHeight - 100, masked);
        const QStringList typed{"11", "12", "", "14", "99"};
        for (int i = 0; i < 5; ++i)
            child<QLineEdit>(&dialog, Boxes[i])->setText(typed[i]);
        child<QListWidget>(&dialog, "lstPrinters")->setCurrentRow(0);
        QTest::mouseClick(child<QPushButton>(&dialog, qPrintable(button)), Qt::LeftButton);
        QCOMPARE(dialog.Ok(), !ini.isEmpty());
        QCOMPARE(dialog.result(), int(ini.isEmpty() ? QDialog::Rejected : QDialog::Accepted));
        QCOMPARE(TestFiles::ReadBytes(m_ini), ini);
    }
};

QTEST_MAIN(TestWPrintConfig)
#include "tst_wprintconfig.moc"
