# The study designs' power, sample size, sensitivity, criterion and compromise as the command
# line prints them, against the same tests written again in R: the noncentral pf, pt and pchisq
# of R's stats package, uniroot, integrate, and the pwr package where it covers the design.
# R's noncentral routines (AS 226, AS 243, Ding's series) are an implementation independent of
# the program's and of Boost.Math's. Usage: Rscript designs_against_r.R QUORVEL_CLI
# Powers must agree within 1e-8, sample sizes exactly, sensitivity, criterion and compromise
# within 1e-7 relative; every check is printed, and the script fails if one does not hold.

suppressPackageStartupMessages(library(pwr))

cli <- commandArgs(trailingOnly = TRUE)[1]
failures <- 0

# The numbers of the command line's first output line.
quorvel <- function(...) {
  out <- suppressWarnings(system2(cli, c(...), stdout = TRUE, stderr = FALSE))
  as.numeric(strsplit(out[1], " ")[[1]])
}

check <- function(name, got, want, tolerance, relative = FALSE) {
  gap <- abs(got - want)
  if (relative) gap <- gap / abs(want)
  ok <- is.finite(got) && gap <= tolerance
  cat(sprintf("%-58s %s got %.17g want %.17g (%s %.2g)\n", name, if (ok) "ok  " else "FAIL",
              got, want, if (relative) "relative" else "absolute", gap))
  if (!ok) failures <<- failures + 1
}

# The Df and noncentrality of each F design at a total N.
f_test <- function(design, n, f2, k = 0, cells = 0, u = 0, cov = 0, m = 0, rho = 0, eps = 1,
                   p = 0, q = 0) {
  switch(design,
    anova = c(k - 1, n - k, f2 * n),
    factorial = c(u, n - cells, f2 * n),
    ancova = c(k - 1, n - k - cov, f2 * n),
    "rm-within" = c((m - 1) * eps, (n - k) * (m - 1) * eps, f2 * n * m * eps / (1 - rho)),
    "rm-interaction" = c((k - 1) * (m - 1) * eps, (n - k) * (m - 1) * eps,
                         f2 * n * m * eps / (1 - rho)),
    "rm-between" = c(k - 1, n - k, f2 * n * m / (1 + (m - 1) * rho)),
    regression = c(p, n - p - 1, f2 * n),
    "r2-change" = c(q, n - p - 1, f2 * n))
}

f_power <- function(test, alpha = 0.05) {
  critical <- qf(alpha, test[1], test[2], lower.tail = FALSE)
  pf(critical, test[1], test[2], ncp = test[3], lower.tail = FALSE)
}

# The smallest whole N from `from` whose power reaches the target.
smallest_n <- function(power_at, from, target) {
  n <- from
  while (power_at(n) < target && n < 1e6) n <- n + 1
  n
}

solve <- function(f, lower, upper) uniroot(f, c(lower, upper), tol = 1e-15)$root

# F designs: power at an N, then the sample size for power .8 (the N reaching it, N - 1 not).
f_designs <- list(
  list("anova", c("--groups", "4"), list(k = 4), 0.0625, 120),
  list("factorial", c("--cells", "6", "--df1", "2"), list(cells = 6, u = 2), 0.04, 150),
  list("ancova", c("--groups", "3", "--covariates", "2"), list(k = 3, cov = 2), 0.05, 120),
  list("rm-within", c("--groups", "2", "--measurements", "4", "--correlation", "0.5",
                      "--epsilon", "0.7"), list(k = 2, m = 4, rho = 0.5, eps = 0.7), 0.02, 40),
  list("rm-between", c("--groups", "3", "--measurements", "3", "--correlation", "0.4"),
       list(k = 3, m = 3, rho = 0.4), 0.03, 90),
  list("rm-interaction", c("--groups", "3", "--measurements", "4", "--correlation", "0.3",
                           "--epsilon", "0.8"), list(k = 3, m = 4, rho = 0.3, eps = 0.8), 0.01,
       60),
  list("regression", c("--predictors", "5"), list(p = 5), 0.1 / 0.9, 100),
  list("r2-change", c("--predictors", "6", "--tested", "2"), list(p = 6, q = 2),
       (0.25 - 0.2) / 0.75, 150))
