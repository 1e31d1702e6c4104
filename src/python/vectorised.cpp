// The vectorised functions: the core's single-point routines in loops over numpy arrays, with
// Python's lock released while they run. Each function refuses what the window refuses (the
// window's message in a ValueError) and a floating-point fault of the loop as the window does.
#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <functional>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "cli/dispatch.h"
#include "core/coherent/form_factor.h"
#include "core/coherent/transition_radiation.h"
#include "core/numerics/constants.h"
#include "core/numerics/errors.h"
#include "core/numerics/function_calculator.h"
#include "core/numerics/input_limits.h"
#include "core/numerics/special_functions.h"
#include "core/numerics/tabulated.h"
#include "core/sources/bending_magnet.h"
#include "core/sources/undulator.h"
#include "core/spectra/synchrotron_spectrum.h"
#include "core/spectra/undulator_lines.h"
#include "python/module.h"
#include "store/tsr_module.h"

namespace lumerad::cli {
// the line list of "lines" and "tune" (cmd_lines.cpp)
LineListState runLineList(Context& ctx, LineListResult& r);
int lineQuantityOption(const QString& q);
}  // namespace lumerad::cli

namespace lumerad::python {

namespace {

using Array = py::array_t<double, py::array::c_style | py::array::forcecast>;

// The table's spline look-up remembers its last column: one loop at a time reads it.
std::mutex& tableLock() {
    static std::mutex m;
    return m;
}

std::vector<py::ssize_t> shapeOf(const py::array& a) { return {a.shape(), a.shape() + a.ndim()}; }

// The result: a float for scalar arguments, else the array.
py::object answer(Array out, bool scalar) {
    if (scalar) return py::float_(*out.data());
    return out;
}

// Runs f over the points with Python's lock released (and then the table's, when f reads the
// table: in this order, so that a thread waiting for the table never holds Python's lock); the
// loop's floating-point faults are refused as the window refuses them.
template <class F>
void loop(F&& f, bool table = false) {
    py::gil_scoped_release unlocked;
    std::unique_lock<std::mutex> lock(tableLock(), std::defer_lock);
    if (table) lock.lock();
    clearFloatFaults();
    f();
    checkFloatFaults();
}

// A Python number: one point is computed without making arrays, which keeps a small call
// small.
bool isNumber(const py::handle& o) { return PyFloat_Check(o.ptr()) || PyLong_Check(o.ptr()); }

template <class F>
py::object onePoint(F&& f, bool table) {
    std::unique_lock<std::mutex> lock(tableLock(), std::defer_lock);
    if (table) lock.lock();
    clearFloatFaults();
    const double v = f();
    checkFloatFaults();
    return py::float_(v);
}

// x -> f(x) elementwise.
py::object map1(const py::object& xo, const std::function<double(double)>& f, bool table = false) {
    if (isNumber(xo)) return onePoint([&] { return f(xo.cast<double>()); }, table);
    const Array x = Array::ensure(xo);
    if (!x) throw py::type_error("expected a number or an array of numbers");
    Array out(shapeOf(x));
    const double* in = x.data();
    double* o = out.mutable_data();
    const py::ssize_t n = x.size();
    loop(
        [&] {
            for (py::ssize_t i = 0; i < n; ++i) o[i] = f(in[i]);
        },
        table);
    return answer(out, x.ndim() == 0);
}

// (a, b) -> f(a, b) elementwise, broadcast as numpy broadcasts.
py::object map2(const py::object& ao, const py::object& bo, const std::function<double(double, double)>& f) {
    if (isNumber(ao) && isNumber(bo))
        return onePoint([&] { return f(ao.cast<double>(), bo.cast<double>()); }, false);
    Array a = Array::ensure(ao), b = Array::ensure(bo);
    if (!a || !b) throw py::type_error("expected numbers or arrays of numbers");
    const bool scalar = a.ndim() == 0 && b.ndim() == 0;
    if (shapeOf(a) != shapeOf(b) && a.size() != 1 && b.size() != 1) {
        const py::module_ np = py::module_::import("numpy");
        const py::sequence both = np.attr("broadcast_arrays")(a, b);
        a = Array::ensure(np.attr("ascontiguousarray")(both[0]));
        b = Array::ensure(np.attr("ascontiguousarray")(both[1]));
    }
    const bool aOne = a.size() == 1 && b.size() != 1, bOne = b.size() == 1 && a.size() != 1;
    Array out(shapeOf(aOne ? b : a));
    const double *pa = a.data(), *pb = b.data();
    double* o = out.mutable_data();
    const py::ssize_t n = out.size();
    loop([&] {
        for (py::ssize_t i = 0; i < n; ++i) o[i] = f(pa[aOne ? 0 : i], pb[bOne ? 0 : i]);
    });
    return answer(out, scalar);
}

// The argument checks of the calculator's panels, with the window's messages.
void require(bool ok, const char* what, const char* text) {
    if (!ok) throw InputError(std::string(what) + ": " + text);
}
int order(double n, const char* what, const char* negative, const char* tooLarge) {
    require(n == std::floor(n), what, "must be an integer");
    require(n >= 0, what, negative);
    require(n <= kMaxFunctionOrder, what, tooLarge);
    return static_cast<int>(n);
}

// A function of x through the table, with the panel's check of x.
py::object tableFunction(const py::object& x, bool (*valid)(double), const char* refusal,
                         double (*f)(const Tabulated&, double)) {
    const Tabulated& tab = defaultTable();
    return map1(
        x,
        [&](double v) {
            require(valid(v), "x", refusal);
            return f(tab, v);
        },
        true);
}

const char* const kSpectrumQuantities[] = {"angular_flux", "spatial_density",     "angular_density",
                                           "sigma_pi",     "sigma_pi_normalized", "divergence"};

py::object synchrotronSpectrum(const py::object& energy, double E, double I, double B,
                               const std::string& quantity, double bandwidth, double psiV, int poles,
                               double sigmaX, double sigmaY, bool wiggler) {
    int item = -1;
    for (int i = 0; i < 6; ++i)
        if (quantity == kSpectrumQuantities[i]) item = i;
    if (item < 0) {
        std::string list;
        for (const char* q : kSpectrumQuantities) list += std::string(list.empty() ? "" : ", ") + q;
        throw InputError("quantity: unknown quantity \"" + quantity + "\"; the quantities are " + list);
    }
    require(E > 0 && std::isfinite(E), "beam_energy_gev", "the beam energy must be greater than 0 GeV!");
    require(std::isfinite(I), "current_a", "the beam current must be a number!");
    require(B > 0 && std::isfinite(B), "field_t", "the field must be greater than 0 T!");
    require(bandwidth >= 0, "bandwidth", kNegativeBandWidthText);
    require(bandwidth <= kMaxBandWidthPercent / 100, "bandwidth", kBandWidthTooLargeText);
    require(poles >= 1, "poles", "the number of poles must be 1 or more!");
    require(item != kSpatialFluxDensity || (sigmaX > 0 && sigmaY > 0), "sigma_x_m, sigma_y_m",
            "the spatial density needs the rms beam sizes (greater than 0 m)!");
    const Tabulated& tab = defaultTable();
    clearFloatFaults();
    CurrentBeam beam;
    beam.BeamEnergy = E;
    beam.BeamCurrent = I;
    beam.SigXb = sigmaX;
    beam.SigYb = sigmaY;
    const double crit = spectrumCritEnergy(E, B);
    const SpectrumFactors k = spectrumFactors(beam, poles, bandwidth, psiV);
    const double area = spectrumSourceArea(beam);

    const bool polarisation = item == kSigmaPi || item == kSigmaPiNormalized;
    if (isNumber(energy) && !polarisation)
        return onePoint(
            [&] {
                const double e = energy.cast<double>();
                require(e > 0 && std::isfinite(e), "photon_energy_ev", kPhotonEnergyPositiveText);
                return energyScanPoint(item, wiggler, tab, e, crit, area, k).value;
            },
            true);
    const Array x = Array::ensure(energy);
    if (!x) throw py::type_error("photon_energy_ev: expected a number or an array of numbers");
    std::vector<py::ssize_t> shape = shapeOf(x);
    if (polarisation) shape.insert(shape.begin(), 2);
    Array out(shape);
    const double* in = x.data();
    double* o = out.mutable_data();
    const py::ssize_t n = x.size();
    loop(
        [&] {
            // The points before the first energy out of range are computed (a refusal of
            // theirs comes first), then that energy is refused.
            py::ssize_t good = 0;
            while (good < n && in[good] > 0 && std::isfinite(in[good])) ++good;
            energyPoints(item, wiggler, tab, in, good, crit, area, k, o, polarisation ? o + n : nullptr);
            require(good == n, "photon_energy_ev", kPhotonEnergyPositiveText);
            if (item == kSigmaPiNormalized) normaliseToFirstPoint(o, o + n, n, wiggler);
        },
        true);
    return answer(out, x.ndim() == 0 && !polarisation);
}

// The options that pick the records of a catalogue: --catalogue, --set and DATA.TXT.
void recordOptions(QStringList& argv, const py::object& catalogue, const py::object& sets) {
    argv << QStringLiteral("--data") << QString::fromStdString(defaultDataFile());
    if (!catalogue.is_none())
        argv << QStringLiteral("--catalogue")
             << QString::fromStdString(py::str(catalogue).cast<std::string>());
    appendSetOptions(argv, sets);
}

// A number as the shortest text that reads back as the same double.
std::string numberText(double v) {
    char buf[32];
    const auto r = std::to_chars(buf, buf + sizeof buf, v);
    return std::string(buf, r.ptr);
}

// The transition radiation of a catalogue's single-pass beam at each photon energy, each point
// the window's calculation for that energy.
py::dict transitionRadiation(const py::object& eo, const std::string& beamName, double bandwidth,
                             bool coherent, const py::object& angleGamma, const py::object& angleMrad,
                             const py::object& catalogue, const py::object& sets) {
    if (!angleGamma.is_none() && !angleMrad.is_none())
        throw InputError("angle_gamma, angle_mrad: choose one of the two acceptance angles");
    QStringList argv{QStringLiteral("lumerad-cli"), QStringLiteral("--beam"),
                     QString::fromStdString(beamName)};
    recordOptions(argv, catalogue, sets);
    const Array e = Array::ensure(eo);
    if (!e) throw py::type_error("photon_energy_ev: expected a number or an array of numbers");
    clearFloatFaults();
    const cli::Command& tr = cli::commandNamed(QStringLiteral("tr"));
    QCommandLineParser parser;
    cli::parseCommand(parser, tr, argv);
    cli::Context ctx(parser, tr);
    ctx.selectRecords();
    const TransitionRadiationBeam b = transitionRadiationBeam(*ctx.catalogue().SnglBeam);
    TransitionRadiationInputs in;
    in.unit = PhotonUnit::eV;
    in.bandWidth = numberText(bandwidth);
    in.coherent = coherent;
    if (!angleGamma.is_none()) in.angleGamma = numberText(angleGamma.cast<double>());
    if (!angleMrad.is_none()) in.angleMrad = numberText(angleMrad.cast<double>());

    const char* const names[] = {"form_factor", "energy_per_bunch_j",      "energy_per_pulse_j",
                                 "power_w",     "cone_energy_per_bunch_j", "cone_energy_per_pulse_j",
                                 "cone_power_w"};
    std::vector<Array> out;
    for (size_t k = 0; k < std::size(names); ++k) out.emplace_back(shapeOf(e));
    std::vector<double*> o;
    for (Array& a : out) o.push_back(a.mutable_data());
    const double* pe = e.data();
    const py::ssize_t n = e.size();
    OnceMessages once(ctx.messages);
    loop([&] {
        for (py::ssize_t i = 0; i < n; ++i) {
            in.photon = numberText(pe[i]);
            TransitionRadiationState state;
            state.AccAngFromGamma = !angleGamma.is_none();
            state.AccAngFromMrad = !angleMrad.is_none();
            TransitionRadiationResult r;
            CalculateTR(in, b, state, once, r);
            const double v[] = {r.FF, r.W, r.Wpulse, r.P, r.Wa, r.WaPulse, r.Pa};
            for (size_t k = 0; k < std::size(names); ++k) o[k][i] = v[k];
        }
    });
    py::dict d;
    for (size_t k = 0; k < std::size(names); ++k) d[names[k]] = out[k];
    return d;
}

// The undulator calculation of a catalogue's beam and undulator, then the points of one
// harmonic at each K (or gap in mm), as the tuning scans compute them.
py::dict undulatorHarmonic(const py::object& xo, const std::string& beamName, const std::string& source,
                           int harmonic, const std::string& scan, const std::string& quantity,
                           double bandwidth, const py::object& catalogue, const py::object& sets) {
    QStringList argv{QStringLiteral("lumerad-cli"),
                     QStringLiteral("--beam"),
                     QString::fromStdString(beamName),
                     QStringLiteral("--source"),
                     QString::fromStdString(source),
                     QStringLiteral("--from-harmonic"),
                     QString::number(harmonic),
                     QStringLiteral("--to-harmonic"),
                     QString::number(harmonic),
                     QStringLiteral("--quantity"),
                     QString::fromStdString(quantity).replace(QLatin1Char('_'), QLatin1Char('-')),
                     QStringLiteral("--bandwidth"),
                     QString::fromStdString(py::str(py::float_(bandwidth * 100.0)).cast<std::string>())};
    recordOptions(argv, catalogue, sets);
    const bool gap = scan == "gap";
    if (!gap && scan != "K") throw InputError("scan: unknown scan \"" + scan + "\"; the scans are K and gap");
    const Array x = Array::ensure(xo);
    if (!x) throw py::type_error("x: expected a number or an array of numbers");

    clearFloatFaults();
    const cli::Command& tune = cli::commandNamed(QStringLiteral("tune"));
    QCommandLineParser parser;
    cli::parseCommand(parser, tune, argv);
    cli::Context ctx(parser, tune);
    LineListResult lr;
    const LineListState list = cli::runLineList(ctx, lr);
    const Session& s = ctx.session;
    TuningScanInputs in;
    in.kind = gap ? ScanKind::Gap : ScanKind::K;
    in.quantity = cli::lineQuantityOption(parser.value(QStringLiteral("quantity")));
    TuningScanCheck(in, list, s.magnet);
    if (!(s.magnet.PerLength > 0)) throw InputError(kZeroPeriodText);
    if (!(s.beam.BeamGamma > 0)) throw InputError(kZeroBeamEnergyText);
    OnceMessages once(ctx.messages);
    MagnetState m = s.magnet;  // the scan's working copy
    TuningScanContext c;
    c.kind = in.kind;
    c.abscissa = ScanAbscissa::K;
    c.quantity = in.quantity;
    c.t = m.PerLength / (2.0 * s.beam.BeamGamma * s.beam.BeamGamma);
    c.relBandWidth = s.RelBandWidth;
    c.beam = &s.beam;

    Array K(shapeOf(x)), energy(shapeOf(x)), value(shapeOf(x));
    const double* in_ = x.data();
    double *pk = K.mutable_data(), *pe = energy.mutable_data(), *pv = value.mutable_data();
    const py::ssize_t n = x.size();
    loop([&] {
        for (py::ssize_t i = 0; i < n; ++i) {
            const TuningPoint p = tuningScanPoint(c, harmonic, in_[i], m, once);
            pk[i] = p.K;
            pe[i] = p.photonEnergy;
            pv[i] = p.y;
        }
    });
    py::dict r;
    r["K"] = K;
    r["photon_energy_ev"] = energy;
    r[py::str(quantity)] = value;
    return r;
}

}  // namespace

void addVectorised(py::module_& m) {
    py::options signatures;
    signatures.disable_function_signatures();  // the docstrings write their own
    using namespace pybind11::literals;

    m.def(
        "synchrotron_spectrum",
        [](const py::object& e, double E, double I, double B, const std::string& q, double bw, double psiV,
           int poles, double sx, double sy,
           bool wiggler) { return synchrotronSpectrum(e, E, I, B, q, bw, psiV, poles, sx, sy, wiggler); },
        "photon_energy_ev"_a, py::kw_only(), "beam_energy_gev"_a, "current_a"_a, "field_t"_a,
        "quantity"_a = "angular_flux", "bandwidth"_a = 1e-3, "vertical_angle"_a = 0.0, "poles"_a = 1,
        "sigma_x_m"_a = 0.0, "sigma_y_m"_a = 0.0, "wiggler"_a = false,
        R"(synchrotron_spectrum(photon_energy_ev, *, beam_energy_gev, current_a, field_t, quantity="angular_flux", bandwidth=1e-3, vertical_angle=0.0, poles=1, sigma_x_m=0.0, sigma_y_m=0.0, wiggler=False) -> numpy.ndarray

The synchrotron spectrum of a bending magnet (or of a wiggler as a chain of poles) at each
photon energy of the array, point by point as the spectrum window computes its scan, for any
number of points and any order of energies.

  photon_energy_ev    Photon energies in eV (a number or an array of any shape; each > 0).
  beam_energy_gev     Beam energy in GeV.
  current_a           Beam current in A.
  field_t             Magnetic field at the source point in T (critical energy 665 E^2 B eV).
  quantity            The quantity of the spectrum window:
                        "angular_flux"         photon flux per horizontal angle, ph/s/mrad
                        "spatial_density"      flux density at the source, ph/s/mrad/mm^2
                                               (needs sigma_x_m and sigma_y_m)
                        "angular_density"      flux per solid angle at vertical_angle, ph/s/mrad^2
                        "sigma_pi"             sigma-mode and pi-mode flux per solid angle at
                                               vertical_angle, ph/s/mrad^2: shape (2, ...)
                        "sigma_pi_normalized"  both over the sigma-mode value at the first photon
                                               energy (no unit): shape (2, ...)
                        "divergence"           rms vertical opening angle of the radiation, mrad
  bandwidth           Relative band width (1e-3 is 0.1 %).
  vertical_angle      Vertical observation angle in units of 1/gamma.
  poles               Number of poles (1 for a bending magnet).
  sigma_x_m           Horizontal rms beam size in m (spatial_density only).
  sigma_y_m           Vertical rms beam size in m (spatial_density only).
  wiggler             True for a wiggler: no pi-mode radiation (0).

Returns an array of the photon energies' shape (a float for a number). Raises ValueError with
the window's message for a refused input or a calculation beyond the functions' reach.)");

    m.def(
        "critical_energy_ev",
        [](const py::object& E, const py::object& B) { return map2(E, B, spectrumCritEnergy); },
        "beam_energy_gev"_a, "field_t"_a,
        R"(critical_energy_ev(beam_energy_gev, field_t) -> float or numpy.ndarray

The critical photon energy in eV, 665 E^2 B, for beam energies E in GeV and fields B in T
(numbers or arrays, broadcast against each other).)");

    m.def(
        "bessel_j",
        [](const py::object& n, const py::object& x) {
            return map2(n, x, [](double nn, double xx) {
                const int k = order(nn, "n", kBsOrdNegativeText, kBsOrdTooLargeText);
                require(xx >= 0, "x", kBsArgNegativeText);
                return bessj(k, xx);
            });
        },
        "n"_a, "x"_a,
        R"(bessel_j(n, x) -> float or numpy.ndarray

The Bessel function J_n(x) of integer order 0 <= n <= 10000 at x >= 0, as the function
calculator computes it (numbers or arrays, broadcast against each other; no unit).)");

    // The functions of x through the table, refused outside their range with their panel's message.
    const auto positive = [](double x) { return x > 0; };
    const auto nonNegative = [](double x) { return x >= 0; };
    struct TableFunction {
        const char* name;
        bool (*valid)(double);
        const char* refusal;
        double (*f)(const Tabulated&, double);
        const char* doc;
    };
    const TableFunction kTableFunctions[] = {
        {"k13", positive, kMBsArgText, [](const Tabulated& t, double v) { return ModBess(t, 1, v); },
         R"(k13(x) -> float or numpy.ndarray

The modified Bessel function K_1/3(x) at x > 0, as the function calculator computes it (series,
table and asymptotic form; no unit).)"},
        {"k23", positive, kMBsArgText, [](const Tabulated& t, double v) { return ModBess(t, 2, v); },
         R"(k23(x) -> float or numpy.ndarray

The modified Bessel function K_2/3(x) at x > 0, as the function calculator computes it (no
unit).)"},
        {"airy", positive, kAiryArgText, [](const Tabulated& t, double v) { return AiryFun(t, 1, v); },
         R"(airy(x) -> float or numpy.ndarray

The Airy function Ai(x) at x > 0, as the function calculator computes it (no unit).)"},
        {"airy_prime", positive, kAiryArgText, [](const Tabulated& t, double v) { return AiryFun(t, 2, v); },
         R"(airy_prime(x) -> float or numpy.ndarray

The derivative Ai'(x) of the Airy function at x > 0, as the function calculator computes it (no
unit).)"},
        {"s", nonNegative, kUFArgText, UnivrslF, R"(s(x) -> float or numpy.ndarray

The universal function S(x) of the bending-magnet spectrum at x = photon energy over critical
energy, x >= 0: (9 sqrt(3) / 8 pi) x times the integral of K_5/3 from x to infinity (no unit).)"},
    };
    for (const TableFunction& t : kTableFunctions)
        m.def(
            t.name, [t](const py::object& x) { return tableFunction(x, t.valid, t.refusal, t.f); }, "x"_a,
            t.doc);
    m.def(
        "jj",
        [](const py::object& h, const py::object& K) {
            return map2(h, K, [](double hh, double KK) {
                return JJFun(order(hh, "n", kJJhNegativeText, kJJhTooLargeText), KK);
            });
        },
        "n"_a, "k"_a,
        R"(jj(n, k) -> float or numpy.ndarray

The coupling factor [JJ] of the odd harmonic n of a planar undulator of deflection parameter k:
(J_(n-1)/2(x) - J_(n+1)/2(x))^2, x = n k^2 / (4 + 2 k^2), as the function calculator computes it
(numbers or arrays, broadcast; no unit).)");

