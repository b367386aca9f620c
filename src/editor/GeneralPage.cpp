#include "GeneralPage.h"

#include "PanelContext.h"
#include "TaggedTexts.h"
#include "UpDownEdit.h"

#include "config/ConfigClass.h"
#include "config/ValueCodecs.h"
#include "texts/DataFunctions.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace {
// The general parameters that have a list of their own on this page, with
// the tag of their label, the first tag of their list (0: a list of literal
// entries), their entry count and their help tag. Parameters 20 and 29 are
// labelled by their frames.
struct GenParamField
{
    int index;
    int labelTag;
    int listTag;
    int entries;
    int helpTag;
};
// tags: 33110-33112, 33410-33413
constexpr GenParamField kGenParamFields[] = {
    {0, 33100, 33110, 3, 101025}, {1, 33200, 10, 2, 101026},     {2, 33300, 33050, 2, 101027},
    {3, 33400, 33410, 4, 101028}, {4, 33500, 33510, 2, 101029},  {5, 33600, 33610, 2, 101030},
    {6, 33700, 33050, 2, 101031}, {11, 33800, 33810, 2, 101036}, {12, 33900, 33910, 2, 101037},
    {20, 0, 0, 5, 101097},        {29, 0, 10, 2, 101154},
};
// tags: 33050-33051, 33510-33511, 33610-33611, 33810-33811, 33910-33911
// tags: 33100, 33200, 33300, 33400, 33500, 33600, 33700, 33800, 33900
// tags: 101025-101031, 101036, 101037, 101097, 101154
// Frames, the supply voltage label and the help of the other fields:
// tags: 33001, 33002, 33010, 33020, 33030, 33040, 33045, 33922, 34011
// tags: 101089, 101098, 101121-101126, 101153, 101155, 101156

constexpr int kRestrictedEntryTags[2] = {33110, 33611};

constexpr int kPriorityLabelTags[4] = {31131, 31132, 31133, 31134};
constexpr int kDelayUnitTags[4] = {33003, 33004, 33005, 33006};
constexpr int kThresholdLabelTags[6] = {33011, 33012, 33013, 33014, 33015, 33016};
constexpr int kCommLabelTags[6] = {33021, 33022, 33023, 33024, 33025, 33026};

QLabel* newLabel(const QString& name, int tag, QWidget* parent)
{
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    if (tag != 0)
        label->setProperty("Tag", tag);
    return label;
}

QComboBox* newCombo(const QString& name, int tag, int entries, int helpTag, QWidget* parent)
{
    auto* combo = new QComboBox(parent);
    combo->setObjectName(name);
    if (tag != 0)
        combo->setProperty("Tag", tag);
    for (int i = 0; i < entries; ++i)
        combo->addItem(QString());
    combo->setCurrentIndex(-1);
    if (helpTag != 0)
        combo->setProperty("HelpTag", helpTag);
    combo->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    return combo;
}

QComboBox* newLiteralCombo(const QString& name, const QStringList& entries, int helpTag,
                           QWidget* parent)
{
    QComboBox* combo = newCombo(name, 0, 0, helpTag, parent);
    combo->addItems(entries);
    combo->setCurrentIndex(-1);
    return combo;
}

UpDownEdit* newUpDown(const QString& name, int min, int max, int step, int typingMax, int helpTag,
                      QWidget* parent)
{
    auto* field = new UpDownEdit(parent);
    field->setObjectName(name);
    field->SetArrowRange(min, max, step);
    field->SetTypingMaximum(typingMax);
    field->setAlignment(Qt::AlignRight);
    if (helpTag != 0)
        field->setProperty("HelpTag", helpTag);
    return field;
}

QGroupBox* newFrame(const QString& name, int tag, QWidget* parent)
{
    auto* frame = new QGroupBox(parent);
    frame->setObjectName(name);
    if (tag != 0)
        frame->setProperty("Tag", tag);
    return frame;
}

// Selects a position without running the control's own handler.
void Show(QComboBox* combo, int position)
{
    const QSignalBlocker blocker(combo);
    combo->setCurrentIndex(position >= 0 && position < combo->count() ? position : -1);
}

