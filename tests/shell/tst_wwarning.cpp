#include "shell/wWarning.h"
#include "SmallDataFile.h"
#include "texts/DataFunctions.h"
#include "WidgetLookup.h"

#include <QLabel>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

// The warning before a write to an older panel: its texts and its Ok.
class TestWWarning : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

private Q_SLOTS:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QVERIFY(SmallDataFile::Create(
            m_dir.filePath(QStringLiteral("t.dat")), {10, 11, 1600, 1611},
            {{QStringLiteral("1610"),
              {QStringLiteral("Older panel.|Some settings will be adapted."),
               QStringLiteral("Tableau plus ancien.|Certains réglages seront adaptés."),
               QStringLiteral("Panel más antiguo.|Algunos ajustes se adaptarán.")}}}));
    }
    void init() { SetCurrentLanguage(QStringLiteral("English")); }

    void texts()
    {
        wWarning dialog;
        QCOMPARE(dialog.windowTitle(), QStringLiteral("en1600"));
        QCOMPARE(child<QLabel>(&dialog, "lblMessage")->text(),
                 QStringLiteral("Older panel.\nSome settings will be adapted."));
        QVERIFY(child<QLabel>(&dialog, "lblMessage")->font().bold());
        QCOMPARE(child<QLabel>(&dialog, "lblcontinue")->text(), QStringLiteral("en1611"));
        QCOMPARE(child<QPushButton>(&dialog, "cmdYes")->text(), QStringLiteral("en11"));
        QCOMPARE(child<QPushButton>(&dialog, "cmdNo")->text(), QStringLiteral("en10"));
        QVERIFY(child<QPushButton>(&dialog, "cmdYes")->isDefault());
        QVERIFY(!child<QLabel>(&dialog, "imgWarning")->pixmap().isNull());
        QVERIFY(!dialog.Ok());

        SetCurrentLanguage(QStringLiteral("Français"));
        dialog.Nationality();
        QCOMPARE(dialog.windowTitle(), QStringLiteral("fr1600"));
        QCOMPARE(child<QLabel>(&dialog, "lblMessage")->text(),
                 QStringLiteral("Tableau plus ancien.\nCertains réglages seront adaptés."));
        QCOMPARE(child<QPushButton>(&dialog, "cmdNo")->text(), QStringLiteral("fr10"));
    }

    void yesConfirms()
    {
        wWarning dialog;
        dialog.show();
        child<QPushButton>(&dialog, "cmdYes")->click();
        QVERIFY(dialog.Ok());
        QVERIFY(!dialog.isVisible());
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
    }

    void enterConfirms()
    {
        wWarning dialog;
        dialog.show();
        QTest::keyClick(&dialog, Qt::Key_Return);
        QVERIFY(dialog.Ok());
    }

    void noEscapeAndTheFrameRefuse_data()
    {
        QTest::addColumn<int>("how");
        QTest::newRow("No") << 0;
        QTest::newRow("Escape") << 1;
        QTest::newRow("frame") << 2;
    }
    void noEscapeAndTheFrameRefuse()
    {
        QFETCH(int, how);
        wWarning dialog;
        dialog.show();
        if (how == 0)
            child<QPushButton>(&dialog, "cmdNo")->click();
        else if (how == 1)
            QTest::keyClick(&dialog, Qt::Key_Escape);
        else
            dialog.close();
        QVERIFY(!dialog.isVisible());
        QVERIFY(!dialog.Ok());
    }
};

QTEST_MAIN(TestWWarning)
#include "tst_wwarning.moc"
