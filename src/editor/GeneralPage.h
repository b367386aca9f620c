#pragma once

#include <QList>
#include <QWidget>

class PanelContext;
class QButtonGroup;
class QComboBox;
class QLabel;
class UpDownEdit;

// Page 3 of the panel window: the general parameters, the horn type
// priorities, the re-trigger delay, the supply voltage and its thresholds,
// the horn relay thresholds, the panel language, the communication settings,
// the horn auto-stop, the pulse output duration and the display brightness.
// Each control stores its record field when the user changes it.
//
// While an output is in common alarm mode the page is restricted: the horn
// relay operation offers only its first entry (value 0) and the common alarm
// output only its second (value 1).
class GeneralPage : public QWidget
{
    Q_OBJECT

public:
    GeneralPage(PanelContext& panel, QWidget* parent = nullptr);

    void Nationality();
    void Refresh();
    // The restricted state, read from the entry counts of the two lists.
    bool Restricted() const;
    // Enters or leaves the restricted state, storing what each state implies.
    void SetRestricted(bool restricted);
    void SetSlaveText(const QString& text);

    // Parameter indexes that have a cboGenParam list.
    static const QList<int>& GenParamIndexes();

private:
    void buildGeneralColumn(QWidget* column);
    void buildMiddleColumn(QWidget* column);
    void buildCommunicationColumn(QWidget* column);
    void connectHandlers();
    QComboBox* genParam(int index) const;
    // The general parameter value that list position p of cboGenParam(index) stands for.
    int genParamValue(int index, int p) const;
    void relistRestricted(bool restricted);

    void genParamClick(int index);
    void prioClick(int k);
    void tempoRelChange(int i);
    void vrefClick();
    void minMaxChange(int i, bool finished);
    void klxStopChange(int i, bool finished);
    void slaveChange(bool finished);
    void slaveTextChange();
    void listClick(QComboBox* combo, int param, int value);
    void pulseClick(int i);

    PanelContext& m_panel;
    bool m_tempoGuard = false;
    bool m_klxGuard = false;

    QList<QComboBox*> m_cboGenParam; // by parameter index, null where none
    QComboBox* m_cboPrioKL[4] = {};
    UpDownEdit* m_txtTempoRel[4] = {};
    QComboBox* m_cboVref = nullptr;
    UpDownEdit* m_txtGenMinMax[6] = {};
    QComboBox* m_cboCommType = nullptr;
    UpDownEdit* m_txtCommSlave = nullptr;
    QComboBox* m_cboCommSpeed = nullptr;
    QComboBox* m_cboCommStops = nullptr;
    QComboBox* m_cboCtrlBus = nullptr;
    QComboBox* m_cboCommProtocol = nullptr;
    QComboBox* m_cboLanguage = nullptr;
    UpDownEdit* m_txtKlxStop[2] = {};
    QButtonGroup* m_optTempoPulse = nullptr;
};
