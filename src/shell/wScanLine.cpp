#include "wScanLine.h"

#include "LinkCommand.h"

#include "texts/DataFunctions.h"
#include "util/ErrorHandling.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {
constexpr int kCaptionTag = 103000;
constexpr int kProbingTag = 103020;
constexpr int kFinishedTag = 103021;
constexpr int kCancelledTag = 103022;
constexpr int kNoneTag = 103023;
constexpr int kReadTag = 103025;
// tags: 103010-103013
constexpr int kHeadingTextBase = 103010;
// tooltips: 103001-103004, 103010

// A firmware version code as panels show it: 262 is "1.06".
QString FirmwareText(std::int32_t version)
{
    return QStringLiteral("%1.%2").arg(version / 256).arg(version % 256, 2, 10, QLatin1Char('0'));
}

template <class W> W* named(const char* name, QWidget* parent)
{
    auto* w = new W(parent);
    w->setObjectName(QString::fromLatin1(name));
    return w;
}

QSpinBox* slaveBox(const char* name, int value, QWidget* parent)
{
    auto* box = named<QSpinBox>(name, parent);
    box->setRange(1, 64);
    box->setValue(value);
    return box;
}
} // namespace

wScanLine::wScanLine(PanelLink& link, QWidget* parent) : QDialog(parent), m_link(link)
{
    setObjectName(QStringLiteral("wScanLine"));
    setProperty("HelpContextID", HelpContext);

    auto* lblFrom = named<QLabel>("lblFrom", this);
    auto* lblTo = named<QLabel>("lblTo", this);
    auto* lblMargin = named<QLabel>("lblMargin", this);
    m_txtFrom = slaveBox("txtFrom", 1, this);
    m_txtTo = slaveBox("txtTo", 64, this);
    m_chkSearch = named<QCheckBox>("chkSearch", this);
    m_txtMargin = named<QSpinBox>("txtMargin", this);
    m_txtMargin->setRange(1, 10000);
    m_txtMargin->setValue(ScanOptions{}.probeMarginMs);
    lblFrom->setBuddy(m_txtFrom);
    lblTo->setBuddy(m_txtTo);
    lblMargin->setBuddy(m_txtMargin);
    m_cmdScan = named<QPushButton>("cmdScan", this);
    m_cmdCancel = named<QPushButton>("cmdCancel", this);
    m_cmdClose = named<QPushButton>("cmdClose", this);
    m_cmdHelp = named<QPushButton>("cmdHelp", this);
    for (QPushButton* button : {m_cmdScan, m_cmdCancel, m_cmdClose, m_cmdHelp})
        button->setAutoDefault(false);

    m_lvwPanels = named<QTreeWidget>("lvwPanels", this);
    m_lvwPanels->setColumnCount(4);
    m_lvwPanels->setRootIsDecorated(false);
    m_lvwPanels->setUniformRowHeights(true);
    m_lvwPanels->setSelectionMode(QAbstractItemView::SingleSelection);
    m_lvwPanels->header()->setSectionResizeMode(QHeaderView::Stretch);
    m_lvwPanels->setMinimumHeight(fontMetrics().height() * 10);
    m_prgScan = named<QProgressBar>("prgScan", this);
    m_prgScan->setRange(0, 1);
    m_prgScan->setValue(0);
    m_lblStatus = named<QLabel>("lblStatus", this);
    m_lblHint = named<QLabel>("lblHint", this);
    m_lblHint->setWordWrap(true);

    m_tagged = {{lblFrom, 103001},    {lblTo, 103002},     {m_chkSearch, 103003},
                {lblMargin, 103004},  {m_cmdScan, 103005}, {m_cmdCancel, 103006},
                {m_cmdClose, 103007}, {m_cmdHelp, 103008}, {m_lblHint, 103024}};

    auto* range = new QHBoxLayout;
    range->addWidget(lblFrom);
    range->addWidget(m_txtFrom);
    range->addWidget(lblTo);
    range->addWidget(m_txtTo);
    range->addSpacing(12);
    range->addWidget(lblMargin);
    range->addWidget(m_txtMargin);
    range->addStretch();
    auto* search = new QHBoxLayout;
    search->addWidget(m_chkSearch);
    search->addStretch();
    search->addWidget(m_cmdScan);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_cmdHelp);
    buttons->addStretch();
    buttons->addWidget(m_cmdCancel);
    buttons->addWidget(m_cmdClose);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(range);
    layout->addLayout(search);
    layout->addWidget(m_lvwPanels, 1);
    layout->addWidget(m_lblHint);
    layout->addWidget(m_prgScan);
    layout->addWidget(m_lblStatus);
    layout->addLayout(buttons);

    connect(m_cmdScan, &QPushButton::clicked, this, &wScanLine::Scan);
    connect(m_cmdCancel, &QPushButton::clicked, this, &wScanLine::reject);
    connect(m_cmdClose, &QPushButton::clicked, this, &wScanLine::reject);
    connect(m_cmdHelp, &QPushButton::clicked, this, [this] { Q_EMIT HelpRequested(HelpContext); });
    connect(m_lvwPanels, &QTreeWidget::itemActivated, this, &wScanLine::activated);

    setScanning(false);
    Nationality();
    resize(sizeHint().expandedTo(QSize(520, 380)));
}

