// The section store and the line store of the copy commands, checked on the
// file image: a paste carries exactly the bytes of its section or line.
#include "RecordingUi.h"

#include "config/ClipboardClass.h"
#include "config/LineStore.h"

#include <QTest>

namespace {
// A record whose every byte outside the texts differs from its neighbours.
ConfigClass Filled(int seed)
{
    QByteArray bytes = ConfigClass().ToFileBytes(); // type "Orvel", no name
    for (int i = 0; i < bytes.size(); ++i)
        if (i < 241 || i >= 254)
            bytes[i] = char(seed + i * 7);
    ConfigClass c;
    c.FromFileBytes(bytes);
    return c;
}

QList<int> Range(int from, int to)
{
    QList<int> offsets;
    for (int i = from; i < to; ++i)
        offsets << i;
    return offsets;
}
} // namespace

class tst_Clipboard : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // The file offsets each section carries (the texts take offsets 241..253).
    void sections_data()
    {
        QTest::addColumn<int>("section");
        QTest::addColumn<QList<int>>("carried");
        QTest::newRow("inputs") << 0 << Range(0, 180);
        QTest::newRow("outputs") << 1 << Range(180, 204);
        QTest::newRow("general") << 2 << Range(204, 236) + Range(278, 283) + QList<int>{295};
        QTest::newRow("factory") << 3 << Range(236, 240);
    }
    void sections()
    {
        QFETCH(int, section);
        QFETCH(QList<int>, carried);
        using Get = void (ClipboardClass::*)(const ConfigClass&);
        using Set = void (ClipboardClass::*)(ConfigClass&) const;
        using Flag = bool (ClipboardClass::*)() const;
        const Get gets[] = {&ClipboardClass::GetInputs, &ClipboardClass::GetOutputs,
                            &ClipboardClass::GetGeneral, &ClipboardClass::GetFactory};
        const Set sets[] = {&ClipboardClass::SetInputs, &ClipboardClass::SetOutputs,
                            &ClipboardClass::SetGeneral, &ClipboardClass::SetFactory};
        const Flag flags[] = {&ClipboardClass::InputData, &ClipboardClass::OutputData,
                              &ClipboardClass::GeneralData, &ClipboardClass::FactoryData};
        ClipboardClass store;
        const QByteArray source = Filled(3).ToFileBytes();
        QByteArray expected = Filled(40).ToFileBytes();
        ConfigClass pasted = Filled(40);
        (store.*sets[section])(pasted); // nothing copied yet: nothing pasted
        QCOMPARE(pasted.ToFileBytes(), expected);

        (store.*gets[section])(Filled(3));
        for (int s = 0; s < 4; ++s)
            QCOMPARE((store.*flags[s])(), s == section);
        (store.*sets[section])(pasted);
        for (int offset : carried)
            expected[offset] = source[offset];
        if (section == 2)
            expected[240] = source[230]; // the panel number follows parameter 23
        QCOMPARE(pasted.ToFileBytes(), expected);
    }

    // Input line 7 onto line 2, output line 9 onto line 3; a paste before any
    // copy or onto line 13 beeps and changes nothing.
    void lines()
    {
        RecordingUi ui;
        LineStore store;
        ConfigClass target = Filled(60);
        const QByteArray source = Filled(5).ToFileBytes();
        QByteArray expected = target.ToFileBytes();
        QVERIFY(!store.PasteInputLine(target, 2));
        QVERIFY(!store.PasteOutputLine(target, 2));
        QCOMPARE(ui.beeps, 2);
        QCOMPARE(target.ToFileBytes(), expected);

        store.CopyInputLine(Filled(5), 7);
        store.CopyOutputLine(Filled(5), 9);
        QVERIFY(store.PasteInputLine(target, 2));
        QVERIFY(store.PasteOutputLine(target, 3));
        expected.replace(15, 15, source.mid(6 * 15, 15));
        expected.replace(184, 2, source.mid(196, 2));
        QCOMPARE(target.ToFileBytes(), expected);
        QVERIFY(!store.PasteInputLine(target, 13));
        QCOMPARE(ui.beeps, 3);
        QCOMPARE(target.ToFileBytes(), expected);
    }
};

QTEST_MAIN(tst_Clipboard)
#include "tst_clipboard.moc"
