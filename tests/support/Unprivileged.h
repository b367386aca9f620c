#pragma once

#include <QCoreApplication>
#include <QTest>

#include <cstdio>
#include <cstdlib>
#include <grp.h>
#include <sys/prctl.h>
#include <unistd.h>

// Permission tests prove nothing as root, who may write everywhere. When the
// suite runs as root (as CI does), a test program that checks permissions
// becomes the unprivileged user "nobody" before anything else runs, with a
// home folder of its own.
namespace Unprivileged {

constexpr uid_t NobodyId = 65534;

inline void Drop()
{
    if (::geteuid() != 0)
        return;
    if (::setgroups(0, nullptr) != 0 || ::setgid(NobodyId) != 0 || ::setuid(NobodyId) != 0) {
        std::perror("cannot become an unprivileged user");
        std::exit(2);
    }
    // Changing the user makes the process undumpable, which would keep the
    // leak checker from looking at it.
    ::prctl(PR_SET_DUMPABLE, 1);
    char home[] = "/tmp/orvel-test-home-XXXXXX";
    if (!::mkdtemp(home)) {
        std::perror("cannot make a home folder");
        std::exit(2);
    }
    ::setenv("HOME", home, 1);
    ::unsetenv("XDG_CONFIG_HOME");
    ::unsetenv("XDG_RUNTIME_DIR");
}

} // namespace Unprivileged

// QTEST_GUILESS_MAIN, run as an unprivileged user.
#define ORVEL_UNPRIVILEGED_TEST_MAIN(TestObject)                                                   \
    int main(int argc, char* argv[])                                                               \
    {                                                                                              \
        Unprivileged::Drop();                                                                      \
        QCoreApplication app(argc, argv);                                                          \
        TestObject tc;                                                                             \
        QTEST_SET_MAIN_SOURCE_PATH                                                                 \
        return QTest::qExec(&tc, argc, argv);                                                      \
    }
