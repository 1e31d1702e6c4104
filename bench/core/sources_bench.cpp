// Speed of the calculations behind the wiggler window and the special-function calculator:
// one whole wiggler recalculation, one refresh of the five calculator panels, and Jn at the
// extremes of its branches (a tiny argument, a high order).
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "../support/bench_support.h"
#include "core/numerics/function_calculator.h"
#include "core/numerics/messages.h"
#include "core/numerics/special_functions.h"
#include "core/numerics/tabulated.h"
#include "core/sources/wiggler.h"

namespace {

using lumerad::bench::table;

void BM_WigglerRecalculation(benchmark::State& state) {
    lumerad::CurrentBeam beam;
    beam.BeamEnergy = 3.0;
    beam.BeamGamma = 5870.81;
    beam.BeamCurrent = 0.3;
    beam.SigXb = 100e-6;
    beam.SigYb = 20e-6;
    beam.SigXp = 50e-6;
    beam.SigYp = 5e-6;
    lumerad::RecordingMessages messages;
    lumerad::WigglerInputs in;
    in.HorAngle = "2.5";
    double crit = 0, rbw = 0;
    for (auto _ : state) {
        lumerad::MagnetState m;
        m.MagType = "EM";
        m.BField = 1.6;
        m.PerLength = 0.2;
        m.NPoles = 12;
        m.DevLength = 1.2;
        lumerad::WigglerResult r;
        lumerad::RecalculateWiggler(in, beam, m, table(), messages, crit, rbw, r);
        benchmark::DoNotOptimize(lumerad::WigglerResults(r));
    }
}
BENCHMARK(BM_WigglerRecalculation)->Unit(benchmark::kMicrosecond);

void BM_CalculatorRefresh(benchmark::State& state) {
    lumerad::FunctionPanelState s;
    for (auto _ : state) {
        lumerad::InitializeFunctions(s);
        s.text["BsArg"] = "2.5";
        s.text["BsOrd"] = "3";
        s.text["MBsArg"] = s.text["AiryArg"] = s.text["UFArg"] = "1";
        s.text["JJh"] = "3";
        s.text["JJK"] = "2";
        lumerad::RecalculateFunctions(s, table());
        benchmark::DoNotOptimize(s.text);
    }
}
BENCHMARK(BM_CalculatorRefresh)->Unit(benchmark::kMicrosecond);

void BM_BesselJ(benchmark::State& state, int n, double x) {
    for (auto _ : state) benchmark::DoNotOptimize(lumerad::bessj(n, x));
}
BENCHMARK_CAPTURE(BM_BesselJ, order2_tiny, 2, 1e-30);
BENCHMARK_CAPTURE(BM_BesselJ, order10_x3, 10, 3.0);
BENCHMARK_CAPTURE(BM_BesselJ, order10000_x2, 10000, 2.0);
BENCHMARK_CAPTURE(BM_BesselJ, orderMax_x1, 2147483647, 1.0);

}  // namespace

BENCHMARK_MAIN();
