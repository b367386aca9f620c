// The configuration record and its file, byte by byte against a file made by
// hand from the layout; the copy stores and the value codecs.
#include "config/ClipboardClass.h"
#include "config/ConfigClass.h"
#include "config/LineStore.h"
#include "config/ValueCodecs.h"
#include "ErrorReport.h"
#include "FileSizeLimit.h"
#include "HandFile.h"
#include "RecordingUi.h"
#include "TestFiles.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include <functional>

using Access = std::function<void(ConfigClass&)>;
Q_DECLARE_METATYPE(Access)

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

class TestConfigFile : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString path(const QString& name) const { return m_dir.filePath(name); }

    // Writes bytes to a file and loads it into c; the messages go to ui.
    bool load(ConfigClass& c, const QByteArray& bytes)
    {
        const QString file = path("in.orv");
        TestFiles::WriteBytes(file, bytes);
        return c.Load(file);
    }

private Q_SLOTS:
    // The slave number (GenParam(23)) sets the panel number: the copy of the
    // general section shows it; the reverse does not hold (every field test).
    void newRecord()
    {
        QCOMPARE(ConfigClass().ToFileBytes(),
                 QByteArray(241, 0) + QByteArray("\x05\0\0\0Orvel", 9) + QByteArray(46, 0));
    }

    void badIndexReportedAndNothingStored_data()
    {
        QTest::addColumn<Access>("access");
        QTest::addColumn<QString>("procedure");
        const auto row = [](const char* name, const char* procedure, Access access) {
            QTest::newRow(name) << access << QString(procedure);
        };
        row("SetInRedir(13, 1)", "InRedir", [](ConfigClass& c) { c.SetInRedir(13, 1, 4); });
        row("SetInRedir(1, 0)", "InRedir", [](ConfigClass& c) { c.SetInRedir(1, 0, 4); });
        row("SetGenParam(33)", "GenParam", [](ConfigClass& c) { c.SetGenParam(33, 4); });
        row("SetGenParam(-1)", "GenParam", [](ConfigClass& c) { c.SetGenParam(-1, 4); });
        row("SetInSecu(0)", "InSecu", [](ConfigClass& c) { c.SetInSecu(0, 4); });
        row("InRedir(12, 5)", "InRedir", [](ConfigClass& c) { QCOMPARE(c.InRedir(12, 5), 0); });
    }
    void badIndexReportedAndNothingStored()
    {
        QFETCH(Access, access);
        QFETCH(QString, procedure);
        RecordingUi ui;
        ConfigClass c;
        c.SetInRedir(12, 4, 3);
        const ConfigClass before = c;
        access(c);
        QVERIFY(c == before);
        QCOMPARE(ui.messages.size(), 1);
        QCOMPARE(ui.lastText(),
                 ErrorReport(9, "Subscript out of range", qPrintable("ConfigClass." + procedure)));
    }

    void everyFieldAtItsOffset()
    {
        HandFile f("Orvel 12", "Salle des pompes");
        ConfigClass c;
        using Set = void (ConfigClass::*)(int, std::uint8_t);
        // Byte fields: offset for channel 1, then one every step bytes; the
        // last three come after the texts.
        const std::tuple<Set, int, int> fields[] = {
            {&ConfigClass::SetInSecu, 0, 15},      {&ConfigClass::SetInSequence, 5, 15},
            {&ConfigClass::SetInDetect, 6, 15},    {&ConfigClass::SetInRelance, 7, 15},
            {&ConfigClass::SetInBlocage, 8, 15},   {&ConfigClass::SetInSynth, 13, 15},
            {&ConfigClass::SetInTypeKL, 14, 15},   {&ConfigClass::SetOutSecu, 180, 2},
            {&ConfigClass::SetOutPilot, 181, 2},   {&ConfigClass::SetInDisturb, 249, 1},
            {&ConfigClass::SetInRepBlock, 261, 1}, {&ConfigClass::SetOutMode, 278, 1}};
        int value = 0;
        for (int ch = 1; ch <= 12; ++ch) {
            for (const auto& [set, first, step] : fields) {
                const int offset = first + (ch - 1) * step;
                (c.*set)(ch, ++value);
                f.put(first >= 249 ? f.late(offset) : offset, value);
            }
            c.SetInTempo(ch, ch * 100003 - 7);
            f.putLong((ch - 1) * 15 + 1, ch * 100003 - 7);
            for (int k = 1; k <= 4; ++k) {
                c.SetInRedir(ch, k, (ch + k) % 13);
                f.put((ch - 1) * 15 + 8 + k, (ch + k) % 13);
            }
        }
        c.SetGenTempoRelance(-123456789);
        f.putLong(204, -123456789);
        const QList<int> late{21, 27, 29, 30, 31}; // after the texts
        for (int i = 0, j = 0; i <= 32; ++i) {
            c.SetGenParam(i, i * 7 + 1);
            f.put(late.contains(i) ? f.late(273 + int(late.indexOf(i))) : 208 + j++, i * 7 + 1);
        }
        f.put(f.late(290), 32 * 7 + 1); // the tail's copy
        c.SetModuleNo(42);
        f.put(240, 42);
        c.SetModuleName("Salle des pompes");
        c.SetModuleType("Orvel 12");
        c.SetBrightMin(-2);
        f.putWord(236, -2);
        c.SetSupplyType(3);
        f.put(238, 3);
        c.SetCommonType(4);
        f.put(239, 4);

        QCOMPARE(c.ToFileBytes(), f.bytes());
        RecordingUi ui;
        ConfigClass loaded;
        QVERIFY(load(loaded, f.bytes()));
        QVERIFY(ui.messages.isEmpty());
        QVERIFY(loaded == c); // ModuleNo from offset 240, not the mirror of GenParam(23)
        QVERIFY(loaded.Save(path("again.orv")));
        QCOMPARE(TestFiles::ReadBytes(path("again.orv")), f.bytes());
    }

    // A file without its tail keeps the record's output modes; a horn stop
    // delay of 0 h 0 min reads as 0 h 10 min.
    void shortFile()
    {
        ConfigClass c;
        c.SetOutMode(1, 9);
        QVERIFY(load(c, HandFile("Orvel", "").withoutTail()));
        QCOMPARE(int(c.OutMode(1)), 9);
        QCOMPARE(int(c.GenParam(30)), 0);
        QCOMPARE(int(c.GenParam(31)), 10);
    }

    void textsTrimmedAndWindows1252()
    {
        ConfigClass c;
        c.SetModuleType("  Orvel  ");
        c.SetModuleName(" Chaufferie n°2 – Façade € 中 ");
        const QByteArray bytes = c.ToFileBytes();
        QCOMPARE(bytes.mid(241, 4), QByteArray("\x09\x00\x00\x00", 4));
        QCOMPARE(bytes.mid(254, 4), QByteArray("\x1D\x00\x00\x00", 4));
        QCOMPARE(bytes.mid(258, 29), QByteArray(" Chaufferie n\xB0"
                                                "2 \x96 Fa\xE7"
                                                "ade \x80 ? "));
        ConfigClass back;
        QVERIFY(load(back, bytes));
        QCOMPARE(back.ModuleType(), "Orvel");
        QCOMPARE(back.ModuleName(), "Chaufferie n°2 – Façade € ?");
    }

    // A damaged file is reported and keeps the fields read before the damage.
    void damagedFiles_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        HandFile good("Orvel", "A");
        good.put(0, 9); // InSecu(1)
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("cut in inputs") << good.bytes().left(100);
        QTest::newRow("cut in type text") << good.bytes().left(247);
        QTest::newRow("cut before late block") << good.bytes().left(280);
        for (const auto& [name, offset, count] :
             {std::tuple{"negative count", 241, -5}, std::tuple{"oversized count", 241, 0x7FFFFFFF},
              std::tuple{"name past end", 250, 40}}) {
            HandFile f = good;
            f.putLong(offset, count);
            QTest::newRow(name) << f.bytes();
        }
    }
    void damagedFiles()
    {
        QFETCH(QByteArray, bytes);
        RecordingUi ui;
        ConfigClass c;
        QVERIFY(!load(c, bytes));
        QCOMPARE(ui.messages.size(), 1);
        QCOMPARE(ui.lastText(), ErrorReport(62, "Input past end of file", "ConfigClass.Load"));
        QCOMPARE(int(c.InSecu(1)), bytes.isEmpty() ? 0 : 9);
    }

    // A failed save is reported and leaves the earlier file (and no other) there.
    void failedSave_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("message");
        QTest::newRow("full disk")
            << "atomic.orv" << ErrorReport(61, "Disk full", "ConfigClass.Save");
        QTest::newRow("missing folder")
            << "no/such/x.orv" << ErrorReport(76, "Path not found", "ConfigClass.Save");
    }
    void failedSave()
    {
        QFETCH(QString, name);
        QFETCH(QString, message);
        TestFiles::WriteBytes(path("atomic.orv"), "the previous configuration");
        RecordingUi ui;
        bool saved = true;
        {
            FileSizeLimit limit(100);
            saved = ConfigClass().Save(path(name));
        }
        QVERIFY(!saved);
        QCOMPARE(ui.messages.size(), 1);
        QCOMPARE(ui.lastText(), message);
        QCOMPARE(TestFiles::ReadBytes(path("atomic.orv")), "the previous configuration");
        QCOMPARE(QDir(m_dir.path()).entryList(QDir::Files | QDir::Hidden).filter("atomic"),
                 QStringList{"atomic.orv"});
    }

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

    void words_data()
    {
        QTest::addColumn<int>("word");
        QTest::addColumn<int>("value");
        QTest::newRow("-1") << -1 << 65535;
        QTest::newRow("5") << 5 << 5;
        QTest::newRow("-32768") << -32768 << 32768;
        QTest::newRow("32767") << 32767 << 32767;
    }
    void words()
    {
        QFETCH(int, word);
        QFETCH(int, value);
        QCOMPARE(Unsigned(std::int16_t(word)), value);
        QCOMPARE(int(Signed(value)), word);
        // Signed wraps any 32-bit value, of either sign, into a word.
        QCOMPARE(int(Signed(value + 3 * 65536)), word);
        QCOMPARE(int(Signed(value - 65536)), word);
        QCOMPARE(int(Signed(INT32_MIN)), 0);
    }

    // The text and parts of a duration; 256 h or more, or below 0, is
    // reported and leaves the parts as they were.
    void timeDecode_data()
    {
        QTest::addColumn<double>("ms");
        QTest::addColumn<bool>("noSeconds");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("hours");
        QTest::addColumn<int>("millis");
        const auto row = [](const char* name, double ms, const char* text, int hours, int millis,
                            bool noSeconds = false) {
            QTest::newRow(name) << ms << noSeconds << QString(text) << hours << millis;
        };
        row("0", 0, "00h00m00s000ms", 0, 0);
        row("example", 3723004, "01h02m03s004ms", 1, 4);
        row("no seconds", 3723004, "01h02m", 1, 4, true);
        row("last hour", 921599999, "255h59m59s999ms", 255, 999);
        row("half to even down", 2.5, "00h00m00s002ms", 0, 2);
        row("half to even up", 3.5, "00h00m00s004ms", 0, 4);
        row("256 h", 921600000, "", 9, 0);
        row("negative", -5, "", 9, 0);
    }
    void timeDecode()
    {
        QFETCH(double, ms);
        QFETCH(bool, noSeconds);
        QFETCH(QString, text);
        QFETCH(int, hours);
        QFETCH(int, millis);
        RecordingUi ui;
        TimeParts p;
        p.Hours = 9;
        QCOMPARE(TimeDecode(ms, p, noSeconds), text);
        QCOMPARE(int(p.Hours), hours);
        QCOMPARE(int(p.Milliseconds), millis);
        if (text.isEmpty()) {
            QCOMPARE(ui.messages.size(), 1);
            QCOMPARE(ui.lastText(), ErrorReport(6, "Overflow", "Global.TimeDecode"));
        } else {
            QCOMPARE(double(TimeCode(p)), std::nearbyint(ms));
            QVERIFY(ui.messages.isEmpty());
        }
    }

    // Digits and backspace pass the key filter, any other key becomes 0.
    void filterUint()
    {
        QString passed;
        for (int key : {int('0'), int('7'), int('9'), 8, int('a'), int('/'), int(':'), 13})
            passed += FilterUint(key) == key ? 'y' : FilterUint(key) == 0 ? 'n' : '?';
        QCOMPARE(passed, "yyyynnnn");
    }
};

QTEST_GUILESS_MAIN(TestConfigFile)
#include "tst_configfile.moc"
