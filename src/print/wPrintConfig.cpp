#include "wPrintConfig.h"

#include "PageSketch.h"
#include "PrintSettings.h"

#include "settings/IniStore.h"
#include "texts/DataFunctions.h"
#include "util/ErrorHandling.h"

#include <QFocusEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QTimer>
#include <QVBoxLayout>

namespace {
constexpr int kCaptionTag = 40010;
constexpr int kMarginsTag = 40020;
constexpr int kPrinterTag = 40030;
constexpr int kPdfFileTag = 40031;
constexpr int kButtonTags[2] = {12, 15}; // Cancel, OK

// The boxes in the order of m_margins, with their keys and defaults.
struct MarginBox
{
    const char* name;
    const char* label;
    int labelTag;
    const QString& key;
    double defaultValue;
};
const MarginBox Boxes[5] = {
    {"tbMarginLeft", "lblMarginLeft", 40023, PrintKeys::LeftMargin, 20},
    {"tbMarginRight", "lblMarginRight", 40024, PrintKeys::RightMargin, 20},
    {"tbMarginTop", "lblMarginTop", 40021, PrintKeys::TopMargin, 15},
    {"tbMarginBottom", "lblMarginBottom", 40022, PrintKeys::BottomMargin, 10},
    {"tbMarginValue", "lblMarginValue", 40025, PrintKeys::ValueMargin, 120}};
// tags: 40021-40025
} // namespace

wPrintConfig::wPrintConfig(const PrinterList& printers, QWidget* parent)
    : QDialog(parent), m_printers(printers)
{
    setObjectName(QStringLiteral("wPrintConfig"));
    buildControls();
    Trap("wPrintConfig.Form_Load", [&] {
        loadValues();
        Nationality();
    });
}

void wPrintConfig::buildControls()
{
    m_frmMargins = new QGroupBox(this);
    m_frmMargins->setObjectName(QStringLiteral("frmMargins"));
    auto* grid = new QGridLayout(m_frmMargins);
    QLabel* labels[5] = {};
    // Only digits: a letter, a sign or a decimal point typed or pasted is refused.
    auto* digits =
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), this);
    for (int i = 0; i < 5; ++i) {
        labels[i] = new QLabel(m_frmMargins);
        labels[i]->setObjectName(QLatin1String(Boxes[i].label));
        m_margins[i] = new QLineEdit(m_frmMargins);
        m_margins[i]->setObjectName(QLatin1String(Boxes[i].name));
        m_margins[i]->setValidator(digits);
        m_margins[i]->setMaxLength(3);
        m_margins[i]->setAlignment(Qt::AlignRight);
        m_margins[i]->setFixedWidth(
            m_margins[i]->fontMetrics().horizontalAdvance(QStringLiteral("0000")) + 16);
        m_margins[i]->installEventFilter(this);
        labels[i]->setBuddy(m_margins[i]);
        m_tagged << qMakePair(static_cast<QWidget*>(labels[i]), Boxes[i].labelTag);
        connect(m_margins[i], &QLineEdit::textChanged, this, &wPrintConfig::updateSketch);
    }
    m_picPage = new PageSketch(m_frmMargins);

    // The boxes around the drawing of the page, each where its margin is.
    auto pair = [&](int i, Qt::Alignment align) {
        auto* box = new QVBoxLayout;
        box->addWidget(labels[i], 0, align);
        box->addWidget(m_margins[i], 0, align);
        return box;
    };
    grid->addLayout(pair(2, Qt::AlignHCenter), 0, 1);
    grid->addLayout(pair(0, Qt::AlignRight), 1, 0, Qt::AlignVCenter);
    grid->addWidget(m_picPage, 1, 1, Qt::AlignCenter);
    grid->addLayout(pair(1, Qt::AlignLeft), 1, 2, Qt::AlignVCenter);
    grid->addLayout(pair(3, Qt::AlignHCenter), 2, 1);
    auto* valueRow = new QHBoxLayout;
    valueRow->addStretch();
    valueRow->addWidget(labels[4]);
    valueRow->addWidget(m_margins[4]);
    valueRow->addStretch();
    grid->addLayout(valueRow, 3, 0, 1, 3);
    grid->setColumnStretch(0, 1);
    grid->setColumnStretch(2, 1);

    m_frmPrinter = new QGroupBox(this);
    m_frmPrinter->setObjectName(QStringLiteral("frmPrinter"));
    auto* printerBox = new QVBoxLayout(m_frmPrinter);
    m_lstPrinters = new QListWidget(m_frmPrinter);
    m_lstPrinters->setObjectName(QStringLiteral("lstPrinters"));
    m_lstPrinters->setMinimumWidth(280);
    m_lstPrinters->setMaximumHeight(m_lstPrinters->sizeHintForRow(0) * 6 + 60);
    printerBox->addWidget(m_lstPrinters);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    for (int i : {1, 0}) {
        m_bouton[i] = new QPushButton(this);
        m_bouton[i]->setObjectName(QStringLiteral("Bouton%1").arg(i));
        m_bouton[i]->setAutoDefault(false);
        buttons->addWidget(m_bouton[i]);
        m_tagged << qMakePair(static_cast<QWidget*>(m_bouton[i]), kButtonTags[i]);
        connect(m_bouton[i], &QPushButton::clicked, this, [this, i] { Bouton_Click(i); });
    }
    m_bouton[1]->setDefault(true);
    // The keyboard goes round the page: top, left, right, bottom, value column.
    QWidget* order[] = {m_margins[2], m_margins[0],  m_margins[1], m_margins[3],
                        m_margins[4], m_lstPrinters, m_bouton[1],  m_bouton[0]};
    for (int i = 0; i + 1 < int(std::size(order)); ++i)
        setTabOrder(order[i], order[i + 1]);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_frmMargins);
    layout->addWidget(m_frmPrinter);
    layout->addLayout(buttons);
    // The window follows what it shows: hiding the margins makes it shorter.
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void wPrintConfig::loadValues()
{
    for (int i = 0; i < 5; ++i)
        m_margins[i]->setText(
            GetIniParam(PrintKeys::Section, Boxes[i].key, QString::number(Boxes[i].defaultValue)));

    // The printers in the system's order, then the PDF file. A stored printer
    // that is no longer installed is left out of the way: the default
    // printer (or the PDF file) is selected instead.
    const QString stored = GetIniParam(PrintKeys::Section, PrintKeys::PrinterName).trimmed();
    const QString chosen =
        ChosenDestination(stored.isEmpty() ? m_printers.defaultName : stored, m_printers);
    m_lstPrinters->clear();
    for (const QString& name : std::as_const(m_printers.names)) {
        auto* item = new QListWidgetItem(name, m_lstPrinters);
        item->setData(Qt::UserRole, name);
    }
    auto* pdf = new QListWidgetItem(m_lstPrinters);
    pdf->setData(Qt::UserRole, PdfDestination);
    for (int row = 0; row < m_lstPrinters->count(); ++row)
        if (m_lstPrinters->item(row)->data(Qt::UserRole).toString() == chosen)
            m_lstPrinters->setCurrentRow(row);
}

