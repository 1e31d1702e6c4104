"""The Python module against lumerad-cli --json, the core's single points and scipy.

Run by ctest with Debian's python3; LUMERAD_CLI names the command line, LUMERAD_BUILD_DIR the
build folder (for the installed-tree test) and PYTHONPATH holds the module's folder."""
import hashlib, json, math, os, pathlib, subprocess, sys, tempfile, unittest
import numpy as np
import lumerad

CLI = os.environ["LUMERAD_CLI"]
DIR = tempfile.TemporaryDirectory()
CAT = os.path.join(DIR.name, "catalogue.sqlite")
DIAMOND = dict(beam="Diamond", source="Diamond dipole 1.4 T")
UND = dict(beam="Diamond", source="hybrid undulator U35")
# Each subcommand with options that move its numbers off the design values.
CASES = [
    ("beams", None, {}), ("sources", None, dict(kind="Und")), ("beam", "FLASH", {}),
    ("beam", "Diamond", {"set": {"Energy": 2.5}}),
    ("bend", None, dict(DIAMOND, wavelength=0.5, bandwidth="0.01", vertical_angle=0.5, distance=10)),
    ("spectrum", None, dict(DIAMOND, quantity="sigma-pi", start=100, stop=20000, step=25, vertical_angle=0.3)),
    ("spectrum", None, dict(DIAMOND, quantity=4, vs_angle=True, photon_energy=5000, max_angle=2, angle_step=0.25)),
    ("wiggler", None, dict(beam="Diamond", source="EM wiggler W200")),
    ("function", "JJ", dict(harmonic=3, K=1.5)), ("function", "Ai", dict(x=0.7)),
    ("undulator", None, UND), ("flux", None, dict(UND, harmonic=3)),
    ("lines", None, dict(UND, from_harmonic=1, to_harmonic=7, quantity="brightness")),
    ("tune", None, dict(UND, scan="K", k_min=0.5, k_max=2.5, vs="K")),
    ("sp_undulator", None, dict(beam="FLASH", source="FLASH undulator U27")),
    ("tr", None, dict(beam="FLASH", photon=3, unit="THz", incoherent=True)),
    ("form_factor", None, dict(beam="FLASH", scan=True, start=1, stop=50, step=0.5)),
]


def cli_json(name, positional, kw):
    args = [CLI, name.replace("_", "-"), "--json", "--catalogue", CAT]
    for k, v in kw.items():
        opt = "--" + {"start": "from", "stop": "to"}.get(k, k.replace("_", "-"))
        if k == "set":
            for f, x in v.items():
                args += ["--set", f"{f}={x}"]
        elif v is True:
            args.append(opt)
        else:
            args += [opt, str(v)]
    if positional:
        args += ["--", positional]
    return json.loads(subprocess.run(args, check=True, capture_output=True, text=True).stdout)


def inputs(pairs):  # as JSON writes them: an option given more than once holds a list
    d = {}
    for k, v in pairs:
        d[k] = v if k not in d else (d[k] if isinstance(d[k], list) else [d[k]]) + [v]
    return d


def same(a, b):  # JSON writes null for a value that is not finite, and big whole numbers as integers
    return (b is None and not math.isfinite(a)) or a == float(b)


def setUpModule():
    lumerad.beams(catalogue=CAT)  # creates and seeds the catalogue


