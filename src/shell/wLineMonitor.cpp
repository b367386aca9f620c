#include "wLineMonitor.h"

#include "MonitorModel.h"

#include "link/CommFunctions.h"
#include "link/FrameText.h"
#include "settings/IniStore.h"
#include "texts/DataFunctions.h"
#include "util/ErrorHandling.h"
#include "util/FileDialog.h"
#include "util/PathFunctions.h"
#include "util/SafeFile.h"
#include "util/UiSeam.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QScrollBar>
#include <QTableView>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

namespace {
constexpr int kCaptionTag = 103100;
constexpr int kFilterTag = 103108;
constexpr int kCountTag = 103109;
constexpr int kPausedTag = 103113;
// tags: 103104-103107
constexpr int kHeadingTextBase = 103104;
constexpr int kRefreshMs = 200;
const QString kGeneral = QStringLiteral("General");
const QString kMonitorFiles = QStringLiteral("MonitorFiles");
} // namespace

// The resources of a static library are registered by hand, outside any namespace.
static void InitMonitorResources()
{
    Q_INIT_RESOURCE(shell);
}

wLineMonitor::wLineMonitor(PanelLink& link, QWidget* parent) : QDockWidget(parent), m_link(&link)
{
    InitMonitorResources();
    setObjectName(QStringLiteral("wLineMonitor"));
    setProperty("HelpContextID", HelpContext);
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowIcon(QIcon(QStringLiteral(":/shell/icons/mnuToolsMonitor.svg")));

    auto* body = new QWidget(this);
    m_cmdPause = button("cmdPause", QStringLiteral("MonitorPause"));
    m_cmdPause->setCheckable(true);
    m_cmdClear = button("cmdClear", QStringLiteral("MonitorClear"));
    m_cmdSave = button("cmdSave", QStringLiteral("MonitorSave"));
    m_lblStatus = new QLabel(body);
    m_lblStatus->setObjectName(QStringLiteral("lblStatus"));

    m_model = new MonitorModel(m_monitor, this);
    m_grdFrames = new QTableView(body);
    m_grdFrames->setObjectName(QStringLiteral("grdFrames"));
    m_grdFrames->setModel(m_model);
    m_grdFrames->verticalHeader()->hide();
    m_grdFrames->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    m_grdFrames->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_grdFrames->setWordWrap(false);
    m_grdFrames->horizontalHeader()->setStretchLastSection(true);
    const int digit = fontMetrics().horizontalAdvance(QLatin1Char('0'));
    m_grdFrames->setColumnWidth(0, digit * 11);
    m_grdFrames->setColumnWidth(1, digit * 11);
    m_grdFrames->setColumnWidth(2, digit * 3 * 13);

    auto* buttons = new QHBoxLayout;
    for (QToolButton* b : {m_cmdPause, m_cmdClear, m_cmdSave}) {
        b->setParent(body);
        buttons->addWidget(b);
    }
    buttons->addSpacing(12);
    buttons->addWidget(m_lblStatus, 1);
    auto* layout = new QVBoxLayout(body);
    layout->setContentsMargins(4, 2, 4, 4);
    layout->addLayout(buttons);
    layout->addWidget(m_grdFrames, 1);
    setWidget(body);

    connect(m_cmdPause, &QToolButton::toggled, this, &wLineMonitor::SetPaused);
    connect(m_cmdClear, &QToolButton::clicked, this, &wLineMonitor::Clear);
    connect(m_cmdSave, &QToolButton::clicked, this, &wLineMonitor::SaveAsText);
    m_refresh = new QTimer(this);
    m_refresh->setInterval(kRefreshMs);
    connect(m_refresh, &QTimer::timeout, this, &wLineMonitor::Refresh);
    m_refresh->start();

    Nationality();
    m_link->SetMonitor(&m_monitor);
}

wLineMonitor::~wLineMonitor()
{
    if (m_link && m_link->Monitor() == &m_monitor)
        m_link->SetMonitor(nullptr);
}

QToolButton* wLineMonitor::button(const char* name, const QString& icon)
{
    auto* b = new QToolButton(this);
    b->setObjectName(QString::fromLatin1(name));
    b->setIcon(QIcon(QStringLiteral(":/shell/icons/%1.svg").arg(icon)));
    b->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    b->setAutoRaise(true);
    return b;
}

void wLineMonitor::Nationality()
{
    Trap("wLineMonitor.Nationality", [&] {
        setWindowTitle(GetCaption(kCaptionTag));
        for (auto [b, tag] : {std::pair<QToolButton*, int>{m_cmdPause, 103101},
                              {m_cmdClear, 103102},
                              {m_cmdSave, 103103}}) {
            // tooltips: 103101-103104
            b->setText(GetCaption(tag));
            b->setToolTip(GetToolTip(tag));
        }
        QStringList headings;
        for (int column = 0; column < 4; ++column)
            headings << GetCaption(kHeadingTextBase + column);
        m_model->SetHeadings(headings);
        m_grdFrames->setToolTip(GetToolTip(103104));
        showStatus();
    });
}

void wLineMonitor::Refresh()
{
    QScrollBar* bar = m_grdFrames->verticalScrollBar();
    const bool atEnd = bar->value() == bar->maximum();
    const int before = m_model->rowCount();
    m_model->Sync();
    if (atEnd && m_model->rowCount() != before)
        m_grdFrames->scrollToBottom();
    showStatus();
}

int wLineMonitor::RowCount() const
{
    return m_model->rowCount();
}

QStringList wLineMonitor::Row(int row) const
{
    QStringList cells;
    for (int column = 0; column < m_model->columnCount(); ++column)
        cells << m_model->data(m_model->index(row, column), Qt::DisplayRole).toString();
    return cells;
}

QString wLineMonitor::StatusText() const
{
    return m_lblStatus->text();
}

void wLineMonitor::showStatus()
{
    QString text = GetCaption(kCountTag)
                       .replace(QStringLiteral("###1###"), QString::number(m_monitor.Recorded()))
                       .replace(QStringLiteral("###2###"), QString::number(m_monitor.capacity()));
    if (m_monitor.Paused())
        text = GetCaption(kPausedTag) + QStringLiteral(" - ") + text;
    m_lblStatus->setText(text);
}

void wLineMonitor::SetPaused(bool paused)
{
    m_monitor.SetPaused(paused);
    if (m_cmdPause->isChecked() != paused)
        m_cmdPause->setChecked(paused);
    showStatus();
}

void wLineMonitor::Clear()
{
    m_monitor.Clear();
    Refresh();
}

void wLineMonitor::SaveAsText()
{
    Trap("wLineMonitor.SaveAsText", [&] {
        Refresh();
        FileDialogRequest request;
        request.owner = this;
        // The text's line marks are the filter's separators.
        request.filter = GetText(kFilterTag).replace(QStringLiteral("\r\n"), QStringLiteral("|"));
        request.save = true;
        request.proposedName = QStringLiteral("line.txt");
        request.initialFolder = GetIniParam(kGeneral, kMonitorFiles);
        const QString path = ShowFileDialog(request);
        if (path.isEmpty())
            return;
        SetIniParam(kGeneral, kMonitorFiles, FolderOf(path));
        QByteArray text;
        for (const MonitorFrame& frame : m_monitor.Frames())
            text += FrameLine(frame).toUtf8() + '\n';
        // Written whole or not at all: a failed save keeps an earlier file.
        SafeWriteFileOrRaise(path, text);
    });
}
