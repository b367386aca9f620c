#include "wConfig.h"

#include "link/CommFunctions.h"
#include "settings/IniStore.h"
#include "settings/MostRecentFilesClass.h"
#include "settings/NationalityAll.h"
#include "settings/PortList.h"
#include "texts/DataFunctions.h"
#include "util/ErrorHandling.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {
const QString kGeneral = QStringLiteral("General");
const QString kCommunication = QStringLiteral("Communication");
const QString kParityLetters = QStringLiteral("NEO");

constexpr int kCaptionTag = 1100;
constexpr int kPageTags[2] = {1110, 1120};
constexpr int kParityFirstTag = 1117;        // tags: 1117-1119
constexpr int kButtonTags[3] = {12, 15, 14}; // Cancel, OK, Apply

QLabel* label(const char* name, QWidget* parent)
{
    auto* l = new QLabel(parent);
    l->setObjectName(QLatin1String(name));
    return l;
}

// Selects the item with this text, adding it at the end when the list lacks it
// (a port set to a speed outside the list still shows what it is).
void selectText(QComboBox* combo, const QString& text)
{
    int index = combo->findText(text);
    if (index < 0) {
        combo->addItem(text);
        index = combo->count() - 1;
    }
    combo->setCurrentIndex(index);
}

int toInt(const QString& text)
{
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    if (!ok)
        Raise(ErrNo::TypeMismatch, text);
    return value;
}
} // namespace

wConfig::wConfig(PanelLink& link, MostRecentFilesClass* recentFiles, QWidget* parent)
    : QDialog(parent), m_link(link), m_recentFiles(recentFiles),
      m_nationalityHandler(&NationalityOfAllWindows)
{
    setObjectName(QStringLiteral("wConfig"));
    buildControls();
    Trap("wConfig.Form_Load", [&] {
        Nationality();
        loadValues();
    });
    // A stored value that did not convert ended the load early: the dialog
    // still works with what it shows.
    m_loading = false;
    connectChanges();
}

void wConfig::buildControls()
{
    m_tbsPages = new QTabWidget(this);
    m_tbsPages->setObjectName(QStringLiteral("tbsPages"));

    // Communication page.
    auto* page1 = new QFrame;
    page1->setObjectName(QStringLiteral("frmPage1"));
    auto* grid = new QGridLayout(page1);
    QLabel* lblPort = label("lblPort", page1);
    QLabel* lblCom = label("lblCom", page1);
    lblCom->setText(QStringLiteral("COM"));
    m_cboPort = NewPortList(page1, lblCom);
    auto* portRow = new QHBoxLayout;
    portRow->addWidget(lblCom);
    portRow->addWidget(m_cboPort, 1);
    grid->addWidget(lblPort, 0, 0);
    grid->addLayout(portRow, 0, 1);

    QLabel* lblBauds = label("lblBauds", page1);
    m_cboBauds = new QComboBox(page1);
    m_cboBauds->setObjectName(QStringLiteral("cboBauds"));
    m_cboBauds->addItems({QStringLiteral("19200"), QStringLiteral("9600"), QStringLiteral("4800"),
                          QStringLiteral("2400"), QStringLiteral("1200")});
    grid->addWidget(lblBauds, 1, 0);
    grid->addWidget(m_cboBauds, 1, 1);

    QLabel* lblStops = label("lblStops", page1);
    m_cboStops = new QComboBox(page1);
    m_cboStops->setObjectName(QStringLiteral("cboStops"));
    m_cboStops->addItems({QStringLiteral("1"), QStringLiteral("2")});
    grid->addWidget(lblStops, 2, 0);
    grid->addWidget(m_cboStops, 2, 1);

    QLabel* lblParity = label("lblParity", page1);
    m_cboParity = new QComboBox(page1);
    m_cboParity->setObjectName(QStringLiteral("cboParity"));
    for (int i = 0; i < 3; ++i)
        m_cboParity->addItem(QString());
    grid->addWidget(lblParity, 3, 0);
    grid->addWidget(m_cboParity, 3, 1);

    m_chkHalfDuplex = new QCheckBox(page1);
    m_chkHalfDuplex->setObjectName(QStringLiteral("chkHalfDuplex"));
    grid->addWidget(m_chkHalfDuplex, 4, 0, 1, 2);

    m_frmRtsDelay = new QFrame(page1);
    m_frmRtsDelay->setObjectName(QStringLiteral("frmRtsDelay"));
    auto* rtsRow = new QHBoxLayout(m_frmRtsDelay);
    rtsRow->setContentsMargins(20, 0, 0, 0);
    QLabel* lblRtsDelay = label("lblRtsDelay", m_frmRtsDelay);
    m_txtRtsDelay = new QSpinBox(m_frmRtsDelay);
    m_txtRtsDelay->setObjectName(QStringLiteral("txtRtsDelay"));
    m_txtRtsDelay->setRange(0, 20);
    m_txtRtsDelay->setSingleStep(1);
    m_txtRtsDelay->setValue(0);
    rtsRow->addWidget(lblRtsDelay);
    rtsRow->addWidget(m_txtRtsDelay);
    rtsRow->addStretch();
    grid->addWidget(m_frmRtsDelay, 5, 0, 1, 2);
    grid->setRowStretch(6, 1);

    // General page.
    auto* page2 = new QFrame;
    page2->setObjectName(QStringLiteral("frmPage2"));
    auto* grid2 = new QGridLayout(page2);
    QLabel* lblMRU = label("lblMRU", page2);
    m_txtMRU = new QSpinBox(page2);
    m_txtMRU->setObjectName(QStringLiteral("txtMRU"));
    m_txtMRU->setRange(4, 9);
    m_txtMRU->setSingleStep(1);
    m_txtMRU->setValue(4);
    grid2->addWidget(lblMRU, 0, 0);
    grid2->addWidget(m_txtMRU, 0, 1);
    QLabel* lblLanguage = label("lblLanguage", page2);
    m_cboLanguage = new QComboBox(page2);
    m_cboLanguage->setObjectName(QStringLiteral("cboLanguage"));
    grid2->addWidget(lblLanguage, 1, 0);
    grid2->addWidget(m_cboLanguage, 1, 1);
    grid2->setRowStretch(2, 1);
    grid2->setColumnStretch(1, 1);

    m_tbsPages->addTab(page1, QString());
    m_tbsPages->addTab(page2, QString());

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    const char* names[3] = {"cmdButtons0", "cmdButtons1", "cmdButtons2"};
    for (int i : {1, 0, 2}) {
        m_cmdButtons[i] = new QPushButton(this);
        m_cmdButtons[i]->setObjectName(QLatin1String(names[i]));
        m_cmdButtons[i]->setAutoDefault(false);
        buttons->addWidget(m_cmdButtons[i]);
    }
    m_cmdButtons[1]->setDefault(true);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_tbsPages);
    layout->addLayout(buttons);

    m_tagged = {{lblPort, 1111},
                {lblBauds, 1112},
                {lblStops, 1115},
                {lblParity, 1116},
                {m_chkHalfDuplex, 1113},
                {lblRtsDelay, 1123},
                {lblMRU, 1122},
                {lblLanguage, 1121},
                {m_cmdButtons[0], kButtonTags[0]},
                {m_cmdButtons[1], kButtonTags[1]},
                {m_cmdButtons[2], kButtonTags[2]}};

    connect(m_cmdButtons[0], &QPushButton::clicked, this, &QDialog::reject);
    connect(m_cmdButtons[1], &QPushButton::clicked, this, [this] {
        Apply();
        accept();
    });
    connect(m_cmdButtons[2], &QPushButton::clicked, this, [this] { Apply(); });
    connect(m_tbsPages, &QTabWidget::currentChanged, this, &wConfig::pageChanged);
}

