#ifndef FILEHANDLER_NETWORKFILEREADING_H
#define FILEHANDLER_NETWORKFILEREADING_H

#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

#include "FileHandler/ParseTools.h"
#include "NeuralNets/ActFunctions.h"

class TBasicConnections;
class TBasicLayer;
class TBasicNetwork;

// The state of one network file read, shared by the parts of the reader
// (NetworkFileReader.cpp: the network and its layers; NetworkFileWeights.cpp:
// the connection layers and their weights).
//
// The network is built under a unique_ptr, so every throw frees it. Every
// number taken from the file is checked here before it reaches the network
// model, whose preconditions are assertions: layer numbers against the number
// of layers, neuron indexes against their layer, sizes against int.
class TNetworkFileReader {
public:
    TNetworkFileReader(FileTools& tools, std::istream& in);

    // Reads the whole file; the network is complete (every layer stored).
    std::unique_ptr<TBasicNetwork> Read();

private:
    // The [NetworkInformation] values; -1 where a statement is missing.
    struct TInformation {
        int numLayers = -1;
        int inLayer = 1;
        int outLayer = -1;
        int biasLayer = -1;
        int inputs = -1;
        int outputs = -1;
    };

    // One layer block while it is read. The layer exists once both its type
    // and its number of neurons are known. params holds the value of every
    // neuron parameter (layer-wide or carried over from the last neuron that
    // gave one); headerGiven marks the parameters a layer-wide statement set.
    struct TLayerState {
        int number = 0;
        int count = -1;
        std::string type;
        TBasicLayer* layer = nullptr;
        ActFunction function = nullptr;
        int functionLine = 0;
        std::vector<double> params;
        std::vector<bool> headerGiven;
        std::vector<bool> defined;
    };

    Statement Next(const std::string& blockName) {
        return tools.ReadStatement(in, blockName.c_str(), false);
    }
    // The next item of an open statement. The enclosing block's name makes
    // the end of input inside the statement "Unexpected end of file".
    Statement NextItem(const std::string& blockName) {
        return tools.ReadStatement(in, blockName.c_str(), true);
    }
    [[noreturn]] void Fail(const char* message) const { tools.Fail(in, message); }
    // For a fault found later than the statement that holds it.
    [[noreturn]] void FailAt(int line, const char* message) const;
    static bool Is(const std::string& keyword, const char* expected);

    void ReadInformation(const std::string& blockName);
    void CheckInformation();
    void BuildNetwork(const std::string& type);

    Statement ReadLayer(const Statement& start, const std::string& networkName);
    void ReadLayerHeader(TLayerState& state, const Statement& record);
    void CreateLayer(TLayerState& state);
    // The index of the parameter of neuron called name, -1 when it has none.
    int FindParameter(TLayerState& state, int neuron, const std::string& name);
    // Checks fn (given on line) for the neurons of state's layer.
    void CheckFunction(const TLayerState& state, ActFunction fn, int line) const;
    ActFunction LookUpFunction(const std::string& name) const;
    Statement ReadNeurons(TLayerState& state, const std::string& neuronsName,
                          const std::string& layerName);
    void CheckAllLayers() const;

    Statement ReadConnectionLayer(const std::string& blockName, const std::string& networkName);
    TBasicConnections* CreateBlock(int from, int to, const std::string& type);
    void ReadMatrix(TBasicConnections* block, bool masks, const Statement& start);
    void ReadWeightList(TBasicConnections* block, bool masks, const std::string& listName);
    int CheckNeuron(int layer, int index) const;

    FileTools& tools;
    std::istream& in;
    TInformation info;
    std::unique_ptr<TBasicNetwork> network;
    long long totalNeurons = 0;  // over the layers created so far
    long long totalWeights = 0;  // over the blocks created so far
};

#endif
