#ifndef NEURALNETS_TFUNCTNETWORKOBJECT_H
#define NEURALNETS_TFUNCTNETWORKOBJECT_H

#include <vector>

#include "NeuralNets/TFunctObject.h"

class Data;
class TBFGSModule;
class TErrorObj;
class TKQstructure;

// The training error of a network over a whole data set, as a function of
// the network's trainable weights in weight-vector order: the objective the
// BFGS trainer hands to the minimiser. Nothing it points to is owned; params
// may be null (mean squared error, no penalty).
//
// Value: with "ERRORFUNCTION" "MEANSQUAREDERROR" (or none) the root mean
// squared error sqrt((sum of squared differences + penalty) / (outputs *
// rows)); with "CROSSENTROPY" the cross-entropy sum plus the penalty.
// Gradient: that of one half of the summed squared differences
// (respectively of the cross-entropy sum) plus the derivative of the
// "WEIGHTPENALTY" (see TTrainModule::AddPenaltyGradient); for mean
// squared error it is therefore not the gradient of the returned value.
//
// Evaluating loads x into the network, rewinds the data set's cursor and
// reads every row once, so equal x give equal values; the network keeps the
// weights of the last evaluation. A data set without stored rows throws the
// data set's TException; a malformed penalty coefficient throws
// TKQstructure::Error.
class TFunctNetworkObject : public TFunctObject {
public:
    TFunctNetworkObject(TBFGSModule* module, Data* data, TKQstructure* params);
    ~TFunctNetworkObject() override;

    // The number of trainable weights of the network.
    int GetNumParams() override;
    double Evaluate(const double* x, double* gradient) override;

private:
    // One pass over the rows in data order: forward pass, error and output
    // errors per row, and the row's gradient when withGradient. The only
    // per-row path of an evaluation; it allocates nothing.
    void AccumulateRows(TErrorObj* err, int crossEntropy, bool withGradient);

    TBFGSModule* module;
    Data* data;
    TKQstructure* params;
    int numParams;               // fixed: the network's structure does not change
    std::vector<double> input;   // row buffers, reused by every evaluation
    std::vector<double> target;
};

#endif
