// The machine token that remembers factory access on one workstation.

#include "shell/MachineToken.h"

#include <QCryptographicHash>
#include <QRegularExpression>
#include <QSysInfo>
#include <QTest>

class tst_MachineToken : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void stableForOneMachine()
    {
        const QByteArray id = "4c4c4544-0037-3010-8052-b4c04f4e3332";
        QCOMPARE(MachineToken(id), MachineToken(id));
        QCOMPARE(MachineToken(QByteArray(id)), MachineToken(id));
    }

    void shapeOfTheToken()
    {
        const QString token = MachineToken("3d121f0a9b5e4c8e9a6b7c8d9e0f1a2b");
        QCOMPARE(token.size(), 40);
        QVERIFY(token.size() >= MachineTokenCompareLength);
        QVERIFY(QRegularExpression(QStringLiteral("^[0-9A-F]{40}$")).match(token).hasMatch());
    }

    void neverTheRawIdentity()
    {
        const QByteArray id = "0123456789abcdef0123456789abcdef";
        const QString token = MachineToken(id);
        QVERIFY(!token.contains(QString::fromLatin1(id), Qt::CaseInsensitive));
        QVERIFY(!token.contains(QString::fromLatin1(id.left(12)), Qt::CaseInsensitive));
        // Not a bare hash of the identity either: the console's constant is in it.
        QVERIFY(token !=
                QString::fromLatin1(QCryptographicHash::hash(id, QCryptographicHash::Sha256)
                                        .toHex()
                                        .toUpper()
                                        .left(40)));
    }

    void differentMachinesDiffer_data()
    {
        QTest::addColumn<QByteArray>("a");
        QTest::addColumn<QByteArray>("b");
        QTest::newRow("one character") << QByteArray("machine-A") << QByteArray("machine-B");
        QTest::newRow("prefix") << QByteArray("abc") << QByteArray("abcd");
        QTest::newRow("case") << QByteArray("abcdef") << QByteArray("ABCDEF");
    }
    void differentMachinesDiffer()
    {
        QFETCH(QByteArray, a);
        QFETCH(QByteArray, b);
        QVERIFY(MachineToken(a) != MachineToken(b));
        QVERIFY(!MachineTokenMatches(MachineToken(a), MachineToken(b)));
    }

    void noIdentityNoToken()
    {
        QCOMPARE(MachineToken(QByteArray()), QString());
        QCOMPARE(MachineToken("   \n"), QString());
        QVERIFY(!MachineTokenMatches(QString(), MachineToken(QByteArray())));
    }

    void systemIdentity()
    {
        QCOMPARE(MachineIdentity(), QSysInfo::machineUniqueId());
        if (MachineIdentity().isEmpty())
            QSKIP("this system gives no machine identity");
        QCOMPARE(MachineToken(MachineIdentity()).size(), 40);
    }

    void matching_data()
    {
        const QString token = MachineToken("machine-A");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("token");
        QTest::addColumn<bool>("matches");
        QTest::newRow("same token") << token << token << true;
        QTest::newRow("first 24 characters") << token.left(24) << token << true;
        QTest::newRow("tail differs") << token.left(24) + QStringLiteral("XXXX") << token << true;
        QTest::newRow("23 characters") << token.left(23) << token << false;
        QTest::newRow("one character off")
            << QString(token).replace(
                   10, 1, token[10] == QLatin1Char('0') ? QStringLiteral("1") : QStringLiteral("0"))
            << token << false;
        QTest::newRow("lower case") << token.toLower() << token << false;
        QTest::newRow("empty stored") << QString() << token << false;
        QTest::newRow("no token here") << token << QString() << false;
        QTest::newRow("both empty") << QString() << QString() << false;
        QTest::newRow("other machine") << MachineToken("machine-B") << token << false;
    }
    void matching()
    {
        QFETCH(QString, stored);
        QFETCH(QString, token);
        QFETCH(bool, matches);
        QCOMPARE(MachineTokenMatches(stored, token), matches);
    }
};

QTEST_GUILESS_MAIN(tst_MachineToken)
#include "tst_machinetoken.moc"
