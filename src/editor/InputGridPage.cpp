#include "InputGridPage.h"

#include "EditGrid.h"
#include "PanelContext.h"
#include "TaggedTexts.h"

#include "config/ConfigClass.h"
#include "config/ValueCodecs.h"
#include "texts/DataFunctions.h"
#include "util/ErrorHandling.h"
#include "util/UiSeam.h"

#include <QFontMetrics>
#include <QHeaderView>
#include <QVBoxLayout>

namespace {
constexpr int kRows = 14;
constexpr int kCols = 18;
constexpr int kFixedRows = 2;

// Heading rows and tool tips: tag base + column.
constexpr int kHeadingRow0Tag = 31150; // tags: 31150-31167
constexpr int kHeadingRow1Tag = 31250; // tags: 31250-31267
// tooltips: 31150-31167

constexpr int kYesNoTags[2] = {10, 11};
constexpr int kSafetyTag = 31100;    // tags: 31100-31101
constexpr int kSequenceTag = 31110;  // tags: 31110-31111
constexpr int kDetectionTag = 31120; // tags: 31120-31122
constexpr int kHornTypeTag = 31130;  // tags: 31130-31134

constexpr int kRedirectionTag = 10202;
constexpr int kDelayRangeTag = 10201;
const QString kDelayRange = QStringLiteral("( 0 - 22h 59mn 59s 900ms )");

// Widths in twips of the columns, as the smallest they may be (15 twips a pixel).
constexpr int kWidthsTwips[kCols] = {500, 720, 345, 345, 345, 405, 900, 1640, 600,
                                     600, 345, 345, 345, 345, 600, 800, 600,  600};
constexpr const char* kFormat = "^|^|^|^|^|^|<|<|^|^|^|^|^|^|^|<|^|^";
constexpr int kSeparators[] = {0, 1, 6, 7, 8, 9, 14, 15, 16, 17};

// Help line of each column (0: none).
constexpr int kHelpTags[kCols] = {0,      100337, 100353, 100353, 100353, 100353,
                                  100385, 100401, 100417, 100433, 100449, 100449,
                                  100449, 100449, 100481, 100497, 100509, 100529};

// Horn type: the list shows "no horn" (stored 4) first, then types 0..3.
constexpr std::uint8_t kHornValueAt[5] = {4, 0, 1, 2, 3};

int HornPosition(std::uint8_t value)
{
    return value <= 4 ? (value + 1) % 5 : value + 1;
}

// The delay limits of a cell edit, in milliseconds.
constexpr std::int32_t kDelayMaximum = 82799900;
constexpr int kDelayFloor = 20;

// Milliseconds to the nearest hundred, a half going to the even hundred.
long long RoundToHundred(long long ms)
{
    long long hundreds = ms / 100;
    const long long rest = ms % 100;
    if (rest > 50 || (rest == 50 && hundreds % 2 == 1))
        ++hundreds;
    return hundreds * 100;
}

QString YesNo(const QStringList& list, std::uint8_t value)
{
    return list.value(value > 0 ? 1 : 0);
}
} // namespace

InputGridPage::InputGridPage(PanelContext& panel, QWidget* parent)
    : GridPage(panel, new EditGrid(kRows, kCols, kFixedRows), kHelpTags, kHeadingRow0Tag, parent)
{
    m_grid->setObjectName(QStringLiteral("grdInputs"));
    m_grid->SetFormat(QString::fromLatin1(kFormat));
    m_grid->SetMergeRow(0, true);
    m_grid->SetSeparators(QList<int>(std::begin(kSeparators), std::end(kSeparators)));
    using Kind = EditGrid::EditKind;
    for (int col : {1, 6, 7, 8, 9, 14, 15, 16, 17})
        m_grid->SetColEditKind(col, Kind::List);
    for (int col : {2, 3, 4, 5, 10, 11, 12, 13})
        m_grid->SetColEditKind(col, Kind::UpDown);
    for (int c = 0; c < kCols; ++c)
        m_grid->SetColWidth(c, kWidthsTwips[c] / 15);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->addWidget(m_grid, 0, Qt::AlignLeft | Qt::AlignTop);
    layout->addStretch(1);
}

void InputGridPage::Nationality()
{
    m_yesNo = QStringList{GetCaption(kYesNoTags[0]), GetCaption(kYesNoTags[1])};
    m_safety = TextList(kSafetyTag, 2);
    m_sequence = TextList(kSequenceTag, 2);
    m_detection = TextList(kDetectionTag, 3);
    m_hornTypes = TextList(kHornTypeTag, 5);
    m_grid->SetMergeRow(0, true);
    for (int c = 0; c < kCols; ++c) {
        m_grid->SetTextMatrix(0, c, GetCaption(kHeadingRow0Tag + c));
        m_grid->SetTextMatrix(1, c, GetCaption(kHeadingRow1Tag + c));
    }
    fitColumns();
    m_grid->setToolTip(GetToolTip(kHeadingRow0Tag + m_grid->Col()));
}

