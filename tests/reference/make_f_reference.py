#!/usr/bin/python3
"""High-precision reference values of the noncentral F distribution for the accuracy tests.

Writes tests/reference/f_reference.csv (the committed table) or, with --golden, the reference
for the F rows of tests/golden/golden_outputs.csv into tests/reference/f_golden_reference.csv
(region "golden"). Columns: see tests/support/reference_table.h.

Why the values are exact (to far more than the 20 digits written): everything is computed
with mpmath at 40 significant digits (the mixture's recurrence at 60), from the definitions:

  P(F' <= x) = sum_j e^(-c) c^j / j! * I_y(a + j, b),   P(F' > x) = the same sum of
  1 - I_y(a + j, b) = I_(1-y)(b, a + j),  a = df1/2, b = df2/2, c = lambda/2,
  y = df1 x / (df1 x + df2) and 1 - y = df2 / (df1 x + df2), exact rationals of the double x.

* The regularized incomplete beta function at the starting term is the hypergeometric
  series I_y(a, b) = y^a (1-y)^b / (a B(a, b)) * sum_k (a+b)_k / (a+1)_k y^k, whose terms are
  all positive (no cancellation), summed until a rigorous bound on the rest (the term ratios
  fall towards y, or are at most y when b <= 1) is below 1e-45 of the sum; it is used for the
  tail on the side where it converges fast, y < (a+1)/(a+b+2) for I_y(a, b), otherwise for
  I_(1-y)(b, a), the other tail then being 1 minus a number below 0.93 (no loss at 40 digits).
  B(a, b) comes from mpmath's loggamma. (mpmath's own betainc fails for parameters in the
  thousands, so the series is written out here; the self-check below compares the two where
  betainc works.)
* The other terms come from the exact identity I_y(A + 1, b) = I_y(A, b) - y^A (1-y)^b /
  (A B(A, b)) at 60 digits, outwards from the largest Poisson weight; an upward subtraction
  loses digits only of terms smaller than the starting one, whose absolute error stays below
  1e-55 of the sum. Downwards the sum runs to j = 0; upwards until the rest, bounded by the
  falling Poisson weights times the last I (which falls in j) or times 1 (for the complement),
  is below 1e-45 of the sum.
* The density is the mixture of beta densities sum_j e^(-c) c^j/j! y^(a+j) (1-y)^b /
  (B(a+j, b) x), a log-concave series summed until the geometric bound on its rest is below
  1e-45 of the sum.
* Percentage points and noncentralities are roots of (log tail - log target), bracketed and
  then refined by the Illinois method to 1e-32 relative; the confidence limits solve
  P(F' <= x; lambda) = alpha (upper limit) and P(F' > x; lambda) = alpha (lower limit),
  alpha = (1 - confidence)/2 from the double confidence, exactly as the program forms it.

Values below the double range (1e-300 is the smallest probability checked) are left out.
"""
import csv
import math
import os
import sys

from mpmath import mp, mpf, exp, log, loggamma, betainc

mp.dps = 40
WORKING_DPS = 60
SERIES_STOP = mpf(10) ** -45
SMALLEST = mpf(10) ** -300
MAX_LAMBDA = 10000

HERE = os.path.dirname(os.path.abspath(__file__))


def log_beta(a, b):
    return loggamma(a) + loggamma(b) - loggamma(a + b)


def lower_series(y, oneminus, a, b):
    """I_y(a, b) by its positive hypergeometric series (any y < 1)."""
    prefactor = exp(a * log(y) + b * log(oneminus) - log_beta(a, b)) / a
    term = mpf(1)
    total = mpf(1)
    k = 0
    while True:
        ratio = y * (a + b + k) / (a + 1 + k)
        term *= ratio
        total += term
        k += 1
        bound_ratio = max(y * (a + b + k) / (a + 1 + k), y)
        if bound_ratio < 1 and term * bound_ratio / (1 - bound_ratio) < SERIES_STOP * total:
            return prefactor * total
        if k > 10 ** 7:
            raise RuntimeError("incomplete beta series did not converge")


