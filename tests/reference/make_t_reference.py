#!/usr/bin/python3
"""High-precision reference values for the noncentral t distribution.

Why the values are exact: with T = (Z + delta)/U, Z standard normal and U = sqrt(chi2_nu/nu)
independent, conditioning on U gives the exact identities

    P(T <= t) = E[Phi(t U - delta)],   P(T > t) = E[Phi(delta - t U)],
    f(t)      = E[U phi(t U - delta)],

one-dimensional integrals of positive functions against the density of U,
2 (nu/2)^(nu/2) / Gamma(nu/2) u^(nu-1) exp(-nu u^2 / 2). They are evaluated here by mpmath's
Gauss-Legendre quadrature at 40 significant digits, with break points every half width of the
integrand's peak (located on a grid of its logarithm and refined by golden section) out to
where it has fallen by e^-120, and where the normal factor changes (|t u - delta| <= 10), so
that no feature lies inside a single subinterval unseen. No cancellation occurs (every integrand is positive), so the working
precision is the precision of the result; each value is checked against a second quadrature
on every subinterval halved (agreement to 1e-14, the finer, about the square of that, returned). (mpmath's tanh-sinh rule was found 3.6e-14
off on such narrow peaks at this precision; Gauss-Legendre agrees with itself at 60 digits.)
Inverses (percentage points, noncentralities, confidence limits) are solved on ln P in the
target's tail with a bracketing root finder to 30 digits.

Usage: make_t_reference.py                 -> tests/reference/t_reference.csv
       make_t_reference.py --golden SECONDS -> tests/reference/t_golden_reference.csv
       (the t rows of tests/golden/golden_outputs.csv, as many as fit in SECONDS)
"""
import csv
import os
import sys
import time

from mpmath import mp, mpf, quad, exp, log, loggamma, ncdf, npdf, inf, sqrt, findroot, linspace

mp.dps = 40
AGREEMENT = "1e-14"
HERE = os.path.dirname(os.path.abspath(__file__))


def log_chi_scale_density(u, nu):
    return log(2) + (nu / 2) * log(nu / 2) - loggamma(nu / 2) + (nu - 1) * log(u) - nu * u * u / 2


def factor(kind, t, d):
    if kind == "cdf":
        return lambda u: ncdf(t * u - d)
    if kind == "upper":
        return lambda u: ncdf(d - t * u)
    return lambda u: u * npdf(t * u - d)


def break_points(kind, t, nu, d):
    """Break points every peak width from the integrand's peak out to where it has fallen by
    e^-120, then geometrically further, plus the transition of the normal factor."""
    fac = factor(kind, t, d)

    def logg(u):
        value = fac(u)
        return log_chi_scale_density(u, nu) + log(value) if u > 0 and value > 0 else -inf

    grid = sorted(set([mpf(10) ** (mpf(k) / 2) for k in range(-2 * 160, 2 * 3)] +
                      list(linspace(mpf("0.001"), mpf(4), 400))))
    values = [logg(u) for u in grid]
    k = max(range(len(grid)), key=lambda i: values[i])
    # Golden-section refinement of the peak between the grid neighbours (log-concave).
    lo, hi = grid[max(k - 1, 0)] if k > 0 else mpf(0), grid[min(k + 1, len(grid) - 1)]
    golden = (sqrt(5) - 1) / 2
    for _ in range(200):
        x1, x2 = hi - golden * (hi - lo), lo + golden * (hi - lo)
        if logg(x1) < logg(x2):
            lo = x1
        else:
            hi = x2
    peak = (lo + hi) / 2
    top = logg(peak)
    # The width where the integrand has fallen by 1/2 on either side, by bisection.
    def fallen(direction, distance):
        if direction < 0 and peak - distance <= 0:
            return True
        return logg(peak + direction * distance) < top - mpf(0.5)

    def reach(direction):
        # A bracket [inner, outer] of the distance at which it has fallen by 1/2, found on a
        # geometric scale (the peak can be 1e-100 wide), then bisected.
        outer = peak / 2 if peak > 0 else mpf(1)
        while fallen(direction, outer) and outer > mpf(10) ** -300:
            outer /= 2
        inner = outer
        outer *= 2
        while not fallen(direction, outer) and outer < mpf(10) ** 300:
            inner, outer = outer, outer * 2
        if direction < 0 and peak - outer <= 0 and not fallen(direction, inner):
            return peak
        for _ in range(200):
            middle = (inner + outer) / 2
            if fallen(direction, middle):
                outer = middle
            else:
                inner = middle
        return outer

    # Beyond the ends the integrand is below e^-120 of its peak, its mass below 1e-45 of the
    # integral: the interval of integration stops there (or at u = 0).
    points = set([peak])
    ends = []
    for direction in (-1, 1):
        w = reach(direction) / 2
        u = peak
        step = w
        end = mpf(0)
        for _ in range(4000):
            u = u + direction * step
            if u <= 0:
                end = mpf(0)
                break
            points.add(u)
            end = u
            if logg(u) < top - 120:
                break
            if abs(u - peak) > 40 * w:
                step *= mpf("1.3")
        points.add(end)
        ends.append(end)
    if t != 0:
        for y in range(-10, 11):
            u = (d + y) / t
            if ends[0] < u < ends[1]:
                points.add(u)
    return sorted(points)


