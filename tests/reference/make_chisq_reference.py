#!/usr/bin/python3
"""Reference values of the noncentral chi-square distribution at 40 digits (mpmath).

Why the values are exact: the distribution function is the Poisson mixture
    P(X <= x) = sum_j e^(-m) m^j / j! * P(a + j, y),   y = x/2, a = Df/2, m = lambda/2,
(Abramowitz and Stegun 26.4.25) and its upper tail the same mixture of Q(a + j, y); the
density mixes the central densities y^(b-1) e^(-y) / (2 Gamma(b)), b = a + j. Every term is
evaluated here on its own by mpmath's regularized gammainc at 40 significant digits (each tail
directly, never 1 minus the other), the sum runs outward from the Poisson mode until the terms
fall and the bound term*r/(1 - r) on the rest (the terms are log-concave in j) is below 1e-45 of
the sum. Inverses (and the golden rows) evaluate the same mixture with gammainc at one end of
the sum and the adding recurrences of P or Q to the other terms, checked against the
term-by-term sum to 1e-30 first. Inverses are solved on the logarithm of the tail in question with mpmath's bracketed
Illinois solver (or the secant method from a nearby start for the golden rows) to 30 digits,
and checked by evaluating the tail at the root. Values are written to 20 significant digits.

Usage: make_chisq_reference.py            writes tests/reference/chisq_reference.csv
       make_chisq_reference.py golden     writes tests/reference/chisq_golden_reference.csv
                                          for the chi-square rows of tests/golden/golden_outputs.csv
"""
import csv
import os
import sys

from mpmath import mp, mpf, gammainc, exp, log, loggamma, inf, floor, findroot, sqrt

mp.dps = 40
HERE = os.path.dirname(os.path.abspath(__file__))
SMALLEST = mpf("1e-300")
MAX_LAMBDA = 5000


def poisson(j, m):
    if m == 0:
        return mpf(1) if j == 0 else mpf(0)
    return exp(-m + j * log(m) - loggamma(j + 1))


def central(kind, b, y):
    if kind == "lower":
        return gammainc(b, 0, y, regularized=True)
    if kind == "upper":
        return gammainc(b, y, inf, regularized=True)
    return exp((b - 1) * log(y) - y - loggamma(b)) / 2


def mixture(kind, x, df, lam):
    """kind: lower, upper or pdf."""
    x, lam = mpf(x), mpf(lam)
    if x == 0:
        return {"lower": mpf(0), "upper": mpf(1), "pdf": None}[kind]
    y, a, m = x / 2, mpf(df) / 2, lam / 2
    term = lambda j: poisson(j, m) * central(kind, a + j, y)
    j0 = int(floor(m))
    total = term(j0)
    for direction in (1, -1):
        previous = total if direction == 1 else term(j0)
        j = j0 + direction
        while j >= 0:
            t = term(j)
            total += t
            if t == 0 or (t < previous and t * (t / previous) / (1 - t / previous) < mpf("1e-45") * total):
                break
            previous = t
            j += direction
            if m == 0:
                break
    return total


def mixture_by_recurrence(kind, x, df, lam):
    """The same tail, with P or Q evaluated by gammainc at one end of the sum only and carried to
    the other terms by P(b - 1, y) = P(b, y) + d(b - 1) or Q(b + 1, y) = Q(b, y) + d(b),
    d(b) = y^b e^(-y) / Gamma(b + 1) (Abramowitz and Stegun 6.5.21), which only add and so keep
    all 40 digits; the end is where the Poisson weights beyond it sum to below 1e-45 of the
    weight at the mode. Used for the many golden rows; checked against mixture() first."""
    x, lam = mpf(x), mpf(lam)
    if kind == "pdf" or x == 0 or lam == 0:
        return mixture(kind, x, df, lam)
    y, a, m = x / 2, mpf(df) / 2, lam / 2
    j0 = int(floor(m))
    tiny = mpf("1e-45")
    step = 1 if kind == "lower" else -1
    end, ratio = j0, mpf(1)
    while end + step >= 0:
        following = ratio * (m / (end + 1) if step == 1 else end / m)
        rest = following / (1 - (m / (end + 2) if step == 1 else (end - 1) / m))
        if rest < tiny:
            break
        ratio, end = following, end + step
    b = a + end
    tail = central(kind, b, y)
    d = exp(b * log(y) - y - loggamma(b + 1))
    weight = poisson(end, m)
    total = previous = weight * tail
    j = end
    while True:
        if kind == "lower":
            if j == 0:
                break
            d = d * (a + j) / y
            tail, weight, j = tail + d, weight * j / m, j - 1
        else:
            tail, weight, j = tail + d, weight * m / (j + 1), j + 1
            d = d * y / (a + j)
        t = weight * tail
        total += t
        if t < previous and t * (t / previous) / (1 - t / previous) < tiny * total:
            break
        previous = t
    return total


