#pragma once
// A whole program for the single-pass window tests: a temporary catalogue, the main window
// shown, and the FLASH linac (1250 MeV, 31.2e8 electrons, 800 bunches of 200 fs, Gaussian,
// 10 Hz) chosen and accepted in the single-pass beam editor.
#include "../../support/program_world.h"
#include "windows/plot/graph_window.h"

namespace lumerad::lintest {

using namespace lumerad::worldtest;

// Presses a button that must be visible and enabled, as the user can.
inline void click(QWidget* w, const char* name) {
    auto* b = child<QAbstractButton>(w, name);
    QVERIFY2(b->isVisibleTo(w) && b->isEnabled(), name);
    b->click();
}

struct World : ProgramWorld {
    explicit World(const char* linac = "FLASH") { acceptLinac(QString::fromLatin1(linac)); }
};

}  // namespace lumerad::lintest
