// orvel-linkbench runs against orvel-sim and prints its documented lines. The
// figures depend on the machine: only their form and the facts that hold
// anywhere are checked (every transfer succeeds, no case beats the line's own
// time, the unanswered exchange waits the 2-second deadline, the scans find
// exactly the panels there are).
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
        const QStringList lines =
            QString::fromLocal8Bit(bench.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
        // Each case with the names of its figures, in order.
        using Case = std::pair<QString, QString>;
        QList<Case> cases;
        for (const char* baud : {"19200", "9600"})
            for (const char* delay : {"fd50", "fd0"})
                for (const char* transfer : {"readall", "writeall"})
                    cases.append({QStringLiteral("%1-%2-%3").arg(transfer, baud, delay),
                                  "measured_ms ideal_ms ratio"});
        cases << Case{"timeout", "cpu_ms wall_ms"};
        cases << Case{"monitor", "without_ms with_ms overhead_pct"};
        cases << Case{"scan-9600", "ms ideal_ms ratio found"};
        cases << Case{"scan-19200-turnaround80", "ms ideal_ms ratio found"};
        QCOMPARE(lines.size(), cases.size());
        QList<QList<double>> figures;
        for (qsizetype i = 0; i < lines.size(); ++i) {
            const QStringList names = cases[i].second.split(' ');
            const QRegularExpression form("^case=" + cases[i].first + " " +
                                          names.join("=(-?[0-9.]+) ") + "=(-?[0-9.]+)$");
            const QRegularExpressionMatch m = form.match(lines[i]);
            QVERIFY2(m.hasMatch(), qPrintable(lines[i]));
            figures.append(QList<double>());
            for (int k = 1; k <= names.size(); ++k)
                figures.last() << m.captured(k).toDouble();
            // A transfer or a scan: never faster than the ideal, and the ratio of both.
            if (names.contains("ratio")) {
                QVERIFY2(figures[i][0] >= figures[i][1] * 0.99, qPrintable(lines[i]));
                QVERIFY(qAbs(figures[i][2] - figures[i][0] / figures[i][1]) < 0.002);
            }
        }
        // 15 pauses of 50 ms and the wire time of 20 exchanges at 19200 baud.
        QCOMPARE(figures[0][1], 1125.0);
        QVERIFY(figures[8][1] >= 2000); // the unanswered exchange's wall time
        // A 1..64 scan where no panel listens: 64 probes of 15 characters at
        // 9600 baud, each with its 100 ms margin; then three slow panels found.
        QCOMPARE(figures[10][1], 7400.0);
        QCOMPARE(figures[10][3], 0.0);
        QCOMPARE(figures[11][3], 3.0);
    }
};

QTEST_GUILESS_MAIN(TestLinkBench)
#include "tst_linkbench.moc"