def integral(kind, t, nu, d):
    t, nu, d = mpf(t), mpf(nu), mpf(d)
    if t == 0 and kind != "pdf":
        return ncdf(-d) if kind == "cdf" else ncdf(d)
    fac = factor(kind, t, d)
    g = lambda u: exp(log_chi_scale_density(u, nu)) * fac(u) if u > 0 else mpf(0)
    points = break_points(kind, t, nu, d)
    value = quad(g, points, method="gauss-legendre")
    # The same integral on every subinterval halved, which is returned: the coarser must agree
    # with it to 1e-14, and each halving about squares the error (the next halving moved the
    # value by 4e-26 where the coarser had differed by 8e-19, at t -1, Df 1000, delta 23).
    halves = sorted(set(points + [(a + b) / 2 for a, b in zip(points[:-1], points[1:])]))
    check = quad(g, halves, method="gauss-legendre")
    if value != 0 and abs(check / value - 1) > mpf(AGREEMENT):
        raise RuntimeError("quadrature disagreement %s at %s %s %s %s"
                           % (check / value - 1, kind, t, nu, d))
    return check


def tail(lower, t, nu, d):
    return integral("cdf" if lower else "upper", t, nu, d)


def solve(g, start, step):
    """Root of the increasing function g, bracketed by doubling steps from start."""
    a = mpf(start)
    ga = g(a)
    s = mpf(step)
    for _ in range(2000):
        b = a + s if ga < 0 else a - s
        gb = g(b)
        if (ga < 0) != (gb < 0):
            lo, hi = (a, b) if a < b else (b, a)
            return findroot(g, (lo, hi), solver="anderson", tol=mpf(10) ** -60, maxsteps=400)
        a, ga = b, gb
        s *= 2
    raise RuntimeError("no bracket")


def smaller_tail(lower, p):
    p = mpf(p)
    return (lower, p) if p <= mpf(1) / 2 else (not lower, 1 - p)


def value(lower, p, nu, d):
    lower, q = smaller_tail(lower, p)
    sign = 1 if lower else -1
    return solve(lambda x: sign * (log(tail(lower, x, nu, d)) - log(q)), d, 1)


def noncentrality(lower, x, nu, p):
    lower, q = smaller_tail(lower, p)
    sign = 1 if lower else -1
    return solve(lambda d: -sign * (log(tail(lower, x, nu, d)) - log(q)), x, 1)


def interval(x, nu, level):
    alpha2 = (1 - mpf(level)) / 2
    return noncentrality(False, x, nu, alpha2), noncentrality(True, x, nu, alpha2)


def fmt(v):
    return mp.nstr(v, 20, min_fixed=0, max_fixed=0)


