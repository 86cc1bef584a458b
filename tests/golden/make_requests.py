#!/usr/bin/env python3
"""Writes the requests of the golden-output test: a seeded spread over the twelve operations
(three distributions, four quantities) in the ranges researchers use, a few at the ends of the
accepted ranges, and the spot values the unit tests check. quorvel-cli --batch turns the file
into golden_outputs.csv, the record of what the program answered when it was made."""
import random
import sys

rng = random.Random(20261208)
rows = []


def add(distribution, quantity, value="", df1="", df2="", noncentrality="", cump="",
        confidence=""):
    rows.append([distribution, quantity, value, df1, df2, noncentrality, cump, confidence])


def cump():
    r = rng.random()
    if r < 0.05:
        return rng.choice([0.0001, 0.9999, 0.001, 0.999])
    return round(rng.uniform(0.001, 0.999), 6)


def confidence():
    return rng.choice([0.9, 0.95, 0.99, 0.9, 0.95, 0.99, 0.8, 0.9999])


def small_int(low, high):
    # Log-uniform, so that small degrees of freedom are drawn as often as large ones.
    return int(round(low * (high / low) ** rng.random()))


PER_OPERATION = 300
for _ in range(PER_OPERATION):
    df1, df2 = small_int(1, 100), small_int(2, 2000)
    lam = round(rng.uniform(0, 500), 4) if rng.random() < 0.8 else rng.choice([0, 1000, 10000])
    add("f", "cdf", round(rng.uniform(0, 3) * (1 + lam / df1), 5), df1, df2, lam)
    add("f", "value", df1=df1, df2=df2, noncentrality=lam, cump=cump())
    f_value = round(rng.uniform(0.2, 8) ** 1.5, 5)
    add("f", "noncentrality", f_value, small_int(1, 100), small_int(2, 2000), cump=cump())
    add("f", "interval", f_value, small_int(1, 100), small_int(2, 2000), confidence=confidence())

    df = small_int(1, 2000) if rng.random() < 0.95 else rng.choice([1, 2, 3, 100000])
    delta = round(rng.uniform(-15, 15), 4)
    add("t", "cdf", round(rng.uniform(-15, 15), 4), df, noncentrality=delta)
    add("t", "value", df1=df, noncentrality=delta, cump=cump())
    t_value = round(rng.uniform(-15, 15), 4)
    add("t", "noncentrality", t_value, small_int(1, 2000), cump=cump())
    add("t", "interval", t_value, small_int(1, 2000), confidence=confidence())

    df = small_int(1, 500)
    lam = round(rng.uniform(0, 1500), 3) if rng.random() < 0.9 else rng.choice([0, 5000])
    add("chisq", "cdf", round(rng.uniform(0.5, 3000), 3), df, noncentrality=lam)
    add("chisq", "value", df1=df, noncentrality=lam, cump=cump())
    x = round(rng.uniform(0.5, 3000) if rng.random() < 0.7 else rng.uniform(0.5, 60), 3)
    add("chisq", "noncentrality", x, small_int(1, 500), cump=cump())
    add("chisq", "interval", x, small_int(1, 500), confidence=confidence())

# Spot values of the unit tests and the examples in the help pages.
add("f", "cdf", 3.0, 5, 10, 0)
add("f", "noncentrality", 3.0, 3, 10, cump=0.5)
add("f", "noncentrality", 3.0, 3, 10, cump=0.05)
add("f", "noncentrality", 20, 5, 20, cump=0.5)
add("f", "noncentrality", 1.0, 3, 10, cump=0.3)
add("f", "noncentrality", 3.0, 3, 10, cump=0.95)
add("f", "interval", 3.0, 3, 10, confidence=0.95)
add("f", "interval", 10.0, 3, 10, confidence=0.95)
add("f", "interval", 20, 5, 20, confidence=0.99)
add("f", "interval", 0, 5, 20, confidence=0.95)
add("f", "value", df1=1, df2=1, noncentrality=0, cump=0.9999)
add("f", "value", df1=1, df2=1, noncentrality=0, cump=0.999)
add("f", "noncentrality", 1000, 10, 1, cump=0.5)
add("f", "noncentrality", 42.1, 2413, 1, cump=0.857)
add("f", "noncentrality", 100000, 1, 1000, cump=0.5)
add("t", "value", df1=1, noncentrality=0, cump=0.5)
add("t", "value", df1=7, noncentrality=-5, cump=0.001)
add("t", "value", df1=1, noncentrality=50, cump=0.9999)
add("t", "value", df1=12, noncentrality=1.5, cump=0.975)
add("t", "noncentrality", 0, 10, cump=0.5)
add("t", "noncentrality", 50, 1, cump=0.95)
add("t", "noncentrality", 6000, 1000, cump=0.5)
add("t", "interval", 2.5, 20, confidence=0.95)
add("t", "interval", 10, 1, confidence=0.9)
add("t", "interval", 10, 2, confidence=0.99)
add("t", "interval", -20, 3, confidence=0.99)
add("t", "cdf", -9.16, 72, noncentrality=5.62)
add("t", "cdf", 10, 100000, noncentrality=2)
add("chisq", "cdf", 3.841458820694124, 1, noncentrality=0)
add("chisq", "cdf", 10, 3, noncentrality=2)
add("chisq", "cdf", 910, 10, noncentrality=900)
add("chisq", "cdf", 5, 1, noncentrality=5000)
add("chisq", "value", df1=1, noncentrality=0, cump=0.95)
add("chisq", "value", df1=10, noncentrality=5, cump=0.5)
add("chisq", "value", df1=100000, noncentrality=5000, cump=0.9999)
add("chisq", "value", df1=1, noncentrality=5000, cump=0.0001)
add("chisq", "value", df1=1, noncentrality=0, cump=0.05)
add("chisq", "value", df1=1, noncentrality=0, cump=0.04)
add("chisq", "value", df1=1, noncentrality=0, cump=0.0001)
add("chisq", "value", df1=2, noncentrality=1, cump=0.001)
add("chisq", "noncentrality", 20, 5, cump=0.05)
add("chisq", "noncentrality", 20, 5, cump=0.95)
add("chisq", "noncentrality", 10, 5, cump=0.95)
add("chisq", "noncentrality", 3.43, 3, cump=0.666)
add("chisq", "noncentrality", 8000, 10, cump=0.5)
for level in (0.9, 0.95, 0.99):
    add("chisq", "interval", 30, 5, confidence=level)
add("chisq", "interval", 10, 5, confidence=0.9)
add("chisq", "interval", 1, 5, confidence=0.9)
add("chisq", "interval", 1000, 30, confidence=0.95)
add("chisq", "interval", 2000, 1000, confidence=0.95)

out = sys.stdout
out.write("distribution,quantity,value,df1,df2,noncentrality,cump,confidence\n")
for row in rows:
    out.write(",".join(repr(v) if isinstance(v, float) else str(v) for v in row) + "\n")
