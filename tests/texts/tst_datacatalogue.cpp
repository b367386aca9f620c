// The shipped data file (bin/orvel.dat, made from data/) against the code
// under src/ (src/texts aside; comments do not count) that looks texts up:
//   1. GetText(N), GetToolTip(N) (N also a string literal), and one-argument
//      helpers named ...Text or ...Caption (not set...): a T_Labels row (a
//      T_ToolTips row for GetToolTip).
//   2. Every literal (subscripts aside) given by = or << to a name ending in
//      tag(s), Tag(s), TextBase or tagged; setProperty("Tag", N).
//   3. Computed tags declared in a comment: "// tags: 31150-31167, 43100",
//      "// tooltips: 31150-31167".
//   4. Every string literal "mnu...": a T_Menus row, except separators
//      ("Sep"), recent files ("mnuFileMRU...") and languages ("mnuLang...").
// Every language cell must hold a text, unless the row's Note says "may be
// empty".

#include "DataFileWriter.h"
#include "RecordingUi.h"
#include "texts/DataFunctions.h"

#include <QDirIterator>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>
#include <QStandardPaths>
#include <QTest>

namespace {

const QString DataFile = QStringLiteral(ORVEL_BIN_DIR "/orvel.dat");

// Tags and menu keys the code looks up, each with the first "file:line" that
// needs it.
struct References
{
    QMap<qint64, QString> labels;
    QMap<qint64, QString> toolTips;
    QMap<QString, QString> menuKeys;
};

void Scan(const QString& text, const QString& where, References& refs)
{
    // The code with comments blanked and the comments alone, offsets kept.
    static const QRegularExpression token(QStringLiteral(
        "\"(?:\\\\.|[^\"\\\\\\n])*\"|'(?:\\\\.|[^'\\\\\\n])*'|//[^\\n]*|/\\*[\\s\\S]*?\\*/"));
    QString code = text;
    QString comments(text.size(), QLatin1Char(' '));
    for (auto it = token.globalMatch(text); it.hasNext();) {
        const auto m = it.next();
        if (m.captured().front() == QLatin1Char('"') || m.captured().front() == QLatin1Char('\''))
            continue;
        for (qsizetype i = m.capturedStart(); i < m.capturedEnd(); ++i) {
            if (text[i] != QLatin1Char('\n'))
                std::swap(code[i], comments[i]);
        }
    }
    const auto add = [&](QMap<qint64, QString>& map, qint64 tag, qsizetype at) {
        if (!map.contains(tag))
            map.insert(tag, QStringLiteral("%1:%2").arg(where).arg(text.left(at).count('\n') + 1));
    };
    static const QRegularExpression call(QStringLiteral(
        "\\b(GetToolTip|(?!set)\\w*Text|(?!set)\\w*[Cc]aption)\\s*\\(\\s*(?:(?:QStringLiteral|"
        "QString|QLatin1String)\\s*\\(\\s*)?\"?\\s*(\\d+)\\s*\"?\\s*\\)"));
    for (auto it = call.globalMatch(code); it.hasNext();) {
        const auto m = it.next();
        add(m.captured(1) == QLatin1String("GetToolTip") ? refs.toolTips : refs.labels,
            m.captured(2).toLongLong(), m.capturedStart());
    }
    static const QRegularExpression named(
        QStringLiteral("\\b\\w*(?:[Tt]ags?|TextBase|[tT]agged)\\s*(?:\\[[^\\]]*\\])?\\s*(?:=(?!=)|<"
                       "<)\\s*([^;]*);"));
    static const QRegularExpression subscript(QStringLiteral("\\[[^\\]]*\\]"));
    static const QRegularExpression literal(QStringLiteral("(?<![\\w.])(\\d+)(?![\\w.])"));
    for (auto it = named.globalMatch(code); it.hasNext();) {
        const auto m = it.next();
        for (auto l = literal.globalMatch(m.captured(1).remove(subscript)); l.hasNext();)
            add(refs.labels, l.next().captured(1).toLongLong(), m.capturedStart());
    }
    static const QRegularExpression property(
        QStringLiteral("setProperty\\s*\\(\\s*\"[Tt]ag\"\\s*,\\s*(\\d+)\\s*\\)"));
    for (auto it = property.globalMatch(code); it.hasNext();) {
        const auto m = it.next();
        add(refs.labels, m.captured(1).toLongLong(), m.capturedStart());
    }
    static const QRegularExpression marker(QStringLiteral(
        "\\b(tags|tooltips):\\s*(\\d+(?:\\s*-\\s*\\d+)?(?:\\s*,\\s*\\d+(?:\\s*-\\s*\\d+)?)*)"));
    static const QRegularExpression range(QStringLiteral("(\\d+)(?:\\s*-\\s*(\\d+))?"));
    for (auto it = marker.globalMatch(comments); it.hasNext();) {
        const auto m = it.next();
        for (auto r = range.globalMatch(m.captured(2)); r.hasNext();) {
            const auto n = r.next();
            const qint64 first = n.captured(1).toLongLong();
            const qint64 last = n.captured(2).isEmpty() ? first : n.captured(2).toLongLong();
            for (qint64 t = first; t <= last && t - first < 100000; ++t)
                add(m.captured(1) == QLatin1String("tags") ? refs.labels : refs.toolTips, t,
                    m.capturedStart());
        }
    }
    static const QRegularExpression menu(QStringLiteral("\"(mnu[A-Za-z0-9_]*)\""));
    for (auto it = menu.globalMatch(text); it.hasNext();) {
        const auto m = it.next();
        const QString key = m.captured(1);
        if (comments[m.capturedStart()] == QLatin1Char(' ') &&
            !key.contains(QLatin1String("Sep")) && !key.startsWith(QLatin1String("mnuFileMRU")) &&
            !key.startsWith(QLatin1String("mnuLang")) && !refs.menuKeys.contains(key))
            refs.menuKeys.insert(key, QStringLiteral("%1:%2").arg(where).arg(
                                          text.left(m.capturedStart()).count('\n') + 1));
    }
}

QString Failures(const QStringList& problems)
{
    for (const QString& p : problems)
        qWarning("%s", qPrintable(p));
    return QStringLiteral("%1 problem(s), listed above").arg(problems.size());
}

QSet<QString> Keys(const TextSourceTable& table)
{
    QSet<QString> keys;
    for (const TextSourceRow& row : table.rows)
        keys << row.key;
    return keys;
}

} // namespace

