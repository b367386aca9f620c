// orvel-linkbench runs against orvel-sim and prints its documented lines. The
// figures themselves depend on the machine: only their form and the facts
// that hold anywhere are checked (every transfer succeeds, no case beats the
// line's own time, the unanswered exchange waits the 2-second deadline).
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
        QVERIFY(bench.waitForFinished(60000));
        QCOMPARE(bench.exitStatus(), QProcess::NormalExit);
        QCOMPARE(bench.exitCode(), 0);
        const QStringList lines = QString::fromLocal8Bit(bench.readAllStandardOutput())
                                      .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        const QStringList cases = {
            "readall-19200-fd50", "writeall-19200-fd50", "readall-19200-fd0", "writeall-19200-fd0",
            "readall-9600-fd50",  "writeall-9600-fd50",  "readall-9600-fd0",  "writeall-9600-fd0"};
        QCOMPARE(lines.size(), cases.size() + 1);
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
        const QRegularExpressionMatch t = timeout.match(lines.last());
        QVERIFY2(t.hasMatch(), qPrintable(lines.last()));
        QVERIFY(t.captured(2).toInt() >= 2000);
    }
};

QTEST_GUILESS_MAIN(TestLinkBench)
#include "tst_linkbench.moc"
