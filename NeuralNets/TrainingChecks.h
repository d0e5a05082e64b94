#ifndef NEURALNETS_TRAININGCHECKS_H
#define NEURALNETS_TRAININGCHECKS_H

#include <string>

class Data;
class TBasicNetwork;

// Checks, before training, that the network, the data set and the error
// function name fit together, so that no input can reach one of the
// training module's internal assertions or make it read past a row.
// Returns "" when training may start, otherwise one line (no line end)
// naming the first problem found. Checked in this order:
//   - the error function: "MeanSquaredError" or "CrossEntropy", letter case
//     free; null and the empty text are rejected;
//   - the network: it has layers, its input and output layers exist, every
//     layer is stored;
//   - every layer: its neurons share one activation function (an empty
//     layer is fine); a layer that applies its function holds none that
//     cannot be evaluated ("error", "null"); a layer fed by a connected block
//     from a lower-numbered layer has a function with a derivative rule
//     ("linear", "linear-gain", "sigmoid", "sigmoid-gain", "tanh",
//     "tanh-gain"); with cross-entropy the output layer is "sigmoid";
//   - the data set: it holds rows; its input and output counts (after the
//     feature selection) equal the sizes of the input and output layers;
//     every value a training pass reads is finite.
// The network's caches of common functions may be filled in; nothing else
// changes (the data set's cursor is not moved).
//
// When subject is given, it receives what the problem is about, so that a
// caller can name the file it came from.
enum class TrainingCheckSubject { kNone, kErrorFunction, kNetwork, kDataSet, kNetworkAndDataSet };
std::string CheckTrainingSetup(TBasicNetwork* network, Data* data, const char* errorFunction,
                               TrainingCheckSubject* subject = nullptr);

#endif
