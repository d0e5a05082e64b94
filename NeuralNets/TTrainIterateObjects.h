#ifndef NEURALNETS_TTRAINITERATEOBJECTS_H
#define NEURALNETS_TTRAINITERATEOBJECTS_H

#include "NeuralNets/TIterateObj.h"

// The visitors of the training module. Every walk pairs the trained network
// (first) with its gradient network (second) and, for momentum, its change
// network (third): weight1 is a trained weight, weight2 its gradient, weight3
// its previous change; fromValues1 are the trained network's outputs of the
// from-layer, fromValues2 and toValues2 the error (delta) arrays of the
// gradient network. Every walk uses mask 0: existing trainable weights only.

// Back-propagation over one block into a layer whose deltas are formed:
// passes w * delta[t] down to the error of from-neuron f and adds
// delta[t] * output[f] to the gradient of w. Walked with mask 0, so a frozen
// weight neither receives a gradient nor passes error back.
class TIterateObj2ErrorsAndDeltas final : public TIterateObj2 {
public:
    void Visit() override;
};

// Derivative of the "QUADPENALTY" weight penalty, with d = w*w:
// gradient += ((coefElim*beta) / ((beta*d + 1)^2) + coefDecay) * 2 * w.
class TIterateObj2CalcPenaltyTerm final : public TIterateObj2 {
public:
    TIterateObj2CalcPenaltyTerm(double elim, double decay, double b)
        : coefElim(elim), coefDecay(decay), beta(b) {}
    void Visit() override;

    double coefElim;
    double coefDecay;
    double beta;
};

// The "LWF" gradient term: gradient += (sign(w) * forgettingRate) *
// rateOverScale, sign(w) being -1, 0 or 1.
class TIterateObjLWFCalcPenaltyTerm final : public TIterateObj2 {
public:
    TIterateObjLWFCalcPenaltyTerm(double rate, double overScale)
        : forgettingRate(rate), rateOverScale(overScale) {}
    void Visit() override;

    double forgettingRate;
    double rateOverScale;
};

// A plain gradient-descent step: w -= learningRate * gradient.
class TIterateObj2Update final : public TIterateObj2 {
public:
    explicit TIterateObj2Update(double rate) : learningRate(rate) {}
    void Visit() override;

    double learningRate;
};

// A step with momentum: change := -learningRate * gradient + momentum *
// previous change; the change is kept and added to the weight.
class TIterateObj3UpdateMomentum final : public TIterateObj3 {
public:
    TIterateObj3UpdateMomentum(double rate, double m) : learningRate(rate), momentum(m) {}
    void Visit() override;

    double learningRate;
    double momentum;
};

#endif
