// orvelctl print: the report of a configuration file as a PDF file, in the
// INI file's language, with or without the factory section; what it refuses.
#include "CtlRunner.h"
#include "HandFile.h"
#include "PdfText.h"
#include "TestFiles.h"

#include "config/ConfigClass.h"
#include "util/RuntimeError.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

class TestOrvelctlPrint : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_ini;
    QString m_config;
    QString m_pdf;
    std::unique_ptr<CtlRunner> m_ctl;

private Q_SLOTS:
    void initTestCase()
    {
        m_ini = m_dir.filePath(QStringLiteral("orvel.ini"));
        m_config = m_dir.filePath(QStringLiteral("panel.cfg"));
        m_pdf = m_dir.filePath(QStringLiteral("panel.pdf"));
        m_ctl = std::make_unique<CtlRunner>(m_ini);
        // The tool runs without a display even where the session names one.
        m_ctl->environment().insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        m_ctl->environment().remove(QStringLiteral("DISPLAY"));
        ConfigClass config;
        config.SetModuleName(QStringLiteral("Pump room"));
        config.SetGenParam(24, 255);
        QVERIFY(config.Save(m_config));
    }

    void init()
    {
        QFile::remove(m_ini);
        QFile::remove(m_pdf);
    }

    void report_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<bool>("factory");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("speed");
        QTest::addColumn<QString>("factoryTitle");
        QTest::newRow("default") << "" << false << "Panel configuration"
                                 << "Baud rate"
                                 << "Factory parameters";
        QTest::newRow("French") << "Français" << false << "Configuration du panneau"
                                << "Vitesse (bauds)"
                                << "Paramètres usine";
        QTest::newRow("Spanish factory") << "Español" << true << "Configuración del panel"
                                         << "Velocidad (baudios)"
                                         << "Parámetros de fábrica";
    }

    void report()
    {
        QFETCH(QString, language);
        QFETCH(bool, factory);
        QFETCH(QString, title);
        QFETCH(QString, speed);
        QFETCH(QString, factoryTitle);
        if (!language.isEmpty())
            TestFiles::WriteBytes(m_ini, "[General]\nLanguage=" + language.toUtf8() + "\n");
        QStringList args{"print", m_config, "-o", m_pdf};
        if (factory)
            args << "--factory";
        const CtlRun r = m_ctl->run(args);
        QCOMPARE(r.exitCode, 0);
        QVERIFY2(r.err.isEmpty(), r.err.constData());
        QVERIFY(r.out.isEmpty());
        const QString text = PdfText::Pages(TestFiles::ReadBytes(m_pdf)).join(QLatin1Char('\f'));
        QVERIFY(text.contains(title));
        QVERIFY(text.contains(QStringLiteral("Pump room")));
        QVERIFY(text.contains(QRegularExpression(QRegularExpression::escape(speed) +
                                                 QStringLiteral(" {2,}19200\\n"))));
        QCOMPARE(text.contains(factoryTitle), factory);
    }

    // A file that does not load, a print setting the report cannot use or an
    // output that cannot be written: exit code 2, the reason, and no PDF.
    void refused_data()
    {
        QTest::addColumn<QString>("input");
        QTest::addColumn<QByteArray>("ini");
        QTest::addColumn<QString>("output");
        QTest::addColumn<QString>("message");
        const QString missing = m_dir.filePath(QStringLiteral("missing.cfg"));
        QTest::newRow("missing file")
            << missing << QByteArray() << "panel.pdf"
            << QStringLiteral("error: %1: %2\n").arg(missing, ErrorDescription(53));
        QTest::newRow("damaged file") << "damaged.cfg" << QByteArray() << "panel.pdf"
                                      << "Module : ConfigClass";
        QTest::newRow("font size 0")
            << m_config << QByteArray("[Print]\nFontSize=0\n") << "panel.pdf"
            << "Error Nr 380 : Invalid property value\n\nModule : PrintFunctions\n"
               "Function : DoPrint\n";
        QTest::newRow("no such folder") << m_config << QByteArray() << "no/such/folder/x.pdf"
                                        << "no/such/folder/x.pdf: ";
    }

    void refused()
    {
        QFETCH(QString, input);
        QFETCH(QByteArray, ini);
        QFETCH(QString, output);
        QFETCH(QString, message);
        if (!ini.isEmpty())
            TestFiles::WriteBytes(m_ini, ini);
        const QString damaged = m_dir.filePath(QStringLiteral("damaged.cfg"));
        HandFile bad("Orvel", "");
        bad.putLong(241, -7); // a negative text length
        TestFiles::WriteBytes(damaged, bad.bytes());
        const QString out = m_dir.filePath(output);
        const CtlRun r =
            m_ctl->run({"print", input.contains('/') ? input : m_dir.filePath(input), "-o", out});
        QCOMPARE(r.exitCode, 2);
        QVERIFY2(r.errText().contains(message), r.err.constData());
        QVERIFY(r.out.isEmpty());
        QVERIFY(!QFile::exists(out));
        QCOMPARE(QDir(m_dir.path()).entryList({"*.pdf*", ".*pdf*"}, QDir::Files | QDir::Hidden),
                 QStringList());
    }

    // The command-line tool reaches no window library.
    void linksNoWindowLibrary()
    {
        QProcess ldd;
        ldd.start(QStringLiteral("ldd"), {CtlRunner::DefaultProgram()});
        QVERIFY(ldd.waitForFinished(30000));
        const QString libraries = QString::fromUtf8(ldd.readAllStandardOutput());
        QVERIFY(libraries.contains(QStringLiteral("libQt6Gui")));
        QVERIFY(!libraries.contains(QStringLiteral("libQt6Widgets")));
        QVERIFY(!libraries.contains(QStringLiteral("libQt6PrintSupport")));
    }
};

QTEST_GUILESS_MAIN(TestOrvelctlPrint)
#include "tst_orvelctl_print.moc"
