// The print settings dialog (what it shows, refuses and stores) and the
// preview window (its pages, its language, and its Print button, which asks
// for the printer only and prints a fresh copy, here to a PDF file).
#include "PdfText.h"
#include "PrintAnswers.h"
#include "RecordingUi.h"
#include "TestFiles.h"
#include "WidgetLookup.h"

#include "config/ConfigClass.h"
#include "print/wPreview.h"
#include "print/wPrintConfig.h"
#include "settings/IniStore.h"
#include "texts/DataFunctions.h"
#include "util/ErrorHandling.h"

#include <QAction>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPrintPreviewWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

namespace {
const char* const Boxes[5] = {"tbMarginLeft", "tbMarginRight", "tbMarginTop", "tbMarginBottom",
                              "tbMarginValue"};
const PrinterList TwoPrinters{{"Laser", "Office"}, "Office"};

ConfigClass Named(const QString& name)
{
    ConfigClass config;
    config.SetModuleName(name);
    config.SetGenParam(24, 248);
    return config;
}
} // namespace

// The printers, the one stored, the one selected on opening and the one a
// confirmation stores.
using Selected = std::tuple<PrinterList, QString, QString, QString>;
// The INI file before, the margins shown, margins hidden, the button
// clicked and the INI file after.
using Stored = std::tuple<QByteArray, QStringList, bool, QString, QByteArray>;

