#include "FactoryPage.h"

#include "PanelContext.h"
#include "UpDownEdit.h"

#include "config/ConfigClass.h"
#include "texts/DataFunctions.h"
#include "util/ErrorHandling.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>

#include <algorithm>

namespace {
constexpr int kCommonTypeTextBase = 34030; // tags: 34030-34031
constexpr int kLabelTags[3] = {34010, 34012, 34013};
constexpr int kReadOnlyNoticeTag = 34020;
constexpr int kBrightMax = 255;
// Help of the supply type and the common type: tags: 101173, 101175
} // namespace

FactoryPage::FactoryPage(PanelContext& panel, QWidget* parent) : QWidget(parent), m_panel(panel)
{
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(12, 12, 12, 12);
    grid->setHorizontalSpacing(10);

    m_txtLumMin = new UpDownEdit(this);
    m_txtLumMin->setObjectName(QStringLiteral("txtLumMin"));
    m_txtLumMin->SetArrowRange(0, kBrightMax, 1);
    m_txtLumMin->SetTypingMaximum(999);
    m_txtLumMin->setAlignment(Qt::AlignRight);

    m_cboTypeAlim = new QComboBox(this);
    m_cboTypeAlim->setObjectName(QStringLiteral("cboTypeAlim"));
    m_cboTypeAlim->addItems(
        {QStringLiteral("24 V"), QStringLiteral("110 V"), QStringLiteral("125 V")});
    m_cboTypeAlim->setCurrentIndex(-1);
    m_cboTypeAlim->setProperty("HelpTag", 101173);

    m_txtTypeCommon = new QLineEdit(this);
    m_txtTypeCommon->setObjectName(QStringLiteral("txtTypeCommon"));
    m_txtTypeCommon->setReadOnly(true);
    m_txtTypeCommon->setProperty("HelpTag", 101175);

    const char* labelNames[3] = {"lblLumMin", "lblTypeAlim", "lblTypeCommon"};
    QWidget* fields[3] = {m_txtLumMin, m_cboTypeAlim, m_txtTypeCommon};
    for (int i = 0; i < 3; ++i) {
        auto* label = new QLabel(this);
        label->setObjectName(QLatin1String(labelNames[i]));
        label->setProperty("Tag", kLabelTags[i]);
        grid->addWidget(label, i, 0);
        grid->addWidget(fields[i], i, 1, Qt::AlignLeft);
    }
    m_txtTypeCommon->setMinimumWidth(
        m_txtTypeCommon->fontMetrics().horizontalAdvance(QStringLiteral("Common negative__")) + 12);
    auto* notice = new QLabel(this);
    notice->setObjectName(QStringLiteral("lblReadOnly"));
    notice->setProperty("Tag", kReadOnlyNoticeTag);
    grid->addWidget(notice, 2, 2);
    grid->setColumnStretch(3, 1);
    grid->setRowStretch(3, 1);

    connect(m_txtLumMin, &QSpinBox::valueChanged, this, &FactoryPage::lumMinChange);
    connect(m_cboTypeAlim, &QComboBox::currentIndexChanged, this, &FactoryPage::typeAlimClick);
}

void FactoryPage::Refresh()
{
    const ConfigClass& config = m_panel.Config();
    {
        const QSignalBlocker blocker(m_txtLumMin);
        m_txtLumMin->setValue(std::clamp<int>(config.BrightMin(), 0, m_txtLumMin->maximum()));
    }
    m_txtTypeCommon->setText(GetCaption(kCommonTypeTextBase + config.CommonType()));
    const QSignalBlocker blocker(m_cboTypeAlim);
    const int type = config.SupplyType();
    m_cboTypeAlim->setCurrentIndex(type < m_cboTypeAlim->count() ? type : -1);
}

void FactoryPage::lumMinChange()
{
    Trap("wPanneau.txtLumMin_Change", [&] {
        if (m_panel.Refreshing() || m_txtLumMin->value() == m_panel.Config().BrightMin())
            return;
        // A value typed beyond the range is brought into it, then stored.
        if (m_txtLumMin->value() > kBrightMax) {
            m_txtLumMin->SetTextLater(QString::number(kBrightMax));
            return;
        }
        m_panel.Config().SetBrightMin(std::int16_t(m_txtLumMin->value()));
        m_panel.SetModified(true);
    });
}

void FactoryPage::typeAlimClick()
{
    Trap("wPanneau.cboTypeAlim_Click", [&] {
        const int p = m_cboTypeAlim->currentIndex();
        if (m_panel.Refreshing() || p < 0 || m_panel.Config().SupplyType() == p)
            return;
        m_panel.Config().SetSupplyType(std::uint8_t(p));
        m_panel.SetModified(true);
    });
}
