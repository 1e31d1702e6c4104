#pragma once
// What the benchmark programs share: the table of functions from the source tree, and a main()
// for the programs that draw windows (offscreen unless a platform is set).
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "core/numerics/tabulated.h"

#ifdef QT_WIDGETS_LIB
#include <QApplication>
#endif

namespace lumerad::bench {

// DATA.TXT of the source tree, loaded once; a load failure ends the program.
inline const Tabulated& table() {
    static Tabulated tab;
    static const bool loaded = [] {
        const std::string err = tab.loadFile(std::string(LUMERAD_SOURCE_DATA_DIR) + "/DATA.TXT");
        if (!err.empty()) {
            std::fprintf(stderr, "%s\n", err.c_str());
            std::exit(1);
        }
        return true;
    }();
    (void)loaded;
    return tab;
}

#ifdef QT_WIDGETS_LIB
inline int runWithWidgets(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Lumerad"));
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
#endif

}  // namespace lumerad::bench