class TestPrintWindows : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_ini;
    RecordingUi m_ui;

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(OpenDataFile(ORVEL_BIN_DIR "/orvel.dat"));
        SetCurrentLanguage("English");
        m_ini = m_dir.filePath("orvel.ini");
        SetIniFileNameOverride(m_ini);
    }
    void init()
    {
        for (const QString& file : QDir(m_dir.path()).entryList(QDir::Files))
            QFile::remove(m_dir.filePath(file));
        m_ui.clear();
    }

    // The printer selected on opening, which a confirmation stores: the
    // stored one while it is installed, else the default printer, else the
    // PDF file.
    void printerSelected_data()
    {
        QTest::addColumn<Selected>("c");
        const auto row = [](const char* name, const PrinterList& printers, const char* stored,
                            const char* selected, const char* stores) {
            QTest::newRow(name) << Selected{printers, stored, selected, stores};
        };
        row("nothing stored", TwoPrinters, "", "Office", "Office");
        row("stored", TwoPrinters, "Laser", "Laser", "Laser");
        row("PDF stored", TwoPrinters, "<PDF>", "PDF file", "<PDF>");
        row("printer gone", TwoPrinters, "Gone", "Office", "Office");
        row("no printers", PrinterList{}, "Gone", "PDF file", "<PDF>");
        row("default gone", PrinterList{{"Laser"}, "Office"}, "", "PDF file", "<PDF>");
    }
    void printerSelected()
    {
        QFETCH(Selected, c);
        const auto& [printers, stored, selected, stores] = c;
        if (!stored.isEmpty())
            SetIniParam("Print", "PrinterName", stored);
        wPrintConfig dialog(printers);
        QCOMPARE(child<QListWidget>(&dialog, "lstPrinters")->currentItem()->text(), selected);
        dialog.Bouton_Click(1);
        QCOMPARE(GetIniParam("Print", "PrinterName"), stores);
    }

    // The margins shown from the INI file, or their defaults; OK (the default
    // button) stores the five margins (an emptied box as 0) and the printer;
    // with the margins hidden only the printer; Cancel nothing.
    void stored_data()
    {
        QTest::addColumn<Stored>("c");
        const QByteArray margins = "[Print]\nLeftMargin=5\nRightMargin=6\nTopMargin=7\n"
                                   "BottomMargin=8\nValueMargin=90\n";
        const QStringList five{"5", "6", "7", "8", "90"};
        QTest::newRow("OK") << Stored{"",
                                      {"20", "20", "15", "10", "120"},
                                      false,
                                      "Bouton1",
                                      "[Print]\nLeftMargin=11\nRightMargin=12\nTopMargin=0\n"
                                      "BottomMargin=14\nValueMargin=99\nPrinterName=Laser\n"};
        QTest::newRow("printer only")
            << Stored{margins, five, true, "Bouton1", margins + "PrinterName=Laser\n"};
        QTest::newRow("Cancel") << Stored{margins, five, false, "Bouton0", margins};
    }
    void stored()
    {
        QFETCH(Stored, c);
        const auto& [before, shown, masked, button, after] = c;
        if (!before.isEmpty())
            TestFiles::WriteBytes(m_ini, before);
        wPrintConfig dialog(TwoPrinters);
        QCOMPARE(dialog.windowTitle(), "Print Setup");
        QVERIFY(child<QPushButton>(&dialog, "Bouton1")->isDefault());
        QCOMPARE(child<QListWidget>(&dialog, "lstPrinters")->item(2)->text(), "PDF file");
        if (masked)
            dialog.MaskMargins();
        QCOMPARE(child<QGroupBox>(&dialog, "frmMargins")->isHidden(), masked);
        const QStringList typed{"11", "12", "", "14", "99"};
        for (int i = 0; i < 5; ++i) {
            auto* box = child<QLineEdit>(&dialog, Boxes[i]);
            QCOMPARE(box->text(), shown[i]);
            box->setText(typed[i]);
        }
        child<QListWidget>(&dialog, "lstPrinters")->setCurrentRow(0);
        QTest::mouseClick(child<QPushButton>(&dialog, qPrintable(button)), Qt::LeftButton);
        QCOMPARE(dialog.Ok(), button == "Bouton1");
        QCOMPARE(dialog.result(), int(dialog.Ok() ? QDialog::Accepted : QDialog::Rejected));
        QCOMPARE(TestFiles::ReadBytes(m_ini), after);
        QVERIFY(m_ui.messages.isEmpty());
    }

    // The preview keeps its own copy of the configuration, reads the settings
    // for every drawing, follows the language; a document it cannot build is
    // reported.
    void preview()
    {
        wPreview preview;
        {
            const ConfigClass config = Named("Hall B");
            QVERIFY(preview.DoPrint(config, true));
        }
        preview.show();
        QCOMPARE(child<QLabel>(&preview, "lblPage")->text(), "1 / 2");
        SetIniParam("Print", "TopMargin", "200");
        preview.Prv()->updatePreview();
        QCOMPARE(preview.PageCount(), 5);

        QSignalSpy drawn(preview.Prv(), &QPrintPreviewWidget::paintRequested);
        SetCurrentLanguage("Français");
        preview.Nationality();
        SetCurrentLanguage("English");
        QCOMPARE(preview.windowTitle(), "Aperçu avant impression");
        QCOMPARE(child<QAction>(&preview, "cmdPrint")->text(), "Imprimer...");
        QCOMPARE(drawn.size(), 1);
        QVERIFY(m_ui.messages.isEmpty());

        SetIniParam("Print", "FontSize", "0");
        QVERIFY(!preview.DoPrint(Named(QString()), false));
        QCOMPARE(m_ui.lastText(), ErrorReportText("PrintFunctions.DoPrint", 380));
    }

    // Print: the printer-only dialog, then for the PDF file the save dialog
    // (proposing the panel's name without what a file name cannot hold, in
    // the folder remembered); the file gets the .pdf ending.
    void print_data()
    {
        QTest::addColumn<bool>("printerConfirmed");
        QTest::addColumn<QString>("fileName");
        QTest::newRow("printed") << true << "report";
        QTest::newRow("printer dialog cancelled") << false << "";
        QTest::newRow("file name cancelled") << true << "";
    }
    void print()
    {
        QFETCH(bool, printerConfirmed);
        QFETCH(QString, fileName);
        wPreview preview;
        QVERIFY(preview.DoPrint(Named("Hall B/2: \"east\""), false));
        SetIniParam("General", "PdfFiles", m_dir.path());
        if (printerConfirmed)
            m_ui.onNextDialog(&ChoosePdfFile);
        if (!fileName.isEmpty())
            m_ui.answerNextFileDialog({m_dir.filePath(fileName)});
        child<QAction>(&preview, "cmdPrint")->trigger();

        QCOMPARE(m_ui.dialogsShown, QStringList{"wPrintConfig"});
        QCOMPARE(m_ui.fileRequests.size(), printerConfirmed ? 1 : 0);
        QCOMPARE(QDir(m_dir.path()).entryList({"*.pdf"}),
                 fileName.isEmpty() ? QStringList() : QStringList{"report.pdf"});
        QVERIFY(m_ui.messages.isEmpty());
        if (fileName.isEmpty())
            return;
        const FileDialogRequest& request = m_ui.fileRequests[0];
        QVERIFY(request.save);
        QCOMPARE(request.filter, "PDF documents (*.pdf)|*.pdf|All files (*.*)|*.*");
        QCOMPARE(request.proposedName, "Hall B_2_ _east_.pdf");
        QCOMPARE(request.initialFolder, m_dir.path());
        const QStringList pages =
            PdfText::Pages(TestFiles::ReadBytes(m_dir.filePath("report.pdf")));
        QCOMPARE(pages.size(), 2);
        QVERIFY(pages[0].contains("Hall B/2: \"east\""));
        QVERIFY(pages[1].contains(QRegularExpression("Baud rate +2400\\n")));
    }
};

QTEST_MAIN(TestPrintWindows)
#include "tst_printwindows.moc"