class TestDataCatalogue : public QObject
{
    Q_OBJECT

    DataSources m_data;
    References m_refs;

private Q_SLOTS:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QString error;
        QVERIFY2(ReadDataFile(DataFile, m_data, error), qPrintable(DataFile + ": " + error));
        const QString src = QStringLiteral(ORVEL_SOURCE_DIR "/src/");
        QStringList files;
        for (QDirIterator it(src, {"*.cpp", "*.h"}, QDir::Files, QDirIterator::Subdirectories);
             it.hasNext();)
            files << it.next();
        files.sort();
        for (const QString& path : files) {
            QFile file(path);
            if (!path.startsWith(src + QLatin1String("texts/")) && file.open(QIODevice::ReadOnly))
                Scan(QString::fromUtf8(file.readAll()), "src/" + path.mid(src.size()), m_refs);
        }
        QVERIFY(OpenDataFile(DataFile));
        qInfo("The code looks up %d texts, %d tool tips and %d menu captions",
              int(m_refs.labels.size()), int(m_refs.toolTips.size()), int(m_refs.menuKeys.size()));
    }

    void cleanupTestCase() { CloseDataFile(); }

    // The scanner finds what the convention above promises, and no more.
    void scanner()
    {
        References refs;
        Scan("x = GetText(10103); GetText(QStringLiteral(\"1001\"))\n"
             "setWindowTitle(caption(1600)); l->setText(TaggedText( 1610 ));\n"
             "resize(1000); setText(QStringLiteral(\"8\")); setWindowCaption(5); GetText(tag);\n"
             "GetText(Base + 3); if (lastTag == 5) f();\n"
             "// GetText(999)\n/* GetText(998) */ s = \"http://x\"; GetText(6);\n"
             "constexpr int kPageTags[2] = {1110, 1120}; constexpr int ParamTextBase = 102215;\n"
             "m_tagged = {{lblPort, 1111},\n {m_cmdButtons[0], 12}, {x, kButtonTags[1]}};\n"
             "w->setProperty(\"Tag\", 1002);\n// tags: 43100-43102, 7\n// tooltips: 5 - 6\n"
             "a->setObjectName(\"mnuFileOpen\"); add(\"mnuFileSep1\"); \"mnuFileMRU3\";\n"
             "\"tbrTools\"; \"mnuLangFrench\"; // \"mnuOld\"",
             QStringLiteral("x.cpp"), refs);
        QCOMPARE(refs.labels.keys(), (QList<qint64>{6, 7, 12, 1001, 1002, 1110, 1111, 1120, 1600,
                                                    1610, 10103, 43100, 43101, 43102, 102215}));
        QCOMPARE(refs.labels.value(1002), QStringLiteral("x.cpp:10"));
        QCOMPARE(refs.toolTips.keys(), (QList<qint64>{5, 6}));
        QCOMPARE(refs.menuKeys.keys(), QStringList{QStringLiteral("mnuFileOpen")});
    }

    void everyLanguageHasItsText()
    {
        // The generator's own list, the one "orvel-datagen check" prints.
        const QStringList problems = MissingTranslations(m_data);
        QVERIFY2(problems.isEmpty(), qPrintable(Failures(problems)));
    }

    // Placeholders agree across languages; menu captions are shown as they
    // are, so a "|" in one would show as such.
    void textsAgreeAcrossLanguages()
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
        for (const TextSourceRow& row : m_data.menus.rows) {
            for (int i = 0; i < row.texts.size(); ++i) {
                if (row.texts[i].contains(QLatin1Char('|')))
                    problems << QStringLiteral("T_Menus %1 (%2): the %3 caption holds a \"|\"")
                                    .arg(row.key, row.file, m_data.menus.languages[i]);
            }
        }
        QVERIFY2(problems.isEmpty(), qPrintable(Failures(problems)));
    }

    void everyTagAndKeyTheCodeUsesHasARow()
    {
        QVERIFY(!m_refs.labels.isEmpty());
        QStringList problems;
        for (const auto& [refs, table, what] :
             {std::tuple{&m_refs.labels, Keys(m_data.labels),
                         "text %1, used at %2, has no row in T_Labels"},
              std::tuple{&m_refs.toolTips, Keys(m_data.toolTips),
                         "tool tip %1, used at %2, has no row in T_ToolTips"}}) {
            for (auto it = refs->cbegin(); it != refs->cend(); ++it) {
                if (!table.contains(QString::number(it.key())))
                    problems << QString::fromLatin1(what).arg(it.key()).arg(it.value());
            }
        }
        const QSet<QString> menus = Keys(m_data.menus);
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

    // The shipped defaults fill a new configuration without an error.
    void defaultsMakeAWorkingConfiguration()
    {
        RecordingUi ui;
        ConfigClass config;
        GetAllDefaults(config);
        QVERIFY2(ui.messages.isEmpty(), qPrintable(ui.lastText()));
    }
};

QTEST_GUILESS_MAIN(TestDataCatalogue)
#include "tst_datacatalogue.moc"