void wConfig::Nationality()
{
    Trap("wConfig.Nationality", [&] {
        setWindowTitle(GetCaption(kCaptionTag));
        SetCaptions(m_tagged);
        for (int i = 0; i < 2; ++i)
            m_tbsPages->setTabText(i, GetCaption(kPageTags[i]));
        for (int i = 0; i < 3; ++i)
            m_cboParity->setItemText(i, GetCaption(kParityFirstTag + i));
    });
}

void wConfig::loadValues()
{
    m_loading = true;
    ComCtrl& port = m_link.port();
    m_cboPort->setCurrentIndex(m_cboPort->findText(port.CommPort()));
    m_cboPort->setEditText(port.CommPort());
    selectText(m_cboBauds, QString::number(GetCommBauds(port)));
    selectText(m_cboStops, QString::number(GetCommStops(port)));
    // The parity is the letter after the first comma of "9600,N,8,1"; an
    // unknown letter leaves no item selected.
    const QString settings = port.Settings();
    const qsizetype comma = settings.indexOf(QLatin1Char(','));
    const QChar letter =
        comma >= 0 && comma + 1 < settings.size() ? settings[comma + 1].toUpper() : QChar();
    m_cboParity->setCurrentIndex(letter.isNull() ? -1 : int(kParityLetters.indexOf(letter)));

    m_chkHalfDuplex->setChecked(GetIniInt(kCommunication, QStringLiteral("RTS"), 0) == 1);
    m_frmRtsDelay->setEnabled(m_chkHalfDuplex->isChecked());
    m_txtRtsDelay->setValue(GetIniInt(kCommunication, QStringLiteral("RtsDelay"), 5));
    m_txtMRU->setValue(GetIniInt(kGeneral, QStringLiteral("MRU"), std::int16_t(m_txtMRU->value())));

    m_cboLanguage->clear();
    m_cboLanguage->addItems(Languages());
    const int current = m_cboLanguage->findText(CurrentLanguage());
    m_cboLanguage->setCurrentIndex(current >= 0 ? current : (m_cboLanguage->count() > 0 ? 0 : -1));

    m_marks = 0;
    m_cmdButtons[2]->setEnabled(false);
    m_tbsPages->setCurrentIndex(0);
    pageChanged(0);
    m_loading = false;
}