for (case in f_designs) {
  design <- case[[1]]
  options <- c("--design", design, case[[2]])
  sizes <- case[[3]]
  f2 <- case[[4]]
  n <- case[[5]]
  test_at <- function(n, f2 = case[[4]]) do.call(f_test, c(list(design, n, f2), sizes))
  effect <- sprintf("%.17g", f2)
  check(paste("f power", design), quorvel("f", "power", options, "--f2", effect, "--n", n),
        f_power(test_at(n)), 1e-8)
  found <- quorvel("f", "sample-size", options, "--f2", effect, "--power", "0.8")
  check(paste("f sample-size", design), found[1],
        smallest_n(function(n) f_power(test_at(n)), found[1] - 60, 0.8), 0)
  check(paste("f sample-size", design, "N - 1 falls short"),
        f_power(test_at(found[1] - 1)) < 0.8, TRUE, 0)
}

# pwr's own forms: Cohen's one-way ANOVA, the regression's f2 test, the t tests.
check("pwr.anova.test k 4, f .25, n 30 per group",
      quorvel("f", "power", "--design", "anova", "--groups", "4", "--f", "0.25", "--n", "120"),
      pwr.anova.test(k = 4, f = 0.25, n = 30)$power, 1e-8)
check("pwr.f2.test u 5, v 94, f2 .1111",
      quorvel("f", "power", "--design", "regression", "--predictors", "5", "--r2", "0.1",
              "--n", "100"), pwr.f2.test(u = 5, v = 94, f2 = 0.1 / 0.9)$power, 1e-8)
check("pwr.t.test two groups of 20, d .5",
      quorvel("t", "power", "--d", "0.5", "--n1", "20", "--n2", "20"),
      pwr.t.test(n = 20, d = 0.5)$power, 1e-8)
check("pwr.t.test one sample of 15, d .6, one-sided",
      quorvel("t", "power", "--d", "0.6", "--n", "15", "--sides", "1"),
      pwr.t.test(n = 15, d = 0.6, type = "one.sample", alternative = "greater")$power, 1e-8)

# The questions of a one-way ANOVA at N 100 (k 4).
anova_power <- function(f2, alpha = 0.05) f_power(f_test("anova", 100, f2, k = 4), alpha)
anova <- c("--design", "anova", "--groups", "4", "--n", "100")
check("f sensitivity anova", quorvel("f", "sensitivity", anova, "--power", "0.8"),
      solve(function(f2) anova_power(f2) - 0.8, 1e-6, 2), 1e-7, TRUE)
check("f criterion anova", quorvel("f", "criterion", anova, "--f2", "0.08", "--power", "0.7"),
      solve(function(a) anova_power(0.08, a) - 0.7, 1e-4, 0.999), 1e-7, TRUE)
compromise <- quorvel("f", "compromise", anova, "--f2", "0.08", "--ratio", "2")
alpha <- solve(function(a) 1 - anova_power(0.08, a) - 2 * a, 1e-4, 0.999)
check("f compromise anova alpha", compromise[1], alpha, 1e-7, TRUE)
check("f compromise anova power", compromise[2], anova_power(0.08, alpha), 1e-8)

# RMSEA (MacCallum, Browne and Sugawara 1996): close fit rejects above the upper alpha point of
# the noncentral chi-square under RMSEA0, not-close fit below its lower one.
rmsea_power <- function(n, df, e0, e1, alpha = 0.05) {
  lambda0 <- (n - 1) * df * e0^2
  lambda1 <- (n - 1) * df * e1^2
  if (e1 < e0) {
    pchisq(qchisq(alpha, df, ncp = lambda0), df, ncp = lambda1)
  } else {
    pchisq(qchisq(alpha, df, ncp = lambda0, lower.tail = FALSE), df, ncp = lambda1,
           lower.tail = FALSE)
  }
}
rmsea <- function(df, e0) c("--design", "rmsea", "--df", df, "--rmsea0", e0)
check("chisq power rmsea close fit",
      quorvel("chisq", "power", rmsea(50, 0.05), "--rmsea1", "0.08", "--n", "200"),
      rmsea_power(200, 50, 0.05, 0.08), 1e-8)
