// The change handlers of the general page: each stores its record field when
// the user changes the control, and does nothing while the window refreshes.

#include "GeneralPage.h"

#include "PanelContext.h"
#include "UpDownEdit.h"

#include "config/ConfigClass.h"
#include "config/ValueCodecs.h"
#include "util/ErrorHandling.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QLineEdit>

namespace {
// The upper supply threshold with the highest supply voltage.
constexpr int kUpperThresholdMax220 = 118;
constexpr int kUpperThresholdMax = 130;
// The re-trigger delay is at least 20 ms.
constexpr int kTempoRelFloor = 20;

// Brings a field's value into its arrows' range by rewriting its text (which
// runs the field's handler again): above the maximum at once, below the
// minimum once the user has finished typing. True when it rewrites.
bool BringIntoRange(UpDownEdit* field, bool finished)
{
    if (field->value() > field->ArrowMaximum()) {
        field->SetTextLater(QString::number(field->ArrowMaximum()));
        return true;
    }
    if (field->value() < field->ArrowMinimum() && finished) {
        field->SetTextLater(QString::number(field->ArrowMinimum()));
        return true;
    }
    return false;
}

bool BelowMinimum(const UpDownEdit* field)
{
    return field->value() < field->ArrowMinimum();
}
} // namespace

void GeneralPage::connectHandlers()
{
    for (int index : GenParamIndexes())
        connect(genParam(index), &QComboBox::currentIndexChanged, this,
                [this, index] { genParamClick(index); });
    for (int k = 0; k < 4; ++k)
        connect(m_cboPrioKL[k], &QComboBox::currentIndexChanged, this, [this, k] { prioClick(k); });
    for (int i = 0; i < 4; ++i)
        connect(m_txtTempoRel[i], &QSpinBox::valueChanged, this, [this, i] { tempoRelChange(i); });
    connect(m_cboVref, &QComboBox::currentIndexChanged, this, &GeneralPage::vrefClick);
    for (int i = 0; i < 6; ++i) {
        connect(m_txtGenMinMax[i], &QSpinBox::valueChanged, this,
                [this, i] { minMaxChange(i, false); });
        connect(m_txtGenMinMax[i], &QAbstractSpinBox::editingFinished, this,
                [this, i] { minMaxChange(i, true); });
    }
    for (int i = 0; i < 2; ++i) {
        connect(m_txtKlxStop[i], &QSpinBox::valueChanged, this,
                [this, i] { klxStopChange(i, false); });
        connect(m_txtKlxStop[i], &QAbstractSpinBox::editingFinished, this,
                [this, i] { klxStopChange(i, true); });
    }
    connect(m_txtCommSlave, &QSpinBox::valueChanged, this, [this] { slaveChange(false); });
    connect(m_txtCommSlave, &QAbstractSpinBox::editingFinished, this,
            [this] { slaveChange(true); });
    // The text changes with the value (arrows, typing) and by itself (emptied).
    connect(m_txtCommSlave, &QSpinBox::textChanged, this, &GeneralPage::slaveTextChange);
    connect(m_txtCommSlave->findChild<QLineEdit*>(), &QLineEdit::textChanged, this,
            &GeneralPage::slaveTextChange);

    const auto byPosition = [this](QComboBox* combo, int param, int offset) {
        connect(combo, &QComboBox::currentIndexChanged, this, [this, combo, param, offset] {
            listClick(combo, param, combo->currentIndex() + offset);
        });
    };
    byPosition(m_cboCommType, 22, 0);
    byPosition(m_cboCommStops, 25, 1);
    byPosition(m_cboCtrlBus, 26, 0);
    byPosition(m_cboCommProtocol, 27, 0);
    byPosition(m_cboLanguage, 28, 0);
    connect(m_cboCommSpeed, &QComboBox::currentIndexChanged, this,
            [this] { listClick(m_cboCommSpeed, 24, m_cboCommSpeed->currentData().toInt()); });
    connect(m_optTempoPulse, &QButtonGroup::idClicked, this, &GeneralPage::pulseClick);
}

int GeneralPage::genParamValue(int index, int p) const
{
    // The one entry of the restricted common alarm output stands for 1.
    if (index == 5 && genParam(5)->count() == 1)
        return 1;
    return p;
}

void GeneralPage::genParamClick(int index)
{
    Trap("wPanneau.cboGenParam_Click", [&] {
        const int p = genParam(index)->currentIndex();
        if (m_panel.Refreshing() || p < 0)
            return;
        const int value = genParamValue(index, p);
        ConfigClass& config = m_panel.Config();
        if (config.GenParam(index) != value) {
            config.SetGenParam(index, std::uint8_t(value));
            m_panel.SetModified(true);
        }
    });
}

void GeneralPage::prioClick(int k)
{
    Trap("wPanneau.cboPrioKL_Click", [&] {
        if (m_panel.Refreshing())
            return;
        const int chosen = m_cboPrioKL[k]->currentIndex();
        // The horn type that had this priority takes the one now free.
        QComboBox* cleared = nullptr;
        for (int j = 0; j < 4 && !cleared; ++j) {
            if (j != k && chosen >= 0 && m_cboPrioKL[j]->currentIndex() == chosen) {
                cleared = m_cboPrioKL[j];
                const QSignalBlocker blocker(cleared);
                cleared->setCurrentIndex(-1);
            }
        }
        if (cleared) {
            for (int p = 0; p < 4; ++p) {
                bool shown = false;
                for (QComboBox* combo : m_cboPrioKL)
                    shown = shown || combo->currentIndex() == p;
                if (!shown) {
                    const QSignalBlocker blocker(cleared);
                    cleared->setCurrentIndex(p);
                }
            }
        }
        ConfigClass& config = m_panel.Config();
        for (int j = 0; j < 4; ++j)
            config.SetGenParam(7 + j, std::uint8_t(std::max(0, m_cboPrioKL[j]->currentIndex())));
        m_panel.SetModified(true);
    });
}

