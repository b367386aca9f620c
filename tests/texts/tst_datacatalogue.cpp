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
// empty". Then the generator: its sources, refusals and round trips.

#include "TestDataFiles.h"
#include "TestFiles.h"

#include <QDirIterator>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace TestData;

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

const QString Header = QStringLiteral("Tag\tNote\tEnglish\tFrançais\tEspañol\n");
const QString MenuHeader = QStringLiteral("Key\tNote\tEnglish\tFrançais\tEspañol\n");
const QString DefaultsHeader = QStringLiteral("Key\tValeur\tNote\n");

void WriteText(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    TestFiles::WriteBytes(path, bytes);
}

// Every file under a folder, by relative path, with its bytes.
QMap<QString, QByteArray> Tree(const QString& folder)
{
    QMap<QString, QByteArray> files;
    QDirIterator it(folder, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        files.insert(QDir(folder).relativeFilePath(path), TestFiles::ReadBytes(path));
    }
    return files;
}

} // namespace

class TestDataCatalogue : public QObject
{
    Q_OBJECT

    DataSources m_data;
    References m_refs;
    QTemporaryDir m_dir;
    int m_count = 0;

    QString freshDir()
    {
        const QString dir = m_dir.filePath(QStringLiteral("case%1").arg(++m_count));
        QDir().mkpath(dir);
        return dir;
    }

    static int Run(const QStringList& args, QString* err = nullptr, QString* out = nullptr)
    {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("ASAN_OPTIONS"), QStringLiteral("detect_leaks=0"));
        p.setProcessEnvironment(env);
        p.start(QStringLiteral(ORVEL_DATAGEN), args);
        if (!p.waitForFinished(60000))
            return -1;
        if (err)
            *err = QString::fromLocal8Bit(p.readAllStandardError());
        if (out)
            *out = QString::fromLocal8Bit(p.readAllStandardOutput());
        return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    }

