#include "wPanneau.h"

#include "EditGrid.h"
#include "FactoryPage.h"
#include "GeneralPage.h"
#include "InputGridPage.h"
#include "OutputGridPage.h"
#include "TaggedTexts.h"

#include "config/VersionCorrection.h"
#include "link/RegisterMap.h"
#include "texts/DataFunctions.h"
#include "util/ErrorHandling.h"
#include "util/UiSeam.h"

#include <algorithm>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QStatusBar>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {
constexpr int kCaptionTextBase = 30100; // tags: 30100-30101
constexpr int kModifiedCaptionTag = 30110;
constexpr int kDefaultLabelTag = 30120;
constexpr int kPageTags[4] = {31000, 32000, 33000, 34000};
constexpr int kHelpContexts[4] = {220, 230, 240, 250};
constexpr int kCloseQuestionTag = 10111;
// The modified mark shows the no and yes texts: tags: 10-11

// Header band help tags: panel number, module type, module name.
constexpr int kHeaderHelpTags[3] = {100001, 100002, 100003};

const QString kPathOfPanel = QStringLiteral("Orvel");

QLabel* newLabel(const char* name, int tag, QWidget* parent)
{
    auto* label = new QLabel(parent);
    label->setObjectName(QLatin1String(name));
    label->setProperty("Tag", tag);
    return label;
}

QLineEdit* newField(const char* name, QWidget* parent)
{
    auto* field = new QLineEdit(parent);
    field->setObjectName(QLatin1String(name));
    return field;
}
} // namespace

wPanneau::wPanneau(bool factoryMode, QWidget* parent) : QWidget(parent), m_factoryMode(factoryMode)
{
    setObjectName(QStringLiteral("wPanneau"));
    setAttribute(Qt::WA_DeleteOnClose);
    buildWindow();
    Trap("wPanneau.Form_Load", [&] { formLoad(); });
}

wPanneau::~wPanneau()
{
    // The pages go while the window is whole: a field losing the focus as it
    // is destroyed reports its change, which must find the window, and find
    // it refreshing (so that nothing is stored).
    m_refreshing = true;
    delete m_tbsPages;
}