QStringList InputGridPage::columnList(int col) const
{
    switch (col) {
    case 1:
        return m_safety;
    case 6:
        return m_sequence;
    case 7:
        return m_detection;
    case 8:
    case 9:
    case 14:
    case 16:
    case 17:
        return m_yesNo;
    case 15:
        return m_hornTypes;
    default:
        return {};
    }
}

void InputGridPage::fitColumns()
{
    // Each column is as wide as its widest text needs (headings, list
    // entries, the largest number of an up-down), and never narrower than its
    // own minimum; a merged heading wider than its columns widens them. An
    // open cell editor may be wider than its column.
    const QFontMetrics metrics = m_grid->fontMetrics();
    const QFontMetrics heading = m_grid->horizontalHeader()->fontMetrics();
    const int pad = 12;
    QList<int> widths(kCols);
    for (int c = 0; c < kCols; ++c) {
        int w = kWidthsTwips[c] / 15;
        w = std::max(w, heading.horizontalAdvance(m_grid->TextMatrix(1, c)) + pad);
        const QString top = m_grid->TextMatrix(0, c);
        const bool merged = (c > 0 && m_grid->TextMatrix(0, c - 1) == top) ||
                            (c + 1 < kCols && m_grid->TextMatrix(0, c + 1) == top);
        if (!merged)
            w = std::max(w, heading.horizontalAdvance(top) + pad);
        for (const QString& entry : columnList(c))
            w = std::max(w, metrics.horizontalAdvance(entry) + pad);
        if (m_grid->ColEditKind(c) == EditGrid::EditKind::UpDown)
            w = std::max(w, metrics.horizontalAdvance(c == 5 ? QStringLiteral("900")
                                                             : QStringLiteral("22")) +
                                pad);
        widths[c] = w;
    }
    for (int c = 1; c < kCols;) {
        const QString top = m_grid->TextMatrix(0, c);
        int last = c;
        while (last + 1 < kCols && m_grid->TextMatrix(0, last + 1) == top)
            ++last;
        if (last > c) {
            int sum = 0;
            for (int i = c; i <= last; ++i)
                sum += widths[i];
            const int need = heading.horizontalAdvance(top) + pad;
            const int count = last - c + 1;
            for (int i = c; i <= last && need > sum; ++i)
                widths[i] += (need - sum + count - 1) / count;
        }
        c = last + 1;
    }
    for (int c = 0; c < kCols; ++c)
        m_grid->SetColWidth(c, widths[c]);
    m_grid->setMaximumSize(m_grid->sizeHint());
    m_grid->updateGeometry();
}

void InputGridPage::Refresh()
{
    const ConfigClass& config = m_panel.Config();
    for (int ch = 1; ch <= ConfigClass::Channels; ++ch) {
        const int row = ch + 1;
        TimeParts delay;
        TimeDecode(double(config.InTempo(ch)) * 5, delay);
        m_grid->SetTextMatrix(row, 0, QString::number(ch));
        m_grid->SetTextMatrix(row, 1, m_safety.value(config.InSecu(ch) > 0 ? 1 : 0));
        m_grid->SetTextMatrix(row, 2, QString::number(delay.Hours));
        m_grid->SetTextMatrix(row, 3, QString::number(delay.Minutes));
        m_grid->SetTextMatrix(row, 4, QString::number(delay.Seconds));
        m_grid->SetTextMatrix(row, 5, QString::number(delay.Milliseconds));
        m_grid->SetTextMatrix(row, 6, m_sequence.value(config.InSequence(ch) > 0 ? 1 : 0));
        m_grid->SetTextMatrix(row, 7, GetCaption(kDetectionTag + (config.InDetect(ch) & 3)));
        m_grid->SetTextMatrix(row, 8, YesNo(m_yesNo, config.InRelance(ch)));
        m_grid->SetTextMatrix(row, 9, YesNo(m_yesNo, config.InBlocage(ch)));
        for (int k = 1; k <= ConfigClass::Redirections; ++k) {
            const std::uint8_t output = config.InRedir(ch, k);
            m_grid->SetTextMatrix(row, 9 + k, QString::number(output > 12 ? 0 : output));
        }
        m_grid->SetTextMatrix(row, 14, YesNo(m_yesNo, config.InSynth(ch)));
        m_grid->SetTextMatrix(row, 15,
                              GetCaption(kHornTypeTag + HornPosition(config.InTypeKL(ch))));
        m_grid->SetTextMatrix(row, 16, YesNo(m_yesNo, config.InDisturb(ch)));
        m_grid->SetTextMatrix(row, 17, YesNo(m_yesNo, config.InRepBlock(ch)));
    }
}

