#pragma once
// A whole program for the bending-magnet window tests, brought to the point where the
// typical request stands after "recalculate": Diamond accepted, "bend magnet" pressed, the
// 1.4 T dipole picked and the results computed.
#include "../../support/program_world.h"
#include "windows/plot/graph_window.h"
#include "windows/sources/bending_magnet_window.h"
#include "windows/spectra/synchrotron_spectrum_window.h"

namespace lumerad::bendtest {

using namespace lumerad::worldtest;

struct World : ProgramWorld {
    World() {
        acceptRing(QStringLiteral("Diamond"));
        buttonByText(w().start, QStringLiteral("bend magnet"))->click();
        auto* grid = child<DBGrid>(w().synRad, "DBGrid1");
        clickRow(grid, rowOf(grid, QStringLiteral("Diamond dipole 1.4 T")));
        child<QAbstractButton>(w().synRad, "tbRecalc")->click();
    }
};

}  // namespace lumerad::bendtest