def row(quantity, region, x, df, d, probability, expected):
    if expected == 0 or abs(expected) < mpf("2.3e-308"):
        return None
    return ["t", quantity, region, repr(float(x)), str(df), "0", repr(float(d)),
            repr(float(probability)), fmt(expected)]


PROBABILITY_POINTS = [
    # region, t, df, delta
    *[("body", t, df, d) for t in (-2.0, -0.5, 0.5, 2.0, 3.0) for df in (1, 3, 10, 30)
      for d in (-1.0, 0.0, 1.0, 2.5)],
    *[("lower tail", t, df, d) for (t, df, d) in (
        (-10.0, 8, 8.26915191978), (-1.0, 1000, 23.0), (-3.0, 10, 5.0), (-5.0, 5, 3.0),
        (-20.0, 2, 10.0), (-9.16, 72, 5.62), (-1e10, 1, 0.0), (-1e100, 1, 0.0),
        (-1e100, 3, 2.0), (-6.0, 20, 20.0), (-2.0, 50, 37.0), (-40.0, 30, 0.0),
        (-150.0, 1, 50.0), (-3.0, 1, 35.0), (-10.0, 300, 20.0))],
    *[("upper tail", t, df, d) for (t, df, d) in (
        (50.0, 10, 40.0), (10.0, 8, -8.26915191978), (1.0, 1000, -23.0), (3.0, 10, -5.0),
        (5.0, 5, -3.0), (20.0, 2, -10.0), (1e10, 1, 0.0), (1e100, 1, 0.0), (40.0, 30, 0.0),
        (6.0, 20, -20.0), (2.0, 50, -37.0), (3.0, 1, -35.0), (45.0, 3, 2.0), (3e5, 2, 500.0),
        (664.76100186204678, 1, -1.0))],
    *[("large df", t, df, d) for (t, df, d) in (
        (2.0, 100000, 1.0), (-3.7191543826413169, 100000, 0.0), (10.0, 100000, 0.0),
        (-10.0, 100000, 0.0), (30.0, 100000, 3.0), (-1.0, 10000, 20.0), (8.0, 10000, 0.0),
        (4.0, 100000, 0.0), (-4.0, 100000, 0.0), (-8.0, 100000, 0.0), (0.5, 50000, 2.0))],
    *[("large noncentrality", t, df, d) for (t, df, d) in (
        (5000.0, 100, 5000.0), (4900.0, 100000, 5000.0), (5100.0, 1000, 5000.0),
        (1000.0, 10, 1000.0), (800.0, 10, 1000.0), (1300.0, 10, 1000.0), (-100.0, 5, -100.0),
        (90.0, 1000, 100.0), (0.1, 3, 40.0), (4500.0, 1, 5000.0), (-1.0, 20000, 5000.0))],
    *[("switch points", t, df, d) for t in (-1e-9, 0.0, 1e-9) for df in (1, 999, 1000, 1001)
      for d in (-3.0, 2.0)],
    *[("switch points", t, df, 0.0) for t in (-8.0, -4.0, -2.0, 2.0, 4.0, 8.0)
      for df in (999, 1001, 100000)],
]

