#ifndef NEURALNETS_MINIMIZEBFGS_H
#define NEURALNETS_MINIMIZEBFGS_H

#include <iostream>

#include "NeuralNets/TFunctObject.h"

// Minimises function with the BFGS quasi-Newton method: an approximation H of
// the inverse Hessian (identity at the start), a backtracking line search
// along -H*g, and a rank-two update of H from the change of the gradient.
//
// x:          in: the start point (n values); a work vector during the call,
//             its content on return is not part of the result.
// tolerance:  relative function tolerance of the convergence test
//             2*|fp - f| <= tolerance * (|f|*|fp| + 3e-14).
// iterations: in: the iteration limit; out: the number of the last
//             iteration started. Below 1: the function is evaluated once at
//             x and no iteration runs; *iterations and *value are unchanged.
// value:      out: the value the last line search produced.
// progress:   receives "Iteration k:  Error = <value>" for every iteration.
//
// After an accepted step the function's last evaluation is at the final
// point. Work storage of about 8*n*n bytes is allocated per call: a size that
// cannot be represented throws std::length_error, a failed allocation
// std::bad_alloc, before the function is evaluated.
void MinimizeBFGS(double* x, double tolerance, int* iterations, double* value,
                  TFunctObject* function, std::ostream* progress = &std::cout);

// The quasi-Newton part of one iteration, once the step xi and the gradient
// change dg are known: hdg := H*dg; the rank-two update of H when the step
// shows enough curvature (fac^2 > 3e-14 * |dg|^2 * |xi|^2 and a finite
// 1/(dg*H*dg)), otherwise H is kept; then the next direction xi := -H*g.
// H holds n*n values stored column by column (element (i, j) at H[j*n + i]).
// On return dg holds the update vector u when H was updated; scratch is 4*n
// values of work space. MinimizeBFGS runs it in every iteration; it is
// declared here so that its cost can be measured alone.
void UpdateInverseHessian(int n, double* H, const double* g, double* dg, double* hdg, double* xi,
                          double* scratch);

// Backtracking line search from xOld (value fOld, gradient g) along p, which
// is first shortened in place to length maxStep if it is longer. Accepts the
// first trial point with f <= fOld + 0.0001*lambda*slope; writes the accepted
// point into x and its value into *f. When the step falls below the smallest
// useful one, x receives xOld and *f keeps the last trial value. A direction
// without any usable component (all zero, or n = 0) or with an infinite one
// returns xOld and fOld at once, without evaluating.
void LineSearch(const double* xOld, double fOld, const double* g, double* p, double* x,
                double* f, double maxStep, TFunctObject* function);

#endif