    m.def(
        "bunch_form_factor",
        [](const py::object& k, double length, const std::string& shape) {
            const std::optional<BunchShape> s = shape == "gaussian"  ? std::optional(BunchShape::Gaussian)
                                                : shape == "uniform" ? std::optional(BunchShape::Uniform)
                                                                     : std::nullopt;
            if (!s)
                throw InputError("shape: unknown shape \"" + shape +
                                 "\"; the shapes are gaussian and uniform");
            require(length > 0 && std::isfinite(length), "bunch_length_m",
                    "the bunch length must be greater than 0 m!");
            // the wavelength in m of a wavenumber in 1/cm
            return map1(k, [&](double kk) {
                require(kk >= 0, "wavenumber_per_cm", "the wavenumber must not be negative!");
                return kk == 0 ? 1.0 : formFactor(*s, length, 0.01 / kk);
            });
        },
        "wavenumber_per_cm"_a, py::kw_only(), "bunch_length_m"_a, "shape"_a = "gaussian",
        R"(bunch_form_factor(wavenumber_per_cm, *, bunch_length_m, shape="gaussian") -> float or numpy.ndarray

The longitudinal form factor of a micro-bunch at each wavenumber in 1/cm (wavelength 1/k):
"gaussian" (exp(-pi (L/lambda)^2))^2 or "uniform" (sin x / x)^2 with x = pi L / lambda, for the
effective bunch length L in m (no unit).)");