FAST = False


def log_tail(kind, x, df, lam):
    return log((mixture_by_recurrence if FAST else mixture)(kind, x, df, lam))


ROOT_TOLERANCE = mpf("1e-60")  # on the squared residual: |ln(tail/target)| below 1e-30


def checked(f, root):
    if not abs(f(root)) < mpf("1e-25"):
        raise RuntimeError("root not accurate")
    return root


def solve_bracketed(f, lo, hi):
    root = findroot(f, (mpf(lo), mpf(hi)), solver="illinois", tol=ROOT_TOLERANCE, maxsteps=200,
                    verify=False)
    return checked(f, root)


def percentage_point(kind, p, df, lam):
    """x with tail(kind, x) = p, solved in u = ln x."""
    target = log(mpf(p))
    rising = kind == "lower"
    f = lambda u: log_tail(kind, exp(u), df, lam) - target
    u = log(mpf(df) + lam)
    fu = f(u)
    # Walk towards the root until the sign changes.
    towards_smaller = (fu > 0) == rising
    step = mpf(1) if towards_smaller else mpf("0.25")
    for _ in range(400):
        v = u - step if towards_smaller else u + step
        fv = f(v)
        if (fv > 0) != (fu > 0):
            lo, hi = (v, u) if v < u else (u, v)
            return exp(solve_bracketed(f, lo, hi))
        u, fu = v, fv
        # Far above the mean the mixture's terms peak some sqrt(lambda x)/2 indices out, so x
        # grows in small steps there; below it the steps may double freely.
        step = min(step * 2, mpf(8) if towards_smaller else mpf("0.25"))
    raise RuntimeError("no bracket for percentage point")


def noncentrality(kind, x, df, p):
    """lambda with tail(kind, x, lambda) = p, or None when no lambda in 0..5000 gives it."""
    target = log(mpf(p))
    f = lambda lam: log_tail(kind, x, df, lam) - target
    f0 = f(mpf(0))
    fmax = f(mpf(MAX_LAMBDA))
    if (f0 > 0) == (fmax > 0):
        return None
    # Narrow the bracket on a coarse grid first: each evaluation far out is costly.
    lo, flo, hi = mpf(0), f0, mpf(MAX_LAMBDA)
    guess = max(mpf(x) - df, mpf(1))
    for lam in [guess / 4, guess / 2, guess, guess * 2, guess * 4]:
        if lo < lam < hi:
            fl = f(lam)
            if (fl > 0) == (flo > 0):
                lo, flo = lam, fl
            else:
                hi = lam
    return solve_bracketed(f, lo, hi)


def noncentrality_near(kind, x, df, p, start):
    """noncentrality() by the secant method from a nearby start, bracketed should that fail."""
    if start > 1e-3:
        f = lambda lam: log_tail(kind, x, df, lam) - log(mpf(p))
        try:
            return secant_from(f, start)
        except (RuntimeError, ValueError, ZeroDivisionError):
            pass
    return noncentrality(kind, x, df, p)


def interval(x, df, confidence, lower_start=0.0, upper_start=0.0):
    alpha = (1 - mpf(confidence)) / 2
    upper_limit = mpf(0)
    lower_limit = mpf(0)
    if mixture("lower", x, df, 0) > alpha:
        upper_limit = noncentrality_near("lower", x, df, alpha, upper_start)
    if mixture("upper", x, df, 0) < alpha:
        lower_limit = noncentrality_near("upper", x, df, alpha, lower_start)
    return lower_limit, upper_limit


def fmt(v):
    return mp.nstr(v, 20, min_fixed=-5, max_fixed=5).replace("e+", "e")


def row(out, quantity, region, x, df, lam, p, value):
    print(quantity, region, x, df, lam, p, file=sys.stderr, flush=True)
    if value is None:
        return
    if quantity not in ("interval_lower", "interval_upper", "noncentrality",
                        "noncentrality_upper") and not (value >= SMALLEST):
        return  # below the double range: left out
    out.append(["chisq", quantity, region, repr(float(x)), str(df), "0", repr(float(lam)),
                repr(float(p)), fmt(value)])