void InputGridPage::FillList(int /*row*/, int col, QStringList& list)
{
    list = columnList(col);
}

void InputGridPage::FillUpDown(int /*row*/, int col, int& min, int& max, int& step)
{
    min = 0;
    step = 1;
    if (col == 2) {
        max = 22;
    } else if (col == 3 || col == 4) {
        max = 59;
    } else if (col == 5) {
        max = 900;
        step = 100;
    } else if (col >= 10 && col <= 13) {
        max = 12;
    }
}

void InputGridPage::BeforeUpdate(int row, int col, bool& cancel)
{
    Trap("wPanneau.grdInputs_BeforeUpdate", [&] {
        const int ch = row - 1;
        const ConfigClass& config = m_panel.Config();
        if (col == 15 && config.InSequence(ch) == 1)
            cancel = true;
        if (col == 17 && config.InDisturb(ch) == 0)
            cancel = true;
    });
}

void InputGridPage::AfterUpdate(int row, int col, const QString& previous, bool& cancel)
{
    Trap("wPanneau.grdInputs_AfterUpdate", [&] {
        const int ch = row + 1 - m_grid->FixedRows();
        const bool accepted = UpdateConfigInput(ch, col);
        cancel = !accepted;
        if (accepted && m_grid->TextMatrix(row, col) != previous)
            m_panel.SetModified(true);
    });
}

bool InputGridPage::UpdateConfigInput(int ch, int col)
{
    return Trap("wPanneau.UpdateConfigInput", [&] {
        ConfigClass& config = m_panel.Config();
        const int row = m_grid->FixedRows() + ch - 1;
        const QString text = m_grid->TextMatrix(row, col);
        switch (col) {
        case 1:
        case 6:
        case 7:
        case 8:
        case 9:
        case 14:
        case 16:
        case 17: {
            const int p = int(columnList(col).indexOf(text));
            if (p < 0)
                return false;
            const auto value = std::uint8_t(p);
            switch (col) {
            case 1:
                config.SetInSecu(ch, value);
                break;
            case 6:
                config.SetInSequence(ch, value);
                if (p == 1) {
                    // A status input sounds no horn.
                    config.SetInTypeKL(ch, 4);
                    m_panel.RefreshFields();
                }
                break;
            case 7:
                config.SetInDetect(ch, value);
                break;
            case 8:
                config.SetInRelance(ch, value);
                break;
            case 9:
                config.SetInBlocage(ch, value);
                break;
            case 14:
                config.SetInSynth(ch, value);
                break;
            case 16:
                config.SetInDisturb(ch, value);
                if (p == 0) {
                    // Repeat blocking exists only with disturbance.
                    config.SetInRepBlock(ch, 0);
                    m_panel.RefreshFields();
                }
                break;
            case 17:
                config.SetInRepBlock(ch, value);
                break;
            }
            return true;
        }
        case 15: {
            const int p = int(m_hornTypes.indexOf(text));
            if (p < 0)
                return false;
            config.SetInTypeKL(ch, kHornValueAt[p]);
            return true;
        }
        case 10:
        case 11:
        case 12:
        case 13: {
            const long long output = LeadingNumber(text);
            if (output > 12) {
                MsgBox(GetText(kRedirectionTag), MsgIcon::Critical, MsgButtons::Ok);
                return false;
            }
            config.SetInRedir(ch, col - 9, std::uint8_t(output));
            return true;
        }
        case 2:
        case 3:
        case 4:
        case 5:
            return updateDelay(ch, row);
        default:
            return true;
        }
    });
}

bool InputGridPage::updateDelay(int ch, int row)
{
    const long long h = LeadingNumber(m_grid->TextMatrix(row, 2));
    const long long m = LeadingNumber(m_grid->TextMatrix(row, 3));
    const long long s = LeadingNumber(m_grid->TextMatrix(row, 4));
    long long ms = LeadingNumber(m_grid->TextMatrix(row, 5));
    const auto refuse = [] {
        MsgBox(GetText(kDelayRangeTag) + QLatin1Char('\r') + kDelayRange, MsgIcon::Critical,
               MsgButtons::Ok);
        return false;
    };
    if (h > 22 || m > 59 || s > 59 || ms > 900)
        return refuse();
    ms = RoundToHundred(ms);
    std::int32_t total =
        TimeCode(TimeParts{std::uint8_t(h), std::uint8_t(m), std::uint8_t(s), std::int16_t(ms)});
    if (total > kDelayMaximum)
        return refuse();
    if (total == 0) {
        total = kDelayFloor;
        m_grid->SetTextMatrix(row, 5, QString::number(kDelayFloor));
    }
    m_panel.Config().SetInTempo(ch, total / 5);
    if (LeadingNumber(m_grid->TextMatrix(row, 5)) != ms)
        m_panel.RefreshFields();
    return true;
}
