// The printed report, read back from its PDF as a reader sees it; the print
// settings dialog and the preview window, whose Print button prints to a PDF.
#include "PdfText.h"
#include "PrintAnswers.h"
#include "RecordingUi.h"
#include "TestFiles.h"
#include "WidgetLookup.h"

#include "config/ConfigClass.h"
#include "print/PrintFunctions.h"
#include "print/wPreview.h"
#include "print/wPrintConfig.h"
#include "settings/IniStore.h"
#include "texts/DataFunctions.h"
#include "util/ErrorHandling.h"

#include <QAction>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPrintPreviewWidget>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

namespace {
const QDateTime PrintedAt(QDate(2024, 3, 5), QTime(14, 7, 9));
const QStringList YesNo{"No", "Yes"};
const char* const Boxes[5] = {"tbMarginLeft", "tbMarginRight", "tbMarginTop", "tbMarginBottom",
                              "tbMarginValue"};
const PrinterList TwoPrinters{{"Laser", "Office"}, "Office"};

QString Two(int n)
{
    return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0'));
}

// Every input and output channel with values of its own.
ConfigClass Distinct(const QString& name = "Hall B")
{
    ConfigClass c;
    for (int ch = 1; ch <= 12; ++ch) {
        c.SetInSecu(ch, ch % 2);
        c.SetInTempo(ch, ch * 200 + 1); // ch seconds and 5 ms
        c.SetInSequence(ch, (ch / 2) % 2);
        c.SetInDetect(ch, ch % 3);
        c.SetInRelance(ch, ch % 2);
        c.SetInBlocage(ch, (ch + 1) % 2);
        for (int k = 1; k <= 4; ++k)
            c.SetInRedir(ch, k, (ch + k) % 13);
        c.SetInSynth(ch, (ch / 3) % 2);
        c.SetInTypeKL(ch, ch % 5);
        c.SetInDisturb(ch, (ch / 4) % 2);
        c.SetInRepBlock(ch, (ch / 2 + 1) % 2);
        c.SetOutSecu(ch, ch % 2);
        c.SetOutMode(ch, (ch / 2) % 2);
        c.SetOutPilot(ch, ch % 6);
    }
    c.SetGenParam(24, 254);
    c.SetGenParam(30, 2);
    c.SetGenParam(31, 30);
    c.SetModuleName(name);
    return c;
}

// The cells of a channel's input and output rows.
QString InputRow(int ch)
{
    QStringList cells{Two(ch),
                      QStringList{"Normal", "Fail-safe"}[ch % 2],
                      ch == 1   ? "-25ms"
                      : ch == 2 ? "921600000ms"
                                : QStringLiteral("00h00m%1s005ms").arg(Two(ch)),
                      QStringList{"Alarm", "Status"}[(ch / 2) % 2],
                      QStringList{"Level", "Memorised", "First-out"}[ch % 3],
                      YesNo[ch % 2],
                      YesNo[(ch + 1) % 2]};
    for (int k = 1; k <= 4; ++k)
        cells << QString::number((ch + k) % 13);
    cells << YesNo[(ch / 3) % 2]
          << QStringList{"Type 1", "Type 2", "Type 3", "Type 4", "None"}[ch % 5]
          << YesNo[(ch / 4) % 2] << YesNo[(ch / 2 + 1) % 2];
    return cells.join(' ');
}

QString OutputRow(int ch)
{
    return QStringList{Two(ch), QStringList{"Normal", "Fail-safe"}[ch % 2],
                       QStringList{"Individual", "Common alarm"}[(ch / 2) % 2],
                       QStringList{"Unacknowledged alarm", "Input state", "Alarm", "Horn",
                                   "Pulse on new alarm", "Alarm or disturbance"}[ch % 6]}
        .join(' ');
}

// The non-empty lines of a page, blanks simplified.
QStringList Lines(const QString& page)
{
    QStringList lines;
    for (const QString& line : page.split('\n'))
        if (!line.simplified().isEmpty())
            lines << line.simplified();
    return lines;
}

// The value after a label in the general or factory list; "" without such a line.
QString ValueOf(const QStringList& pages, const QString& label)
{
    for (const QString& line : Lines(pages.join('\n')))
        if (line.startsWith(label + ' '))
            return line.mid(label.size() + 1);
    return {};
}

int PageOf(const QStringList& pages, const QString& text)
{
    for (int i = 0; i < pages.size(); ++i)
        if (pages[i].contains(text))
            return i + 1;
    return 0;
}

QByteArray Render(const ConfigClass& config, bool factory = false)
{
    ReportOptions options;
    options.factory = factory;
    options.printedAt = PrintedAt;
    return ReportPdf(config, options).value_or(QByteArray());
}
// A general parameter, its value, the line's label and the value printed.
using Value = std::tuple<int, int, QString, QString>;
// Factory access, top margin, supply type, the factory section's page (0: none), type printed.
using Factory = std::tuple<bool, QString, int, int, QString>;
// A print setting, its value and the error number reported.
using Refused = std::tuple<QString, QString, int>;
// The printers, the one stored, the one selected on opening and the one stored.
using Selected = std::tuple<PrinterList, QString, QString, QString>;
// The INI file before, the margins shown, margins hidden, the button, the INI file after.
using Stored = std::tuple<QByteArray, QStringList, bool, QString, QByteArray>;
} // namespace

