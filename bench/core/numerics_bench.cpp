// Speed of the tabulated functions: one spline lookup, and the work of one spectrum
// (1001 photon energies from about 10 eV to 25 keV for a few-keV critical energy, that is
// x = E / Ec from 1e-3 to 20 on a logarithmic grid).
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "../support/bench_support.h"
#include "core/numerics/number_text.h"
#include "core/numerics/special_functions.h"
#include "core/numerics/tabulated.h"

namespace {

using lumerad::bench::table;

std::vector<double> spectrumGrid() {
    std::vector<double> xs(1001);
    for (int j = 0; j <= 1000; ++j) xs[j] = 1e-3 * std::pow(20.0 / 1e-3, j / 1000.0);
    return xs;
}

void BM_SplineLookup(benchmark::State& state) {
    const auto& tab = table();
    double x = 0.37;
    for (auto _ : state) {
        benchmark::DoNotOptimize(tab.splint(1, x));
        x = x < 25.0 ? x * 1.37 : 0.0013;  // wander over the table so no branch is learnt
    }
}
BENCHMARK(BM_SplineLookup);

void BM_UnivrslFPass(benchmark::State& state) {
    const auto& tab = table();
    const auto xs = spectrumGrid();
    for (auto _ : state)
        for (double x : xs) benchmark::DoNotOptimize(lumerad::UnivrslF(tab, x));
}
BENCHMARK(BM_UnivrslFPass)->Unit(benchmark::kMicrosecond);

void BM_ModBess1Pass(benchmark::State& state) {
    const auto& tab = table();
    const auto xs = spectrumGrid();
    for (auto _ : state)
        for (double x : xs) benchmark::DoNotOptimize(lumerad::ModBess(tab, 1, x));
}
BENCHMARK(BM_ModBess1Pass)->Unit(benchmark::kMicrosecond);

void BM_ModBess2Pass(benchmark::State& state) {
    const auto& tab = table();
    const auto xs = spectrumGrid();
    for (auto _ : state)
        for (double x : xs) benchmark::DoNotOptimize(lumerad::ModBess(tab, 2, x));
}
BENCHMARK(BM_ModBess2Pass)->Unit(benchmark::kMicrosecond);

// Numbers as text: one result field, and one line of a spectrum file (five 23-character fields).
void BM_FormatFixed3(benchmark::State& state) {
    double v = 1.2345678;
    for (auto _ : state) {
        benchmark::DoNotOptimize(lumerad::FormatFixed3(v));
        v = v < 1e5 ? v * 1.37 : 0.0123;
    }
}
BENCHMARK(BM_FormatFixed3);

void BM_DataFieldLine(benchmark::State& state) {
    const double values[5] = {1234.5, 2.5e13, 1.0 / 3.0, 0.04, 6.02e-7};
    for (auto _ : state) {
        std::string line;
        for (double v : values) line += lumerad::dataField(v);
        benchmark::DoNotOptimize(line);
    }
}
BENCHMARK(BM_DataFieldLine);

}  // namespace

BENCHMARK_MAIN();