def beta_tails(y, oneminus, a, b):
    """(I_y(a, b), 1 - I_y(a, b)), the smaller-series side computed directly."""
    if y < (a + 1) / (a + b + 2):
        lower = lower_series(y, oneminus, a, b)
        return lower, 1 - lower
    upper = lower_series(oneminus, y, b, a)
    return 1 - upper, upper


def beta_point(x, df1, df2):
    x = mpf(x)
    s = df1 * x
    return s / (s + df2), mpf(df2) / (s + df2)


def f_tail(x, df1, df2, lam, upper):
    """P(F' <= x) or P(F' > x) for x > 0."""
    with mp.workdps(WORKING_DPS):
        y, oneminus = beta_point(x, df1, df2)
        a, b, c = mpf(df1) / 2, mpf(df2) / 2, mpf(lam) / 2
        if c == 0:
            tails = beta_tails(y, oneminus, a, b)
            return +(tails[1] if upper else tails[0])
        m = int(math.floor(float(c)))
        start = beta_tails(y, oneminus, a + m, b)[1 if upper else 0]
        weight_m = exp(-c + m * log(c) - loggamma(m + 1))
        step_m = exp((a + m) * log(y) + b * log(oneminus) - log_beta(a + m, b)) / (a + m)
        sign = 1 if upper else -1  # I(A+1) = I(A) - d(A); the complement adds d(A)
        total = weight_m * start
        # upwards
        value, step, weight = start, step_m, weight_m
        j = m
        while True:
            A = a + j
            value += sign * step
            step *= y * (A + b) / (A + 1)
            j += 1
            weight *= c / j
            total += weight * value
            r = c / (j + 2)
            if r < 1:
                rest = weight * (c / (j + 1)) / (1 - r) * (1 if upper else max(value, 0))
                if rest < SERIES_STOP * total:
                    break
        # downwards to 0
        value, step, weight = start, step_m, weight_m
        for j in range(m - 1, -1, -1):
            A = a + j
            step *= (A + 1) / (y * (A + b))
            value -= sign * step
            weight *= (j + 1) / c
            total += weight * value
        return +total


def f_pdf(x, df1, df2, lam):
    with mp.workdps(WORKING_DPS):
        y, oneminus = beta_point(x, df1, df2)
        a, b, c = mpf(df1) / 2, mpf(df2) / 2, mpf(lam) / 2
        term = exp(-c + a * log(y) + b * log(oneminus) - log_beta(a, b)) / mpf(x)
        total = term
        j = 0
        while True:
            ratio = c / (j + 1) * y * (a + b + j) / (a + j)
            term *= ratio
            total += term
            j += 1
            next_ratio = c / (j + 1) * y * (a + b + j) / (a + j)
            if c == 0 or (next_ratio < 1 and term * next_ratio / (1 - next_ratio) < SERIES_STOP * total):
                return +total


def illinois(g, lo, hi, glo, ghi, relative=mpf(10) ** -32, iterations=400):
    """Root of a function with g(lo), g(hi) of opposite signs (Illinois regula falsi)."""
    side = 0
    for _ in range(iterations):
        x = (lo * ghi - hi * glo) / (ghi - glo)
        gx = g(x)
        if gx == 0 or abs(hi - lo) <= relative * abs(x):
            return x
        if (gx > 0) == (ghi > 0):
            hi, ghi = x, gx
            if side == -1:
                glo /= 2
            side = -1
        else:
            lo, glo = x, gx
            if side == 1:
                ghi /= 2
            side = 1
    if abs(hi - lo) <= mpf(10) ** -25 * abs(lo):
        return (lo + hi) / 2
    raise RuntimeError("root not found")