void wPanneau::buildWindow()
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 0);
    layout->setSpacing(4);

    // Header band: panel number, module type, module name.
    auto* header = new QHBoxLayout;
    QLabel* lblNo = newLabel("lblNo", 39001, this);
    m_txtNo = newField("txtNo", this);
    m_txtNo->setValidator(new QIntValidator(0, 255, m_txtNo));
    m_txtNo->setMaxLength(3);
    m_txtNo->setMaximumWidth(m_txtNo->fontMetrics().horizontalAdvance(QStringLiteral("0000")) + 16);
    QLabel* lblType = newLabel("lblType", 39002, this);
    m_txtType = newField("txtType", this);
    m_txtType->setText(kPathOfPanel);
    QLabel* lblName = newLabel("lblName", 39003, this);
    m_txtName = newField("txtName", this);
    header->addWidget(lblNo);
    header->addWidget(m_txtNo);
    header->addSpacing(12);
    header->addWidget(lblType);
    header->addWidget(m_txtType, 1);
    header->addSpacing(12);
    header->addWidget(lblName);
    header->addWidget(m_txtName, 2);
    layout->addLayout(header);
    m_txtNo->setProperty("HelpTag", kHeaderHelpTags[0]);
    m_txtType->setProperty("HelpTag", kHeaderHelpTags[1]);
    m_txtName->setProperty("HelpTag", kHeaderHelpTags[2]);

    m_tbsPages = new QTabWidget(this);
    m_tbsPages->setObjectName(QStringLiteral("tbsPages"));
    m_tbsPages->setDocumentMode(false);
    m_inputs = new InputGridPage(*this, m_tbsPages);
    m_outputs = new OutputGridPage(*this, m_tbsPages);
    m_general = new GeneralPage(*this, m_tbsPages);
    m_factory = new FactoryPage(*this, m_tbsPages);
    m_frmPages[0] = m_inputs;
    m_frmPages[1] = m_outputs;
    m_frmPages[2] = m_general;
    m_frmPages[3] = m_factory;
    for (int i = 0; i < 4; ++i) {
        m_frmPages[i]->setObjectName(QStringLiteral("frmPages%1").arg(i + 1));
        m_tbsPages->addTab(m_frmPages[i], QString());
    }
    layout->addWidget(m_tbsPages, 1);

    m_sbrHelp = new QLabel(this);
    m_sbrHelp->setObjectName(QStringLiteral("sbrHelp"));
    m_sbrHelp->setFrameShape(QFrame::Panel);
    m_sbrHelp->setFrameShadow(QFrame::Sunken);
    // Two lines: the longer help texts wrap instead of being cut.
    m_sbrHelp->setFixedHeight(2 * m_sbrHelp->fontMetrics().lineSpacing() + 8);
    m_sbrHelp->setTextFormat(Qt::PlainText);
    m_sbrHelp->setWordWrap(true);
    m_sbrHelp->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    m_sbrHelp->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    layout->addWidget(m_sbrHelp);

    m_sbrStatus = new QStatusBar(this);
    m_sbrStatus->setObjectName(QStringLiteral("sbrStatus"));
    m_sbrStatus->setSizeGripEnabled(false);
    m_panelPath = new QLabel(m_sbrStatus);
    m_panelPath->setObjectName(QStringLiteral("Path"));
    m_panelPath->setTextFormat(Qt::PlainText);
    m_panelCaption = new QLabel(m_sbrStatus);
    m_panelCaption->setObjectName(QStringLiteral("Caption"));
    m_panelModified = new QLabel(m_sbrStatus);
    m_panelModified->setObjectName(QStringLiteral("Modified"));
    m_panelModified->setMinimumWidth(
        m_panelModified->fontMetrics().horizontalAdvance(QStringLiteral("Modified")) + 8);
    m_sbrStatus->addWidget(m_panelPath, 1);
    m_sbrStatus->addPermanentWidget(m_panelCaption);
    m_sbrStatus->addPermanentWidget(m_panelModified);
    layout->addWidget(m_sbrStatus);

    connect(m_tbsPages, &QTabWidget::currentChanged, this, &wPanneau::pageChanged);
    connect(m_txtNo, &QLineEdit::textChanged, this, &wPanneau::txtNoChanged);
    connect(m_txtType, &QLineEdit::textChanged, this, &wPanneau::txtTypeChanged);
    connect(m_txtName, &QLineEdit::textChanged, this, &wPanneau::txtNameChanged);
    watchHelpTags();
}

void wPanneau::formLoad()
{
    m_tbsPages->setCurrentIndex(0);
    if (!m_factoryMode)
        m_tbsPages->removeTab(3);
    GetAllDefaults(m_config);
    Nationality();
    SetModified(false);
}

void wPanneau::watchHelpTags()
{
    for (QWidget* w : findChildren<QWidget*>())
        if (w->property("HelpTag").isValid())
            w->installEventFilter(this);
}

bool wPanneau::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut) {
        const QVariant tag = watched->property("HelpTag");
        if (tag.isValid())
            SetDefaultValue(event->type() == QEvent::FocusIn ? tag.toInt() : 0);
    }
    return QWidget::eventFilter(watched, event);
}

void wPanneau::Nationality()
{
    Trap("wPanneau.Nationality", [&] {
        SetCaption();
        ApplyTaggedTexts(this);
        m_defaultLabel = GetText(kDefaultLabelTag);
        for (int i = 0; i < m_tbsPages->count(); ++i) {
            const int page = m_tbsPages->indexOf(m_frmPages[i]);
            if (page >= 0)
                m_tbsPages->setTabText(page, GetCaption(kPageTags[i]));
        }
        m_panelCaption->setText(GetText(kModifiedCaptionTag));
        SetModified(m_modified);
        m_inputs->Nationality();
        m_outputs->Nationality();
        m_general->Nationality();
        m_factory->Nationality();
        RefreshFields();
        fitFrame();
    });
}

void wPanneau::fitFrame()
{
    // Texts of another language may need more room than the window has: the
    // frame around it (a sub-window of the main window) grows to what the
    // pages want, as far as the area that holds it allows, and at least to
    // what they need, so that no text is cut.
    QWidget* frame = parentWidget();
    if (!frame || !isVisible())
        return;
    layout()->activate();
    const QSize extra = frame->size() - size();
    QSize wanted = sizeHint() + extra;
    if (QWidget* area = frame->parentWidget())
        wanted = wanted.boundedTo(area->size());
    const QSize target = frame->size().expandedTo(wanted).expandedTo(minimumSizeHint() + extra);
    if (target != frame->size())
        frame->resize(target);
}

