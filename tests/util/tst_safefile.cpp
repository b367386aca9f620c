// SafeWriteFile and ReadWholeFile against permissions, links, special files and
// a full disk, run unprivileged so that permissions apply.
#include "FileSizeLimit.h"
#include "TestFiles.h"
#include "Unprivileged.h"
#include "util/RuntimeError.h"
#include "util/SafeFile.h"

#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>

#include <optional>
#include <sys/stat.h>

namespace {
const QByteArray Old = "the previous content";
const QByteArray New(1000, 'n');
// The target, error number and text (0: written), mode after (0: unchecked), CheckFileWritable.
using Write = std::tuple<QString, int, QString, int, bool>;
using Read = std::tuple<QString, int, QString>; // file, error number, text

void Chmod(const QString& path, mode_t mode)
{
    ::chmod(QFile::encodeName(path).constData(), mode);
}

int ModeOf(const QString& path)
{
    struct stat st
    {
    };
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0 ? int(st.st_mode & 07777) : 0;
}
} // namespace

class TestSafeFile : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;

    QString path(const QString& name) const { return m_dir->filePath(name); }
    QStringList entries() const
    {
        return QDir(m_dir->path())
            .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot | QDir::System);
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(::geteuid() != 0);
        ::umask(022);
    }
    void init() { m_dir = std::make_unique<QTemporaryDir>(); }
    void cleanup()
    {
        Chmod(path("ro"), 0700);
        m_dir.reset();
    }

    void write_data()
    {
        QTest::addColumn<Write>("c");
        const auto row = [](const char* setup, int number, const char* text, int mode,
                            bool checked) {
            QTest::newRow(setup) << Write{setup, number, text, mode, checked};
        };
        const char* const notRegular = "not a regular file";
        row("new file", 0, "", 0644, true);
        row("read-only file replaced, still read-only", 0, "", 0444, true);
        row("link to a read-only file", 0, "", 0444, true);
        row("read-only folder", ErrNo::PermissionDenied, "Permission denied", 0644, false);
        row("missing folder", ErrNo::PathNotFound, "No such file or directory", 0, false);
        row("folder", ErrNo::PathFileAccess, notRegular, 0, false);
        row("named pipe", ErrNo::PathFileAccess, notRegular, 0, false);
        row("device", ErrNo::PathFileAccess, notRegular, 0, false);
        row("full disk", ErrNo::DiskFull, "File too large", 0644, true);
    }
    void write()
    {
        QFETCH(Write, c);
        const auto& [setup, number, text, mode, checked] = c;
        QString target = path("out.txt");
        QString file = target; // the regular file behind the target
        if (setup.startsWith("read-only file") || setup == "full disk") {
            TestFiles::WriteBytes(file, Old);
            Chmod(file, setup == "full disk" ? 0644 : 0444);
        } else if (setup.startsWith("link")) {
            file = path("real.txt");
            TestFiles::WriteBytes(file, Old);
            Chmod(file, 0444);
            QVERIFY(QFile::link("real.txt", target));
        } else if (setup == "read-only folder") {
            QVERIFY(QDir(m_dir->path()).mkdir("ro"));
            target = file = path("ro/out.txt");
            TestFiles::WriteBytes(file, Old);
            Chmod(path("ro"), 0555);
        } else if (setup == "missing folder") {
            target = file = path("none/out.txt");
        } else if (setup == "folder") {
            QVERIFY(QDir(m_dir->path()).mkdir("out.txt"));
        } else if (setup == "named pipe") {
            QCOMPARE(::mkfifo(QFile::encodeName(target).constData(), 0644), 0);
        } else if (setup == "device") {
            target = file = "/dev/null";
        }
        const QStringList before = entries();

        FileFailure check;
        QCOMPARE(CheckFileWritable(target, &check), checked);
        if (!checked)
            QCOMPARE(check.number, number);
        FileFailure failure;
        bool written = false;
        QElapsedTimer clock;
        clock.start();
        {
            std::optional<FileSizeLimit> limit;
            if (setup == "full disk")
                limit.emplace(100);
            written = SafeWriteFile(target, New, &failure);
        }
        QVERIFY(clock.elapsed() < 2000); // nothing blocks on a pipe or a device
        QCOMPARE(written, number == 0);
        QCOMPARE(failure.number, number);
        QCOMPARE(failure.text, text);
        QCOMPARE(entries(), setup == "new file" ? before + QStringList{"out.txt"} : before);
        if (setup.startsWith("link"))
            QVERIFY(QFileInfo(target).isSymLink());
        if (mode != 0) {
            QCOMPARE(TestFiles::ReadBytes(file), written ? New : Old);
            QCOMPARE(ModeOf(file), mode);
        }
    }

    void read_data()
    {
        QTest::addColumn<Read>("c");
        const auto row = [](const char* name, int number, const char* text) {
            QTest::newRow(name) << Read{name, number, text};
        };
        row("file", 0, "");
        row("none", ErrNo::FileNotFound, "No such file or directory");
        row("pipe", ErrNo::PathFileAccess, "not a regular file");
        row("/dev/zero", ErrNo::PathFileAccess, "not a regular file");
        row("large", ErrNo::PathFileAccess, "larger than 20 bytes");
        row("secret", ErrNo::PermissionDenied, "Permission denied");
    }
    void read()
    {
        QFETCH(Read, c);
        const auto& [name, number, text] = c;
        TestFiles::WriteBytes(path("file"), Old.left(20));
        TestFiles::WriteBytes(path("large"), Old + "!");
        TestFiles::WriteBytes(path("secret"), Old);
        Chmod(path("secret"), 0);
        QCOMPARE(::mkfifo(QFile::encodeName(path("pipe")).constData(), 0644), 0);
        QByteArray bytes = "unchanged";
        FileFailure failure;
        QCOMPARE(ReadWholeFile(name.startsWith('/') ? name : path(name), 20, bytes, &failure),
                 number == 0);
        QCOMPARE(failure.number, number);
        QCOMPARE(failure.text, text);
        QCOMPARE(bytes, number == 0 ? Old.left(20) : QByteArray("unchanged"));
    }
};

ORVEL_UNPRIVILEGED_TEST_MAIN(TestSafeFile)
#include "tst_safefile.moc"
