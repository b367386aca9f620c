// Every file written goes through SafeWriteFile and every file read whole
// through ReadWholeFile: permissions, links, special files, a full disk. Run
// as an unprivileged user, so that permissions really apply.
#include "FileSizeLimit.h"
#include "TestFiles.h"
#include "Unprivileged.h"
#include "util/RuntimeError.h"
#include "util/SafeFile.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// What stands at the target before the write.
enum class Setup
{
    Nothing,
    File0640,
    ReadOnlyFile,
    LinkToReadOnlyFile,
    ReadOnlyFolder,
    MissingFolder,
    Folder,
    NamedPipe,
    Device,
    FullDisk,
};

const QByteArray Old = "the previous content";
const QByteArray New(1000, 'n');

mode_t modeOf(const QString& path)
{
    struct stat st
    {
    };
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_mode : 0;
}

} // namespace

class TestSafeFile : public QObject
{
    Q_OBJECT

    QString m_folder;
    std::unique_ptr<QTemporaryDir> m_dir;

    QString path(const QString& name) const { return m_folder + QLatin1Char('/') + name; }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(::geteuid() != 0);
        ::umask(022);
    }

    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        m_folder = m_dir->path();
    }

    void cleanup()
    {
        QFile::setPermissions(path(QStringLiteral("ro")),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        m_dir.reset();
    }

    void write_data()
    {
        QTest::addColumn<int>("setup");
        QTest::addColumn<int>("number"); // 0: written
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("mode");     // of the file written, or kept
        QTest::addColumn<bool>("checked"); // CheckFileWritable's answer
        QTest::newRow("new file, usual permissions")
            << int(Setup::Nothing) << 0 << QString() << 0644 << true;
        QTest::newRow("replaced file keeps its permissions")
            << int(Setup::File0640) << 0 << QString() << 0640 << true;
        QTest::newRow("read-only file replaced, still read-only")
            << int(Setup::ReadOnlyFile) << 0 << QString() << 0444 << true;
        QTest::newRow("link: its target replaced, its permissions kept")
            << int(Setup::LinkToReadOnlyFile) << 0 << QString() << 0444 << true;
        QTest::newRow("folder that cannot be written")
            << int(Setup::ReadOnlyFolder) << ErrNo::PermissionDenied
            << QStringLiteral("Permission denied") << 0644 << false;
        QTest::newRow("missing folder")
            << int(Setup::MissingFolder) << ErrNo::PathNotFound
            << QStringLiteral("No such file or directory") << 0 << false;
        QTest::newRow("a folder") << int(Setup::Folder) << ErrNo::PathFileAccess
                                  << QStringLiteral("not a regular file") << 0 << false;
        QTest::newRow("named pipe") << int(Setup::NamedPipe) << ErrNo::PathFileAccess
                                    << QStringLiteral("not a regular file") << 0 << false;
        QTest::newRow("device") << int(Setup::Device) << ErrNo::PathFileAccess
                                << QStringLiteral("not a regular file") << 0 << false;
        QTest::newRow("full disk") << int(Setup::FullDisk) << ErrNo::DiskFull
                                   << QStringLiteral("File too large") << 0644 << true;
    }

    void write()
    {
        QFETCH(int, setup);
        QFETCH(int, number);
        QFETCH(QString, text);
        QFETCH(int, mode);
        QFETCH(bool, checked);
        const auto s = static_cast<Setup>(setup);
        QString target = path(QStringLiteral("out.txt"));
        QString file = target; // the regular file behind the target
        switch (s) {
        case Setup::Nothing:
            break;
        case Setup::File0640:
        case Setup::ReadOnlyFile:
        case Setup::FullDisk:
            TestFiles::WriteBytes(file, Old);
            ::chmod(QFile::encodeName(file).constData(), s == Setup::File0640 ? 0640 : 0444);
            if (s == Setup::FullDisk)
                ::chmod(QFile::encodeName(file).constData(), 0644);
            break;
        case Setup::LinkToReadOnlyFile:
            file = path(QStringLiteral("real.txt"));
            TestFiles::WriteBytes(file, Old);
            ::chmod(QFile::encodeName(file).constData(), 0444);
            QVERIFY(QFile::link(QStringLiteral("real.txt"), target));
            break;
        case Setup::ReadOnlyFolder:
            QVERIFY(QDir(m_folder).mkdir(QStringLiteral("ro")));
            target = file = path(QStringLiteral("ro/out.txt"));
            TestFiles::WriteBytes(file, Old);
            ::chmod(QFile::encodeName(path(QStringLiteral("ro"))).constData(), 0555);
            break;
        case Setup::MissingFolder:
            target = file = path(QStringLiteral("none/out.txt"));
            break;
        case Setup::Folder:
            QVERIFY(QDir(m_folder).mkdir(QStringLiteral("out.txt")));
            break;
        case Setup::NamedPipe:
            QCOMPARE(::mkfifo(QFile::encodeName(target).constData(), 0644), 0);
            break;
        case Setup::Device:
            target = file = QStringLiteral("/dev/null");
            break;
        }
        const QStringList before = QDir(m_folder).entryList(QDir::AllEntries | QDir::Hidden |
                                                            QDir::NoDotAndDotDot | QDir::System);

        FileFailure check;
        QCOMPARE(CheckFileWritable(target, &check), checked);
        FileFailure failure;
        bool written = false;
        QElapsedTimer clock;
        clock.start();
        {
            std::optional<FileSizeLimit> limit;
            if (s == Setup::FullDisk)
                limit.emplace(100);
            written = SafeWriteFile(target, New, &failure);
        }
        QVERIFY(clock.elapsed() < 2000); // nothing blocks on a pipe or a device
        QCOMPARE(written, number == 0);
        QCOMPARE(failure.number, number);
        QCOMPARE(failure.text, text);
        if (!checked)
            QCOMPARE(check.number, number);
        // No temporary file is left behind, whatever happened.
        QCOMPARE(QDir(m_folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot |
                                          QDir::System),
                 written && s == Setup::Nothing ? before + QStringList{QStringLiteral("out.txt")}
                                                : before);
        if (s == Setup::LinkToReadOnlyFile)
            QVERIFY(QFileInfo(target).isSymLink());
        if (mode != 0 && s != Setup::Device) {
            QCOMPARE(TestFiles::ReadBytes(file), written ? New : Old);
            QCOMPARE(int(modeOf(file) & 07777), mode);
        }
    }

    void read_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("number");
        QTest::addColumn<QString>("text");
        QTest::newRow("regular file") << "file" << 0 << QString();
        QTest::newRow("missing") << "none" << ErrNo::FileNotFound
                                 << QStringLiteral("No such file or directory");
        QTest::newRow("named pipe")
            << "pipe" << ErrNo::PathFileAccess << QStringLiteral("not a regular file");
        QTest::newRow("endless device")
            << "/dev/zero" << ErrNo::PathFileAccess << QStringLiteral("not a regular file");
        QTest::newRow("larger than the bound")
            << "large" << ErrNo::PathFileAccess << QStringLiteral("larger than 20 bytes");
        QTest::newRow("not readable")
            << "secret" << ErrNo::PermissionDenied << QStringLiteral("Permission denied");
    }

    void read()
    {
        QFETCH(QString, name);
        QFETCH(int, number);
        QFETCH(QString, text);
        TestFiles::WriteBytes(path(QStringLiteral("file")), Old.left(20));
        TestFiles::WriteBytes(path(QStringLiteral("large")), Old + "!");
        TestFiles::WriteBytes(path(QStringLiteral("secret")), Old);
        ::chmod(QFile::encodeName(path(QStringLiteral("secret"))).constData(), 0);
        QCOMPARE(::mkfifo(QFile::encodeName(path(QStringLiteral("pipe"))).constData(), 0644), 0);
        QByteArray bytes = "unchanged";
        FileFailure failure;
        const QString file = name.startsWith(QLatin1Char('/')) ? name : path(name);
        QCOMPARE(ReadWholeFile(file, 20, bytes, &failure), number == 0);
        QCOMPARE(failure.number, number);
        QCOMPARE(failure.text, text);
        QCOMPARE(bytes, number == 0 ? Old.left(20) : QByteArray("unchanged"));
    }
};

ORVEL_UNPRIVILEGED_TEST_MAIN(TestSafeFile)
#include "tst_safefile.moc"