INVERSE_POINTS = [
    # quantity, region, first argument, df, delta or probability
    ("value", "body", 0.0001, 10, 1.0), ("value", "body", 0.5, 10, 1.0),
    ("value", "body", 0.9999, 10, 1.0), ("value", "large df", 0.9999, 100000, 1.0),
    ("value", "body", 0.02, 3, -10.0), ("value", "body", 0.9999, 1, 50.0),
    ("value", "lower tail", 1e-300, 10, 0.0), ("value", "lower tail", 1e-20, 5, 3.0),
    ("value_upper", "upper tail", 5e-8, 100, 0.0), ("value_upper", "upper tail", 1e-100, 30, 2.0),
    ("value_upper", "upper tail", 1e-12, 1, 0.0), ("value_upper", "body", 0.3, 12, -2.5),
    ("value_upper", "large noncentrality", 1e-10, 1000, 5000.0),
    ("noncentrality", "body", 2.0, 10, 0.05), ("noncentrality", "body", 2.0, 10, 0.95),
    ("noncentrality", "body", -1.0, 40, 0.00001), ("noncentrality", "large df", 3.0, 100000, 0.3),
    ("noncentrality", "lower tail", 2.0, 10, 1e-200),
    ("noncentrality_upper", "upper tail", 5.0, 100, 5e-8),
    ("noncentrality_upper", "upper tail", -2.0, 8, 1e-30),
    ("noncentrality_upper", "large noncentrality", 4000.0, 1000, 0.01),
    ("interval", "body", 2.0, 40, 0.9999), ("interval", "body", 3.0, 20, 0.95),
    ("interval", "body", 1.0, 5, 0.99), ("interval", "large df", 10.0, 100000, 0.9999),
    ("interval", "body", 0.5, 1000, 0.8), ("interval", "body", -6.1952, 6, 0.9999),
]


def probability_rows():
    for region, t, df, d in PROBABILITY_POINTS:
        for quantity in ("cdf", "upper", "pdf"):
            yield row(quantity, region, t, df, d, 0, integral(quantity, t, df, d))


def inverse_rows():
    for quantity, region, a, df, b in INVERSE_POINTS:
        if quantity in ("value", "value_upper"):
            yield row(quantity, region, a, df, b, a, value(quantity == "value", a, df, b))
        elif quantity in ("noncentrality", "noncentrality_upper"):
            yield row(quantity, region, a, df, 0, b,
                      noncentrality(quantity == "noncentrality", a, df, b))
        else:
            low, high = interval(a, df, b)
            yield row("interval_lower", region, a, df, 0, b, low)
            yield row("interval_upper", region, a, df, 0, b, high)


def golden_rows(seconds):
    deadline = time.time() + seconds
    path = os.path.join(HERE, "..", "golden", "golden_outputs.csv")
    with open(path) as f:
        for r in csv.DictReader(f):
            if r["distribution"] != "t" or r["status"] != "ok" or time.time() > deadline:
                continue
            df = int(r["df1"])
            q = r["quantity"]
            try:
                if q == "cdf":
                    t, d = float(r["value"]), float(r["noncentrality"])
                    yield row("cdf", "golden", t, df, d, 0, integral("cdf", t, df, d))
                elif q == "value":
                    p, d = float(r["cump"]), float(r["noncentrality"])
                    yield row("value", "golden", p, df, d, p, value(True, p, df, d))
                elif q == "noncentrality":
                    x, p = float(r["value"]), float(r["cump"])
                    yield row("noncentrality", "golden", x, df, 0, p, noncentrality(True, x, df, p))
                elif q == "interval":
                    x, level = float(r["value"]), float(r["confidence"])
                    low, high = interval(x, df, level)
                    yield row("interval_lower", "golden", x, df, 0, level, low)
                    yield row("interval_upper", "golden", x, df, 0, level, high)
            except (RuntimeError, ValueError, ZeroDivisionError) as problem:
                print("skipped golden row", dict(r), problem, file=sys.stderr)


def write(path, rows):
    with open(path, "w", newline="") as f:
        f.write("# Noncentral t reference values by tests/reference/make_t_reference.py "
                "(mpmath, 40 digits)\n")
        out = csv.writer(f, lineterminator="\n")
        out.writerow(["family", "quantity", "region", "x", "df1", "df2", "noncentrality",
                      "probability", "expected"])
        for r in rows:
            if r is not None:
                out.writerow(r)
                f.flush()


if __name__ == "__main__":
    if len(sys.argv) == 3 and sys.argv[1] == "--golden":
        write(os.path.join(HERE, "t_golden_reference.csv"), golden_rows(float(sys.argv[2])))
    else:
        def everything():
            yield from probability_rows()
            yield from inverse_rows()
        write(os.path.join(HERE, "t_reference.csv"), everything())
