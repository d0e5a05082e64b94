#ifndef NEURALNETS_TFUNCTOBJECT_H
#define NEURALNETS_TFUNCTOBJECT_H

// A real function of n real parameters, the only view the minimiser has of
// what it minimises. Evaluate may have side effects (the network objective
// loads x into its network).
//
// Requires of implementations: GetNumParams() >= 0 and constant for the
// object's life; Evaluate reads n values of x and, when gradient is not null,
// writes n values of the gradient at x into it.
class TFunctObject {
public:
    virtual ~TFunctObject() = default;

    virtual int GetNumParams() = 0;
    virtual double Evaluate(const double* x, double* gradient) = 0;
};

#endif