void wPrintConfig::Nationality()
{
    Trap("wPrintConfig.Nationality", [&] {
        setWindowTitle(GetCaption(kCaptionTag));
        m_frmMargins->setTitle(GetCaption(kMarginsTag) + QStringLiteral(" (mm)"));
        m_frmPrinter->setTitle(GetCaption(kPrinterTag));
        SetCaptions(m_tagged);
        for (int row = 0; row < m_lstPrinters->count(); ++row) {
            QListWidgetItem* item = m_lstPrinters->item(row);
            if (item->data(Qt::UserRole).toString() == PdfDestination)
                item->setText(GetCaption(kPdfFileTag));
        }
    });
}

void wPrintConfig::MaskMargins()
{
    m_frmMargins->hide();
    m_lstPrinters->setFocus();
}

void wPrintConfig::Bouton_Click(int index)
{
    m_ok = false;
    if (index == 1)
        m_ok = Trap("wPrintConfig.Bouton_Click", [&] {
            store();
            return true;
        });
    if (m_ok)
        accept();
    else
        reject();
}

void wPrintConfig::store()
{
    if (!m_frmMargins->isHidden()) {
        // An emptied box stands for 0 mm.
        for (int i = 0; i < 5; ++i) {
            const QString text = m_margins[i]->text().trimmed();
            SetIniParam(PrintKeys::Section, Boxes[i].key,
                        text.isEmpty() ? QStringLiteral("0") : text);
        }
    }
    const QListWidgetItem* selected = m_lstPrinters->currentItem();
    const QString destination = selected ? selected->data(Qt::UserRole).toString()
                                         : ChosenDestination(m_printers.defaultName, m_printers);
    SetIniParam(PrintKeys::Section, PrintKeys::PrinterName, destination);
}

void wPrintConfig::updateSketch()
{
    double lengths[5];
    for (int i = 0; i < 5; ++i) {
        bool ok = false;
        lengths[i] = m_margins[i]->text().toDouble(&ok);
        if (!ok)
            lengths[i] = -1;
    }
    m_picPage->SetLengths(lengths[0], lengths[1], lengths[2], lengths[3], lengths[4]);
}

bool wPrintConfig::eventFilter(QObject* watched, QEvent* event)
{
    // A margin box that gets the focus has its whole text selected (after the
    // click that gave the focus has placed the cursor).
    if (event->type() == QEvent::FocusIn)
        if (auto* box = qobject_cast<QLineEdit*>(watched))
            QTimer::singleShot(0, box, &QLineEdit::selectAll);
    return QDialog::eventFilter(watched, event);
}
