#include "OutputGridPage.h"

#include "EditGrid.h"
#include "PanelContext.h"
#include "TaggedTexts.h"
#include "WarningPicture.h"

#include "config/ConfigClass.h"
#include "texts/DataFunctions.h"
#include "util/ErrorHandling.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QVBoxLayout>

namespace {
constexpr int kRows = 13;
constexpr int kCols = 4;
constexpr int kFixedRows = 1;

constexpr int kHeadingTag = 32150; // tags: 32150-32153
// tooltips: 32150-32153
constexpr int kDrivingTag = 32010; // tags: 32010-32015
constexpr int kSafetyTag = 32020;  // tags: 32020-32021
constexpr int kModeTag = 32030;    // tags: 32030-32031
constexpr int kWarningTags[2] = {32081, 32082};

// The driving kind offered with the first entry to an output in common alarm
// mode is the default driving of a new configuration.
constexpr std::int16_t kCommonAlarmDrivingKey = 945;

constexpr int kWidthsTwips[kCols] = {500, 1000, 1500, 2300};
constexpr int kHelpTags[kCols] = {0, 100849, 100851, 100865};
} // namespace

OutputGridPage::OutputGridPage(PanelContext& panel, QWidget* parent)
    : GridPage(panel, new EditGrid(kRows, kCols, kFixedRows), kHelpTags, kHeadingTag, parent)
{
    m_grid->setObjectName(QStringLiteral("grdOutputs"));
    m_grid->SetFormat(QStringLiteral("^|^|^|^"));
    for (int col = 1; col < kCols; ++col)
        m_grid->SetColEditKind(col, EditGrid::EditKind::List);
    m_grid->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    for (int c = 0; c < kCols; ++c)
        m_grid->SetColWidth(c, kWidthsTwips[c] / 15);

    m_picWarning = new QFrame(this);
    m_picWarning->setObjectName(QStringLiteral("picWarning"));
    m_picWarning->setFrameShape(QFrame::StyledPanel);
    auto* warningLayout = new QHBoxLayout(m_picWarning);
    auto* icon = new QLabel(m_picWarning);
    icon->setObjectName(QStringLiteral("imgWarning"));
    icon->setPixmap(WarningPicture(40));
    warningLayout->addWidget(icon, 0, Qt::AlignTop);
    auto* texts = new QVBoxLayout;
    for (int i = 0; i < 2; ++i) {
        auto* label = new QLabel(m_picWarning);
        label->setObjectName(QStringLiteral("lblWarning%1").arg(i + 1));
        label->setProperty("Tag", kWarningTags[i]);
        label->setWordWrap(true);
        texts->addWidget(label);
    }
    warningLayout->addLayout(texts, 1);
    m_picWarning->hide();

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->addWidget(m_grid, 0, Qt::AlignLeft | Qt::AlignTop);
    layout->addWidget(m_picWarning);
    layout->addStretch(1);
}

void OutputGridPage::Nationality()
{
    m_safety = TextList(kSafetyTag, 2);
    m_modes = TextList(kModeTag, 2);
    m_driving.clear();
    for (int c = 0; c < kCols; ++c)
        m_grid->SetTextMatrix(0, c, GetCaption(kHeadingTag + c));
    fitColumns();
    m_grid->setToolTip(GetToolTip(kHeadingTag + m_grid->Col()));
}

void OutputGridPage::fitColumns()
{
    const QFontMetrics metrics = m_grid->fontMetrics();
    const QFontMetrics heading = m_grid->horizontalHeader()->fontMetrics();
    const int pad = 12;
    const QStringList lists[kCols] = {{}, m_safety, m_modes, TextList(kDrivingTag, 6)};
    for (int c = 0; c < kCols; ++c) {
        int w = std::max(kWidthsTwips[c] / 15,
                         heading.horizontalAdvance(m_grid->TextMatrix(0, c)) + pad);
        for (const QString& entry : lists[c])
            w = std::max(w, metrics.horizontalAdvance(entry) + pad + 20);
        m_grid->SetColWidth(c, w);
    }
    m_grid->setMaximumSize(m_grid->sizeHint());
    m_grid->updateGeometry();
    m_picWarning->setMaximumWidth(std::max(m_grid->FullWidth(), 420));
}

QStringList OutputGridPage::DrivingList(int n) const
{
    if (m_panel.Config().OutMode(n) == 0)
        return TextList(kDrivingTag, 6);
    return QStringList{GetCaption(kDrivingTag), GetCaption(kDrivingTag + 2)};
}

void OutputGridPage::Refresh()
{
    const ConfigClass& config = m_panel.Config();
    for (int n = 1; n <= ConfigClass::Channels; ++n) {
        m_grid->SetTextMatrix(n, 0, QString::number(n));
        m_grid->SetTextMatrix(n, 1, m_safety.value(config.OutSecu(n) > 0 ? 1 : 0));
        m_grid->SetTextMatrix(n, 2, m_modes.value(config.OutMode(n) > 0 ? 1 : 0));
        m_grid->SetTextMatrix(n, 3, GetCaption(kDrivingTag + config.OutPilot(n)));
    }
}

void OutputGridPage::ShowWarning(bool shown)
{
    m_picWarning->setVisible(shown);
}

void OutputGridPage::FillList(int row, int col, QStringList& list)
{
    Trap("wPanneau.grdOutputs_FillList", [&] {
        if (col == 1) {
            list = m_safety;
        } else if (col == 2) {
            list = m_modes;
        } else if (col == 3) {
            m_driving = DrivingList(row + 1 - m_grid->FixedRows());
            list = m_driving;
        }
    });
}

void OutputGridPage::FillUpDown(int, int, int&, int&, int&) {}

void OutputGridPage::BeforeUpdate(int, int, bool&) {}

void OutputGridPage::AfterUpdate(int row, int col, const QString& previous, bool& cancel)
{
    Trap("wPanneau.grdOutputs_AfterUpdate", [&] {
        const int n = row + 1 - m_grid->FixedRows();
        const bool accepted = UpdateConfigOutput(n, col);
        cancel = !accepted;
        if (accepted && m_grid->TextMatrix(row, col) != previous) {
            m_panel.SetModified(true);
            m_panel.VerifMode();
        }
    });
}

bool OutputGridPage::UpdateConfigOutput(int n, int col)
{
    return Trap("wPanneau.UpdateConfigOutput", [&] {
        ConfigClass& config = m_panel.Config();
        const QString text = m_grid->TextMatrix(n + m_grid->FixedRows() - 1, col);
        if (col == 1 || col == 2) {
            // A text outside the list stores nothing and is still accepted.
            const int p = int((col == 1 ? m_safety : m_modes).indexOf(text));
            if (p >= 0) {
                if (col == 1)
                    config.SetOutSecu(n, std::uint8_t(p));
                else
                    config.SetOutMode(n, std::uint8_t(p));
            }
            return true;
        }
        if (col == 3) {
            const int p = int(DrivingList(n).indexOf(text));
            if (p < 0)
                return false;
            std::int32_t value = p;
            if (config.OutMode(n) == 1 && p != 0)
                value = GetDefaultValue(kCommonAlarmDrivingKey);
            else if (config.OutMode(n) > 1 && p != 0)
                value = 2; // the second entry of the short list is the text of kind 2
            config.SetOutPilot(n, std::uint8_t(value));
        }
        return true;
    });
}
