#!/usr/bin/python3
"""The exact noncentral t probabilities of the golden file's t cdf rows whose old answers lay
below 1e-7, where the old routines' error (Phi's floor of 2.2e-8 and its tail constants) was as
large as the probability itself, so that the old digits cannot judge the new ones.

P(T <= t) = integral over u of Phi(t*u - delta) * g(u) du, where u = sqrt(chi2_df / df) has the
density g(u) = 2 (df/2)^(df/2) u^(df-1) exp(-df u^2 / 2) / Gamma(df/2). mpmath's tanh-sinh
quadrature at 40 digits, twice: on 160 and on 320 even pieces of [0.05, 2] (plus [0, 0.05] and
[2, inf)). The integrand is positive, so a
converged sum keeps its relative precision however small it is; a row is written only where the
two subdivisions agree to 1e-15 relative, and the rows left out are counted on standard output.

Writes tests/reference/t_golden_reference.csv in the format of tests/support/reference_table.h.
"""
import csv
import os

from mpmath import exp, inf, log, loggamma, mp, mpf, ncdf, quad

mp.dps = 40
HERE = os.path.dirname(os.path.abspath(__file__))


def t_cdf(t, df, delta, pieces_count):
    n = mpf(df)
    half = n / 2

    def scale_density(u):
        return exp(log(2) + half * log(half) - loggamma(half) + (n - 1) * log(u) - n * u * u / 2)

    step = (2 - mpf("0.05")) / pieces_count
    pieces = [0] + [mpf("0.05") + step * k for k in range(pieces_count + 1)] + [inf]
    return quad(lambda u: ncdf(t * u - delta) * scale_density(u), pieces)


def main():
    rows = []
    left_out = 0
    with open(os.path.join(HERE, "..", "golden", "golden_outputs.csv")) as source:
        for row in csv.DictReader(source):
            if row["distribution"] != "t" or row["quantity"] != "cdf" or row["status"] != "ok":
                continue
            old = float(row["result"])
            if not 0.0 < old < 1e-7:
                continue
            x, df, delta = mpf(row["value"]), int(row["df1"]), mpf(row["noncentrality"])
            exact = t_cdf(x, df, delta, 160)
            if abs(t_cdf(x, df, delta, 320) / exact - 1) > mpf("1e-15"):
                left_out += 1
                continue
            rows.append(["t", "cdf", "golden", row["value"], str(df), "0", row["noncentrality"],
                         "0.0", mp.nstr(exact, 20)])
    with open(os.path.join(HERE, "t_golden_reference.csv"), "w") as out:
        out.write("# noncentral t at the golden rows whose old answers lay below 1e-7, mpmath 40 "
                  "digits: make_t_golden_reference.py\n")
        out.write("family,quantity,region,x,df1,df2,noncentrality,probability,expected\n")
        for r in rows:
            out.write(",".join(r) + "\n")
    print(len(rows), "rows written,", left_out, "left out where the subdivisions disagree")


if __name__ == "__main__":
    main()