    m.def(
        "transition_radiation",
        [](const py::object& e, const std::string& beam, double bw, bool coherent, const py::object& ag,
           const py::object& am, const py::object& catalogue, const py::object& sets) {
            return transitionRadiation(e, beam, bw, coherent, ag, am, catalogue, sets);
        },
        "photon_energy_ev"_a, py::kw_only(), "beam"_a, "bandwidth"_a = 1e-3, "coherent"_a = true,
        "angle_gamma"_a = py::none(), "angle_mrad"_a = py::none(), "catalogue"_a = py::none(),
        "set"_a = py::none(),
        R"(transition_radiation(photon_energy_ev, *, beam, bandwidth=1e-3, coherent=True, angle_gamma=None, angle_mrad=None, catalogue=None, set=None) -> dict

The transition radiation of a single-pass beam of the catalogue crossing a metal boundary, at
each photon energy, each point as the transition-radiation window computes it.

  photon_energy_ev  Photon energies in eV (a number or an array of any shape).
  beam              The single-pass beam (its name in the catalogue).
  bandwidth         Relative band width (a fraction).
  coherent          True: the bunch radiates coherently (with its form factor); False: incoherently.
  angle_gamma       Acceptance half-angle in units of 1/gamma (or angle_mrad, in mrad; neither:
                    the window's default).
  catalogue         The catalogue file (default: the program's own), only read.
  set               {FIELD: VALUE} overrides of the beam record for this call.

Returns a dict of arrays of the photon energies' shape: "form_factor", "energy_per_bunch_j",
"energy_per_pulse_j" and "power_w" into the half space, and the same into the acceptance cone
("cone_energy_per_bunch_j", "cone_energy_per_pulse_j", "cone_power_w"), all into the band width.)");

    m.def(
        "undulator_harmonic",
        [](const py::object& x, const std::string& beam, const std::string& source, int harmonic,
           const std::string& scan, const std::string& quantity, double bandwidth,
           const py::object& catalogue, const py::object& sets) {
            return undulatorHarmonic(x, beam, source, harmonic, scan, quantity, bandwidth, catalogue, sets);
        },
        "x"_a, py::kw_only(), "beam"_a, "source"_a, "harmonic"_a = 1, "scan"_a = "K",
        "quantity"_a = "angular_flux", "bandwidth"_a = 1e-3, "catalogue"_a = py::none(), "set"_a = py::none(),
        R"(undulator_harmonic(x, *, beam, source, harmonic=1, scan="K", quantity="angular_flux", bandwidth=1e-3, catalogue=None, set=None) -> dict

The tuning curve of one harmonic of a permanent-magnet undulator of the catalogue at each K (or
gap), point by point as the tuning scans of the line-spectrum window compute them, over arrays
of any length.

  x           The deflection parameters K (scan="K") or the gaps in mm (scan="gap").
  beam        The circulating beam (its name in the catalogue).
  source      The undulator (its name in the catalogue).
  harmonic    The odd harmonic, 1 to 29.
  scan        "K" or "gap".
  quantity    "angular_flux" (ph/s/mrad^2), "flux" (ph/s), "flux_density" (ph/s/mm^2) or
              "brightness" (ph/s/mm^2/mrad^2), into the band width.
  bandwidth   Relative band width (1e-3 is 0.1 %).
  catalogue   The catalogue file (default: the program's own), only read.
  set         {FIELD: VALUE} overrides of the beam or source record for this call.

Returns a dict of arrays of the shape of x: "K", "photon_energy_ev" (of the harmonic) and the
quantity under its own name.)");
}

}  // namespace lumerad::python
