#include "NeuralNets/TTrainIterateObjects.h"

void TIterateObj2ErrorsAndDeltas::Visit() {
    fromValues2[fromNode] += *weight1 * toValues2[toNode];
    *weight2 += toValues2[toNode] * fromValues1[fromNode];
}

void TIterateObj2CalcPenaltyTerm::Visit() {
    const double w = *weight1;
    const double d = w * w;
    const double den = beta * d + 1.0;
    *weight2 += ((coefElim * beta) / (den * den) + coefDecay) * 2.0 * w;
}

void TIterateObjLWFCalcPenaltyTerm::Visit() {
    const double w = *weight1;
    const double s = w < 0.0 ? -1.0 : (w > 0.0 ? 1.0 : 0.0);
    *weight2 += (s * forgettingRate) * rateOverScale;
}

void TIterateObj2Update::Visit() { *weight1 -= learningRate * *weight2; }

void TIterateObj3UpdateMomentum::Visit() {
    const double change = -learningRate * *weight2 + momentum * *weight3;
    *weight3 = change;
    *weight1 += change;
}