def solve_value(p, df1, df2, lam, upper):
    """The F value whose lower (or upper) tail is p, searched in ln x."""
    p = mpf(p)
    g = lambda u: log(f_tail(exp(u), df1, df2, lam, upper)) - log(p)
    sign = -1 if upper else 1  # g rises in u for the lower tail
    lo = hi = mpf(0)
    glo = ghi = g(lo)
    step = mpf(2)
    while sign * glo > 0:
        hi, ghi = lo, glo
        lo -= step
        glo = g(lo)
        step *= 2
        if lo < -2000:
            return None
    while sign * ghi < 0:
        lo, glo = hi, ghi
        hi += step
        ghi = g(hi)
        step *= 2
        if hi > 2000:
            return None
    return exp(illinois(g, lo, hi, glo, ghi, relative=mpf(10) ** -34))


def solve_lambda(x, df1, df2, p, upper):
    """The noncentrality whose lower (or upper) tail at x is p; 0 where none exists."""
    p = mpf(p)
    g = lambda lam: log(f_tail(x, df1, df2, lam, upper)) - log(p)
    sign = 1 if upper else -1  # g rises in lambda for the upper tail
    g0 = g(mpf(0))
    if sign * g0 >= 0:
        return mpf(0)
    lo, glo = mpf(0), g0
    hi = mpf(1)
    ghi = g(hi)
    while sign * ghi < 0:
        lo, glo = hi, ghi
        if hi >= MAX_LAMBDA:
            return None
        hi = min(hi * 2, mpf(MAX_LAMBDA))
        ghi = g(hi)
    return illinois(g, lo, hi, glo, ghi)


def alpha_of(confidence):
    return (1 - mpf(confidence)) / 2


class Table:
    def __init__(self):
        self.rows = []

    def add(self, quantity, region, expected, x=0.0, df1=0, df2=0, lam=0.0, p=0.0):
        if expected is None:
            return
        if expected != 0 and (abs(expected) < SMALLEST or abs(expected) > mpf(10) ** 300):
            return
        if quantity in ("cdf", "upper") and expected > 1 - mpf(10) ** -16:
            return
        self.rows.append(["f", quantity, region, repr(float(x)), str(df1), str(df2),
                          repr(float(lam)), repr(float(p)), mp.nstr(expected, 20)])
        sys.stdout.write(".")
        sys.stdout.flush()

    def probabilities(self, region, x, df1, df2, lam, pdf=True):
        self.add("cdf", region, f_tail(x, df1, df2, lam, False), x, df1, df2, lam)
        self.add("upper", region, f_tail(x, df1, df2, lam, True), x, df1, df2, lam)
        if pdf:
            self.add("pdf", region, f_pdf(x, df1, df2, lam), x, df1, df2, lam)

    def inverses(self, region, x, df1, df2, lam, p, tails=("lower", "upper")):
        for tail in tails:
            upper = tail == "upper"
            self.add("value_upper" if upper else "value", region,
                     solve_value(p, df1, df2, lam, upper), 0.0, df1, df2, lam, p)
            self.add("noncentrality_upper" if upper else "noncentrality", region,
                     solve_lambda(x, df1, df2, p, upper), x, df1, df2, 0.0, p)

    def interval(self, region, x, df1, df2, confidence):
        alpha = alpha_of(confidence)
        self.add("interval_lower", region, solve_lambda(x, df1, df2, alpha, True), x, df1, df2,
                 0.0, confidence)
        self.add("interval_upper", region, solve_lambda(x, df1, df2, alpha, False), x, df1, df2,
                 0.0, confidence)

    def write(self, path, comment):
        with open(path, "w", newline="") as out:
            out.write("# " + comment + "\n")
            out.write("family,quantity,region,x,df1,df2,noncentrality,probability,expected\n")
            for row in self.rows:
                out.write(",".join(row) + "\n")
        print("\nwrote %d rows to %s" % (len(self.rows), path))


