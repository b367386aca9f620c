#include "wPreview.h"

#include "PrinterChoice.h"
#include "PrintFunctions.h"
#include "PrintSettings.h"
#include "ReportPrinting.h"

#include "settings/IniStore.h"
#include "texts/DataFunctions.h"
#include "util/ErrorHandling.h"

#include <QAction>
#include <QIcon>
#include <QLabel>
#include <QPrinter>
#include <QPrintPreviewWidget>
#include <QScreen>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

// The resources of a static library are registered by hand, outside any namespace.
static void InitPrintResources()
{
    Q_INIT_RESOURCE(print);
}

namespace {
constexpr int kCaptionTag = 40200;

QIcon PreviewIcon(const char* name)
{
    return QIcon(QStringLiteral(":/print/icons/%1.svg").arg(QLatin1String(name)));
}
} // namespace

wPreview::wPreview(QWidget* parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("wPreview"));
    setAttribute(Qt::WA_DeleteOnClose);
    // A page's width, within what the screen offers.
    const QRect screen = this->screen()->availableGeometry();
    resize(std::min(820, screen.width() * 9 / 10), std::min(960, screen.height() * 9 / 10));
    InitPrintResources();
    m_printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    buildControls();
    Nationality();
}

wPreview::~wPreview() = default;

void wPreview::buildControls()
{
    m_tbrPreview = new QToolBar(this);
    m_tbrPreview->setObjectName(QStringLiteral("tbrPreview"));
    m_tbrPreview->setIconSize(QSize(20, 20));
    m_tbrPreview->setToolButtonStyle(Qt::ToolButtonIconOnly);

    auto add = [&](const char* name, const QIcon& icon, int tag, auto slot) {
        QAction* action = m_tbrPreview->addAction(icon, QString());
        action->setObjectName(QLatin1String(name));
        connect(action, &QAction::triggered, this, slot);
        m_tagged << qMakePair(action, tag);
        return action;
    };
    // tags: 40201-40210
    QAction* print = add("cmdPrint", PreviewIcon("print"), 40201, [this] { CallPrint(); });
    m_tbrPreview->widgetForAction(print)->setObjectName(QStringLiteral("btnPrint"));
    m_tbrPreview->addSeparator();
    add("cmdZoomIn", PreviewIcon("zoom-in"), 40203, [this] { m_prv->zoomIn(); });
    add("cmdZoomOut", PreviewIcon("zoom-out"), 40204, [this] { m_prv->zoomOut(); });
    add("cmdFitWidth", PreviewIcon("fit-width"), 40205, [this] { m_prv->fitToWidth(); });
    add("cmdWholePage", PreviewIcon("whole-page"), 40206, [this] { m_prv->fitInView(); });
    m_tbrPreview->addSeparator();
    QStyle* s = style();
    add("cmdFirstPage", s->standardIcon(QStyle::SP_MediaSkipBackward), 40207,
        [this] { goToPage(1); });
    add("cmdPreviousPage", s->standardIcon(QStyle::SP_ArrowLeft), 40208,
        [this] { goToPage(m_prv->currentPage() - 1); });
    m_lblPage = new QLabel(m_tbrPreview);
    m_lblPage->setObjectName(QStringLiteral("lblPage"));
    m_lblPage->setMinimumWidth(
        m_lblPage->fontMetrics().horizontalAdvance(QStringLiteral(" 00 / 00 ")));
    m_lblPage->setAlignment(Qt::AlignCenter);
    m_tbrPreview->addWidget(m_lblPage);
    add("cmdNextPage", s->standardIcon(QStyle::SP_ArrowRight), 40209,
        [this] { goToPage(m_prv->currentPage() + 1); });
    add("cmdLastPage", s->standardIcon(QStyle::SP_MediaSkipForward), 40210,
        [this] { goToPage(m_prv->pageCount()); });
    auto* spacer = new QWidget(m_tbrPreview);
    spacer->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    m_tbrPreview->addWidget(spacer);
    QAction* close = add("cmdClose", QIcon(), 40202, [this] { ClosePreview(); });
    close->setShortcut(QKeySequence(Qt::Key_Escape));
    print->setShortcut(QKeySequence(QKeySequence::Print));
    m_tbrPreview->widgetForAction(close)->setObjectName(QStringLiteral("btnClose"));
    // Print and Close show their words; the other buttons their pictures.
    for (QAction* a : {print, close})
        if (auto* button = qobject_cast<QToolButton*>(m_tbrPreview->widgetForAction(a)))
            button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);

    m_prv = new QPrintPreviewWidget(m_printer.get(), this);
    m_prv->setObjectName(QStringLiteral("Prv"));
    m_prv->setZoomMode(QPrintPreviewWidget::FitToWidth);
    connect(m_prv, &QPrintPreviewWidget::paintRequested, this, &wPreview::paint);
    connect(m_prv, &QPrintPreviewWidget::previewChanged, this, &wPreview::showPageNumber);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_tbrPreview);
    layout->addWidget(m_prv, 1);
}

void wPreview::Nationality()
{
    Trap("wPreview.Nationality", [&] {
        setWindowTitle(GetCaption(kCaptionTag));
        for (const auto& [action, tag] : std::as_const(m_tagged)) {
            const QString text = GetCaption(tag);
            action->setText(text);
            action->setToolTip(QString(text).remove(QStringLiteral("...")));
        }
        // The pages follow the language too.
        if (m_built)
            m_prv->updatePreview();
    });
}

bool wPreview::DoPrint(const ConfigClass& config, bool factory)
{
    m_config = config;
    m_factory = factory;
    m_lastCompleted = false;
    m_built = true;
    Trap("wPreview.DoPrint", [&] {
        SetUpPrinter(*m_printer,
                     ChosenDestination(GetIniParam(PrintKeys::Section, PrintKeys::PrinterName),
                                       SystemPrinters()));
        m_prv->updatePreview();
    });
    return m_lastCompleted;
}

void wPreview::paint(QPrinter* printer)
{
    ReportOptions options;
    options.factory = m_factory;
    m_lastCompleted = ::DoPrint(*printer, m_config, options);
}

int wPreview::PageCount() const
{
    return m_prv->pageCount();
}

int wPreview::CurrentPage() const
{
    return m_prv->currentPage();
}

void wPreview::goToPage(int page)
{
    m_prv->setCurrentPage(page);
    showPageNumber();
}

void wPreview::showPageNumber()
{
    m_lblPage->setText(QStringLiteral("%1 / %2").arg(m_prv->currentPage()).arg(m_prv->pageCount()));
}

void wPreview::CallPrint()
{
    Trap("wPreview.CallPrint", [&] {
        if (!AskPrinter(this))
            return;
        ReportOptions options;
        options.factory = m_factory;
        PrintConfigReport(m_config, options, this);
    });
}

void wPreview::ClosePreview()
{
    close();
}
