// The document commands on files: Open (one and several files), the files
// it refuses, Save and Save As (what they propose and what only a successful
// save changes), the recent files, the beep without a document, and the files
// of the command line and of a drop.

#include "RecordingUi.h"
#include "ShellTestSupport.h"

#include "editor/wPanneau.h"
#include "settings/MostRecentFilesClass.h"
#include "shell/wMain.h"
#include "texts/DataFunctions.h"
#include "util/ErrorHandling.h"

#include <QAction>
#include <QDir>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMimeData>

#include <grp.h>
#include <unistd.h>

#include <vector>

using namespace ShellTest;

namespace {
const QString English = QStringLiteral("English");
const QString Filter = QStringLiteral("Orvel configurations (*.cfg)|*.cfg|All files (*.*)|*.*");

std::unique_ptr<wMain> NewWindow()
{
    auto window = std::make_unique<wMain>(SimulatedPort()());
    window->SetProgramFolder(BinDir());
    window->Nationality();
    return window;
}

// A configuration file of the defaults with its own module name.
QString WriteConfiguration(const QString& path, const QString& name)
{
    ConfigClass config;
    GetAllDefaults(config);
    config.SetModuleName(name);
    config.SetGenParam(23, 9);
    config.SetModuleNo(9);
    TestFiles::WriteBytes(path, config.ToFileBytes());
    return path;
}

QList<wPanneau*> Panels(const wMain& window)
{
    QList<wPanneau*> panels;
    for (QMdiSubWindow* sub : window.MdiArea()->subWindowList())
        if (auto* panel = qobject_cast<wPanneau*>(sub->widget()))
            panels << panel;
    return panels;
}

QStringList RecentPaths(const wMain& window)
{
    QMenu* file = window.Menu(QStringLiteral("mnuFile"));
    QStringList paths;
    for (int i = 1; i <= MostRecentFilesClass::Count(file); ++i)
        paths << MostRecentFilesClass::EntryPath(file, i);
    return paths;
}

QString DataFiles()
{
    return GetIniParam(QStringLiteral("General"), QStringLiteral("DataFiles"),
                       QStringLiteral("<none>"));
}

// The error report of the file layer, whose own tests check its error
// numbers: "*" stands for the number and its description.
QString ErrorReport(const char* procedure)
{
    return QStringLiteral("Error Nr *\r\n\r\nModule : ConfigClass\r\nFunction : ") +
           QLatin1String(procedure);
}

// A message text against its expectation, "%1" standing for the path.
bool Matches(const QString& text, const QString& expected, const QString& path)
{
    const QString full = QString(expected).replace(QStringLiteral("%1"), path);
    const qsizetype star = full.indexOf(QLatin1Char('*'));
    if (star < 0)
        return text == full;
    return text.startsWith(full.left(star)) && text.endsWith(full.mid(star + 1)) &&
           text.size() > full.size();
}

QString Missing(const QString& path)
{
    return QStringLiteral("The file \"%1\" no longer exists or has been moved.").arg(path);
}

void FlushDeletes()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// File access as an ordinary user for the life of the object: the suite runs
// as root, whom no permission stops.
class Unprivileged
{
public:
    Unprivileged() : m_root(geteuid() == 0)
    {
        if (!m_root)
            return;
        m_groups.resize(getgroups(0, nullptr));
        getgroups(int(m_groups.size()), m_groups.data());
        const gid_t nobody = 65534;
        if (setgroups(1, &nobody) != 0 || setegid(nobody) != 0 || seteuid(nobody) != 0)
            qFatal("cannot drop privileges");
    }
    ~Unprivileged()
    {
        if (m_root && (seteuid(0) != 0 || setegid(0) != 0 ||
                       setgroups(m_groups.size(), m_groups.data()) != 0))
            qFatal("cannot take privileges back");
    }
    Unprivileged(const Unprivileged&) = delete;
    Unprivileged& operator=(const Unprivileged&) = delete;

private:
    bool m_root;
    std::vector<gid_t> m_groups;
};

// A folder anyone may enter but only its owner may write into.
QString ReadOnlyFolder(const QTemporaryDir& dir)
{
    QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                          QFileDevice::ExeOwner | QFileDevice::ReadOther |
                                          QFileDevice::ExeOther);
    const QString folder = dir.filePath(QStringLiteral("locked"));
    QDir().mkpath(folder);
    return folder;
}

