#pragma once

#include <QCoreApplication>
#include <QTest>

#include <cstdio>
#include <cstdlib>
#include <grp.h>
#include <sys/prctl.h>
#include <unistd.h>

// Permission tests prove nothing as root: run as root (as in CI), a test program
// becomes the user "nobody" before anything else, with a home folder of its own.
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
    // A changed user makes the process undumpable, hiding it from the leak checker.
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

// A test program's main, run as an unprivileged user: App is QCoreApplication,
// or QApplication for widget tests.
#define ORVEL_UNPRIVILEGED_APP_MAIN(App, TestObject)                                               \
    int main(int argc, char* argv[])                                                               \
    {                                                                                              \
        Unprivileged::Drop();                                                                      \
        App app(argc, argv);                                                                       \
        TestObject tc;                                                                             \
        QTEST_SET_MAIN_SOURCE_PATH                                                                 \
        return QTest::qExec(&tc, argc, argv);                                                      \
    }
#define ORVEL_UNPRIVILEGED_TEST_MAIN(TestObject)                                                   \
    ORVEL_UNPRIVILEGED_APP_MAIN(QCoreApplication, TestObject)
