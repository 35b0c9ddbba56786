#pragma once

// The coverage factor of an expanded uncertainty as the GUM's Annex G gives it: Student's t for the
// effective degrees of freedom, at a two-sided coverage probability (95.45 %, which is k = 2 for a normal
// distribution). Pure functions; any thread.
namespace Coverage {

constexpr double kProbability = 0.9545;
// From this many effective degrees of freedom on, k = 2 is stated: t differs from it by 0.05 or less.
constexpr int kNormalFrom = 50;

// Two-sided quantile of Student's t with `dof` degrees of freedom (> 0, any real; infinite gives the
// normal quantile), to better than 1e-9.
double studentT(double dof, double probability = kProbability);

// The regularized incomplete beta function I_x(a, b), a, b > 0, 0 ≤ x ≤ 1.
double incompleteBeta(double a, double b, double x);

} // namespace Coverage
