// The print settings dialog: what it shows, what it refuses, what it stores.
#include "RecordingUi.h"
#include "TestFiles.h"
#include "WidgetLookup.h"

#include "print/wPrintConfig.h"
#include "settings/IniStore.h"
#include "texts/DataFunctions.h"

#include <QApplication>
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

QStringList BoxTexts(wPrintConfig& dialog)
{
    QStringList texts;
    for (const char* name : Boxes)
        texts << child<QLineEdit>(&dialog, name)->text();
    return texts;
}

QString Selected(wPrintConfig& dialog)
{
    QListWidgetItem* item = child<QListWidget>(&dialog, "lstPrinters")->currentItem();
    return item ? item->text() : QString();
}
} // namespace

Q_DECLARE_METATYPE(PrinterList)

class TestWPrintConfig : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_ini;
    RecordingUi m_ui;

    QByteArray iniBytes() const { return TestFiles::ReadBytes(m_ini); }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(OpenDataFile(QStringLiteral(ORVEL_BIN_DIR "/orvel.dat")));
        SetCurrentLanguage(QStringLiteral("English"));
        m_ini = m_dir.filePath(QStringLiteral("orvel.ini"));
        SetIniFileNameOverride(m_ini);
    }

    void init()
    {
        QFile::remove(m_ini);
        m_ui.clear();
    }

    void cleanup() { QVERIFY(m_ui.messages.isEmpty()); }

    void texts()
    {
        wPrintConfig dialog(TwoPrinters);
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Print Setup"));
        QCOMPARE(child<QGroupBox>(&dialog, "frmMargins")->title(), QStringLiteral("Margins (mm)"));
        QCOMPARE(child<QGroupBox>(&dialog, "frmPrinter")->title(), QStringLiteral("Printer"));
        const QStringList labels{"Left", "Right", "Top", "Bottom", "Value column"};
        const char* names[5] = {"lblMarginLeft", "lblMarginRight", "lblMarginTop",
                                "lblMarginBottom", "lblMarginValue"};
        for (int i = 0; i < 5; ++i)
            QCOMPARE(child<QLabel>(&dialog, names[i])->text(), labels[i]);
        QCOMPARE(child<QPushButton>(&dialog, "Bouton0")->text(), QStringLiteral("Cancel"));
        QCOMPARE(child<QPushButton>(&dialog, "Bouton1")->text(), QStringLiteral("OK"));
        QVERIFY(child<QPushButton>(&dialog, "Bouton1")->isDefault());
        auto* list = child<QListWidget>(&dialog, "lstPrinters");
        QCOMPARE(list->count(), 3);
        QCOMPARE(list->item(0)->text(), QStringLiteral("Laser"));
        QCOMPARE(list->item(1)->text(), QStringLiteral("Office"));
        QCOMPARE(list->item(2)->text(), QStringLiteral("PDF file"));
    }

    void margins_data()
    {
        QTest::addColumn<QByteArray>("ini");
        QTest::addColumn<QStringList>("shown");
        QTest::newRow("defaults") << QByteArray() << QStringList{"20", "20", "15", "10", "120"};
        QTest::newRow("stored") << QByteArray("[Print]\nLeftMargin=5\nRightMargin=6\n"
                                              "TopMargin=7\nBottomMargin=8\nValueMargin=90\n")
                                << QStringList{"5", "6", "7", "8", "90"};
    }

    void margins()
    {
        QFETCH(QByteArray, ini);
        QFETCH(QStringList, shown);
        if (!ini.isEmpty())
            TestFiles::WriteBytes(m_ini, ini);
        wPrintConfig dialog(TwoPrinters);
        QCOMPARE(BoxTexts(dialog), shown);
    }

    // Only digits reach a margin box; the box holds three of them at most.
    void onlyDigits_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("kept");
        QTest::newRow("letters") << "a1b2"
                                 << "12";
        QTest::newRow("decimal point") << "1.5"
                                       << "15";
        QTest::newRow("sign and blank") << "-2 5"
                                        << "25";
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

    void focusSelectsTheWholeText()
    {
        wPrintConfig dialog(TwoPrinters);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        auto* box = child<QLineEdit>(&dialog, "tbMarginValue");
        // A click places the cursor; the box still selects its whole text.
        QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(4, box->height() / 2));
        QVERIFY(box->hasFocus());
        QTRY_COMPARE(box->selectedText(), QStringLiteral("120"));
    }

    // The printer selected on opening: the stored one while it is
    // installed, else the default printer, else the PDF file.
    void printerSelected_data()
    {
        QTest::addColumn<PrinterList>("printers");
        QTest::addColumn<QByteArray>("ini");
        QTest::addColumn<QString>("selected");
        QTest::addColumn<QString>("stored");
        const PrinterList none{{}, {}};
        QTest::newRow("nothing stored") << TwoPrinters << QByteArray() << "Office"
                                        << "Office";
        QTest::newRow("stored") << TwoPrinters << QByteArray("[Print]\nPrinterName=Laser\n")
                                << "Laser"
                                << "Laser";
        QTest::newRow("PDF stored")
            << TwoPrinters << QByteArray("[Print]\nPrinterName=<PDF>\n") << "PDF file"
            << "<PDF>";
        QTest::newRow("printer gone")
            << TwoPrinters << QByteArray("[Print]\nPrinterName=Gone\n") << "Office"
            << "Office";
        QTest::newRow("no printers")
            << none << QByteArray("[Print]\nPrinterName=Gone\n") << "PDF file"
            << "<PDF>";
        QTest::newRow("default gone")
            << PrinterList{{"Laser"}, "Office"} << QByteArray() << "PDF file"
            << "<PDF>";
    }

    void printerSelected()
    {
        QFETCH(PrinterList, printers);
        QFETCH(QByteArray, ini);
        QFETCH(QString, selected);
        QFETCH(QString, stored);
        if (!ini.isEmpty())
            TestFiles::WriteBytes(m_ini, ini);
        wPrintConfig dialog(printers);
        dialog.MaskMargins();
        QCOMPARE(Selected(dialog), selected);
        QTest::mouseClick(child<QPushButton>(&dialog, "Bouton1"), Qt::LeftButton);
        QVERIFY(dialog.Ok());
        QCOMPARE(GetIniParam("Print", "PrinterName"), stored);
    }

    void confirmStoresEverything()
    {
        wPrintConfig dialog(TwoPrinters);
        const QStringList typed{"11", "12", "", "14", "99"};
        for (int i = 0; i < 5; ++i) {
            auto* box = child<QLineEdit>(&dialog, Boxes[i]);
            box->clear();
            QTest::keyClicks(box, typed[i]);
        }
        child<QListWidget>(&dialog, "lstPrinters")->setCurrentRow(0);
        QTest::mouseClick(child<QPushButton>(&dialog, "Bouton1"), Qt::LeftButton);
        QVERIFY(dialog.Ok());
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        // An emptied box stands for 0 mm.
        QCOMPARE(iniBytes(), QByteArray("[Print]\nLeftMargin=11\nRightMargin=12\nTopMargin=0\n"
                                        "BottomMargin=14\nValueMargin=99\nPrinterName=Laser\n"));
    }

    // With the margins hidden (the print command), only the printer is stored.
    void printerOnlyConfirm()
    {
        TestFiles::WriteBytes(m_ini, "[Print]\nLeftMargin=30\n");
        wPrintConfig full(TwoPrinters);
        full.show();
        const int fullHeight = full.sizeHint().height();
        wPrintConfig dialog(TwoPrinters);
        dialog.MaskMargins();
        dialog.show();
        QVERIFY(child<QGroupBox>(&dialog, "frmMargins")->isHidden());
        QVERIFY(dialog.sizeHint().height() < fullHeight - 100);
        child<QLineEdit>(&dialog, "tbMarginLeft")->setText(QStringLiteral("5"));
        child<QListWidget>(&dialog, "lstPrinters")->setCurrentRow(2);
        dialog.Bouton_Click(1);
        QVERIFY(dialog.Ok());
        QCOMPARE(iniBytes(), QByteArray("[Print]\nLeftMargin=30\nPrinterName=<PDF>\n"));
    }

    void cancelStoresNothing()
    {
        wPrintConfig dialog(TwoPrinters);
        child<QLineEdit>(&dialog, "tbMarginLeft")->setText(QStringLiteral("5"));
        child<QListWidget>(&dialog, "lstPrinters")->setCurrentRow(0);
        QTest::mouseClick(child<QPushButton>(&dialog, "Bouton0"), Qt::LeftButton);
        QVERIFY(!dialog.Ok());
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        QVERIFY(!QFile::exists(m_ini));
    }
};

QTEST_MAIN(TestWPrintConfig)
#include "tst_wprintconfig.moc"