class Commands(unittest.TestCase):
    def test_every_subcommand_answers_as_the_command_line(self):
        tested = set()
        for name, positional, kw in CASES:
            with self.subTest(name=name, positional=positional, kw=kw):
                want = cli_json(name, positional, kw)
                got = getattr(lumerad, name)(*([positional] if positional else []), catalogue=CAT, **kw)
                tested.add(name)
                self.assertEqual(got.command, want["command"])
                self.assertEqual(sorted(got), sorted(want["results"]))
                for key, w in want["results"].items():
                    r = got[key]
                    self.assertEqual((r.label, r.unit, r.text, r.shown_unit),
                                     (w["label"], w["unit"], w["text"], w["shown_unit"]), key)
                    self.assertTrue(same(r.value, w["value"]), (key, r.value, w["value"]))
                self.assertEqual(list(got.columns), [c["name"] for c in want.get("columns", [])])
                for c in want.get("columns", []):
                    self.assertEqual(got.units[c["name"]], c["unit"])
                    values = got.columns[c["name"]].tolist()
                    self.assertEqual(len(values), len(c["values"]))
                    self.assertTrue(all(v == w if isinstance(v, str) else same(v, w)
                                        for v, w in zip(values, c["values"])), c["name"])
                self.assertEqual(inputs(got.inputs), want["inputs"])
        self.assertEqual(tested, {c.replace("-", "_") for c in
                                  "beams sources beam bend spectrum wiggler function undulator flux lines tune "
                                  "sp-undulator tr form-factor".split()})

    def test_results_and_columns(self):
        r = lumerad.spectrum(catalogue=CAT, start=1000, stop=2000, step=10, **DIAMOND)
        self.assertIsInstance(r["Ephcrit"].value, float)
        self.assertEqual(r.array.dtype.names, ("photon energy", "flux"))
        self.assertEqual(r.array["photon energy"][0], 1000.0)
        self.assertEqual(lumerad.beams(catalogue=CAT).columns["name"].dtype.kind, "U")

    def test_errors(self):
        for call, error, text in [
            (lambda: lumerad.bend(catalogue=CAT, wavelength="1,5", **DIAMOND), ValueError, "1,5"),
            (lambda: lumerad.bend(catalogue=CAT, beam="Nowhere", source="x"), ValueError, 'no circulating beam named "Nowhere"'),
            (lambda: lumerad.bend(catalogue=CAT, set={"Nofield": 1}, **DIAMOND), ValueError, 'unknown field "Nofield"'),
            (lambda: lumerad.function("K13", x=-1), ValueError, "x must be > 0"),
            (lambda: lumerad.bend(catalogue=DIR.name, **DIAMOND), OSError, "cannot be used: it is a folder"),
            (lambda: lumerad.bend(catalogue=CAT, data=os.path.join(DIR.name, "NO.TXT"), **DIAMOND), OSError, "NO.TXT"),
            (lambda: lumerad.bend(catalogue=CAT, colour=1, **DIAMOND), TypeError, "colour"),
            (lambda: lumerad.bend("x", catalogue=CAT), TypeError, "positional"),
            (lambda: lumerad.k13(np.array([1.0, 0.0])), ValueError, "x must be > 0"),
            (lambda: lumerad.bessel_j(2.5, 1.0), ValueError, "n: must be an integer"),
            (lambda: lumerad.jj(10001, 1.0), ValueError, "h must be < = 10000"),
            (lambda: lumerad.synchrotron_spectrum(-1.0, beam_energy_gev=3, current_a=0.3, field_t=1.4), ValueError,
             "photon energy must be greater than 0 eV"),
            (lambda: lumerad.synchrotron_spectrum(1e3, beam_energy_gev=3, current_a=0.3, field_t=1.4, quantity="x"),
             ValueError, "angular_flux, spatial_density"),
            (lambda: lumerad.synchrotron_spectrum(1e7, beam_energy_gev=3, current_a=0.3, field_t=1.4,
                                                  quantity="divergence"), ValueError, "critical energ"),
        ]:
            with self.subTest(text=text):
                with self.assertRaisesRegex(error, text.replace("(", r"\(")):
                    call()

    def test_catalogue_is_never_written(self):
        before = hashlib.sha256(pathlib.Path(CAT).read_bytes()).hexdigest()
        lumerad.beam("Diamond", catalogue=CAT, set={"Energy": 2.0})
        lumerad.undulator_harmonic([1.0], catalogue=CAT, set={"Energy": 2.0}, **UND)
        self.assertEqual(hashlib.sha256(pathlib.Path(CAT).read_bytes()).hexdigest(), before)