check("chisq power rmsea not-close fit",
      quorvel("chisq", "power", rmsea(30, 0.05), "--rmsea1", "0.01", "--n", "300"),
      rmsea_power(300, 30, 0.05, 0.01), 1e-8)
check("chisq power rmsea exact fit",
      quorvel("chisq", "power", rmsea(10, 0), "--rmsea1", "0.06", "--n", "400"),
      rmsea_power(400, 10, 0, 0.06), 1e-8)
found <- quorvel("chisq", "sample-size", rmsea(50, 0.05), "--rmsea1", "0.08", "--power", "0.8")
check("chisq sample-size rmsea close fit", found[1],
      smallest_n(function(n) rmsea_power(n, 50, 0.05, 0.08), 100, 0.8), 0)
found <- quorvel("chisq", "sample-size", rmsea(20, 0.05), "--rmsea1", "0.01", "--power", "0.8")
check("chisq sample-size rmsea not-close fit", found[1],
      smallest_n(function(n) rmsea_power(n, 20, 0.05, 0.01), 100, 0.8), 0)
check("chisq sensitivity rmsea not-close fit",
      quorvel("chisq", "sensitivity", rmsea(40, 0.05), "--n", "500", "--power", "0.8",
              "--alternative", "less"),
      solve(function(e1) rmsea_power(500, 40, 0.05, e1) - 0.8, 0, 0.05), 1e-7, TRUE)

# Equivalence by two one-sided t tests (Schuirmann 1987): both reject when
# -M + t·s·k < D < M - t·s·k, D ~ N(d, k²), s the sample SD in units of sigma (s² ~ chi²/nu),
# t the upper alpha point of central t(nu); the power integrates over s.
equivalence_power <- function(d, margin, n1, n2 = 0, alpha = 0.05) {
  two <- n2 > 0
  nu <- if (two) n1 + n2 - 2 else n1 - 1
  k <- if (two) sqrt(1 / n1 + 1 / n2) else 1 / sqrt(n1)
  t <- qt(alpha, nu, lower.tail = FALSE)
  inside <- function(s) {
    pmax(pnorm((margin - t * s * k - d) / k) - pnorm((-margin + t * s * k - d) / k), 0) *
      dchisq(nu * s^2, nu) * 2 * nu * s
  }
  integrate(inside, 0, margin / (t * k), rel.tol = 1e-12, abs.tol = 1e-14)$value
}
check("t power equivalence two groups",
      quorvel("t", "power", "--design", "equivalence", "--margin", "0.5", "--d", "0.1",
              "--n1", "40", "--n2", "50"), equivalence_power(0.1, 0.5, 40, 50), 1e-8)
check("t power equivalence one sample",
      quorvel("t", "power", "--design", "equivalence", "--margin", "0.3", "--d", "0",
              "--n", "60"), equivalence_power(0, 0.3, 60), 1e-8)
found <- quorvel("t", "sample-size", "--design", "equivalence", "--margin", "0.5", "--d", "0",
                 "--power", "0.8")
check("t sample-size equivalence per group", found[1],
      smallest_n(function(n) equivalence_power(0, 0.5, n, n), 10, 0.8), 0)
check("t sensitivity equivalence margin",
      quorvel("t", "sensitivity", "--design", "equivalence", "--d", "0.1", "--n1", "30",
              "--n2", "30", "--power", "0.8"),
      solve(function(m) equivalence_power(0.1, m, 30, 30) - 0.8, 0.2, 3), 1e-7, TRUE)

cat(sprintf("%d failed\n", failures))
quit(status = if (failures > 0) 1 else 0)
