#ifndef FILEHANDLER_NETWORKFILE_H
#define FILEHANDLER_NETWORKFILE_H

#include <iosfwd>

#include "FileHandler/ParseTools.h"
#include "NeuralNets/TIterateObj.h"

class TBasicNetwork;
class TKQstructure;

// Network files: one layered network in the statement syntax of FileTools.
//
//   [NeuralNetwork]
//   [NetworkType = MLP]                             Basic, Connected or MLP
//   [NetworkInformation] [NumberOfLayers = 3] ... [~NetworkInformation]
//   [Layer = 1] [LayerType = Input] [NumberOfNeurons = 2]
//       [All ActivationFunction=linear ] [All Gain=1.0 ]
//       [Neurons] [Neuron=0 ActivationFunction=tanh Gain=0.5 ] ... [~Neurons]
//   [~Layer]
//   [ConnectionLayer] [LayerFrom = 1] [LayerTo = 2] [ConnectionType = Pruneable]
//       [Matrix Weights TrainableInfo ] 0.5 T - - [~Matrix]
//       [WeightList] [From=0 To=1 Weight=0.25 UnTrainable ] [~WeightList]
//   [~ConnectionLayer]
//   [~NeuralNetwork]
//
// Every error in the input is thrown as FileTools::Error carrying the line of
// the statement where it was found; the partly built network is freed.

// Reads the network file fileName. The caller owns the network returned. A
// file that cannot be opened throws "Error on File Open". Errors thrown by
// this form carry no stream: the file's stream is gone when they arrive.
TBasicNetwork* ReadNetwork(FileTools& tools, const char* fileName, TKQstructure* reply);
// Reads one network file from in. A reply tree passed in is destroyed at
// once; nothing is reported through it.
TBasicNetwork* ReadNetwork(FileTools& tools, std::istream& in, TKQstructure* reply);

// Writes network to fileName safely: the text goes to a temporary file beside
// the destination, which replaces the destination only when the whole network
// was written without a stream error. On any failure the destination is left
// untouched and FileTools::Error is thrown (without a stream).
void WriteNetwork(FileTools& tools, const char* fileName, TBasicNetwork* network,
                  TKQstructure* reply);
// Writes network to out. Leaves out in general notation with precision 15 (the
// notation of weight matrices). Throws "Illegal number of bias nodes" for a
// layer with the bias function and more than one neuron, and "Cannot write
// network file" when out fails; both carry out.
void WriteNetwork(FileTools& tools, std::ostream& out, TBasicNetwork* network, TKQstructure* reply);

// Counts the weights a block visits.
class TIterateObjCount final : public TIterateObj {
public:
    void Visit() override;

    int count = 0;
};

// Writes one weight-list statement per visited weight:
// [From=f To=t Weight=w Trainable ] (the trainable keyword only withTrainable).
class TIterateObjSaveWeights final : public TIterateObj {
public:
    TIterateObjSaveWeights(std::ostream* stream, FileTools* tools, bool withTrainable,
                           int precision);
    void Visit() override;

    std::ostream* stream;
    FileTools* tools;
    bool withTrainable;
    int precision;  // decimals of the weight
};

#endif