private Q_SLOTS:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QVERIFY(m_dir.isValid());
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
        qInfo("The code looks up %d texts, %d tool tips and %d menu captions",
              int(m_refs.labels.size()), int(m_refs.toolTips.size()), int(m_refs.menuKeys.size()));
    }

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

    // Comments, blank lines, a byte order mark and CR LF line ends around the
    // rows; each row knows its file and line. Written back, the files keep
    // their comments, blank lines and row order, with plain line ends; a row
    // added to the data file by other means ends its file, a row that left
    // the data file leaves its line.
    void sourcesRoundTrip()
    {
        const QString dir = freshDir();
        const QByteArray crlfHeader = Header.toUtf8().replace("\n", "\r\n");
        WriteText(dir + QStringLiteral("/labels/a.tsv"),
                  "\xEF\xBB\xBF# Main window\r\n\r\n" + crlfHeader +
                      "# between rows\r\n   \r\n20\tlater tag first\tB\tB\tB\r\n"
                      "10\tgreeting\tHello\tBonjour\tHola\r\n5\tempty (may be empty)\t\t\t\r\n"
                      "# end\r\n");
        WriteText(dir + QStringLiteral("/menus/main.tsv"),
                  MenuHeader.toUtf8() + "mnuFile\tmenu\t&File\t&Fichier\t&Archivo\n");
        const QByteArray defaults = DefaultsHeader.toUtf8() +
                                    "1175\t1\tcommon\n# inputs\n-1\t0\tGenParam(32)\n"
                                    "769\t\tempty value\n";
        WriteText(dir + QStringLiteral("/defaults.tsv"), defaults);
        QStringList errors;
        const DataSources s = ReadSources(dir, errors);
        QVERIFY2(errors.isEmpty(), qPrintable(errors.join(QLatin1Char('\n'))));

        const QString data = dir + QStringLiteral("/orvel.dat");
        Write(s, data);
        Sql(data,
            QStringLiteral("INSERT INTO T_Labels VALUES (15, 'added', 'a.tsv', 'C', 'C', 'C'); "
                           "DELETE FROM T_Labels WHERE Tag=20; "
                           "INSERT INTO T_Defaults VALUES (600, NULL, 'added')"));
        DataSources back;
        QString error;
        QVERIFY2(ReadDataFile(data, back, error), qPrintable(error));
        QMap<QString, int> lineOf;
        for (const TextSourceRow& r : back.labels.rows)
            lineOf.insert(r.key, r.line);
        QCOMPARE(lineOf, (QMap<QString, int>{{"5", 8}, {"10", 7}, {"15", 0}}));
        QVERIFY2(WriteSources(back, dir + QStringLiteral("/dump"), error), qPrintable(error));
        QCOMPARE(
            QString::fromUtf8(TestFiles::ReadBytes(dir + QStringLiteral("/dump/labels/a.tsv"))),
            QString::fromUtf8("# Main window\n\n" + Header.toUtf8() +
                              "# between rows\n   \n10\tgreeting\tHello\tBonjour\tHola\n"
                              "5\tempty (may be empty)\t\t\t\n# end\n15\tadded\tC\tC\tC\n"));
        QCOMPARE(
            QString::fromUtf8(TestFiles::ReadBytes(dir + QStringLiteral("/dump/defaults.tsv"))),
            QString::fromUtf8(defaults + "600\t\tadded\n"));
    }

    void refusals_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("second");
        QTest::addColumn<QByteArray>("secondContent");
        QTest::addColumn<QString>("expected");
        const QByteArray h = Header.toUtf8();
        const QByteArray mh = MenuHeader.toUtf8();
        const QByteArray dh = DefaultsHeader.toUtf8();
        // %1 in a message stands for the folder.
        auto row = [](const char* name, const char* file, const QByteArray& content,
                      const char* expected, const char* second = "",
                      const QByteArray& secondContent = {}) {
            QTest::newRow(name) << QString::fromLatin1(file) << content
                                << QString::fromLatin1(second) << secondContent
                                << QString::fromUtf8(expected);
        };
        row("too few cells", "labels/a.tsv", h + "10\tn\tHello\tBonjour\n",
            "labels/a.tsv:2: 4 cells where the header has 5");
        row("tag not a number", "labels/a.tsv", h + "# c\n1O\tn\tA\tB\tC\n",
            "labels/a.tsv:3: tag \"1O\" is not a whole number");
        row("duplicate tag across files", "labels/a.tsv", h + "10\tn\tA\tB\tC\n",
            "labels/b.tsv:4: Tag 10 is already in %1/labels/a.tsv:2", "labels/b.tsv",
            h + "\n7\tn\tA\tB\tC\n10\tn\tD\tE\tF\n");
        row("duplicate menu key by case", "menus/a.tsv", mh + "mnuFileOpen\tn\tA\tB\tC\n",
            "menus/b.tsv:2: Key mnufileopen is already in %1/menus/a.tsv:2", "menus/b.tsv",
            mh + "mnufileopen\tn\tA\tB\tC\n");
        row("menu key with space", "menus/a.tsv", mh + "mnu File\tn\tA\tB\tC\n",
            "menus/a.tsv:2: key \"mnu File\" is not a command name");
        row("languages differ between files", "labels/a.tsv", h + "10\tn\tA\tB\tC\n",
            "labels/b.tsv:1: languages \"English,Español,Français\" differ from "
            "\"English,Français,Español\"",
            "labels/b.tsv", "Tag\tNote\tEnglish\tEspañol\tFrançais\n11\tn\tA\tB\tC\n");
        row("languages differ between tables", "labels/a.tsv", h + "10\tn\tA\tB\tC\n",
            "menus: languages \"English,Français\" differ from \"English,Français,Español\" of "
            "labels",
            "menus/a.tsv", "Key\tNote\tEnglish\tFrançais\nmnuFile\tn\tA\tB\n");
        row("wrong header", "labels/a.tsv", "Key\tNote\tEnglish\n10\tn\tA\n",
            "labels/a.tsv:1: the header must be \"Tag<TAB>Note<TAB>\"");
        row("no header", "labels/a.tsv", "# only a comment\n", "labels/a.tsv: no header line");
        row("language named twice", "labels/a.tsv", "Tag\tNote\tEnglish\tEnglish\n",
            "labels: a language is named twice");
        row("not UTF-8", "labels/a.tsv", h + "10\tn\tCaf\xE9\tB\tC\n",
            "labels/a.tsv:2: not valid UTF-8");
        row("defaults header", "defaults.tsv", "Key\tValue\tNote\n",
            "defaults.tsv:1: the header must be \"Key<TAB>Valeur<TAB>Note\"");
        row("default key", "defaults.tsv", dh + "59x\t1\tn\n",
            "defaults.tsv:2: key \"59x\" is not a whole number");
        row("default value", "defaults.tsv", dh + "593\tone\tn\n",
            "defaults.tsv:2: value \"one\" is neither empty nor a whole number");
        row("default value too big", "defaults.tsv", dh + "609\t4294967296\tn\n",
            "defaults.tsv:2: value 4294967296 does not fit 32 bits");
        row("default key outside 16 bits", "defaults.tsv", dh + "40000\t1\tn\n",
            "defaults.tsv:2: key 40000 is outside -32768..32767");
        row("duplicate default", "defaults.tsv", dh + "593\t1\tn\n\n593\t2\tn\n",
            "defaults.tsv:4: key 593 is already in %1/defaults.tsv:2");
    }

    void refusals()
    {
        QFETCH(QString, file);
        QFETCH(QByteArray, content);
        QFETCH(QString, second);
        QFETCH(QByteArray, secondContent);
        QFETCH(QString, expected);
        const QString dir = freshDir();
        // %1 in a message stands for the folder, in the place of the first row.
        expected = dir + QLatin1Char('/') +
                   (expected.contains(QStringLiteral("%1")) ? expected.arg(dir) : expected);
        WriteText(dir + QLatin1Char('/') + file, content);
        if (!second.isEmpty())
            WriteText(dir + QLatin1Char('/') + second, secondContent);
        // The program refuses and writes nothing: an older data file stays
        // exactly as it was, and no temporary is left.
        const QString target = dir + QStringLiteral("/out/orvel.dat");
        WriteText(target, "previous file");
        QString err;
        QCOMPARE(Run({QStringLiteral("build"), dir, target}, &err), 1);
        QVERIFY2(err.contains(expected), qPrintable(err));
        QVERIFY(err.contains(QStringLiteral("nothing written")));
        QCOMPARE(TestFiles::ReadBytes(target), QByteArray("previous file"));
        QCOMPARE(QDir(dir + QStringLiteral("/out")).entryList(QDir::Files),
                 QStringList{QStringLiteral("orvel.dat")});
        QCOMPARE(Run({QStringLiteral("check"), dir}), 1);
    }

    void checkListsTextsToTranslate()
    {
        const QString dir = freshDir();
        WriteText(dir + QStringLiteral("/labels/a.tsv"),
                  Header.toUtf8() +
                      "10\tn\tHello\t\tHola\n11\theading line 2 (may be empty)\t\t\t\n");
        WriteText(dir + QStringLiteral("/menus/m.tsv"),
                  MenuHeader.toUtf8() + "\nmnuFile\tn\t&File\t&Fichier\t \n");
        QString out;
        QCOMPARE(Run({QStringLiteral("check"), dir}, nullptr, &out), 0);
        QCOMPARE(out, dir + QStringLiteral("/labels/a.tsv:2: Tag 10 has no Français text\n") + dir +
                          QStringLiteral("/menus/m.tsv:3: Key mnuFile has no Español text\n"));
    }

    void shippedSourcesSurviveTheRoundTrip()
    {
        // The sources under data/, comments, blank lines and row order included,
        // come back byte for byte from the data file the build made of them.
        const QString source = QStringLiteral(ORVEL_SOURCE_DIR "/data");
        const QString out = m_dir.filePath(QStringLiteral("shipped"));
        QCOMPARE(Run({QStringLiteral("dump"), DataFile, out}), 0);
        QMap<QString, QByteArray> original = Tree(source);
        original.removeIf([](const auto& it) { return !it.key().endsWith(QLatin1String(".tsv")); });
        const QMap<QString, QByteArray> dumped = Tree(out);
        QCOMPARE(dumped.keys(), original.keys());
        for (auto it = original.cbegin(); it != original.cend(); ++it)
            QCOMPARE(QString::fromUtf8(dumped.value(it.key())), QString::fromUtf8(it.value()));
    }

    void dumpRefusesPathsOutsideItsFolder_data()
    {
        QTest::addColumn<QString>("path");
        for (const char* path : {"../evil.tsv", "labels/../../evil.tsv", "/tmp/evil.tsv",
                                 "help/x.tsv", "labels/.x.tsv", "labels/x.html"})
            QTest::newRow(path) << QString::fromLatin1(path);
    }

    void dumpRefusesPathsOutsideItsFolder()
    {
        QFETCH(QString, path);
        DataSources s = Standard();
        s.layouts = {SourceLayout{path, {SourceLine{SourceLine::Verbatim, QStringLiteral("# x")}}}};
        const QString dir = freshDir();
        QString error;
        QVERIFY(!WriteSources(s, dir + QStringLiteral("/out"), error));
        QCOMPARE(error, QStringLiteral("source file \"") + path +
                            QStringLiteral("\" is not a plain data file name"));
        QVERIFY(!QFileInfo::exists(dir + QStringLiteral("/out")));
    }

    // The writer refuses what the sources would refuse (the same check as
    // the refusals above) and writes nothing; a file it writes replaces an
    // older one whole, no temporary left.
    void writer()
    {
        DataSources s = Standard();
        s.menus.rows << Row(QStringLiteral("mnuTab"),
                            {QStringLiteral("a\tb"), QStringLiteral("y"), QStringLiteral("z")});
        const QString data = m_dir.filePath(QStringLiteral("written.dat"));
        QString error;
        QVERIFY(!WriteDataFile(s, data, error));
        QCOMPARE(error, QStringLiteral("menus/test.tsv: a cell holds a tab or a line break"));
        QVERIFY(!QFileInfo::exists(data));
        WriteText(data, "old");
        Write(Standard(), data);
        QVERIFY2(ReadDataFile(data, s, error), qPrintable(error));
        QCOMPARE(QDir(m_dir.path()).entryList({QStringLiteral("written.dat*")}, QDir::Files),
                 QStringList{QStringLiteral("written.dat")});
    }

    void usage()
    {
        for (const char* args : {"", "make a", "build a", "dump a"}) {
            QString err;
            QCOMPARE(
                Run(QString::fromLatin1(args).split(QLatin1Char(' '), Qt::SkipEmptyParts), &err),
                2);
            QVERIFY(err.startsWith(QStringLiteral("usage: orvel-datagen build DATADIR DATAFILE")));
        }
    }
};

QTEST_GUILESS_MAIN(TestDataCatalogue)
#include "tst_datacatalogue.moc"
