// Factory access: the machine token that remembers it on one workstation,
// the password dialog, and Options > Factory access switching it on and off.

#include "ShellFixture.h"

#include "shell/MachineToken.h"
#include "shell/wPassword.h"

#include <QCryptographicHash>
#include <QSignalSpy>
#include <QStyle>

using namespace Shell;

namespace {
const QByteArray ThisMachine = "bench-pc-42";
const QByteArray English = "[General]\r\nLanguage=English\r\n";

QByteArray Token(const QByteArray& id = ThisMachine)
{
    return MachineToken(id).toLatin1();
}
} // namespace

class tst_FactoryAccess : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QVERIFY(UseShippedData()); }
    void init() { SetCurrentLanguage(QStringLiteral("English")); }

    // 40 hexadecimal capitals, stable, per machine, not the identity nor its bare hash.
    void token()
    {
        const QByteArray id = "0123456789abcdef0123456789abcdef";
        const QString token = MachineToken(id);
        QVERIFY(QRegularExpression(QStringLiteral("^[0-9A-F]{40}$")).match(token).hasMatch());
        QCOMPARE(MachineToken(QByteArray(id)), token);
        QVERIFY(!token.contains(QString::fromLatin1(id.left(12)), Qt::CaseInsensitive));
        QVERIFY(
            token !=
            QCryptographicHash::hash(id, QCryptographicHash::Sha256).toHex().toUpper().left(40));
        QVERIFY(MachineToken("0123456789abcdef0123456789abcdeF") != token);
        QVERIFY(MachineToken(QByteArray()).isEmpty() && MachineToken("   \n").isEmpty());
    }

    // A stored text matches on the token's first 24 characters, exactly.
    void matching_data()
    {
        const QString token = MachineToken("machine-A");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("token");
        QTest::addColumn<bool>("matches");
        QTest::newRow("first 24, tail differs") << token.left(24) + "XXXX" << token << true;
        QTest::newRow("23 characters") << token.left(23) << token << false;
        QTest::newRow("lower case") << token.toLower() << token << false;
        QTest::newRow("other machine") << MachineToken("machine-B") << token << false;
        QTest::newRow("empty stored") << QString() << token << false;
        QTest::newRow("no token here") << token << QString() << false;
    }
    void matching()
    {
        QFETCH(QString, stored);
        QFETCH(QString, token);
        QTEST(MachineTokenMatches(stored, token), "matches");
    }

    // The dialog's texts in the main window's language, its caption the
    // factory item's without access keys; the password shows as stars.
    void passwordDialog()
    {
        Console c;
        for (const char* language : {"English", "Español"}) {
            SetCurrentLanguage(QString::fromUtf8(language));
            c.window->Nationality();
            wPassword dialog(c.window.get());
            QCOMPARE(
                (QStringList{dialog.windowTitle(), child<QLabel>(&dialog, "lblPassword")->text(),
                             child<QPushButton>(&dialog, "cmdBoutons0")->text(),
                             child<QPushButton>(&dialog, "cmdBoutons1")->text()}),
                (QStringList{GetMenuText("mnuOptionsFactory").remove('&'), GetCaption(2001),
                             GetCaption(12), GetCaption(15)}));
            QVERIFY(child<QPushButton>(&dialog, "cmdBoutons1")->isDefault());
            auto* text = child<QLineEdit>(&dialog, "txtPassword");
            QCOMPARE(text->echoMode(), QLineEdit::Password);
            QCOMPARE(text->style()->styleHint(QStyle::SH_LineEdit_PasswordCharacter, nullptr, text),
                     int('*'));
        }
    }

    // Only the exact password opens factory access and stores this machine's
    // token; switching off asks nothing and removes the token alone.
    void toggle_data()
    {
        QTest::addColumn<QByteArray>("before"); // the INI file; a Factory key: access on
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("key");
        QTest::addColumn<QByteArray>("id");
        QTest::addColumn<bool>("on");
        QTest::addColumn<bool>("refused");
        QTest::addColumn<QByteArray>("after");
        const QByteArray on = English + "Factory=" + Token() + "\r\n";
        const QString right = QStringLiteral("TEZ-FORGE");
        const int enter = Qt::Key_Return;
        QTest::newRow("password") << English << right << enter << ThisMachine << true << false
                                  << on;
        for (const char* wrong : {"tez-forge", "TEZ-FORGE ", " TEZ-FORGE", "", "TEZFORGE"})
            QTest::addRow("refused '%s'", wrong)
                << English << QString(wrong) << enter << ThisMachine << false << true << English;
        QTest::newRow("Escape") << English << right << int(Qt::Key_Escape) << ThisMachine << false
                                << false << English;
        QTest::newRow("Cancel") << English << right << 0 << ThisMachine << false << false
                                << English;
        QTest::newRow("no machine identity")
            << English << right << enter << QByteArray() << true << false << English;
        QTest::newRow("off") << on + "MRU=4\r\n"
                             << QString() << 0 << ThisMachine << false << false
                             << English + "MRU=4\r\n";
    }
    void toggle()
    {
        QFETCH(QByteArray, before);
        QFETCH(QString, typed);
        QFETCH(int, key);
        QFETCH(QByteArray, id);
        QFETCH(bool, on);
        QFETCH(bool, refused);
        Console c(before);
        c.window->SetMachineId(id);
        const bool wasOn = before.contains("Factory") || typed.isNull();
        c.window->SetFactoryMode(wasOn);
        QSignalSpy changed(c.window.get(), &wMain::FactoryModeChanged);
        c.ui.onNextDialog([&](QObject* dialog) {
            qobject_cast<QWidget*>(dialog)->show();
            auto* field = child<QLineEdit>(dialog, "txtPassword");
            QTest::keyClicks(field, typed);
            if (key)
                QTest::keyClick(field, Qt::Key(key));
            else
                child<QPushButton>(dialog, "cmdBoutons0")->click();
            return qobject_cast<QDialog*>(dialog)->result() == QDialog::Accepted;
        });
        c.choose("mnuOptionsFactory");

        QCOMPARE(c.ui.dialogsShown.size(), int(!wasOn));
        QCOMPARE(c.window->FactoryMode(), on);
        QCOMPARE(c.item("mnuOptionsFactory")->isChecked(), on);
        QCOMPARE(changed.size(), int(on != wasOn));
        CompareMessages(c.ui,
                        refused ? QStringList{"Critical Ok: " + GetText(2001)} : QStringList{});
        QTEST(c.ini.bytes(), "after");
    }
};

QTEST_MAIN(tst_FactoryAccess)
#include "tst_factoryaccess.moc"
