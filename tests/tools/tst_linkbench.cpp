// orvel-linkbench runs against orvel-sim and prints its documented lines. The
// figures themselves depend on the machine: only their form and the facts
// that hold anywhere are checked (every transfer succeeds, no case beats the
// line's own time, the unanswered exchange waits the 2-second deadline, the
// scans find exactly the panels there are).
#include <QProcess>
#include <QRegularExpression>
#include <QTest>

class TestLinkBench : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void printsOneLinePerCase()
    {
        QProcess bench;
        bench.start(QStringLiteral(ORVEL_BIN_DIR "/orvel-linkbench"), {});
        QVERIFY(bench.waitForFinished(90000));
        QCOMPARE(bench.exitStatus(), QProcess::NormalExit);
        QCOMPARE(bench.exitCode(), 0);
        const QStringList lines = QString::fromLocal8Bit(bench.readAllStandardOutput())
                                      .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        const QStringList cases = {
            "readall-19200-fd50", "writeall-19200-fd50", "readall-19200-fd0", "writeall-19200-fd0",
            "readall-9600-fd50",  "writeall-9600-fd50",  "readall-9600-fd0",  "writeall-9600-fd0"};
        QCOMPARE(lines.size(), cases.size() + 4);
        static const QRegularExpression form(QStringLiteral(
            "^case=([a-z0-9-]+) measured_ms=([0-9.]+) ideal_ms=([0-9.]+) ratio=([0-9.]+)$"));
        for (qsizetype i = 0; i < cases.size(); ++i) {
            const QRegularExpressionMatch m = form.match(lines[i]);
            QVERIFY2(m.hasMatch(), qPrintable(lines[i]));
            QCOMPARE(m.captured(1), cases[i]);
            const double measured = m.captured(2).toDouble();
            const double ideal = m.captured(3).toDouble();
            QVERIFY2(measured >= ideal * 0.99, qPrintable(lines[i]));
            QVERIFY(qAbs(m.captured(4).toDouble() - measured / ideal) < 0.002);
        }
        // 15 pauses of 50 ms and the wire time of 20 exchanges at 19200 baud.
        QVERIFY(lines[0].contains(QStringLiteral("ideal_ms=1125.0")));
        static const QRegularExpression timeout(
            QStringLiteral("^case=timeout cpu_ms=([0-9.]+) wall_ms=([0-9]+)$"));
        const QRegularExpressionMatch t = timeout.match(lines[cases.size()]);
        QVERIFY2(t.hasMatch(), qPrintable(lines[cases.size()]));
        QVERIFY(t.captured(2).toInt() >= 2000);
        static const QRegularExpression monitor(QStringLiteral(
            "^case=monitor without_ms=[0-9.]+ with_ms=[0-9.]+ overhead_pct=-?[0-9.]+$"));
        QVERIFY2(monitor.match(lines[cases.size() + 1]).hasMatch(),
                 qPrintable(lines[cases.size() + 1]));
        // A 1..64 scan where no panel listens, then three slow panels found.
        static const QRegularExpression scan(QStringLiteral(
            "^case=(scan-[a-z0-9-]+) ms=([0-9.]+) ideal_ms=([0-9.]+) ratio=[0-9.]+ found=(\\d)$"));
        const QStringList scans = {"scan-9600", "scan-19200-turnaround80"};
        for (qsizetype i = 0; i < scans.size(); ++i) {
            const QString& line = lines[cases.size() + 2 + i];
            const QRegularExpressionMatch m = scan.match(line);
            QVERIFY2(m.hasMatch(), qPrintable(line));
            QCOMPARE(m.captured(1), scans[i]);
            QVERIFY2(m.captured(2).toDouble() >= m.captured(3).toDouble() * 0.99, qPrintable(line));
            QCOMPARE(m.captured(4).toInt(), i == 0 ? 0 : 3);
        }
        // 64 probes of 15 characters at 9600 baud, each with its 100 ms margin.
        QVERIFY(lines[cases.size() + 2].contains(QStringLiteral("ideal_ms=7400.0")));
    }
};

QTEST_GUILESS_MAIN(TestLinkBench)
#include "tst_linkbench.moc"