class TestReport : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    const QString m_ini = m_dir.filePath("orvel.ini");
    RecordingUi m_ui;

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(OpenDataFile(ORVEL_BIN_DIR "/orvel.dat"));
        SetCurrentLanguage("English");
        SetIniFileNameOverride(m_ini);
    }
    void init()
    {
        for (const QString& file : QDir(m_dir.path()).entryList(QDir::Files))
            QFile::remove(m_dir.filePath(file));
        m_ui.clear();
    }

    // The title block, the continuation header with the panel's name, the footers.
    void headersAndFooters_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("named") << "Hall B";
        QTest::newRow("unnamed") << "";
    }
    void headersAndFooters()
    {
        QFETCH(QString, name);
        const QString continuation = name.isEmpty() ? "Orvel" : "Orvel - " + name;
        const QStringList pages = PdfText::Pages(Render(Distinct(name)));
        QCOMPARE(pages.size(), 2);
        const QString maker = "Free software for Orvel alarm annunciator panels";
        QCOMPARE(Lines(pages[0]).mid(0, name.isEmpty() ? 4 : 5),
                 QStringList({"Orvel", "Panel configuration", name, "Orvel setting console", maker})
                     .filter(QRegularExpression(".")));
        QCOMPARE(Lines(pages[1]).mid(0, 2),
                 (QStringList{"Orvel setting console", maker + ' ' + continuation}));
        const QString date = QLocale::system().toString(PrintedAt, QLocale::ShortFormat);
        for (int page = 1; page <= 2; ++page)
            QCOMPARE(Lines(pages[page - 1]).last(),
                     date.simplified() + QStringLiteral(" Page %1").arg(page));
    }

    // Inputs then outputs under their headings; a delay out of the time text in ms.
    void tables()
    {
        ConfigClass config = Distinct();
        config.SetInTempo(1, -5);
        config.SetInTempo(2, 184320000); // 256 h
        config.SetGenTempoRelance(-1);
        const QStringList pages = PdfText::Pages(Render(config));
        QCOMPARE(ValueOf(pages, "Re-trigger delay"), "-5ms");
        const QStringList lines = Lines(pages[0]);
        QStringList inputs, outputs;
        for (const QString& line : lines) {
            if (line.startsWith("No. "))
                (inputs.isEmpty() ? inputs : outputs) << line;
            else if (QRegularExpression("^\\d\\d ").match(line).hasMatch())
                (outputs.isEmpty() ? inputs : outputs) << line;
        }
        QStringList expectedInputs{"No. Fail-safe Delay Sequence Detection Retrig. Block. R1 R2 "
                                   "R3 R4 Group Horn Disturb. Rep. bl."};
        QStringList expectedOutputs{"No. Fail-safe Mode Driving"};
        for (int ch = 1; ch <= 12; ++ch) {
            expectedInputs << InputRow(ch);
            expectedOutputs << OutputRow(ch);
        }
        QCOMPARE(inputs, expectedInputs);
        QCOMPARE(outputs, expectedOutputs);
    }

    // Values with rules of their own or outside their list; the auto-stop delay only when on.
    void generalValues_data()
    {
        QTest::addColumn<Value>("c");
        const auto row = [](const char* name, int index, int value, const char* label,
                            const char* expected) {
            QTest::newRow(name) << Value{index, value, label, expected};
        };
        row("speed 241", 24, 241, "Baud rate", "0");
        row("speed 255", 24, 255, "Baud rate", "19200");
        row("supply 7", 21, 7, "Supply voltage", "220Vac");
        row("supply 8", 21, 8, "Supply voltage", "8");
        row("brightness 4", 20, 4, "Display brightness", "100%");
        row("priority", 9, 3, "Priority of horn type 3", "4");
        row("pulse 3", 32, 3, "Pulse output duration", "10s");
        row("protocol 2", 27, 2, "Protocol", "2");
        row("language", 28, 2, "Panel language", "Español");
        row("auto-stop off", 29, 0, "Horn auto-stop delay", "");
        row("auto-stop on", 29, 1, "Horn auto-stop delay", "2h 30mn");
    }
    void generalValues()
    {
        QFETCH(Value, c);
        const auto& [index, value, label, expected] = c;
        ConfigClass config = Distinct();
        config.SetGenParam(index, std::uint8_t(value));
        config.SetGenTempoRelance(744001); // 1 h 2 min 0.005 s
        const QStringList pages = PdfText::Pages(Render(config));
        QCOMPARE(ValueOf(pages, label), expected);
        QCOMPARE(ValueOf(pages, "Re-trigger delay"), "01h02m");
        QCOMPARE(PageOf(pages, "(minutes)"), 0);
    }

    // The factory section with factory access, on the general list's page while ten lines fit.
    void factorySection_data()
    {
        QTest::addColumn<Factory>("c");
        QTest::newRow("closed") << Factory{false, "100", 1, 0, ""};
        QTest::newRow("ten lines fit") << Factory{true, "100", 1, 2, "110 V"};
        QTest::newRow("they do not") << Factory{true, "105", 3, 3, "3"};
    }
    void factorySection()
    {
        QFETCH(Factory, c);
        const auto& [factory, topMargin, supply, page, supplyText] = c;
        SetIniParam("Print", "TopMargin", topMargin);
        ConfigClass config = Distinct();
        config.SetSupplyType(std::uint8_t(supply));
        config.SetCommonType(1);
        config.SetBrightMin(-3);
        const QStringList pages = PdfText::Pages(Render(config, factory));
        QCOMPARE(PageOf(pages, "Pulse output duration"), 2);
        QCOMPARE(PageOf(pages, "Factory parameters"), page);
        QCOMPARE(ValueOf(pages, "Supply type"), supplyText);
        QCOMPARE(ValueOf(pages, "Minimum brightness"), factory ? "-3" : "");
        QCOMPARE(ValueOf(pages, "Common type"), factory ? "Common positive" : "");
    }

    // The page turns with the orientation; a table goes on under its headings.
    void layoutSettings()
    {
        QVERIFY(Render(Distinct()).contains("/MediaBox [0 0 595.000000 842.000000]"));
        SetIniParam("Print", "Orientation", "2");
        QVERIFY(Render(Distinct()).contains("/MediaBox [0 0 842.000000 595.000000]"));

        SetIniParam("Print", "Orientation", "1");
        SetIniParam("Print", "TopMargin", "200");
        const QStringList pages = PdfText::Pages(Render(Distinct()));
        const QRegularExpression row("^(\\d\\d|No\\.) ");
        const QStringList first = Lines(pages[0]).filter(row);
        const QStringList next = Lines(pages[1]).filter(row);
        QVERIFY(first.size() > 3 && first[0].startsWith("No. ") && first[1].startsWith("01 "));
        QCOMPARE(next[0], first[0]); // the headings again, then the next channel
        QCOMPARE(next[1].left(2).toInt(), first.last().left(2).toInt() + 1);
    }

    // Settings the report cannot use are reported and nothing is produced.
    void refusedSettings_data()
    {
        QTest::addColumn<Refused>("c");
        QTest::newRow("orientation 3") << Refused{"Orientation", "3", 380};
        QTest::newRow("font size 0") << Refused{"FontSize", "0", 380};
        QTest::newRow("letters") << Refused{"LeftMargin", "abc", 13};
        QTest::newRow("negative margin") << Refused{"TopMargin", "-5", 380};
        QTest::newRow("no room left") << Refused{"BottomMargin", "250", 380};
    }
    void refusedSettings()
    {
        QFETCH(Refused, c);
        const auto& [key, value, error] = c;
        SetIniParam("Print", key, value);
        QVERIFY(!ReportPdf(Distinct(), ReportOptions()));
        QCOMPARE(m_ui.messages.size(), 1);
        QCOMPARE(m_ui.messages[0].text, ErrorReportText("PrintFunctions.DoPrint", error));
        QCOMPARE(m_ui.messages[0].icon, MsgIcon::Critical);
        QVERIFY(!m_ui.busy);
    }

    // The stored printer while installed, else the default one, else the PDF file.
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

    // OK stores the margins (an emptied box as 0) unless hidden, and the printer; Cancel nothing.
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
        QVERIFY(child<QPushButton>(&dialog, "Bouton1")->isDefault());
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

    // The preview keeps its own copy, reads the settings at each drawing, follows the language.
    void preview()
    {
        wPreview preview;
        QVERIFY(preview.DoPrint(Distinct(), true)); // a temporary: the preview keeps a copy
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
        QVERIFY(!preview.DoPrint(Distinct(), false));
        QCOMPARE(m_ui.lastText(), ErrorReportText("PrintFunctions.DoPrint", 380));
    }

    // Print: the printer-only dialog, then the save dialog proposing a safe name; .pdf added.
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
        QVERIFY(preview.DoPrint(Distinct("Hall B/2: \"east\""), false));
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
        QVERIFY(pages[1].contains(QRegularExpression("Baud rate +9600\\n")));
    }
};

QTEST_MAIN(TestReport)
#include "tst_report.moc"