void Show(UpDownEdit* field, int value)
{
    const QSignalBlocker blocker(field);
    field->setValue(value);
}
} // namespace

const QList<int>& GeneralPage::GenParamIndexes()
{
    static const QList<int> indexes = [] {
        QList<int> list;
        for (const GenParamField& f : kGenParamFields)
            list << f.index;
        return list;
    }();
    return indexes;
}

GeneralPage::GeneralPage(PanelContext& panel, QWidget* parent) : QWidget(parent), m_panel(panel)
{
    m_cboGenParam = QList<QComboBox*>(ConfigClass::GenParamCount, nullptr);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->setSpacing(10);
    QWidget* columns[3];
    for (QWidget*& column : columns) {
        column = new QWidget(this);
        auto* v = new QVBoxLayout(column);
        v->setContentsMargins(0, 0, 0, 0);
        v->setSpacing(6);
        layout->addWidget(column, 0, Qt::AlignTop);
    }
    layout->addStretch(1);
    buildGeneralColumn(columns[0]);
    buildMiddleColumn(columns[1]);
    buildCommunicationColumn(columns[2]);
    connectHandlers();
}

void GeneralPage::buildGeneralColumn(QWidget* column)
{
    // Each general parameter: its label above its list.
    auto* v = static_cast<QVBoxLayout*>(column->layout());
    v->setSpacing(1);
    for (const GenParamField& f : kGenParamFields) {
        QComboBox* combo;
        if (f.index == 20)
            combo = newLiteralCombo(QStringLiteral("cboGenParam20"),
                                    {QStringLiteral("20 %"), QStringLiteral("40 %"),
                                     QStringLiteral("60 %"), QStringLiteral("80 %"),
                                     QStringLiteral("100 %")},
                                    f.helpTag, column);
        else
            combo = newCombo(QStringLiteral("cboGenParam%1").arg(f.index), f.listTag, f.entries,
                             f.helpTag, column);
        m_cboGenParam[f.index] = combo;
        if (f.labelTag == 0)
            continue;
        v->addWidget(newLabel(QStringLiteral("lblGenParam%1").arg(f.index), f.labelTag, column));
        v->addWidget(combo);
        v->addSpacing(5);
    }
}

