"""Speed of the Python module (not a test): the vectorised bending-magnet spectrum in ns per
point at 10^3 and 10^6 points with the memory it takes per point, and the time of one small call.

    cmake --build build --target python_bench
    (or PYTHONPATH=build/python /usr/bin/python3 bench/python/spectrum_bench.py)"""
import time, timeit, tracemalloc
import numpy as np
import lumerad

BEAM = dict(beam_energy_gev=3.0, current_a=0.3, field_t=1.4)


def best(stmt, number, repeat=5):
    # processor time of this process: on a shared machine the wall clock counts the others' work
    return min(timeit.repeat(stmt, number=number, repeat=repeat, timer=time.process_time)) / number


for quantity in ("angular_flux", "angular_density"):
    for n in (10**3, 10**6):
        e = np.geomspace(10.0, 1e5, n)
        t = best(lambda: lumerad.synchrotron_spectrum(e, quantity=quantity, **BEAM), max(1, 10**6 // n))
        tracemalloc.start()
        lumerad.synchrotron_spectrum(e, quantity=quantity, **BEAM)
        peak = tracemalloc.get_traced_memory()[1]
        tracemalloc.stop()
        print(f"synchrotron_spectrum {quantity:16s} {n:>8d} points: {t / n * 1e9:7.2f} ns/point, "
              f"{peak / n:6.1f} bytes/point")

for name, call in [("k13(1.0)", lambda: lumerad.k13(1.0)),
                   ("critical_energy_ev(3.0, 1.4)", lambda: lumerad.critical_energy_ev(3.0, 1.4)),
                   ("synchrotron_spectrum(1000.0, ...)", lambda: lumerad.synchrotron_spectrum(1000.0, **BEAM))]:
    print(f"one call of {name:34s} {best(call, 20000) * 1e6:6.2f} us")