void wPanneau::SetCaption()
{
    Trap("wPanneau.SetCaption", [&] {
        const int k = Path().isEmpty() ? 1 : 0;
        bool numeric = false;
        const qlonglong number = m_txtNo->text().trimmed().toLongLong(&numeric);
        const QString n = numeric ? QString::number(number) : QStringLiteral("?");
        setWindowTitle(GetText(kCaptionTextBase + k) + QLatin1Char(' ') + n);
    });
}

void wPanneau::SetModified(bool modified)
{
    const bool changed = modified != m_modified;
    m_modified = modified;
    m_panelModified->setText(GetText(modified ? 11 : 10));
    if (changed)
        Q_EMIT ModifiedChanged(modified);
}

QString wPanneau::Path() const
{
    return m_panelPath->text();
}

void wPanneau::SetPath(const QString& path)
{
    m_panelPath->setText(path);
}

void wPanneau::RefreshFields()
{
    Trap("wPanneau.RefreshFields", [&] {
        m_refreshing = true;
        // The flag is cleared however the refresh ends.
        struct Clear
        {
            bool& flag;
            ~Clear() { flag = false; }
        } clear{m_refreshing};
        m_inputs->Refresh();
        m_outputs->Refresh();
        m_general->Refresh();
        m_factory->Refresh();
        m_txtNo->setText(QString::number(m_config.ModuleNo()));
        m_txtType->setText(m_config.ModuleType());
        m_txtName->setText(m_config.ModuleName());
    });
    VerifMode();
}

void wPanneau::VerifMode()
{
    Trap("wPanneau.VerifMode", [&] {
        bool restricted = false;
        for (int n = 1; n <= ConfigClass::Channels && !restricted; ++n)
            restricted = m_config.OutMode(n) == 1;
        m_outputs->ShowWarning(restricted);
        m_general->SetRestricted(restricted);
    });
}

void wPanneau::SetDefaultValue(int tag)
{
    Trap("wPanneau.SetDefaultValue", [&] {
        if (tag == 0) {
            m_sbrHelp->clear();
            return;
        }
        QString text = GetText(tag);
        text.replace(QStringLiteral("\r\n"),
                     QStringLiteral(".        ") + m_defaultLabel + QStringLiteral(" : "));
        m_sbrHelp->setText(text);
    });
}

QString wPanneau::HelpLine() const
{
    return m_sbrHelp->text();
}

void wPanneau::pageChanged(int index)
{
    Trap("wPanneau.tbsPages_Click", [&] {
        const int page = index < 0 ? 0
                                   : int(std::find(std::begin(m_frmPages), std::end(m_frmPages),
                                                   m_tbsPages->widget(index)) -
                                         std::begin(m_frmPages));
        m_helpContextId = page < 4 ? kHelpContexts[page] : 0;
        m_tbsPages->setProperty("HelpContextID", m_helpContextId);
        SetDefaultValue(0);
    });
}

int wPanneau::SelectedPage() const
{
    QWidget* page = m_tbsPages->currentWidget();
    for (int i = 0; i < 4; ++i)
        if (m_frmPages[i] == page)
            return i + 1;
    return 0;
}

QString wPanneau::SelectedPageCaption() const
{
    return m_tbsPages->tabText(m_tbsPages->currentIndex());
}

void wPanneau::SelectPage(int page)
{
    if (page >= 1 && page <= 4) {
        const int index = m_tbsPages->indexOf(m_frmPages[page - 1]);
        if (index >= 0)
            m_tbsPages->setCurrentIndex(index);
    }
}

void wPanneau::SetFactoryMode(bool on)
{
    Trap("wPanneau.SetFactoryMode", [&] {
        m_factoryMode = on;
        const bool shown = m_tbsPages->indexOf(m_factory) >= 0;
        if (on && !shown && m_tbsPages->count() == 3) {
            m_tbsPages->addTab(m_factory, QString());
            Nationality();
        } else if (!on && shown) {
            m_tbsPages->removeTab(m_tbsPages->indexOf(m_factory));
        }
    });
}