class Vectorised(unittest.TestCase):
    def test_spectrum_is_the_windows_scan_to_the_last_bit(self):
        quantities = ["angular_flux", "spatial_density", "angular_density", "sigma_pi", "sigma_pi_normalized",
                      "divergence"]
        b = lumerad.beam("Diamond", catalogue=CAT)  # 3 GeV, 300 mA; the dipole has 1.4 T
        for item, q in enumerate(quantities):
            with self.subTest(q=q):
                r = lumerad.spectrum(catalogue=CAT, quantity=item, start=50, stop=1e5, step=3, vertical_angle=0.4,
                                     **DIAMOND)
                e, *want = [np.asarray(c) for c in r.columns.values()]
                got = lumerad.synchrotron_spectrum(e, beam_energy_gev=b["Energy"].value / 1e9, current_a=b["Cur"].value,
                                                   field_t=1.4, quantity=q, vertical_angle=0.4,
                                                   sigma_x_m=b["Sig_xb"].value, sigma_y_m=b["Sig_yb"].value)
                want = np.array(want) if len(want) > 1 else want[0]
                if q == "spatial_density":  # the beam sizes as the beam record reports them may differ by an ulp
                    np.testing.assert_allclose(got, want, rtol=5e-16)
                else:
                    np.testing.assert_array_equal(got, want)
        self.assertEqual(lumerad.critical_energy_ev(3.0, 1.4), r["Ephcrit"].value)
        self.assertEqual(lumerad.critical_energy_ev([3.0, 6.0], [[1.4], [0.7]]).shape, (2, 2))

    def test_functions_are_the_calculators_to_the_last_bit(self):
        xs = [1e-4, 0.03, 0.5, 1.0, 4.7, 12.0, 29.0, 40.0]
        for name, f, field, kw in [("J", lambda x: lumerad.bessel_j(3, x), "BsRes", dict(order=3)),
                                   ("K13", lumerad.k13, "K13_x", {}), ("K23", lumerad.k23, "K23_x", {}),
                                   ("Ai", lumerad.airy, "Aiofx", {}), ("AiP", lumerad.airy_prime, "AiPofx", {}),
                                   ("S", lumerad.s, "UFVal", {}), ("JJ", lambda x: lumerad.jj(5, x), "JJ",
                                                                    dict(harmonic=5))]:
            want = [lumerad.function(name, x=repr(x), **kw)[field].value if name != "JJ" else
                    lumerad.function(name, K=repr(x), **kw)[field].value for x in xs]
            with self.subTest(name=name):
                np.testing.assert_array_equal(f(np.array(xs)), want)
                self.assertEqual(f(xs[3]), want[3])

    def test_tuning_curve_is_the_scans_to_the_last_bit(self):
        r = lumerad.tune(catalogue=CAT, scan="K", k_min=0.2, k_max=3, vs="K", from_harmonic=3, to_harmonic=3,
                         quantity="flux", **UND)
        k, y = r.columns["K-parameter"], r.columns[list(r.columns)[2]]
        got = lumerad.undulator_harmonic(k, catalogue=CAT, harmonic=3, quantity="flux", **UND)
        np.testing.assert_array_equal(got["flux"], y)
        np.testing.assert_array_equal(got["K"], k)

    def test_transition_radiation_is_the_windows_to_the_last_bit(self):
        e = [0.004, 0.0125, 1.0, 350.0]
        for kw in [{}, dict(coherent=False, angle_mrad=20.0)]:
            got = lumerad.transition_radiation(np.array(e), beam="FLASH", catalogue=CAT, **kw)
            for i, x in enumerate(e):
                cli = dict(incoherent=True, angle_mrad=20.0) if kw else {}
                r = lumerad.tr(beam="FLASH", photon=repr(x), catalogue=CAT, **cli)
                for key, field in [("form_factor", "EdtFormF"), ("energy_per_bunch_j", "EdtTradBun"),
                                   ("power_w", "EdtRadPow"), ("cone_energy_per_pulse_j", "EdtAccEnPls")]:
                    self.assertEqual(got[key][i], r[field].value, (kw, x, key))

    def test_special_functions_against_scipy(self):
        from scipy import special, integrate
        x, K = np.array([0.001, 0.05, 0.3, 1.0, 2.5, 6.0, 15.0]), np.array([0.3, 1.0, 2.2])
        s_ref = [9 * 3 ** 0.5 / (8 * np.pi) * v * integrate.quad(lambda t: special.kv(5 / 3, t), v, np.inf,
                                                                  epsabs=0, epsrel=1e-12, limit=200)[0] for v in x]
        ai, aip, _, _ = special.airy(x[1:6])
        a = 5 * K * K / (4 + 2 * K * K)
        # the tolerances of the core's recipes (rational approximations, the table's splines) in the
        # middle of their ranges; near 0 Ai and Ai' take K1/3's small-argument form, and beyond
        # x = 14 (zeta = 35) the K functions they are made of are 0
        for got, want, rtol in [(lumerad.bessel_j(0, x), special.jv(0, x), 5e-8),
                                (lumerad.bessel_j(7, x[2:]), special.jv(7, x[2:]), 5e-8),
                                (lumerad.k13(x), special.kv(1 / 3, x), 1e-6), (lumerad.k23(x), special.kv(2 / 3, x), 1e-6),
                                (lumerad.airy(x[1:6]), ai, 3e-6), (lumerad.airy_prime(x[1:6]), aip, 3e-6),
                                (lumerad.s(x), s_ref, 1e-6), (lumerad.jj(5, K), (special.jv(2, a) - special.jv(3, a)) ** 2, 1e-7)]:
            np.testing.assert_allclose(got, want, rtol=rtol)

    def test_shapes_and_broadcasting(self):
        e = np.geomspace(10, 1e5, 12).reshape(3, 4)
        self.assertEqual(lumerad.synchrotron_spectrum(e, beam_energy_gev=3, current_a=0.3, field_t=1.4).shape, (3, 4))
        self.assertEqual(lumerad.synchrotron_spectrum(e, beam_energy_gev=3, current_a=0.3, field_t=1.4,
                                                      quantity="sigma_pi").shape, (2, 3, 4))
        self.assertIsInstance(lumerad.k13(1.0), float)
        self.assertEqual(lumerad.bessel_j([0, 1, 2], 1.0).shape, (3,))
        self.assertEqual(len(lumerad.s(np.full(5000, 0.5))), 5000)  # past the window's 1001 points


class Installed(unittest.TestCase):
    def test_imports_from_an_installed_tree(self):
        build = os.environ["LUMERAD_BUILD_DIR"]
        with tempfile.TemporaryDirectory() as tmp:
            prefix = os.path.join(tmp, "prefix")
            subprocess.run(["cmake", "--install", build, "--prefix", prefix], check=True, capture_output=True)
            env = dict(os.environ, PYTHONPATH=os.path.join(prefix, "lib", "python3", "dist-packages"))
            code = ("import lumerad; r = lumerad.bend(catalogue='c.sqlite', beam='Diamond', source='Diamond dipole 1.4 T');"
                    "print(lumerad.__file__); print(dict(r.inputs)['data']); print(r['Ephcrit'].text)")
            out = subprocess.run([sys.executable, "-c", code], cwd=tmp, env=env, check=True, capture_output=True,
                                 text=True).stdout.split("\n")
            self.assertTrue(out[0].startswith(prefix), out[0])
            self.assertEqual(out[1], os.path.join(prefix, "share", "lumerad", "DATA.TXT"))
            self.assertEqual(out[2], "8.379")  # 665 * 3^2 * 1.4 eV


if __name__ == "__main__":
    unittest.main()