def probabilities(out, region, points):
    for x, df, lam in points:
        row(out, "cdf", region, x, df, lam, 0, mixture("lower", x, df, lam))
        row(out, "upper", region, x, df, lam, 0, mixture("upper", x, df, lam))
        row(out, "pdf", region, x, df, lam, 0, mixture("pdf", x, df, lam))


def spread_points(df, lam, zs):
    mean, sd = df + lam, (2.0 * df + 4.0 * lam) ** 0.5
    return [(float(max(mean + z * sd, 1e-3)), df, lam) for z in zs]


def main_table():
    out = []
    body = []
    for df in (1, 2, 3, 5, 10, 50, 187):
        for lam in (0.0, 0.5, 3.0, 20.0, 100.0):
            body += spread_points(df, lam, (-1.5, -0.5, 0.0, 0.7, 2.0))
    probabilities(out, "body", body)
    lower = [(x, df, lam) for df in (1, 4, 10, 60) for lam in (0.0, 10.0, 321.5, 5000.0)
             for x in (1e-3, 1e-12, 1e-40, 1e-120)]
    lower += [(1e-12, 4, 0.0), (0.5, 200, 0.0), (20.0, 400, 50.0)]
    probabilities(out, "lower tail", lower)
    upper = [(x, df, lam) for df in (1, 3, 10, 100) for lam in (0.0, 10.0, 321.5)
             for x in (60.0, 300.0, 1000.0, 1300.0)]
    upper += [(1000.0, 10, 321.5), (23.928126976934827, 1, 0.0), (13000.0, 1, 5000.0),
              (9000.0, 5, 5000.0)]
    probabilities(out, "upper tail", upper)
    large_df = []
    for df in (1000, 10000, 100000):
        for lam in (0.0, 40.0, 2500.0):
            large_df += spread_points(df, lam, (-30.0, -8.0, -1.0, 0.0, 1.0, 8.0, 30.0))
    probabilities(out, "large df", large_df)
    large_lam = []
    for lam in (1000.0, 2500.0, 5000.0):
        for df in (1, 7, 300):
            large_lam += spread_points(df, lam, (-25.0, -6.0, -1.0, 0.0, 1.0, 6.0, 25.0))
    probabilities(out, "large noncentrality", large_lam)
    switch = []
    for lam in (920.9, 921.03, 921.1):
        switch += spread_points(10, lam, (-3.0, 0.0, 3.0))
    for df in (199, 200, 201, 202):
        switch += spread_points(df, 30.0, (-4.0, 0.0, 4.0))
    switch += [(100.0, 10, 921.0), (100.0, 10, 921.1)]
    probabilities(out, "switch", switch)

    # Inverses, each solved with some 20 evaluations of the mixture.
    use_recurrence()
    for kind, quantity in (("lower", "value"), ("upper", "value_upper")):
        for p, df, lam, region in ((0.9999, 3, 0.0, "body"), (0.3, 10, 20.0, "body"),
                                   (1e-4, 1, 0.0, "lower tail"), (1e-40, 10, 5.0, "lower tail"),
                                   (1e-300, 60, 0.0, "lower tail"), (5e-8, 100, 0.0, "upper tail"),
                                   (1e-300, 1, 0.0, "upper tail"), (1e-20, 50, 321.5, "upper tail"),
                                   (0.02, 100000, 2500.0, "large df"),
                                   (1e-12, 10000, 0.0, "large df"),
                                   (0.6, 5, 5000.0, "large noncentrality"),
                                   (1e-100, 5, 5000.0, "large noncentrality"),
                                   (0.5, 10, 921.03, "switch")):
            row(out, quantity, region, p, df, lam, p, percentage_point(kind, p, df, lam))
    for kind, quantity in (("lower", "noncentrality"), ("upper", "noncentrality_upper")):
        for x, df, p, region in ((20.241, 5, 0.409685, "body"), (50.0, 3, 0.02, "body"),
                                 (500.0, 10, 1e-30, "lower tail" if kind == "lower" else "upper tail"),
                                 (300.0, 10, 5e-8, "lower tail" if kind == "lower" else "upper tail"),
                                 (1000.0, 10, 7.2202025198611077e-42, "upper tail"),
                                 (2000.0, 100, 0.3, "large noncentrality"),
                                 (6000.0, 50, 0.9, "large noncentrality"),
                                 (101000.0, 100000, 0.2, "large df")):
            row(out, quantity, region, x, df, 0, p, noncentrality(kind, x, df, p))
    for x, df, c, region in ((128.14057915560036, 187, 0.9999, "body"), (20.241, 6, 0.9999, "body"),
                             (517.281, 327, 0.99, "body"), (9.584, 1, 0.9, "body"),
                             (1113.165, 306, 0.95, "large noncentrality"),
                             (300.0, 3, 0.9999, "upper tail"), (5.0, 1, 0.8, "lower tail")):
        lo, hi = interval(x, df, c)
        row(out, "interval_lower", region, x, df, 0, c, lo)
        row(out, "interval_upper", region, x, df, 0, c, hi)
    return out