void GeneralPage::buildMiddleColumn(QWidget* column)
{
    auto* v = static_cast<QVBoxLayout*>(column->layout());

    QGroupBox* retrigger = newFrame(QStringLiteral("frmTempoRel"), 33001, column);
    auto* r = new QHBoxLayout(retrigger);
    r->setSpacing(3);
    const int maxima[4] = {22, 59, 59, 980};
    for (int i = 0; i < 4; ++i) {
        m_txtTempoRel[i] = newUpDown(QStringLiteral("txtTempoRel%1").arg(i), 0, maxima[i],
                                     i == 3 ? 20 : 1, i == 3 ? 999 : 99, 101089, retrigger);
        r->addWidget(m_txtTempoRel[i]);
        r->addWidget(
            newLabel(QStringLiteral("lblTempoRelUnit%1").arg(i), kDelayUnitTags[i], retrigger));
    }
    r->addStretch(1);
    v->addWidget(retrigger);

    // The supply voltage frame has no caption: its list is labelled.
    QGroupBox* supply = newFrame(QStringLiteral("frmSupply"), 0, column);
    auto* s = new QGridLayout(supply);
    m_cboVref =
        newLiteralCombo(QStringLiteral("cboVref"),
                        {QStringLiteral("24Vdc"), QStringLiteral("24Vac"), QStringLiteral("48Vdc"),
                         QStringLiteral("110Vac"), QStringLiteral("125Vdc"),
                         QStringLiteral("200Vdc"), QStringLiteral("220Vac")},
                        101098, supply);
    s->addWidget(newLabel(QStringLiteral("lblVref"), 33010, supply), 0, 0);
    s->addWidget(m_cboVref, 0, 1);
    // Upper threshold 105..130 (118 with 220Vac), lower 70..95, horn relay 1..50.
    const int minima[6] = {105, 70, 1, 1, 1, 1};
    const int thresholdMaxima[6] = {130, 95, 50, 50, 50, 50};
    for (int i = 0; i < 6; ++i)
        m_txtGenMinMax[i] =
            newUpDown(QStringLiteral("txtGenMinMax%1").arg(i), minima[i], thresholdMaxima[i], 1,
                      255, 101091 + i, column); // tags: 101091-101096
    for (int i = 0; i < 2; ++i) {
        m_txtGenMinMax[i]->setParent(supply);
        s->addWidget(
            newLabel(QStringLiteral("lblGenMinMax%1").arg(i), kThresholdLabelTags[i], supply),
            i + 1, 0);
        s->addWidget(m_txtGenMinMax[i], i + 1, 1, Qt::AlignLeft);
    }
    v->addWidget(supply);

    QGroupBox* horn = newFrame(QStringLiteral("frmHornThresholds"), 33002, column);
    auto* h = new QGridLayout(horn);
    for (int i = 2; i < 6; ++i) {
        m_txtGenMinMax[i]->setParent(horn);
        const int k = i - 2;
        h->addWidget(
            newLabel(QStringLiteral("lblGenMinMax%1").arg(i), kThresholdLabelTags[i], horn), k / 2,
            (k % 2) * 2);
        h->addWidget(m_txtGenMinMax[i], k / 2, (k % 2) * 2 + 1);
    }
    v->addWidget(horn);

    QGroupBox* priorities = newFrame(QStringLiteral("frmPriorities"), 33040, column);
    auto* prioGrid = new QGridLayout(priorities);
    for (int k = 0; k < 4; ++k) {
        QLabel* label =
            newLabel(QStringLiteral("lblPrioKL%1").arg(k), kPriorityLabelTags[k], priorities);
        m_cboPrioKL[k] = newLiteralCombo(
            QStringLiteral("cboPrioKL%1").arg(k),
            {QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3"), QStringLiteral("4")},
            101032 + k, priorities); // tags: 101032-101035
        prioGrid->addWidget(label, k / 2, (k % 2) * 2);
        prioGrid->addWidget(m_cboPrioKL[k], k / 2, (k % 2) * 2 + 1);
    }
    v->addWidget(priorities);

    QGroupBox* pulse = newFrame(QStringLiteral("frmTempoPulse"), 33922, column);
    auto* p = new QHBoxLayout(pulse);
    m_optTempoPulse = new QButtonGroup(pulse);
    const char* captions[4] = {"1s", "2s", "5s", "10s"};
    for (int i = 0; i < 4; ++i) {
        auto* option = new QRadioButton(QString::fromLatin1(captions[i]), pulse);
        option->setObjectName(QStringLiteral("optTempoPulse%1").arg(i));
        m_optTempoPulse->addButton(option, i);
        p->addWidget(option);
    }
    p->addStretch(1);
    v->addWidget(pulse);
}

void GeneralPage::buildCommunicationColumn(QWidget* column)
{
    auto* v = static_cast<QVBoxLayout*>(column->layout());
    QGroupBox* comm = newFrame(QStringLiteral("frmCommunication"), 33020, column);
    auto* c = new QGridLayout(comm);
    m_cboCommType = newCombo(QStringLiteral("cboCommType"), 33060, 3, 101121, comm);
    m_txtCommSlave = newUpDown(QStringLiteral("txtCommSlave"), 1, 64, 1, 99, 101122, comm);
    m_cboCommSpeed = newLiteralCombo(QStringLiteral("cboCommSpeed"), {}, 101123, comm);
    const int speedValues[5] = {240, 248, 252, 254, 255};
    const char* speeds[5] = {"1200", "2400", "4800", "9600", "19200"};
    for (int i = 0; i < 5; ++i)
        m_cboCommSpeed->addItem(QString::fromLatin1(speeds[i]), speedValues[i]);
    m_cboCommSpeed->setCurrentIndex(-1);
    m_cboCommStops = newLiteralCombo(QStringLiteral("cboCommStops"),
                                     {QStringLiteral("1"), QStringLiteral("2")}, 101124, comm);
    m_cboCtrlBus = newCombo(QStringLiteral("cboCtrlBus"), 33070, 4, 101125, comm);
    m_cboCommProtocol = newCombo(QStringLiteral("cboCommProtocol"), 33080, 2, 101126, comm);
    // tags: 33060-33062, 33070-33073, 33080-33081
    QWidget* fields[6] = {m_cboCommType,  m_txtCommSlave, m_cboCommSpeed,
                          m_cboCommStops, m_cboCtrlBus,   m_cboCommProtocol};
    for (int i = 0; i < 6; ++i) {
        c->addWidget(newLabel(QStringLiteral("lblComm%1").arg(i), kCommLabelTags[i], comm), i, 0);
        c->addWidget(fields[i], i, 1, Qt::AlignLeft);
    }
    v->addWidget(comm);

    QGroupBox* language = newFrame(QStringLiteral("frmLanguage"), 33030, column);
    auto* l = new QHBoxLayout(language);
    m_cboLanguage = newCombo(QStringLiteral("cboLanguage"), 33031, 3, 101153, language);
    // tags: 33031-33033
    l->addWidget(m_cboLanguage);
    l->addStretch(1);
    v->addWidget(language);

    QGroupBox* stop = newFrame(QStringLiteral("frmKlxStop"), 33045, column);
    auto* k = new QHBoxLayout(stop);
    m_cboGenParam[29]->setParent(stop);
    m_txtKlxStop[0] = newUpDown(QStringLiteral("txtKlxStop0"), 0, 22, 1, 99, 101155, stop);
    m_txtKlxStop[1] = newUpDown(QStringLiteral("txtKlxStop1"), 0, 59, 1, 99, 101156, stop);
    k->addWidget(m_cboGenParam[29]);
    k->addSpacing(8);
    k->addWidget(m_txtKlxStop[0]);
    k->addWidget(newLabel(QStringLiteral("lblKlxStopUnit0"), kDelayUnitTags[0], stop));
    k->addWidget(m_txtKlxStop[1]);
    k->addWidget(newLabel(QStringLiteral("lblKlxStopUnit1"), kDelayUnitTags[1], stop));
    k->addStretch(1);
    v->addWidget(stop);

    QGroupBox* brightness = newFrame(QStringLiteral("frmBrightness"), 34011, column);
    auto* b = new QHBoxLayout(brightness);
    m_cboGenParam[20]->setParent(brightness);
    b->addWidget(m_cboGenParam[20]);
    b->addStretch(1);
    v->addWidget(brightness);
    v->addStretch(1);
}

QComboBox* GeneralPage::genParam(int index) const
{
    return index >= 0 && index < m_cboGenParam.size() ? m_cboGenParam[index] : nullptr;
}

void GeneralPage::Nationality()
{
    // The tagged texts are applied by the window; in the restricted state the
    // one entry of the common alarm output is its second text.
    if (Restricted())
        relistRestricted(true);
}

bool GeneralPage::Restricted() const
{
    return genParam(0)->count() == 1 && genParam(5)->count() == 1;
}

void GeneralPage::Refresh()
{
    ConfigClass& config = m_panel.Config();
    const auto asPosition = [&](int index) { return config.GenParam(index) > 0 ? 1 : 0; };
    for (int index : {0, 3, 20, 29})
        Show(genParam(index), config.GenParam(index));
    for (int index : {1, 2, 4, 6, 11, 12})
        Show(genParam(index), asPosition(index));
    if (genParam(5)->count() == 1)
        Show(genParam(5), config.GenParam(5) > 0 ? 0 : -1);
    else
        Show(genParam(5), asPosition(5));
    for (int k = 0; k < 4; ++k)
        Show(m_cboPrioKL[k], config.GenParam(7 + k));

    TimeParts delay;
    TimeDecode(double(config.GenTempoRelance()) * 5, delay);
    const int parts[4] = {delay.Hours, delay.Minutes, delay.Seconds, delay.Milliseconds};
    for (int i = 0; i < 4; ++i)
        Show(m_txtTempoRel[i], parts[i]);
    m_txtTempoRel[1]->SetArrowMinimum(delay.Hours == 0 ? 1 : 0);

    Show(m_cboVref, config.GenParam(21) - 1);
    m_txtGenMinMax[0]->SetArrowMaximum(m_cboVref->currentIndex() == m_cboVref->count() - 1 ? 118
                                                                                           : 130);
    // The fields show the record's values as they are, even outside the
    // arrows' range, so that what is shown is what will be written.
    for (int i = 0; i < 6; ++i)
        Show(m_txtGenMinMax[i], config.GenParam(14 + i));

    Show(m_cboCommType, config.GenParam(22) % m_cboCommType->count());
    if (config.GenParam(23) > 0) {
        m_txtCommSlave->setValue(config.GenParam(23));
        m_txtCommSlave->SetText(QString::number(config.GenParam(23)));
    }
    const int speed = m_cboCommSpeed->findData(int(config.GenParam(24)));
    Show(m_cboCommSpeed, speed);
    Show(m_cboCommStops, config.GenParam(25) - 1);
    Show(m_cboCtrlBus, config.GenParam(26) % m_cboCtrlBus->count());
    Show(m_cboCommProtocol, config.GenParam(27));
    Show(m_cboLanguage, config.GenParam(28) % m_cboLanguage->count());

    // An auto-stop of less than a minute is brought to one minute.
    if (config.GenParam(30) * 60 + config.GenParam(31) < 1) {
        config.SetGenParam(30, 0);
        config.SetGenParam(31, 1);
    }
    Show(m_txtKlxStop[0], config.GenParam(30));
    m_txtKlxStop[1]->SetArrowMinimum(config.GenParam(30) == 0 ? 1 : 0);
    Show(m_txtKlxStop[1], config.GenParam(31));

    const int pulse = config.GenParam(32);
    m_optTempoPulse->setExclusive(false);
    for (QAbstractButton* option : m_optTempoPulse->buttons()) {
        const QSignalBlocker blocker(option);
        option->setChecked(m_optTempoPulse->id(option) == pulse);
    }
    m_optTempoPulse->setExclusive(true);
}

void GeneralPage::SetSlaveText(const QString& text)
{
    m_txtCommSlave->SetText(text);
}

void GeneralPage::relistRestricted(bool restricted)
{
    QComboBox* combo0 = genParam(0);
    QComboBox* combo5 = genParam(5);
    const QSignalBlocker block0(combo0);
    const QSignalBlocker block5(combo5);
    if (restricted) {
        combo0->clear();
        combo0->addItem(GetCaption(kRestrictedEntryTags[0]));
        combo5->clear();
        combo5->addItem(GetCaption(kRestrictedEntryTags[1]));
    } else {
        const int position0 = combo0->currentIndex();
        combo0->clear();
        combo0->addItems(TextList(33110, 3));
        combo0->setCurrentIndex(position0);
        const int position5 = combo5->currentIndex();
        combo5->clear();
        combo5->addItems(TextList(33610, 2));
        combo5->setCurrentIndex(position5);
    }
}

void GeneralPage::SetRestricted(bool restricted)
{
    QComboBox* combo0 = genParam(0);
    QComboBox* combo5 = genParam(5);
    if (!restricted) {
        if (combo0->count() == 3 && combo5->count() == 2)
            return;
        // Each full list selects again the position it showed; the
        // selection stores it (so the common alarm output goes back to 0).
        relistRestricted(false);
        genParamClick(0);
        genParamClick(5);
        return;
    }
    if (combo0->count() != 1 || combo5->count() != 1) {
        relistRestricted(true);
        Show(combo0, 0);
        genParamClick(0);
        Show(combo5, 0);
        genParamClick(5);
    }
    // The two values the restricted state fixes, whatever the record brought
    // in meanwhile (a pasted page, a reset to defaults).
    ConfigClass& config = m_panel.Config();
    for (const auto& [index, value] : {std::pair{0, 0}, std::pair{5, 1}}) {
        if (config.GenParam(index) != value) {
            config.SetGenParam(index, std::uint8_t(value));
            m_panel.SetModified(true);
        }
        Show(genParam(index), 0);
    }
}