void wConfig::connectChanges()
{
    connect(m_cboPort, &QComboBox::editTextChanged, this, [this] { changed(MarkPort); });
    connect(m_cboPort, &QComboBox::currentIndexChanged, this, [this] { changed(MarkPort); });
    connect(m_cboBauds, &QComboBox::currentIndexChanged, this, [this] { changed(MarkBauds); });
    connect(m_cboStops, &QComboBox::currentIndexChanged, this, [this] { changed(MarkStops); });
    connect(m_cboParity, &QComboBox::currentIndexChanged, this, [this] { changed(MarkParity); });
    connect(m_txtMRU, &QSpinBox::valueChanged, this, [this] { changed(MarkMRU); });
    connect(m_txtRtsDelay, &QSpinBox::valueChanged, this, [this] { changed(MarkRtsDelay); });
    connect(m_cboLanguage, &QComboBox::currentIndexChanged, this,
            [this] { changed(MarkLanguage); });
    connect(m_chkHalfDuplex, &QCheckBox::toggled, this, [this](bool on) {
        m_frmRtsDelay->setEnabled(on);
        changed(MarkHalfDuplex);
    });
}

void wConfig::changed(int mark)
{
    if (m_loading)
        return;
    m_marks |= mark;
    m_cmdButtons[2]->setEnabled(true);
}

void wConfig::pageChanged(int index)
{
    const int id = index >= 0 && index < 2 ? kPageTags[index] : kPageTags[0];
    setProperty("helpContextId", id);
    m_tbsPages->setProperty("helpContextId", id);
}

int wConfig::HelpContextId() const
{
    return property("helpContextId").toInt();
}

void wConfig::SetFirstRun()
{
    m_cmdButtons[0]->hide();
    m_cmdButtons[2]->hide();
    MarkLanguageChanged();
}

void wConfig::MarkLanguageChanged()
{
    m_marks |= MarkLanguage;
    m_cmdButtons[2]->setEnabled(true);
}

bool wConfig::Apply()
{
    if (!m_cmdButtons[2]->isEnabled())
        return true;
    return Trap("wConfig.cmdButtons_Click", [&] { return applyGroups(); });
}

bool wConfig::applyGroups()
{
    if (m_marks & (MarkPort | MarkBauds | MarkStops | MarkParity)) {
        ComCtrl& port = m_link.port();
        if (port.PortOpen())
            port.SetPortOpen(false);
        const QString portText = m_cboPort->currentText().trimmed();
        if (portText.isEmpty())
            Raise(ErrNo::PortInvalid);
        port.SetCommPort(portText);
        SetIniParam(kCommunication, QStringLiteral("Port"), portText);
        const int bauds = toInt(m_cboBauds->currentText());
        SetCommBauds(port, bauds);
        SetIniParam(kCommunication, QStringLiteral("Bauds"), QString::number(bauds));
        const int stops = toInt(m_cboStops->currentText());
        SetCommStops(port, std::int16_t(stops));
        SetIniParam(kCommunication, QStringLiteral("Stops"), QString::number(stops));
        const int parity = m_cboParity->currentIndex();
        if (parity < 0 || parity > 2)
            Raise(ErrNo::InvalidCall, QStringLiteral("no parity chosen"));
        const QString letter = kParityLetters.mid(parity, 1).toLower();
        SetCommParity(port, letter);
        SetIniParam(kCommunication, QStringLiteral("Parity"), letter);
        port.SetPortOpen(true);
        m_marks &= ~(MarkPort | MarkBauds | MarkStops | MarkParity);
    }
    if (m_marks & MarkMRU) {
        SetIniParam(kGeneral, QStringLiteral("MRU"), m_txtMRU->text());
        if (m_recentFiles)
            m_recentFiles->SetMaxRecent(std::int16_t(m_txtMRU->value()));
        m_marks &= ~MarkMRU;
    }
    if (m_marks & (MarkHalfDuplex | MarkRtsDelay)) {
        const bool halfDuplex = m_chkHalfDuplex->isChecked();
        const int delay = m_txtRtsDelay->value();
        m_link.options().halfDuplex = halfDuplex;
        m_link.options().rtsDelayMs = delay;
        SetIniParam(kCommunication, QStringLiteral("RTS"),
                    halfDuplex ? QStringLiteral("1") : QStringLiteral("0"));
        SetIniParam(kCommunication, QStringLiteral("RtsDelay"), QString::number(delay));
        m_marks &= ~(MarkHalfDuplex | MarkRtsDelay);
    }
    if (m_marks & MarkLanguage) {
        const QString language = m_cboLanguage->currentText();
        SetCurrentLanguage(language);
        SetIniParam(kGeneral, QStringLiteral("Language"), language);
        m_marks &= ~MarkLanguage;
        if (m_nationalityHandler)
            m_nationalityHandler();
    }
    m_cmdButtons[2]->setEnabled(false);
    return true;
}
