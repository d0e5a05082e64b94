#ifndef NEURALNETS_TBFGSMODULE_H
#define NEURALNETS_TBFGSMODULE_H

#include "NeuralNets/MinimizeBFGS.h"
#include "NeuralNets/TFunctNetworkObject.h"
#include "NeuralNets/TTrainModule.h"

// The trainer of the program: minimises the training error over the whole
// data set with respect to every trainable weight at once, with the BFGS
// minimiser and the objective TFunctNetworkObject. There is no per-epoch
// training; the iteration limit plays the role of the epoch count.
class TBFGSModule : public TTrainModule {
public:
    explicit TBFGSModule(TBasicNetwork* network);
    ~TBFGSModule() override;

    // Minimises the error from the network's current weights, printing one
    // progress line per iteration on standard output. *iterations: in the
    // iteration limit, out the number of the last iteration (unchanged when
    // the limit is below 1). Returns the final error; with a limit below 1
    // no iteration runs and the result is the number of trainable weights.
    // The network keeps the weights of the objective's last evaluation: after
    // an accepted step, the final point. A network without trainable weights
    // takes one iteration and returns its error.
    //
    // Throws what the minimiser throws when the inverse Hessian of n weights
    // cannot be allocated (std::length_error, std::bad_alloc; then the
    // network is unchanged), and what the objective throws.
    double Train(Data* data, TKQstructure* params, int* iterations) override;
    // Not available for this trainer: a programming error.
    double TrainEpoch(Data* data, TKQstructure* params) override;

    // The objective's value at the network's current weights: the error
    // Train starts from (one pass over the data set, no gradient). Lets a
    // caller refuse a start point whose error is not finite.
    double CalcError(Data* data, TKQstructure* params);
};

#endif
