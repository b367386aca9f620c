// orvel-editorbench: how fast the panel window opens, refreshes and changes
// language, offscreen, with the data file beside the program. Each case runs
// several times and prints its median as one line: case=<name> ms=<value>.
//   open-window  create, load and show one panel window, then refresh it
//                with a configuration
//   refresh      RefreshFields of a window, alternating between the defaults and
//                a configuration that changes every shown field
//   language-10  the language switch (Nationality) of ten open panel windows
#include "editor/wPanneau.h"
#include "texts/DataFunctions.h"
#include "util/ConsoleUi.h"

#include <QApplication>
#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <vector>

namespace {
constexpr int kRuns = 15;

// A configuration where every field differs from the defaults.
void Fill(ConfigClass& config)
{
    for (int ch = 1; ch <= ConfigClass::Channels; ++ch) {
        config.SetInSecu(ch, 1);
        config.SetInTempo(ch, 1000 + ch * 20);
        config.SetInDetect(ch, std::uint8_t(ch % 3));
        config.SetInRelance(ch, 1);
        config.SetInRedir(ch, 2, std::uint8_t(13 - ch));
        config.SetInTypeKL(ch, std::uint8_t(ch % 5));
        config.SetInDisturb(ch, 1);
        config.SetOutSecu(ch, std::uint8_t(ch % 2));
        config.SetOutPilot(ch, std::uint8_t(ch % 6));
    }
    config.SetOutMode(4, 1);
    for (int i : {3, 11, 12, 22, 26, 28})
        config.SetGenParam(i, 1);
    config.SetGenTempoRelance(54321);
    config.SetBrightMin(99);
}

double MedianMs(const std::function<void()>& run)
{
    std::vector<double> times;
    for (int i = 0; i < kRuns; ++i) {
        QElapsedTimer timer;
        timer.start();
        run();
        times.push_back(timer.nsecsElapsed() / 1e6);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

void Print(const char* name, double ms)
{
    std::printf("case=%s ms=%.1f\n", name, ms);
    std::fflush(stdout);
}
} // namespace

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ConsoleUi consoleUi;
    InstallUi(&consoleUi);
    if (!OpenDataFile(DataFileName())) {
        std::fprintf(stderr, "orvel-editorbench: cannot open %s\n", qPrintable(DataFileName()));
        return 1;
    }
    const QStringList languages = Languages();

    Print("open-window", MedianMs([] {
              auto panel = std::make_unique<wPanneau>(false);
              Fill(panel->Config());
              panel->RefreshFields();
              panel->show();
              QCoreApplication::processEvents();
          }));

    {
        // Every other run shows the defaults again, so each refresh changes
        // every field that the full configuration sets.
        wPanneau panel(true);
        panel.show();
        const ConfigClass defaults = panel.Config();
        ConfigClass full = defaults;
        Fill(full);
        int run = 0;
        Print("refresh", MedianMs([&] {
                  panel.Config() = (run++ % 2) ? defaults : full;
                  panel.RefreshFields();
              }));
    }

    {
        std::vector<std::unique_ptr<wPanneau>> windows;
        for (int i = 0; i < 10; ++i) {
            windows.push_back(std::make_unique<wPanneau>(false));
            Fill(windows.back()->Config());
            windows.back()->RefreshFields();
        }
        int next = 0;
        Print("language-10", MedianMs([&] {
                  SetCurrentLanguage(languages.value(++next % languages.size()));
                  for (auto& window : windows)
                      window->Nationality();
              }));
    }
    return 0;
}
