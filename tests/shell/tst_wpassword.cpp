#include "shell/wPassword.h"
#include "SmallDataFile.h"
#include "texts/DataFunctions.h"
#include "WidgetLookup.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QStandardPaths>
#include <QStyle>
#include <QTemporaryDir>
#include <QTest>

// The factory password dialog: hidden text, the caption of the factory item,
// and Ok for the default button only.
class TestWPassword : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

private Q_SLOTS:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QVERIFY(SmallDataFile::Create(
            m_dir.filePath(QStringLiteral("t.dat")), {12, 15, 2001}, {},
            {{QStringLiteral("mnuOptionsFactory"),
              {QStringLiteral("&Factory access"), QStringLiteral("Accès &usine"),
               QStringLiteral("Acceso de &fábrica")}}}));
    }
    void init() { SetCurrentLanguage(QStringLiteral("English")); }

    void texts()
    {
        wPassword dialog;
        QCOMPARE(child<QLabel>(&dialog, "lblPassword")->text(), QStringLiteral("en2001"));
        QCOMPARE(child<QPushButton>(&dialog, "cmdBoutons0")->text(), QStringLiteral("en12"));
        QCOMPARE(child<QPushButton>(&dialog, "cmdBoutons1")->text(), QStringLiteral("en15"));
        QVERIFY(child<QPushButton>(&dialog, "cmdBoutons1")->isDefault());
        // Without a main window the caption is the menu text of the data file.
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Factory access"));
    }

    void captionIsTheFactoryItemWithoutAmpersands()
    {
        QMainWindow main;
        QMenu* options = main.menuBar()->addMenu(QStringLiteral("Options"));
        QAction* factory = options->addAction(QStringLiteral("Acc&ès us&ine"));
        factory->setObjectName(QStringLiteral("mnuOptionsFactory"));
        main.show();
        wPassword dialog(&main);
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Accès usine"));
        factory->setText(QStringLiteral("&Werks&zugang"));
        dialog.Nationality();
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Werkszugang"));
    }

    void everyCharacterShowsAsAStar()
    {
        wPassword dialog;
        auto* text = child<QLineEdit>(&dialog, "txtPassword");
        QCOMPARE(text->echoMode(), QLineEdit::Password);
        QCOMPARE(text->style()->styleHint(QStyle::SH_LineEdit_PasswordCharacter, nullptr, text),
                 int('*'));
        dialog.show();
        QTest::keyClicks(text, QStringLiteral("TEZ-FORGE"));
        QCOMPARE(dialog.Password(), QStringLiteral("TEZ-FORGE"));
        QCOMPARE(text->displayText(), QStringLiteral("*********"));
    }

    void enterConfirms()
    {
        wPassword dialog;
        dialog.show();
        QTest::keyClicks(child<QLineEdit>(&dialog, "txtPassword"), QStringLiteral("x y"));
        QTest::keyClick(child<QLineEdit>(&dialog, "txtPassword"), Qt::Key_Return);
        QVERIFY(dialog.Ok());
        QVERIFY(!dialog.isVisible());
        QCOMPARE(dialog.Password(), QStringLiteral("x y"));
    }

    void escapeAndCancelRefuse_data()
    {
        QTest::addColumn<bool>("escape");
        QTest::newRow("Escape") << true;
        QTest::newRow("Cancel") << false;
    }
    void escapeAndCancelRefuse()
    {
        QFETCH(bool, escape);
        wPassword dialog;
        dialog.show();
        QTest::keyClicks(child<QLineEdit>(&dialog, "txtPassword"), QStringLiteral("TEZ-FORGE"));
        if (escape)
            QTest::keyClick(&dialog, Qt::Key_Escape);
        else
            child<QPushButton>(&dialog, "cmdBoutons0")->click();
        QVERIFY(!dialog.isVisible());
        QVERIFY(!dialog.Ok());
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
    }
};

QTEST_MAIN(TestWPassword)
#include "tst_wpassword.moc"