void GeneralPage::tempoRelChange(int i)
{
    Trap("wPanneau.txtTempoRel_Change", [&] {
        if (m_panel.Refreshing() || m_tempoGuard)
            return;
        m_tempoGuard = true;
        if (i == 0)
            m_txtTempoRel[1]->SetArrowMinimum(m_txtTempoRel[0]->value() == 0 ? 1 : 0);
        m_tempoGuard = false;
        if (BringIntoRange(m_txtTempoRel[i], false))
            return;
        const std::int32_t total = TimeCode(TimeParts{
            std::uint8_t(m_txtTempoRel[0]->value()), std::uint8_t(m_txtTempoRel[1]->value()),
            std::uint8_t(m_txtTempoRel[2]->value()), std::int16_t(m_txtTempoRel[3]->value())});
        if (total < kTempoRelFloor) {
            m_txtTempoRel[3]->SetTextLater(QString::number(kTempoRelFloor));
            return;
        }
        m_panel.SetModified(true);
        m_panel.Config().SetGenTempoRelance(total / 5);
    });
}

void GeneralPage::vrefClick()
{
    Trap("wPanneau.cboVref_Click", [&] {
        const int p = m_cboVref->currentIndex();
        const bool highest = p == m_cboVref->count() - 1;
        m_txtGenMinMax[0]->SetArrowMaximum(highest ? kUpperThresholdMax220 : kUpperThresholdMax);
        if (m_panel.Refreshing() || p < 0)
            return;
        ConfigClass& config = m_panel.Config();
        if (config.GenParam(21) != p + 1) {
            config.SetGenParam(21, std::uint8_t(p + 1));
            m_panel.SetModified(true);
        }
        // An upper threshold above what this voltage allows comes down to it.
        BringIntoRange(m_txtGenMinMax[0], false);
    });
}

void GeneralPage::minMaxChange(int i, bool finished)
{
    Trap("wPanneau.txtGenMinMax_Change", [&] {
        UpDownEdit* field = m_txtGenMinMax[i];
        if (m_panel.Refreshing() || BringIntoRange(field, finished) || BelowMinimum(field))
            return;
        ConfigClass& config = m_panel.Config();
        if (config.GenParam(14 + i) != field->value()) {
            config.SetGenParam(14 + i, std::uint8_t(field->value()));
            m_panel.SetModified(true);
        }
    });
}

void GeneralPage::klxStopChange(int i, bool finished)
{
    Trap("wPanneau.txtKlxStop_Change", [&] {
        if (m_panel.Refreshing() || m_klxGuard)
            return;
        m_klxGuard = true;
        if (i == 0)
            m_txtKlxStop[1]->SetArrowMinimum(m_txtKlxStop[0]->value() == 0 ? 1 : 0);
        m_klxGuard = false;
        // No hours and no minutes would stop the horn at once: one minute at least.
        if (i == 0 && BelowMinimum(m_txtKlxStop[1]))
            BringIntoRange(m_txtKlxStop[1], true);
        UpDownEdit* field = m_txtKlxStop[i];
        ConfigClass& config = m_panel.Config();
        if (field->value() == config.GenParam(30 + i))
            return;
        if (BringIntoRange(field, finished) || BelowMinimum(field))
            return;
        config.SetGenParam(30 + i, std::uint8_t(field->value()));
        m_panel.SetModified(true);
    });
}

void GeneralPage::slaveChange(bool finished)
{
    Trap("wPanneau.updCommSlave_Change", [&] {
        if (m_panel.Refreshing() || BringIntoRange(m_txtCommSlave, finished) ||
            BelowMinimum(m_txtCommSlave) || m_txtCommSlave->Text().isEmpty())
            return;
        ConfigClass& config = m_panel.Config();
        if (config.GenParam(23) != m_txtCommSlave->value()) {
            config.SetGenParam(23, std::uint8_t(m_txtCommSlave->value()));
            m_panel.SetModified(true);
        }
    });
}

void GeneralPage::slaveTextChange()
{
    // The panel number (and so the caption) follows the slave number.
    m_panel.SetPanelNumberText(m_txtCommSlave->Text());
}

void GeneralPage::listClick(QComboBox* combo, int param, int value)
{
    Trap("wPanneau.cboComm_Click", [&] {
        if (m_panel.Refreshing() || combo->currentIndex() < 0)
            return;
        ConfigClass& config = m_panel.Config();
        if (config.GenParam(param) != value) {
            config.SetGenParam(param, std::uint8_t(value));
            m_panel.SetModified(true);
        }
    });
}

void GeneralPage::pulseClick(int i)
{
    Trap("wPanneau.optTempoPulse_Click", [&] {
        m_panel.SetDefaultValue(0);
        ConfigClass& config = m_panel.Config();
        if (config.GenParam(32) != i)
            m_panel.SetModified(true);
        config.SetGenParam(32, std::uint8_t(i));
    });
}
