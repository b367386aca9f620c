// The section store and the line store of the copy commands: what each
// carries, what it leaves, and the refusals.

#include "RecordingUi.h"

#include "config/ClipboardClass.h"
#include "config/LineStore.h"

#include <QTest>

namespace {
// A record whose every field holds a value derived from seed.
ConfigClass Filled(int seed)
{
    ConfigClass c;
    for (int i = 1; i <= ConfigClass::Channels; ++i) {
        const auto v = std::uint8_t(seed + i);
        c.SetInSecu(i, v);
        c.SetInTempo(i, seed * 1000 + i);
        c.SetInSequence(i, v + 1);
        c.SetInDetect(i, v + 2);
        c.SetInRelance(i, v + 3);
        c.SetInBlocage(i, v + 4);
        for (int k = 1; k <= 4; ++k)
            c.SetInRedir(i, k, std::uint8_t(v + 4 + k));
        c.SetInSynth(i, v + 9);
        c.SetInTypeKL(i, v + 10);
        c.SetInDisturb(i, v + 11);
        c.SetInRepBlock(i, v + 12);
        c.SetOutSecu(i, v + 13);
        c.SetOutPilot(i, v + 14);
        c.SetOutMode(i, v + 15);
    }
    for (int i = 0; i < ConfigClass::GenParamCount; ++i)
        c.SetGenParam(i, std::uint8_t(seed + 2 * i));
    c.SetGenTempoRelance(seed * 77);
    c.SetModuleNo(std::uint8_t(seed));
    c.SetModuleName(QStringLiteral("name %1").arg(seed));
    c.SetBrightMin(std::int16_t(seed * 3));
    c.SetSupplyType(std::uint8_t(seed + 1));
    c.SetCommonType(std::uint8_t(seed + 2));
    return c;
}

// What a section paste must give: the target with the carried fields of the source.
ConfigClass Expected(const ConfigClass& source, ConfigClass target, int section)
{
    for (int i = 1; i <= ConfigClass::Channels; ++i) {
        if (section == 1) {
            target.SetInSecu(i, source.InSecu(i));
            target.SetInTempo(i, source.InTempo(i));
            target.SetInSequence(i, source.InSequence(i));
            target.SetInDetect(i, source.InDetect(i));
            target.SetInRelance(i, source.InRelance(i));
            target.SetInBlocage(i, source.InBlocage(i));
            for (int k = 1; k <= 4; ++k)
                target.SetInRedir(i, k, source.InRedir(i, k));
            target.SetInSynth(i, source.InSynth(i));
            target.SetInTypeKL(i, source.InTypeKL(i));
        } else if (section == 2) {
            target.SetOutSecu(i, source.OutSecu(i));
            target.SetOutPilot(i, source.OutPilot(i));
        }
    }
    if (section == 3) {
        for (int i = 0; i < ConfigClass::GenParamCount; ++i)
            target.SetGenParam(i, source.GenParam(i));
        target.SetGenTempoRelance(source.GenTempoRelance());
    } else if (section == 4) {
        target.SetBrightMin(source.BrightMin());
        target.SetSupplyType(source.SupplyType());
        target.SetCommonType(source.CommonType());
    }
    return target;
}
} // namespace

class tst_Clipboard : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void sections_data()
    {
        QTest::addColumn<int>("section");
        QTest::newRow("inputs") << 1;
        QTest::newRow("outputs") << 2;
        QTest::newRow("general") << 3;
        QTest::newRow("factory") << 4;
    }
    void sections()
    {
        QFETCH(int, section);
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
        const ConfigClass source = Filled(3);
        const ConfigClass target = Filled(40);

        ConfigClass untouched = target;
        (store.*sets[section - 1])(untouched);
        QVERIFY(untouched == target);

        (store.*gets[section - 1])(source);
        for (int s = 1; s <= 4; ++s)
            QCOMPARE((store.*flags[s - 1])(), s == section);
        ConfigClass pasted = target;
        (store.*sets[section - 1])(pasted);
        ConfigClass expected = Expected(source, target, section);
        QVERIFY(pasted == expected);
        // Pasting the general section sets the panel number through parameter 23.
        QCOMPARE(pasted.ModuleNo(), section == 3 ? source.GenParam(23) : target.ModuleNo());
    }

    void lines()
    {
        RecordingUi ui;
        LineStore store;
        const ConfigClass source = Filled(5);
        ConfigClass target = Filled(60);
        const ConfigClass before = target;
        QVERIFY(!store.PasteInputLine(target, 2));
        QVERIFY(!store.PasteOutputLine(target, 2));
        QCOMPARE(ui.beeps, 2);
        QVERIFY(target == before);

        store.CopyInputLine(source, 7);
        store.CopyOutputLine(source, 9);
        QVERIFY(store.PasteInputLine(target, 2));
        QVERIFY(store.PasteOutputLine(target, 3));
        ConfigClass expected = before;
        expected.SetInSecu(2, source.InSecu(7));
        expected.SetInTempo(2, source.InTempo(7));
        expected.SetInSequence(2, source.InSequence(7));
        expected.SetInDetect(2, source.InDetect(7));
        expected.SetInRelance(2, source.InRelance(7));
        expected.SetInBlocage(2, source.InBlocage(7));
        for (int k = 1; k <= 4; ++k)
            expected.SetInRedir(2, k, source.InRedir(7, k));
        expected.SetInSynth(2, source.InSynth(7));
        expected.SetInTypeKL(2, source.InTypeKL(7));
        expected.SetOutSecu(3, source.OutSecu(9));
        expected.SetOutPilot(3, source.OutPilot(9));
        QVERIFY(target == expected);
        QCOMPARE(ui.beeps, 2);

        QVERIFY(!store.PasteInputLine(target, 13));
        QCOMPARE(ui.beeps, 3);
        QVERIFY(target == expected);
    }
};

QTEST_MAIN(tst_Clipboard)
#include "tst_clipboard.moc"