def secant_from(f, start):
    start = mpf(start)
    root = findroot(f, (start, start * (1 + mpf("1e-6")) + mpf("1e-12")), solver="secant",
                    tol=ROOT_TOLERANCE, maxsteps=30, verify=False)
    return checked(f, root)


def use_recurrence():
    """Switches the solvers to mixture_by_recurrence after checking it against mixture()."""
    global FAST
    for kind, x, df, lam in (("lower", 100.0, 10, 921.0), ("upper", 1000.0, 10, 321.5),
                             ("lower", 563.295, 3, 229.79), ("upper", 306.244, 1, 1444.585),
                             ("upper", 51500.0, 100000, 40.0), ("lower", 1e-40, 10, 5.0)):
        exact, fast = mixture(kind, x, df, lam), mixture_by_recurrence(kind, x, df, lam)
        if not abs(fast / exact - 1) < mpf("1e-30"):
            raise RuntimeError("recurrence disagrees with the term-by-term mixture")
    FAST = True


def golden_table():
    use_recurrence()
    out = []
    with open(os.path.join(HERE, "..", "golden", "golden_outputs.csv")) as handle:
        for r in csv.DictReader(handle):
            if r["distribution"] != "chisq" or r["status"] != "ok":
                continue
            q, df = r["quantity"], int(r["df1"])
            try:
                if q == "cdf":
                    x, lam = float(r["value"]), float(r["noncentrality"])
                    row(out, "cdf", "golden", x, df, lam, 0, mixture("lower", x, df, lam))
                elif q == "value":
                    p, lam = float(r["cump"]), float(r["noncentrality"])
                    kind, target = ("upper", 1 - mpf(p)) if p > 0.5 else ("lower", mpf(p))
                    f = lambda u: log_tail(kind, exp(u), df, lam) - log(target)
                    try:
                        value = exp(secant_from(f, log(mpf(float(r["result"])))))
                    except (RuntimeError, ValueError, ZeroDivisionError):
                        value = percentage_point(kind, target, df, lam)
                    row(out, "value", "golden", p, df, lam, p, value)
                elif q == "noncentrality":
                    x, p = float(r["value"]), float(r["cump"])
                    kind, target = ("upper", 1 - mpf(p)) if p > 0.5 else ("lower", mpf(p))
                    value = noncentrality_near(kind, x, df, target, float(r["result"]))
                    row(out, "noncentrality", "golden", x, df, 0, p, value)
                elif q == "interval":
                    x, c = float(r["value"]), float(r["confidence"])
                    lo, hi = interval(x, df, c, float(r["lower"]), float(r["upper"]))
                    row(out, "interval_lower", "golden", x, df, 0, c, lo)
                    row(out, "interval_upper", "golden", x, df, 0, c, hi)
            except (RuntimeError, ValueError, ZeroDivisionError) as error:
                # a row that cannot be solved is reported, not guessed
                print("skipped", r, error, file=sys.stderr)
            sys.stdout.flush()
    return out


def write(path, rows, note):
    with open(path, "w", newline="") as handle:
        handle.write("# " + note + "\n")
        handle.write("family,quantity,region,x,df1,df2,noncentrality,probability,expected\n")
        for r in rows:
            handle.write(",".join(r) + "\n")


if __name__ == "__main__":
    if len(sys.argv) > 1 and sys.argv[1] == "golden":
        write(os.path.join(HERE, "chisq_golden_reference.csv"), golden_table(),
              "noncentral chi-square at the golden rows, mpmath 40 digits, make_chisq_reference.py golden")
    else:
        write(os.path.join(HERE, "chisq_reference.csv"), main_table(),
              "noncentral chi-square, mpmath 40 digits, make_chisq_reference.py")
