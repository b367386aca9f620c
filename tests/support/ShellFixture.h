#pragma once

// The shell's window tests: the shipped data file, an INI file of the test's
// own, the main window on a simulated line with the recording UI seam.

#include "RecordingUi.h"
#include "SimulatedLine.h"
#include "TestFiles.h"
#include "WidgetLookup.h"

#include "link/CommFunctions.h"
#include "settings/IniStore.h"
#include "settings/MostRecentFilesClass.h"
#include "shell/wMain.h"
#include "texts/DataFunctions.h"

#include <QAction>
#include <QCheckBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <functional>
#include <memory>

namespace Shell {

inline QString BinDir()
{
    return QStringLiteral(ORVEL_BIN_DIR);
}

inline QString ShippedDataFile()
{
    return BinDir() + QStringLiteral("/orvel.dat");
}

// Test mode for the standard paths, the shipped data file open in English.
inline bool UseShippedData()
{
    QStandardPaths::setTestModeEnabled(true);
    SetCurrentLanguage(QStringLiteral("English"));
    return OpenDataFile(ShippedDataFile()) && CurrentLanguage() == QLatin1String("English");
}

// An INI file in a temporary folder for the life of the object.
class IniSandbox
{
public:
    explicit IniSandbox(const QByteArray& content = {})
    {
        m_path = m_dir.filePath(QStringLiteral("orvel.ini"));
        SetIniFileNameOverride(m_path);
        if (!content.isEmpty())
            TestFiles::WriteBytes(m_path, content);
    }
    ~IniSandbox() { SetIniFileNameOverride({}); }

    QString folder() const { return m_dir.path(); }
    bool exists() const { return QFile::exists(m_path); }
    QByteArray bytes() const { return TestFiles::ReadBytes(m_path); }

private:
    QTemporaryDir m_dir;
    QString m_path;
};

// The console's port: a simulated line with one panel (slave 1), closed as a
// new serial port is. lastLine receives the line made.
inline std::function<std::unique_ptr<ComCtrl>()> SimulatedPort(SimulatedLine** lastLine = nullptr)
{
    return [lastLine] {
        auto line = std::make_unique<SimulatedLine>();
        line->addPanel(1);
        line->SetPortOpen(false);
        if (lastLine)
            *lastLine = line.get();
        return std::unique_ptr<ComCtrl>(std::move(line));
    };
}

// The recent files the window's File menu lists, newest first.
inline QStringList RecentFiles(const wMain& window)
{
    QMenu* file = window.Menu(QStringLiteral("mnuFile"));
    QStringList paths;
    for (int i = 1; i <= MostRecentFilesClass::Count(file); ++i)
        paths << MostRecentFilesClass::EntryPath(file, i);
    return paths;
}

// Compares the messages shown, each as "Icon Buttons[ Default][ <title>]:
// text" (the title only when not "Orvel"), with the expected ones, a "*"
// standing for any run of characters.
inline void CompareMessages(const RecordingUi& ui, const QStringList& expected)
{
    static const char* const icons[] = {"None", "Critical", "Question", "Exclamation",
                                        "Information"};
    static const char* const buttons[] = {"Ok",          "OkCancel",    "YesNo",
                                          "YesNoCancel", "RetryCancel", "AbortRetryIgnore"};
    static const char* const answers[] = {"Ok", "Cancel", "Yes", "No", "Retry", "Abort", "Ignore"};
    QStringList shown;
    for (const MessageRequest& m : ui.messages)
        shown << QStringLiteral("%1 %2%3%4: %5")
                     .arg(icons[int(m.icon)], buttons[int(m.buttons)],
                          m.defaultButton ? QString(' ') + answers[int(*m.defaultButton)] : "",
                          m.title == "Orvel" ? QString() : " <" + m.title + '>', m.text);
    bool same = shown.size() == expected.size();
    for (qsizetype i = 0; same && i < shown.size(); ++i) {
        QStringList parts = expected[i].split('*');
        for (QString& part : parts)
            part = QRegularExpression::escape(part);
        same = QRegularExpression("\\A" + parts.join(".*") + "\\z",
                                  QRegularExpression::DotMatchesEverythingOption)
                   .match(shown[i])
                   .hasMatch();
    }
    if (!same)
        QCOMPARE(shown, expected);
}

// The main window as start-up leaves it, on a simulated line with panel 1,
// with its own INI file and UI seam.
struct Console
{
    explicit Console(const QByteArray& iniContent = {}) : ini(iniContent)
    {
        window = std::make_unique<wMain>(SimulatedPort(&line)());
        window->SetProgramFolder(BinDir());
        window->Nationality();
        window->ApplyToolBarImages();
    }

    // The port open, short reply timeouts, no pause between frames; panel 1
    // goes unless kept.
    void online(bool keepPanelOne = false)
    {
        line->SetPortOpen(true);
        window->Link().options().replyTimeoutMs = 100;
        SetIniParam(QStringLiteral("Communication"), QStringLiteral("FrameDelay"), "0");
        if (!keepPanelOne)
            line->removePanel(1);
    }

    QAction* item(const QString& name) const { return window->MenuItem(name); }
    // Opens the item's menu, as the user does, then chooses the item.
    void choose(const QString& name) const
    {
        QAction* action = item(name);
        for (QMenu* menu : window->menuBar()->findChildren<QMenu*>(Qt::FindDirectChildrenOnly))
            if (menu->actions().contains(action))
                Q_EMIT menu->aboutToShow();
        action->trigger();
    }
    // Answers the slave dialog (the number typed, no search, the button given)
    // and the search window's confirmation (OK, or closed), keeping what the
    // dialog proposed, whether it warned, and the confirmation's text and slave.
    void detect(const QString& slave, bool confirm = true, const char* button = "cmdButtons1")
    {
        ui.onNextDialog([this, slave, button](QObject* dialog) {
            auto* field = child<QLineEdit>(dialog, "txtSlave");
            proposed = field->text();
            slaveWarning = !child<QWidget>(dialog, "lblWarning")->isHidden();
            field->setText(slave);
            child<QCheckBox>(dialog, "chkAutoSearch")->setChecked(false);
            QTest::mouseClick(child<QPushButton>(dialog, button), Qt::LeftButton);
            return qobject_cast<QDialog*>(dialog)->result() == QDialog::Accepted;
        });
        ui.onNextDialog([this, confirm](QObject* dialog) {
            confirmation = child<QLabel>(dialog, "lblMessage")->text() + " / " +
                           child<QLabel>(dialog, "lblSlave")->text();
            if (duringConfirmation)
                duringConfirmation();
            if (confirm)
                QTest::mouseClick(child<QPushButton>(dialog, "cmdButtons1"), Qt::LeftButton);
            return confirm;
        });
    }
    // A plain document window in the MDI area, with a Modified flag.
    QWidget* addDocument(const QString& title, bool modified = false) const
    {
        auto* document = new QWidget;
        document->setWindowTitle(title);
        document->setProperty("Modified", modified);
        window->MdiArea()->addSubWindow(document)->show();
        return document;
    }

    RecordingUi ui;
    IniSandbox ini;
    SimulatedLine* line = nullptr;
    std::unique_ptr<wMain> window;
    QString proposed;
    bool slaveWarning = false;
    QString confirmation;
    std::function<void()> duringConfirmation;
};

} // namespace Shell