ScanOptions wScanLine::Options() const
{
    ScanOptions options;
    options.from = m_txtFrom->value();
    options.to = m_txtTo->value();
    options.search = m_chkSearch->isChecked();
    options.probeMarginMs = m_txtMargin->value();
    return options;
}

void wScanLine::SetOptions(const ScanOptions& options)
{
    m_txtFrom->setValue(options.from);
    m_txtTo->setValue(options.to);
    m_chkSearch->setChecked(options.search);
    m_txtMargin->setValue(options.probeMarginMs);
}

QString wScanLine::StatusText() const
{
    return m_lblStatus->text();
}

void wScanLine::Nationality()
{
    Trap("wScanLine.Nationality", [&] {
        setWindowTitle(GetCaption(kCaptionTag));
        SetCaptions(m_tagged);
        QStringList headings;
        for (int column = 0; column < 4; ++column)
            headings << GetCaption(kHeadingTextBase + column);
        m_lvwPanels->setHeaderLabels(headings);
        for (auto [control, tag] : {std::pair<QWidget*, int>{m_txtFrom, 103001},
                                    {m_txtTo, 103002},
                                    {m_chkSearch, 103003},
                                    {m_txtMargin, 103004},
                                    {m_lvwPanels, 103010}})
            control->setToolTip(GetToolTip(tag));
        if (m_statusTag != 0)
            setStatus(m_statusTag, {});
    });
}

void wScanLine::setStatus(int tag, std::initializer_list<qint64> values)
{
    if (tag != m_statusTag || values.size() > 0)
        m_statusValues = QList<qint64>(values);
    m_statusTag = tag;
    QString text = GetCaption(tag);
    for (qsizetype i = 0; i < m_statusValues.size(); ++i)
        text.replace(QStringLiteral("###%1###").arg(i + 1), QString::number(m_statusValues[i]));
    m_lblStatus->setText(text);
}

void wScanLine::setScanning(bool on)
{
    m_scanning = on;
    for (QWidget* option : {static_cast<QWidget*>(m_txtFrom), static_cast<QWidget*>(m_txtTo),
                            static_cast<QWidget*>(m_chkSearch), static_cast<QWidget*>(m_txtMargin),
                            static_cast<QWidget*>(m_cmdScan), static_cast<QWidget*>(m_cmdClose)})
        option->setEnabled(!on);
    m_cmdCancel->setEnabled(on);
    (on ? m_cmdCancel : m_cmdClose)->setFocus();
}

void wScanLine::Scan()
{
    Trap("wScanLine.Scan", [&] {
        // A double-click read holds the line too.
        const LinkCommand command;
        if (m_scanning || command.refused())
            return;
        m_panels.clear();
        m_lvwPanels->clear();
        m_cancel = false;
        setScanning(true);
        const ScanResult result = ScanLine(m_link, Options(), *this);
        setScanning(false);
        m_prgScan->setValue(m_prgScan->maximum());
        const auto found = static_cast<qint64>(m_panels.size());
        if (result.cancelled)
            setStatus(kCancelledTag, {found});
        else if (found == 0)
            setStatus(kNoneTag, {});
        else
            setStatus(kFinishedTag, {found});
    });
}

bool wScanLine::Cancelled()
{
    QCoreApplication::processEvents();
    return m_cancel;
}

void wScanLine::Probing(std::uint8_t slave, std::int32_t bauds, std::int16_t stops, int done,
                        int total)
{
    m_prgScan->setRange(0, total);
    m_prgScan->setValue(done);
    setStatus(kProbingTag, {slave, bauds, stops});
}

void wScanLine::Found(const ScannedPanel& panel)
{
    m_panels.append(panel);
    auto* item = new QTreeWidgetItem(m_lvwPanels,
                                     {QString::number(panel.slave), FirmwareText(panel.version),
                                      QString::number(panel.bauds), QString::number(panel.stops)});
    for (int column = 0; column < 4; ++column)
        item->setTextAlignment(column, Qt::AlignCenter);
    if (m_panels.size() == 1)
        m_lvwPanels->setCurrentItem(item);
}

void wScanLine::activated(QTreeWidgetItem* item)
{
    const int row = m_lvwPanels->indexOfTopLevelItem(item);
    if (m_scanning || row < 0 || row >= m_panels.size())
        return;
    Q_EMIT ReadRequested(m_panels[row]);
}

void wScanLine::PanelRead(std::uint8_t slave)
{
    setStatus(kReadTag, {slave});
}

void wScanLine::reject()
{
    if (m_scanning) {
        m_cancel = true;
        return;
    }
    QDialog::reject();
}
