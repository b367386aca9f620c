// The preview window: its pages, its navigation, and its Print button, which
// asks for the printer only and prints a fresh copy (here to a PDF file).
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
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPrintPreviewWidget>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

namespace {
ConfigClass Named(const QString& name)
{
    ConfigClass config;
    config.SetModuleName(name);
    config.SetGenParam(24, 248);
    return config;
}

} // namespace

class TestWPreview : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    RecordingUi m_ui;

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(OpenDataFile(QStringLiteral(ORVEL_BIN_DIR "/orvel.dat")));
        SetCurrentLanguage(QStringLiteral("English"));
        SetIniFileNameOverride(m_dir.filePath(QStringLiteral("orvel.ini")));
    }

    void init()
    {
        QFile::remove(m_dir.filePath(QStringLiteral("orvel.ini")));
        for (const QString& pdf : QDir(m_dir.path()).entryList({"*.pdf"}))
            QFile::remove(m_dir.filePath(pdf));
        m_ui.clear();
    }

    // The preview keeps its own copy of the configuration: it draws its
    // pages again after the record it was given is gone.
    void pagesAndNavigation()
    {
        wPreview preview;
        {
            const ConfigClass config = Named(QStringLiteral("Hall B"));
            QVERIFY(preview.DoPrint(config, true));
        }
        preview.show();
        QCOMPARE(preview.windowTitle(), QStringLiteral("Print preview"));
        QCOMPARE(preview.PageCount(), 2);
        auto* page = child<QLabel>(&preview, "lblPage");
        QCOMPARE(page->text(), QStringLiteral("1 / 2"));
        child<QAction>(&preview, "cmdNextPage")->trigger();
        QCOMPARE(preview.CurrentPage(), 2);
        QCOMPARE(page->text(), QStringLiteral("2 / 2"));
        child<QAction>(&preview, "cmdFirstPage")->trigger();
        QCOMPARE(preview.CurrentPage(), 1);
        const qreal zoom = preview.Prv()->zoomFactor();
        child<QAction>(&preview, "cmdZoomIn")->trigger();
        QVERIFY(preview.Prv()->zoomFactor() > zoom);

        // Settings are read for every document.
        SetIniParam("Print", "TopMargin", "200");
        preview.Prv()->updatePreview();
        QCOMPARE(preview.PageCount(), 5);
        QVERIFY(m_ui.messages.isEmpty());
    }

    // A language change relabels the window and draws the pages again.
    void followsTheLanguage()
    {
        wPreview preview;
        QVERIFY(preview.DoPrint(Named(QString()), false));
        QSignalSpy drawn(preview.Prv(), &QPrintPreviewWidget::paintRequested);
        SetCurrentLanguage(QStringLiteral("Français"));
        preview.Nationality();
        SetCurrentLanguage(QStringLiteral("English"));
        QCOMPARE(preview.windowTitle(), QStringLiteral("Aperçu avant impression"));
        QCOMPARE(child<QAction>(&preview, "cmdPrint")->text(), QStringLiteral("Imprimer..."));
        QCOMPARE(drawn.size(), 1);
    }

    void cancelledDocument()
    {
        SetIniParam("Print", "FontSize", "0");
        wPreview preview;
        QVERIFY(!preview.DoPrint(Named(QString()), false));
        QCOMPARE(m_ui.messages.size(), 1);
        QCOMPARE(m_ui.messages[0].text, ErrorReportText("PrintFunctions.DoPrint", 380));
    }

    // Print: the printer-only dialog, then for the PDF file the save dialog;
    // the file gets the .pdf ending, its folder is remembered.
    void printToPdfFile()
    {
        wPreview preview;
        QVERIFY(preview.DoPrint(Named(QStringLiteral("Hall B/2: \"east\"")), false));
        SetIniParam("General", "PdfFiles", m_dir.path());
        m_ui.onNextDialog(&ChoosePdfFile);
        m_ui.answerNextFileDialog({m_dir.filePath(QStringLiteral("report"))});
        child<QAction>(&preview, "cmdPrint")->trigger();

        QCOMPARE(m_ui.dialogsShown, QStringList{"wPrintConfig"});
        QCOMPARE(m_ui.fileRequests.size(), 1);
        const FileDialogRequest& request = m_ui.fileRequests[0];
        QVERIFY(request.save);
        QCOMPARE(request.filter, QStringLiteral("PDF documents (*.pdf)|*.pdf|All files (*.*)|*.*"));
        QCOMPARE(request.proposedName, QStringLiteral("Hall B_2_ _east_.pdf"));
        QCOMPARE(request.initialFolder, m_dir.path());
        QCOMPARE(GetIniParam("Print", "PrinterName"), QStringLiteral("<PDF>"));

        const QByteArray pdf = TestFiles::ReadBytes(m_dir.filePath(QStringLiteral("report.pdf")));
        const QStringList pages = PdfText::Pages(pdf);
        QCOMPARE(pages.size(), 2);
        QVERIFY(pages[0].contains(QStringLiteral("Hall B/2: \"east\"")));
        QVERIFY(pages[1].contains(QRegularExpression(QStringLiteral("Baud rate +2400\\n"))));
        QVERIFY(m_ui.messages.isEmpty());
    }

    void printCancelled_data()
    {
        QTest::addColumn<bool>("printerConfirmed");
        QTest::newRow("printer dialog cancelled") << false;
        QTest::newRow("file name cancelled") << true;
    }

    void printCancelled()
    {
        QFETCH(bool, printerConfirmed);
        wPreview preview;
        QVERIFY(preview.DoPrint(Named(QString()), false));
        if (printerConfirmed)
            m_ui.onNextDialog(&ChoosePdfFile);
        child<QAction>(&preview, "cmdPrint")->trigger();
        QCOMPARE(m_ui.fileRequests.size(), printerConfirmed ? 1 : 0);
        QCOMPARE(m_ui.fileRequests.value(0).proposedName,
                 printerConfirmed ? QStringLiteral("Orvel.pdf") : QString());
        QCOMPARE(QDir(m_dir.path()).entryList({"*.pdf"}), QStringList());
        QVERIFY(m_ui.messages.isEmpty());
    }

    void closeButton()
    {
        auto* preview = new wPreview;
        QPointer<wPreview> watch(preview);
        preview->show();
        child<QAction>(preview, "cmdClose")->trigger();
        QTRY_VERIFY(watch.isNull());
    }
};

QTEST_MAIN(TestWPreview)
#include "tst_wpreview.moc"
