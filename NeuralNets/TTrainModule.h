#ifndef NEURALNETS_TTRAINMODULE_H
#define NEURALNETS_TTRAINMODULE_H

#include <memory>
#include <vector>

#include "NeuralNets/TBasicNetwork.h"
#include "NeuralNets/TErrorObj.h"
#include "NeuralNets/TTrainIterateObjects.h"
#include "NeuralNets/TrainParams.h"

class Data;
class TKQstructure;

// The gradient machinery for one network, and a plain epoch loop on top of
// it.
//
// Holds two structure copies of the trained network (which it does not
// own): gradientNet, whose trainable weights accumulate the error gradient of
// each weight and whose layer values hold the per-neuron errors that
// back-propagation turns into deltas, and changeNet, whose trainable weights
// hold each weight's previous change for momentum steps. One weight or one
// neuron has the same position in all three networks, so the two- and
// three-network visitors walk them in step. Every walk, back-propagation
// included, visits only existing trainable weights (mask 0): a frozen weight
// neither receives a gradient nor carries error back to its from-neuron, so
// freezing a weight also cuts the error path through it.
//
// Requires: a network whose layers are all stored; its structure must not
// change while the module exists (weights may). Back-propagation requires
// one activation function per layer, a derivative rule for every layer fed
// by a connected block from a lower-numbered layer, and with cross-entropy a
// sigmoid output layer: CheckTrainingSetup rejects other networks before
// training, here they are programming errors. Connections are assumed to run
// from lower- to higher-numbered layers; other blocks are never walked by
// back-propagation.
//
// The error-function mode crossEntropy is kMeanSquaredError (0) or
// kCrossEntropy (1). The epoch loop reads "THRESHOLD", "BATCH",
// "ERRORFUNCTION", "LEARNINGRATE" and "WEIGHTPENALTY" from the parameter
// tree; its weight update is the hook UpdateWeights, which a subclass
// provides.
class TTrainModule {
public:
    explicit TTrainModule(TBasicNetwork* network);
    TTrainModule(const TTrainModule&) = delete;
    TTrainModule& operator=(const TTrainModule&) = delete;
    virtual ~TTrainModule();

    // Runs epochs until *epochs have run or an epoch's error falls below
    // "THRESHOLD" (default 0.0); then *epochs := the zero-based index of that
    // epoch. Returns the last epoch's error (0.0 when no epoch ran).
    virtual double Train(Data* data, TKQstructure* params, int* epochs);
    // The weight-update hook of the epoch loop; TTrainModule has none
    // (calling it is a programming error).
    virtual void UpdateWeights(TKQstructure* params);
    // One pass over the data set with one update per pattern, or one per
    // epoch when "BATCH" is "TRUE". Stores a "WEIGHTPENALTY" of "NONE" into
    // params when it has none. Returns the epoch's error, penalty included.
    virtual double TrainEpoch(Data* data, TKQstructure* params);
    // ClearErrors, CalcOutputErrors, BackPropagate: adds one pattern's
    // gradient to the running sum in gradientNet.
    virtual void TrainPattern(const double* input, const double* target, int crossEntropy,
                              TErrorObj* err);
    // One gradient-descent step on every trainable weight, with momentum when
    // momentum is not 0.0 (changeNet is then read and written).
    virtual void StepWeights(double learningRate, double momentum);
    // BackPropagateLayer for every layer, the highest first.
    virtual void BackPropagate(int crossEntropy);

    // Every value of every layer of gradientNet := 0 (the gradient stays).
    void ClearErrors();
    // Forward pass on input; err (when not null) accumulates the pattern; the
    // output errors output - target go into gradientNet's output layer.
    // target holds as many values as the output layer has neurons.
    void CalcOutputErrors(const double* input, const double* target, TErrorObj* err);
    // Adds the derivative of the weight penalty ("QUADPENALTY" or "LWF";
    // "NONE" and other heads are programming errors) to every trainable
    // weight's gradient. denominator must not be 0.
    void AddPenaltyGradient(TKQstructure* penalty, int numerator, int denominator, double scale);
    // Turns layer's errors into deltas and passes errors and gradient
    // contributions down through the connected blocks from lower layers.
    void BackPropagateLayer(int layer, int crossEntropy);

    // Row buffers for reading data with the cursor, zero-filled and large
    // enough for what a row delivers and what the network reads, so that a
    // data set that does not fit the network is never read past.
    void SizeRowBuffers(const Data* data, std::vector<double>* input,
                        std::vector<double>* target) const;

    // Whether back-propagation knows the derivative of fn: ActLinear,
    // ActLinearGain, ActSigmoid, ActSigmoidGain, ActTanh, ActTanhGain.
    static bool HasDerivativeRule(ActFunction fn);

    TBasicNetwork* GetNetwork() const { return network; }
    TBasicNetwork* GetGradientNet() const { return gradientNet.get(); }
    TBasicNetwork* GetChangeNet() const { return changeNet.get(); }

protected:
    TBasicNetwork* network;  // not owned
    std::unique_ptr<TBasicNetwork> changeNet;
    std::unique_ptr<TBasicNetwork> gradientNet;  // declared last: destroyed first

private:
    // Multiplies the errors of layer by its function's derivative; false
    // when the function has no derivative rule.
    bool FormDeltas(int layer, int crossEntropy);

    std::vector<double> outputs;  // the forward pass's outputs, reused per pattern
};

#endif
