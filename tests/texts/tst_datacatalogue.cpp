// Catalogue check: the shipped data file (bin/orvel.dat, generated from data/)
// against the code that reads it.
//
// What counts as a lookup in the C++ sources under src/ (src/texts itself is
// not scanned; code inside comments does not count):
//   1. GetText(N) and GetToolTip(N) with a literal tag, also written
//      GetText(QStringLiteral("N")): tag N needs a row in T_Labels, resp.
//      T_ToolTips. The same for a window's own one-argument text helpers
//      whose name ends in "Text" or "Caption"/"caption" and does not start
//      with "set" (caption(1600), LookupText(10101); not setText("8")).
//   2. A constant, variable or member whose name ends in "tag", "tags",
//      "Tag", "Tags", "TextBase" or "tagged", initialised (=) or filled (<<)
//      with literals: every literal of the statement (array subscripts aside)
//      is a T_Labels tag. Examples:
//          constexpr int kCaptionTag = 1100;
//          const int tags[5] = {35031, 35032, 35033, 1116, 35034};
//          m_tagged = {{lblPort, 1111}, {lblBauds, 1112}};
//          m_tagged << qMakePair(m_cmdButtons[0], 12);
//   3. setProperty("Tag", N): a control carrying its tag.
//   4. Tags the code computes (base + index, combo lists, decoders) or keeps
//      in tables of another shape are declared in a comment next to the code:
//          // tags: 31150-31167, 43100
//          // tooltips: 31150-31167
//      Ranges are inclusive; every tag of the list needs its row.
//   5. Menu command names: every string literal "mnu..." needs a T_Menus row,
//      except separators (the name contains "Sep") and the recent-file entries
//      ("mnuFileMRU..."), which take no caption from the table, and the
//      language images of the tool bar's image list ("mnuLang..."), which no
//      menu item or button shows. Tool bar names
//      ("tbr...") are no keys: tool bar buttons carry the mnu name of their
//      command as key.
//
// Set ORVEL_CATALOGUE_LIST=1 to list every tag and key found with its place.
//
// Every language cell of every row of T_Labels, T_ToolTips and T_Menus must
// hold a text, except in rows whose Note says "may be empty" (for instance the
// second line of a two-line column heading that is one line in a language).

#include "DataFileWriter.h"
#include "RecordingUi.h"
#include "SourceTagScanner.h"
#include "texts/DataFunctions.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>
#include <QStandardPaths>
#include <QTest>

namespace {

const QString DataFile = QStringLiteral(ORVEL_BIN_DIR "/orvel.dat");

QString Failures(const QStringList& problems)
{
    for (const QString& p : problems)
        qWarning("%s", qPrintable(p));
    return QStringLiteral("%1 problem(s), listed above").arg(problems.size());
}

// The default keys a new configuration reads.
QList<int> DefaultKeys()
{
    QList<int> keys{593, 609, 641, 657,  673,  689, 737,  753,  769, 785,
                    929, 945, 961, 1105, 1154, -1,  1172, 1174, 1175};
    for (int k = 1057; k <= 1069; ++k)
        keys << k;
    for (int k = 1107; k <= 1114; ++k)
        keys << k;
    for (int k = 1137; k <= 1142; ++k)
        keys << k;
    for (int k = 1099; k <= 1101; ++k)
        keys << k;
    return keys;
}

} // namespace

class TestDataCatalogue : public QObject
{
    Q_OBJECT

    DataSources m_data;
    SourceReferences m_refs;