void wPanneau::SetSlaveText(const QString& text)
{
    m_general->SetSlaveText(text);
}

void wPanneau::SetPanelNumberText(const QString& text)
{
    m_txtNo->setText(text);
}

int wPanneau::CurrentLine() const
{
    switch (SelectedPage()) {
    case 1:
        return m_inputs->CurrentLine();
    case 2:
        return m_outputs->CurrentLine();
    default:
        return 0;
    }
}

void wPanneau::CommitGridEdit()
{
    m_inputs->CommitEdit();
    m_outputs->CommitEdit();
}

void wPanneau::FocusPage()
{
    Trap("wPanneau.FocusPage", [&] {
        GridPage* grid = nullptr;
        switch (SelectedPage()) {
        case 1:
            grid = m_inputs;
            break;
        case 2:
            grid = m_outputs;
            break;
        default:
            break;
        }
        if (grid) {
            EditGrid* g = grid->Grid();
            if (!g->currentIndex().isValid())
                g->SetCurrentCell(g->FixedRows(), 1);
            g->setFocus(Qt::OtherFocusReason);
            return;
        }
        QWidget* page = m_frmPages[SelectedPage() - 1];
        if (QWidget* next = page->nextInFocusChain(); next && page->isAncestorOf(next))
            next->setFocus(Qt::TabFocusReason);
    });
}

bool wPanneau::ReadOrvel(PanelLink& link, std::uint8_t slave, std::int32_t version)
{
    return Trap("wPanneau.ReadOrvel", [&] {
        if (!ReadAll(link, m_config, slave, version))
            return false;
        m_config.SetModuleNo(m_config.GenParam(23));
        RefreshFields();
        SetPath(kPathOfPanel);
        return true;
    });
}

bool wPanneau::WriteOrvel(PanelLink& link, std::uint8_t slave, std::int32_t version)
{
    return WriteOrvelOutcome(link, slave, version) == WriteOutcome::Written;
}

WriteOutcome wPanneau::WriteOrvelOutcome(PanelLink& link, std::uint8_t slave, std::int32_t version)
{
    WriteOutcome outcome = WriteOutcome::NotWritten;
    Trap("wPanneau.WriteOrvel",
         [&] { outcome = WriteConfiguration(link, m_config, slave, m_factoryMode, version); });
    return outcome;
}

void wPanneau::CorrigeVersion(std::int32_t version)
{
    Trap("wPanneau.CorrigeVersion", [&] { ::CorrigeVersion(m_config, version); });
}

void wPanneau::txtNoChanged()
{
    Trap("wPanneau.txtNo_Change", [&] {
        bool numeric = false;
        const int value = m_txtNo->text().toInt(&numeric);
        if (numeric && value != 0 && value != m_config.ModuleNo() && !m_refreshing) {
            if (value > 255)
                Raise(ErrNo::Overflow, m_txtNo->text());
            m_config.SetModuleNo(std::uint8_t(value));
            SetModified(true);
        }
        SetCaption();
    });
}

void wPanneau::txtTypeChanged()
{
    Trap("wPanneau.txtType_Change", [&] {
        if (!m_refreshing && m_txtType->text() != m_config.ModuleType()) {
            m_config.SetModuleType(m_txtType->text());
            SetModified(true);
        }
    });
}

void wPanneau::txtNameChanged()
{
    Trap("wPanneau.txtName_Change", [&] {
        if (!m_refreshing && m_txtName->text() != m_config.ModuleName()) {
            m_config.SetModuleName(m_txtName->text());
            SetModified(true);
        }
    });
}

void wPanneau::CloseWithoutQuestion()
{
    m_closeWithoutQuestion = true;
    if (auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget()))
        sub->close();
    else
        close();
}

void wPanneau::closeEvent(QCloseEvent* event)
{
    const bool ask = !m_closeWithoutQuestion && m_modified;
    const bool keep = ask && Trap("wPanneau.Form_QueryUnload", [&] {
                          const MsgAnswer answer =
                              MsgBox(GetText(kCloseQuestionTag), MsgIcon::Exclamation,
                                     MsgButtons::YesNo, MsgAnswer::No);
                          return answer != MsgAnswer::Yes;
                      });
    if (keep) {
        m_closeWithoutQuestion = false;
        event->ignore();
        return;
    }
    event->accept();
}