def self_check():
    """The series against mpmath's betainc where the latter works, and the two tails."""
    for a, b, y in [(2.5, 3.0, 0.3), (0.5, 0.5, 0.9), (7.0, 1.5, 0.8), (30.5, 40.0, 0.45)]:
        lower, upper = beta_tails(mpf(y), 1 - mpf(y), mpf(a), mpf(b))
        want = betainc(a, b, 0, y, regularized=True)
        assert abs(lower / want - 1) < mpf(10) ** -35, (a, b, y)
        assert abs(lower + upper - 1) < mpf(10) ** -38
    # the recurrence (at the working precision) against a direct evaluation 40 terms on
    with mp.workdps(WORKING_DPS):
        recurrence_check()


def recurrence_check():
    y = mpf(1) / 3
    direct = lower_series(y, 1 - y, mpf(40.5), mpf(5))
    value = lower_series(y, 1 - y, mpf(0.5), mpf(5))
    step = exp(mpf(0.5) * log(y) + 5 * log(1 - y) - log_beta(mpf(0.5), mpf(5))) / mpf(0.5)
    for j in range(40):
        A = mpf(0.5) + j
        value -= step
        step *= y * (A + 5) / (A + 1)
    assert abs(value / direct - 1) < mpf(10) ** -30


def reference_table():
    t = Table()
    # body
    for df1, df2, lam in [(1, 1, 0), (2, 5, 0.5), (5, 10, 5), (3, 10, 5), (10, 3, 40),
                          (30, 60, 10), (4, 20, 6), (1, 300, 0.5), (60, 2, 200)]:
        for x in [0.3, 1.0, 2.5, 8.0]:
            t.probabilities("body", x, df1, df2, lam)
    # lower tail: small values and large noncentralities far above them
    for df1, df2, lam in [(1, 1, 0), (1, 10, 3), (2, 5, 20), (5, 10, 5), (10, 30, 100)]:
        for x in [1e-3, 1e-10, 1e-40, 1e-100, 1e-200, 1e-290]:
            t.probabilities("lower tail", x, df1, df2, lam)
    for df1, df2, lam, x in [(3, 10, 2000, 2.0), (3, 10, 10000, 50.0), (10, 10, 600, 1.0),
                             (2, 50, 300, 0.5), (50, 50, 1500, 1.2)]:
        t.probabilities("lower tail", x, df1, df2, lam)
    # upper tail: large values
    for df1, df2, lam in [(1, 1, 0), (5, 2, 3), (3, 10, 5), (10, 30, 50), (2, 60, 0)]:
        for x in [20.0, 1e3, 1e6, 1e20, 1e60, 1e150]:
            t.probabilities("upper tail", x, df1, df2, lam)
    for df1, df2, lam, x in [(10, 1000, 0, 5.0), (5, 500, 10, 12.0), (100, 100, 0, 4.0),
                             (20, 5000, 50, 25.0)]:
        t.probabilities("upper tail", x, df1, df2, lam)
    # large Df
    for df1, df2, lam in [(1000, 1000, 0), (10000, 10000, 0), (10000, 10, 100), (10, 10000, 50),
                          (5000, 100000 // 10, 1000)]:
        for x in [0.8, 0.97, 1.0, 1.03, 1.3, 6.0]:
            t.probabilities("large Df", x, df1, df2, lam)
    # large noncentrality
    for df1, df2, lam in [(1, 1, 10000), (2, 1, 10000), (3, 10, 10000), (10, 100, 5000),
                          (100, 10000, 10000), (5, 50, 1000)]:
        mean = (df1 + lam) / df1 * (df2 / (df2 - 2.0) if df2 > 2 else 1.0)
        for factor in [0.6, 0.9, 1.0, 1.1, 1.5, 3.0]:
            t.probabilities("large noncentrality", mean * factor, df1, df2, lam)
    # near the switch between the two sides of the continued fraction, y = (a+1)/(a+b+2),
    # and near the largest Poisson weight's index changes (c = lambda/2 at integers)
    for df1, df2, lam in [(2, 4, 0), (6, 10, 3.0), (1, 1, 0.5), (40, 8, 20.0)]:
        a, b = df1 / 2.0, df2 / 2.0
        y = (a + 1) / (a + b + 2)
        for shift in [-1e-9, 0.0, 1e-9]:
            ys = y + shift
            x = ys / (1 - ys) * df2 / df1
            t.probabilities("switch", x, df1, df2, lam)
    for lam in [1.999999999, 2.0, 2.000000001]:
        t.probabilities("switch", 1.5, 4, 12, lam)
    # the examples
    t.add("value", "issue", solve_value(0.9999, 2, 1, 10000, False), 0.0, 2, 1, 10000, 0.9999)
    t.add("value_upper", "issue", solve_value(1 - 0.9999, 2, 1, 10000, True), 0.0, 2, 1, 10000,
          1 - 0.9999)
    # inverses
    for df1, df2, lam, x in [(3, 10, 5.0, 2.5), (5, 10, 0.0, 3.0), (1, 1, 1.0, 1.0),
                             (10, 60, 40.0, 4.0), (2, 1, 10000.0, 3000.0),
                             (60, 300, 300.0, 6.0)]:
        for p in [1e-4, 0.05, 0.5]:
            t.inverses("inverse", x, df1, df2, lam, p)
    for df1, df2, lam, x in [(3, 10, 5.0, 30.0), (10, 60, 40.0, 15.0), (2, 20, 0.0, 60.0)]:
        for p in [5e-8, 1e-20, 1e-100]:
            t.inverses("inverse tail", x, df1, df2, lam, p, tails=("upper",))
    for df1, df2, lam, x in [(3, 10, 5.0, 1e-4), (2, 5, 1.0, 1e-30)]:
        for p in [5e-8, 1e-20]:
            t.inverses("inverse tail", x, df1, df2, lam, p, tails=("lower",))
    for df1, df2, x in [(3, 10, 8.0), (5, 20, 4.0), (1, 1, 50.0), (10, 100, 3.0),
                        (4, 1000, 20.0)]:
        for confidence in [0.8, 0.95, 0.9999]:
            t.interval("interval", x, df1, df2, confidence)
    t.write(os.path.join(HERE, "f_reference.csv"),
            "noncentral F reference, mpmath %s at 40 digits: make_f_reference.py" % mp.__version__
            if hasattr(mp, "__version__") else
            "noncentral F reference, mpmath at 40 digits: make_f_reference.py")


def number(text):
    return float(text) if text != "" else None


def golden_table():
    t = Table()
    path = os.path.join(HERE, "..", "golden", "golden_outputs.csv")
    with open(path) as source:
        for row in csv.DictReader(source):
            if row["distribution"] != "f" or row["status"] != "ok":
                continue
            q = row["quantity"]
            x = number(row["value"])
            df1, df2 = int(row["df1"]), int(row["df2"])
            lam = number(row["noncentrality"])
            cump = number(row["cump"])
            if q == "cdf":
                t.add("cdf", "golden", f_tail(x, df1, df2, lam, False) if x > 0 else mpf(0), x,
                      df1, df2, lam)
            elif q == "value":
                upper = cump > 0.5
                p = 1 - mpf(cump) if upper else mpf(cump)
                t.add("value", "golden", solve_value(p, df1, df2, lam, upper), 0.0, df1, df2,
                      lam, cump)
            elif q == "noncentrality":
                upper = cump > 0.5
                p = 1 - mpf(cump) if upper else mpf(cump)
                t.add("noncentrality", "golden", solve_lambda(x, df1, df2, p, upper), x, df1, df2,
                      0.0, cump)
            elif q == "interval":
                t.interval("golden", x, df1, df2, number(row["confidence"]))
    t.write(os.path.join(HERE, "f_golden_reference.csv"),
            "noncentral F reference for the golden rows, mpmath at 40 digits: "
            "make_f_reference.py --golden")


if __name__ == "__main__":
    self_check()
    if "--golden" in sys.argv:
        golden_table()
    else:
        reference_table()