    static QSet<QString> Keys(const TextSourceTable& table)
    {
        QSet<QString> keys;
        for (const TextSourceRow& row : table.rows)
            keys << row.key;
        return keys;
    }

private Q_SLOTS:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QString error;
        QVERIFY2(ReadDataFile(DataFile, m_data, error),
                 qPrintable(DataFile + QStringLiteral(": ") + error));
        ScanFolder(QStringLiteral(ORVEL_SOURCE_DIR "/src"), {QStringLiteral("texts")}, m_refs);
        QVERIFY(OpenDataFile(DataFile));
        qInfo("The code looks up %d texts, %d tool tips and %d menu captions",
              int(m_refs.labels.size()), int(m_refs.toolTips.size()), int(m_refs.menuKeys.size()));
        if (qEnvironmentVariableIsSet("ORVEL_CATALOGUE_LIST")) {
            for (auto it = m_refs.labels.cbegin(); it != m_refs.labels.cend(); ++it)
                qInfo("text %lld at %s", it.key(), qPrintable(it.value()));
            for (auto it = m_refs.toolTips.cbegin(); it != m_refs.toolTips.cend(); ++it)
                qInfo("tool tip %lld at %s", it.key(), qPrintable(it.value()));
            for (auto it = m_refs.menuKeys.cbegin(); it != m_refs.menuKeys.cend(); ++it)
                qInfo("menu %s at %s", qPrintable(it.key()), qPrintable(it.value()));
        }
    }

    void cleanupTestCase() { CloseDataFile(); }

    // The scanner must find what the convention above promises, and no more.
    void scanner_data()
    {
        QTest::addColumn<QString>("source");
        QTest::addColumn<QList<qint64>>("labels");
        QTest::addColumn<QList<qint64>>("toolTips");
        QTest::addColumn<QStringList>("menus");
        using L = QList<qint64>;
        QTest::newRow("literal call") << "x = GetText(10103);" << L{10103} << L{} << QStringList{};
        QTest::newRow("string tag")
            << "GetText(QStringLiteral(\"1001\"))" << L{1001} << L{} << QStringList{};
        QTest::newRow("tool tip") << "t->setToolTip(GetToolTip( 31150 ));" << L{} << L{31150}
                                  << QStringList{};
        QTest::newRow("helpers") << "setWindowTitle(caption(1600)); l->setText(TaggedText( 1610 ));"
                                 << L{1600, 1610} << L{} << QStringList{};
        QTest::newRow("other calls")
            << "resize(1000); setMinimumWidth(120); setText(QStringLiteral(\"8\")); "
               "setWindowCaption(5);"
            << L{} << L{} << QStringList{};
        QTest::newRow("variable tag")
            << "GetText(tag); GetText(Base + 3);" << L{} << L{} << QStringList{};
        QTest::newRow("commented call")
            << "// GetText(999)\n/* GetText(998) */" << L{} << L{} << QStringList{};
        QTest::newRow("constant") << "constexpr int kCaptionTag = 1100;" << L{1100} << L{}
                                  << QStringList{};
        QTest::newRow("array") << "constexpr int kPageTags[2] = {1110, 1120};" << L{1110, 1120}
                               << L{} << QStringList{};
        QTest::newRow("text base")
            << "constexpr int ParamTextBase = 102215;" << L{102215} << L{} << QStringList{};
        QTest::newRow("tagged table")
            << "m_tagged = {{lblPort, 1111},\n {m_cmdButtons[0], 12}, {x, kButtonTags[1]}};"
            << L{12, 1111} << L{} << QStringList{};
        QTest::newRow("local tags")
            << "const int tags[5] = {35031, 1116};" << L{1116, 35031} << L{} << QStringList{};
        QTest::newRow("filled tag list")
            << "m_tagged << qMakePair(static_cast<QWidget*>(m_cmdButtons[0]), 12)\n"
               "  << qMakePair(b, 15);"
            << L{12, 15} << L{} << QStringList{};
        QTest::newRow("comparison is no initializer")
            << "if (lastTag == 5) f();" << L{} << L{} << QStringList{};
        QTest::newRow("property") << "w->setProperty(\"Tag\", 1001);" << L{1001} << L{}
                                  << QStringList{};
        QTest::newRow("marker") << "// tags: 43100-43102, 7\n// tooltips: 5 - 6"
                                << L{7, 43100, 43101, 43102} << L{5, 6} << QStringList{};
        QTest::newRow("menus")
            << "a->setObjectName(\"mnuFileOpen\"); add(\"mnuFileSep1\"); \"mnuFileMRU3\"; "
               "\"tbrTools\"; \"mnuLangFrench\"; // \"mnuOld\""
            << L{} << L{} << QStringList{QStringLiteral("mnuFileOpen")};
        QTest::newRow("string with slashes")
            << "s = \"http://x\"; GetText(5);" << L{5} << L{} << QStringList{};
    }

    void scanner()
    {
        QFETCH(QString, source);
        QFETCH(QList<qint64>, labels);
        QFETCH(QList<qint64>, toolTips);
        QFETCH(QStringList, menus);
        SourceReferences refs;
        ScanSource(source, QStringLiteral("x.cpp"), refs);
        QCOMPARE(refs.labels.keys(), labels);
        QCOMPARE(refs.toolTips.keys(), toolTips);
        QCOMPARE(QStringList(refs.menuKeys.keys()), menus);
    }

    void languages()
    {
        QCOMPARE(Languages(), (QStringList{QStringLiteral("English"), QStringLiteral("Français"),
                                           QStringLiteral("Español")}));
    }

    void everyLanguageHasItsText()
    {
        // The generator's own list, the one "orvel-datagen check" prints.
        const QStringList problems = MissingTranslations(m_data);
        QVERIFY2(problems.isEmpty(), qPrintable(Failures(problems)));
    }

    void placeholdersAgreeAcrossLanguages()
    {
        static const QRegularExpression placeholder(QStringLiteral("###\\d+###"));
        QStringList problems;
        for (const auto& [name, table] :
             {std::pair{"T_Labels", &m_data.labels}, std::pair{"T_ToolTips", &m_data.toolTips}}) {
            for (const TextSourceRow& row : table->rows) {
                QStringList reference;
                for (int i = 0; i < row.texts.size(); ++i) {
                    QStringList found;
                    for (auto it = placeholder.globalMatch(row.texts[i]); it.hasNext();)
                        found << it.next().captured();
                    found.sort();
                    if (i == 0)
                        reference = found;
                    else if (found != reference && !row.texts[i].isEmpty())
                        problems << QStringLiteral("%1 %2 (%3): %4 has %5 where %6 has %7")
                                        .arg(QLatin1String(name), row.key, row.file,
                                             table->languages[i], found.join(QLatin1Char(' ')),
                                             table->languages[0], reference.join(QLatin1Char(' ')));
                }
            }
        }
        QVERIFY2(problems.isEmpty(), qPrintable(Failures(problems)));
    }

    void menuCaptionsHaveNoLineMarks()
    {
        // Menu captions are shown as they are: a "|" would show as such.
        QStringList problems;
        for (const TextSourceRow& row : m_data.menus.rows) {
            for (int i = 0; i < row.texts.size(); ++i) {
                if (row.texts[i].contains(QLatin1Char('|')))
                    problems << QStringLiteral("T_Menus %1 (%2): the %3 caption holds a \"|\"")
                                    .arg(row.key, row.file, m_data.menus.languages[i]);
            }
        }
        QVERIFY2(problems.isEmpty(), qPrintable(Failures(problems)));
    }

    void everyTagTheCodeUsesHasARow()
    {
        QVERIFY(!m_refs.labels.isEmpty());
        const QSet<QString> labels = Keys(m_data.labels);
        const QSet<QString> toolTips = Keys(m_data.toolTips);
        QStringList problems;
        for (auto it = m_refs.labels.cbegin(); it != m_refs.labels.cend(); ++it) {
            if (!labels.contains(QString::number(it.key())))
                problems << QStringLiteral("text %1, used at %2, has no row in T_Labels")
                                .arg(it.key())
                                .arg(it.value());
        }
        for (auto it = m_refs.toolTips.cbegin(); it != m_refs.toolTips.cend(); ++it) {
            if (!toolTips.contains(QString::number(it.key())))
                problems << QStringLiteral("tool tip %1, used at %2, has no row in T_ToolTips")
                                .arg(it.key())
                                .arg(it.value());
        }
        QVERIFY2(problems.isEmpty(), qPrintable(Failures(problems)));
    }

    void everyMenuKeyHasARow()
    {
        const QSet<QString> menus = Keys(m_data.menus);
        QStringList problems;
        for (auto it = m_refs.menuKeys.cbegin(); it != m_refs.menuKeys.cend(); ++it) {
            if (!menus.contains(it.key()))
                problems << QStringLiteral("menu %1, named at %2, has no row in T_Menus")
                                .arg(it.key(), it.value());
        }
        QVERIFY2(problems.isEmpty(), qPrintable(Failures(problems)));
    }

    void helpFileOfEveryLanguageIsBesideTheProgram()
    {
        QStringList problems;
        for (const QString& language : Languages()) {
            SetCurrentLanguage(language);
            const QString name = GetText(1);
            if (name.isEmpty() || name.startsWith(QLatin1Char('#')) ||
                !QFileInfo(QStringLiteral(ORVEL_BIN_DIR "/") + name).isFile())
                problems << QStringLiteral("%1: help file \"%2\" is not in %3")
                                .arg(language, name, QStringLiteral(ORVEL_BIN_DIR));
        }
        SetCurrentLanguage(QString());
        QVERIFY2(problems.isEmpty(), qPrintable(Failures(problems)));
    }

    void defaultsMakeAWorkingConfiguration()
    {
        QHash<qint64, const DefaultSourceRow*> rows;
        for (const DefaultSourceRow& row : m_data.defaults)
            rows.insert(row.key, &row);
        QStringList problems;
        for (int key : DefaultKeys()) {
            const DefaultSourceRow* row = rows.value(key);
            if (!row)
                problems << QStringLiteral("default key %1 has no row in T_Defaults").arg(key);
            else if (!row->value)
                problems << QStringLiteral("default key %1 has no value").arg(key);
        }
        RecordingUi ui;
        ConfigClass config;
        GetAllDefaults(config);
        for (const MessageRequest& message : ui.messages)
            problems << QStringLiteral("GetAllDefaults: ") + message.text;
        QVERIFY2(problems.isEmpty(), qPrintable(Failures(problems)));
    }
};

QTEST_GUILESS_MAIN(TestDataCatalogue)
#include "tst_datacatalogue.moc"