// The test's settings folder, writable by the ordinary user too.
void OpenToAll(const QString& folder)
{
    QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                      QFileDevice::ExeOwner | QFileDevice::ReadOther |
                                      QFileDevice::WriteOther | QFileDevice::ExeOther);
}

void Lock(const QString& folder)
{
    QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::ExeOwner |
                                      QFileDevice::ReadOther | QFileDevice::ExeOther);
}
} // namespace

class tst_wMainDocuments : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QVERIFY(OpenDataFile(ShippedDataFile()));
        SetCurrentLanguage(English);
        SetTextLookup([](int tag) { return GetText(tag); });
    }

    // Several files open in the order the dialog gave them; the folder is
    // stored, the last one opened is the newest recent file.
    void open_data()
    {
        QTest::addColumn<QStringList>("names");
        QTest::newRow("one file") << QStringList{QStringLiteral("north.cfg")};
        QTest::newRow("three files") << QStringList{
            QStringLiteral("b.cfg"), QStringLiteral("a.cfg"), QStringLiteral("c.cfg")};
    }
    void open()
    {
        QFETCH(QStringList, names);
        RecordingUi ui;
        IniSandbox ini;
        QTemporaryDir dir;
        SetIniParam(QStringLiteral("General"), QStringLiteral("DataFiles"),
                    QStringLiteral("/start/here"));
        QStringList paths;
        for (const QString& name : names)
            paths << WriteConfiguration(dir.filePath(name), name.toUpper());
        auto window = NewWindow();
        ui.answerNextFileDialog(paths);
        window->MenuItem(QStringLiteral("mnuFileOpen"))->trigger();

        QCOMPARE(ui.fileRequests.size(), 1);
        const FileDialogRequest& request = ui.fileRequests[0];
        QCOMPARE(request.filter, Filter);
        QVERIFY(!request.save);
        QVERIFY(request.multiSelect);
        QCOMPARE(request.initialFolder, QStringLiteral("/start/here"));
        QCOMPARE(request.proposedName, QString());
        QVERIFY(ui.messages.isEmpty());

        const QList<wPanneau*> panels = Panels(*window);
        QCOMPARE(panels.size(), names.size());
        QStringList recent;
        for (int i = 0; i < names.size(); ++i) {
            QCOMPARE(panels[i]->Path(), paths[i]);
            QCOMPARE(panels[i]->Config().ModuleName(), names[i].toUpper());
            QCOMPARE(panels[i]->windowTitle(), GetText(30100) + QStringLiteral(" 9"));
            QVERIFY(!panels[i]->Modified());
            recent.prepend(paths[i]);
        }
        QCOMPARE(window->ActivePanel(), panels.last());
        QCOMPARE(RecentPaths(*window), recent);
        QCOMPARE(DataFiles(), dir.path());
    }

    // A file that cannot be read opens no window, is not a recent file, and
    // the user is told.
    void openRefused_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("message"); // "%1" stands for the path
        QTest::newRow("damaged") << "damaged" << ErrorReport("Load");
        QTest::newRow("directory") << "directory" << ErrorReport("Load");
        QTest::newRow("no permission") << "unreadable" << ErrorReport("Load");
        QTest::newRow("missing") << "missing" << Missing(QStringLiteral("%1"));
    }
    void openRefused()
    {
        QFETCH(QString, kind);
        QFETCH(QString, message);
        RecordingUi ui;
        IniSandbox ini;
        QTemporaryDir dir;
        ReadOnlyFolder(dir);
        const QString path = dir.filePath(QStringLiteral("panel.cfg"));
        if (kind == QLatin1String("damaged"))
            TestFiles::WriteBytes(path, ConfigClass().ToFileBytes().left(250));
        else if (kind == QLatin1String("directory"))
            QDir().mkpath(path);
        else if (kind == QLatin1String("unreadable"))
            QFile::setPermissions(WriteConfiguration(path, QStringLiteral("X")),
                                  QFileDevice::WriteOwner);
        OpenToAll(ini.folder());
        auto window = NewWindow();
        ui.answerNextFileDialog({path});
        {
            const Unprivileged user;
            window->mnuFileOpen_Click();
        }
        FlushDeletes();
        QCOMPARE(ui.messages.size(), 1);
        QVERIFY2(Matches(ui.messages[0].text, message, path), qPrintable(ui.messages[0].text));
        QCOMPARE(ui.messages[0].icon, MsgIcon::Critical);
        QCOMPARE(ui.messages[0].buttons, MsgButtons::Ok);
        QVERIFY(window->MdiArea()->subWindowList().isEmpty());
        QVERIFY(RecentPaths(*window).isEmpty());
    }

    // Save on a document without a file is Save As; Save As proposes the
    // module name for such a document and the file name for a saved one.
    void save_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("path");     // of the document; "@" = a file of the test
        QTest::addColumn<QString>("proposed"); // "-" = no dialog
        QTest::newRow("Save, new document") << "mnuFileSave"
                                            << ""
                                            << "Unit 4_B";
        QTest::newRow("Save, read from a panel") << "mnuFileSave"
                                                 << "Orvel"
                                                 << "Unit 4_B";
        QTest::newRow("Save, saved document") << "mnuFileSave"
                                              << "@"
                                              << "-";
        QTest::newRow("Save As, read from a panel") << "mnuFileSaveAs"
                                                    << "Orvel"
                                                    << "Unit 4_B";
        QTest::newRow("Save As, saved document") << "mnuFileSaveAs"
                                                 << "@"
                                                 << "old.cfg";
    }
    void save()
    {
        QFETCH(QString, command);
        QFETCH(QString, path);
        QFETCH(QString, proposed);
        RecordingUi ui;
        IniSandbox ini;
        QTemporaryDir dir;
        SetIniParam(QStringLiteral("General"), QStringLiteral("DataFiles"), dir.path());
        const QString old = WriteConfiguration(dir.filePath(QStringLiteral("old.cfg")), {});
        auto window = NewWindow();
        wPanneau* panel = window->NewPanelWindow();
        window->ShowPanelWindow(panel);
        panel->SetPath(path == QLatin1String("@") ? old : path);
        panel->SetCaption();
        panel->Config().SetModuleName(QStringLiteral("Unit 4/B"));
        panel->SetModified(true);
        const QString chosen = dir.filePath(QStringLiteral("sub/new.cfg"));
        QDir().mkpath(dir.filePath(QStringLiteral("sub")));
        ui.answerNextFileDialog({chosen});
        window->MenuItem(command)->trigger();

        const bool dialog = proposed != QLatin1String("-");
        const QString target = dialog ? chosen : old;
        QCOMPARE(ui.fileRequests.size(), dialog ? 1 : 0);
        if (dialog) {
            const FileDialogRequest& request = ui.fileRequests[0];
            QVERIFY(request.save);
            QVERIFY(!request.multiSelect);
            QCOMPARE(request.filter, Filter);
            QCOMPARE(request.proposedName, proposed);
            QCOMPARE(request.initialFolder, dir.path());
        }
        QVERIFY(ui.messages.isEmpty());
        QCOMPARE(TestFiles::ReadBytes(target), panel->Config().ToFileBytes());
        QCOMPARE(panel->Path(), target);
        QVERIFY(!panel->Modified());
        QCOMPARE(panel->windowTitle().section(QLatin1Char(' '), 0, -2), GetText(30100));
        // Only Save As stores the folder and makes a recent file.
        QCOMPARE(DataFiles(), dialog ? dir.filePath(QStringLiteral("sub")) : dir.path());
        QCOMPARE(RecentPaths(*window), dialog ? QStringList{chosen} : QStringList{});
    }

    // A save that fails says why and leaves everything as it was: the mark,
    // the path, the folder, the recent files and the old file.
    void failingSave_data()
    {
        QTest::addColumn<QString>("command");
        QTest::newRow("Save") << "mnuFileSave";
        QTest::newRow("Save As") << "mnuFileSaveAs";
    }
    void failingSave()
    {
        QFETCH(QString, command);
        RecordingUi ui;
        IniSandbox ini;
        QTemporaryDir dir;
        const QString folder = ReadOnlyFolder(dir);
        const QString old = WriteConfiguration(folder + QStringLiteral("/old.cfg"), {});
        Lock(folder);
        const QByteArray before = TestFiles::ReadBytes(old);
        OpenToAll(ini.folder());
        auto window = NewWindow();
        wPanneau* panel = window->NewPanelWindow();
        window->ShowPanelWindow(panel);
        panel->SetPath(old);
        panel->Config().SetModuleName(QStringLiteral("Changed"));
        panel->SetModified(true);
        ui.answerNextFileDialog({old});
        {
            const Unprivileged user;
            window->MenuItem(command)->trigger();
        }
        QCOMPARE(ui.messages.size(), 1);
        QVERIFY2(Matches(ui.messages[0].text, ErrorReport("Save"), old),
                 qPrintable(ui.messages[0].text));
        QCOMPARE(ui.messages[0].icon, MsgIcon::Critical);
        QVERIFY(panel->Modified());
        QCOMPARE(panel->Path(), old);
        QCOMPARE(DataFiles(), QStringLiteral("<none>"));
        QVERIFY(RecentPaths(*window).isEmpty());
        QCOMPARE(TestFiles::ReadBytes(old), before);
    }

    // A recent file opens and moves to the top; one that is gone or cannot
    // be read leaves the list with the message that names it.
    void recentFile_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QStringList>("messages"); // "%1" stands for the path
        QTest::newRow("present") << "present" << QStringList{};
        QTest::newRow("missing") << "missing" << QStringList{Missing(QStringLiteral("%1"))};
        QTest::newRow("damaged") << "damaged"
                                 << QStringList{ErrorReport("Load"), Missing(QStringLiteral("%1"))};
    }
    void recentFile()
    {
        QFETCH(QString, kind);
        QFETCH(QStringList, messages);
        RecordingUi ui;
        IniSandbox ini;
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("second.cfg"));
        const QString other = WriteConfiguration(dir.filePath(QStringLiteral("first.cfg")), {});
        if (kind == QLatin1String("present"))
            WriteConfiguration(path, QStringLiteral("Second"));
        else if (kind == QLatin1String("damaged"))
            TestFiles::WriteBytes(path, QByteArray(100, '\1'));
        auto window = NewWindow();
        QMenu* file = window->Menu(QStringLiteral("mnuFile"));
        window->RecentFiles().Add(file, path);
        window->RecentFiles().Add(file, other);
        MostRecentFilesClass::Entry(file, 2)->trigger();
        FlushDeletes();

        QCOMPARE(ui.messages.size(), messages.size());
        for (int i = 0; i < messages.size(); ++i) {
            QVERIFY2(Matches(ui.messages[i].text, messages[i], path),
                     qPrintable(ui.messages[i].text));
            QCOMPARE(ui.messages[i].icon, MsgIcon::Critical);
        }
        const bool opened = messages.isEmpty();
        const QList<wPanneau*> panels = Panels(*window);
        QCOMPARE(panels.size(), opened ? 1 : 0);
        if (opened) {
            QCOMPARE(panels[0]->Path(), path);
            QCOMPARE(panels[0]->Config().ModuleName(), QStringLiteral("Second"));
            QVERIFY(!panels[0]->Modified());
        }
        QCOMPARE(RecentPaths(*window), opened ? (QStringList{path, other}) : (QStringList{other}));
    }

    // The last entry going hides the separator.
    void lastRecentFileGone()
    {
        RecordingUi ui;
        IniSandbox ini;
        auto window = NewWindow();
        QMenu* file = window->Menu(QStringLiteral("mnuFile"));
        window->RecentFiles().Add(file, QStringLiteral("/nowhere/gone.cfg"));
        window->mnuFileMRU_Click(1);
        QCOMPARE(ui.messages.size(), 1);
        QVERIFY(RecentPaths(*window).isEmpty());
        const QList<QAction*> actions = file->actions();
        for (QAction* a : actions)
            if (a->objectName() == QLatin1String("mnuFileSepMRU"))
                QVERIFY(!a->isVisible());
    }

    // Commands on the document beep when the active window is no panel
    // window, or when there is none.
    void beepWithoutDocument_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<bool>("otherWindow");
        for (const char* command : {"mnuFileSave", "mnuFileSaveAs", "mnuFileWrite"}) {
            QTest::addRow("%s, no window", command) << command << false;
            QTest::addRow("%s, another window", command) << command << true;
        }
    }
    void beepWithoutDocument()
    {
        QFETCH(QString, command);
        QFETCH(bool, otherWindow);
        RecordingUi ui;
        IniSandbox ini;
        auto window = NewWindow();
        if (otherWindow) {
            QMdiSubWindow* sub = window->MdiArea()->addSubWindow(new QWidget);
            sub->show();
            window->MdiArea()->setActiveSubWindow(sub);
        }
        window->MenuItem(command)->trigger();
        QCOMPARE(ui.beeps, 1);
        QVERIFY(ui.messages.isEmpty());
        QVERIFY(ui.dialogsShown.isEmpty());
        QVERIFY(ui.fileRequests.isEmpty());
    }

    // Names of the command line are taken from the current folder; dropped
    // local files open once the drop is over; other drops are refused.
    void commandLineAndDrop()
    {
        RecordingUi ui;
        IniSandbox ini;
        QTemporaryDir dir;
        const QString here = QDir::currentPath();
        QDir::setCurrent(dir.path());
        WriteConfiguration(dir.filePath(QStringLiteral("a.cfg")), QStringLiteral("A"));
        const QString dropped =
            WriteConfiguration(dir.filePath(QStringLiteral("b.cfg")), QStringLiteral("B"));
        auto window = NewWindow();
        window->OpenFiles({QStringLiteral("a.cfg"), QStringLiteral("gone.cfg")});
        QDir::setCurrent(here);
        QCOMPARE(ui.messages.size(), 1);
        QCOMPARE(ui.messages[0].text, Missing(dir.filePath(QStringLiteral("gone.cfg"))));
        QCOMPARE(Panels(*window).size(), 1);
        QCOMPARE(Panels(*window)[0]->Path(), dir.filePath(QStringLiteral("a.cfg")));

        QMimeData web;
        web.setUrls({QUrl(QStringLiteral("https://example.org/c.cfg"))});
        QDragEnterEvent refused(QPoint(5, 5), Qt::CopyAction, &web, Qt::LeftButton, {});
        QCoreApplication::sendEvent(window.get(), &refused);
        QVERIFY(!refused.isAccepted());

        QMimeData files;
        files.setUrls({QUrl::fromLocalFile(dropped)});
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &files, Qt::LeftButton, {});
        QCoreApplication::sendEvent(window.get(), &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &files, Qt::LeftButton, {});
        QCoreApplication::sendEvent(window.get(), &drop);
        QVERIFY(drop.isAccepted());
        QCOMPARE(Panels(*window).size(), 1);
        QTRY_COMPARE(Panels(*window).size(), 2);
        QCOMPARE(Panels(*window)[1]->Config().ModuleName(), QStringLiteral("B"));
        QCOMPARE(RecentPaths(*window).first(), dropped);
    }
};

QTEST_MAIN(tst_wMainDocuments)
#include "tst_wmaindocuments.moc"
