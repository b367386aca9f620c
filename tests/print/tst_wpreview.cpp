// The preview window: its pages and navigation, its language, and its Print
// button, which asks for the printer only and prints a fresh copy (here to a
// PDF file, whose name the save dialog gives).
#include "PdfText.h"
#include "PrintAnswers.h"
#include "RecordingUi.h"
#include "TestFiles.h"
#include "WidgetLookup.h"

#include "config/ConfigClass.h"
#include "print/wPreview.h"
#include "settings/IniStore.h"
#include "texts/DataFunctions.h"
#include "util/ErrorHandling.h"

#include <QAction>
#include <QDir>
#include <QLabel>
#include <QPrintPreviewWidget>
#include <QRegularExpression>
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
        for (const QString& file : QDir(m_dir.path()).entryList(QDir::Files))
            QFile::remove(m_dir.filePath(file));
        m_ui.clear();
    }

    // The window keeps its own copy of the configuration and reads the
    // settings for every drawing; a document it cannot build is reported.
    void pagesAndNavigation()
    {
        wPreview preview;
        {
            const ConfigClass config = Named(QStringLiteral("Hall B"));
            QVERIFY(preview.DoPrint(config, true));
        }
        preview.show();
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

        SetIniParam("Print", "TopMargin", "200");
        preview.Prv()->updatePreview();
        QCOMPARE(preview.PageCount(), 5);
        QVERIFY(m_ui.messages.isEmpty());

        SetIniParam("Print", "FontSize", "0");
        QVERIFY(!preview.DoPrint(Named(QString()), false));
        QCOMPARE(m_ui.lastText(), ErrorReportText("PrintFunctions.DoPrint", 380));
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
        QVERIFY(preview.DoPrint(Named(QStringLiteral("Hall B/2: \"east\"")), false));
        SetIniParam("General", "PdfFiles", m_dir.path());
        if (printerConfirmed)
            m_ui.onNextDialog(&ChoosePdfFile);
        if (!fileName.isEmpty())
            m_ui.answerNextFileDialog({m_dir.filePath(fileName)});
        child<QAction>(&preview, "cmdPrint")->trigger();

        QCOMPARE(m_ui.dialogsShown, QStringList{"wPrintConfig"});
        QCOMPARE(m_ui.fileRequests.size(), printerConfirmed ? 1 : 0);
        const QStringList pdfs = QDir(m_dir.path()).entryList({"*.pdf"});
        QCOMPARE(pdfs, fileName.isEmpty() ? QStringList() : QStringList{"report.pdf"});
        QVERIFY(m_ui.messages.isEmpty());
        if (fileName.isEmpty())
            return;
        const FileDialogRequest& request = m_ui.fileRequests[0];
        QVERIFY(request.save);
        QCOMPARE(request.filter, QStringLiteral("PDF documents (*.pdf)|*.pdf|All files (*.*)|*.*"));
        QCOMPARE(request.proposedName, QStringLiteral("Hall B_2_ _east_.pdf"));
        QCOMPARE(request.initialFolder, m_dir.path());
        const QStringList pages =
            PdfText::Pages(TestFiles::ReadBytes(m_dir.filePath(QStringLiteral("report.pdf"))));
        QCOMPARE(pages.size(), 2);
        QVERIFY(pages[0].contains(QStringLiteral("Hall B/2: \"east\"")));
        QVERIFY(pages[1].contains(QRegularExpression(QStringLiteral("Baud rate +2400\\n"))));
    }
};

QTEST_MAIN(TestWPreview)
#include "tst_wpreview.moc"
