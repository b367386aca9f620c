#pragma once

#include <QWidget>

class PanelContext;
class QComboBox;
class QLineEdit;
class UpDownEdit;

// Page 4 of the panel window, shown in factory mode only: the minimum
// brightness, the supply type and the common type read from the panel
// (shown, never edited).
class FactoryPage : public QWidget
{
    Q_OBJECT

public:
    FactoryPage(PanelContext& panel, QWidget* parent = nullptr);

    void Nationality() {}
    void Refresh();

private:
    void lumMinChange();
    void typeAlimClick();

    PanelContext& m_panel;
    UpDownEdit* m_txtLumMin = nullptr;
    QComboBox* m_cboTypeAlim = nullptr;
    QLineEdit* m_txtTypeCommon = nullptr;
};
