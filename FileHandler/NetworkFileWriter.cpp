#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iomanip>
#include <ostream>
#include <string>
#include <vector>

#include "FileHandler/NetworkFile.h"
#include "KQmessage/KAssert.h"
#include "KQmessage/TKQstructure.h"
#include "NeuralNets/TBasicNetwork.h"

namespace {

// Neuron parameters and weight-list weights: fixed notation, 15 decimals.
const int Decimals = 15;
// Weight matrices: general notation, 15 significant digits, in fields of 20.
const int MatrixPrecision = 15;
const int MatrixField = 20;
// A block with fewer than 35 % of its weights existing is written as a list:
// existing * 20 < possible * 7.
const long long ListNumerator = 7;
const long long ListDenominator = 20;

void ReadParameters(TBasicNeuron* neuron, std::vector<double>& into) {
    into.resize(static_cast<size_t>(neuron->GetNumParameters()));
    if (!into.empty()) neuron->GetParameters(into.data());
}

// Writes one network; tools and out are the writing context.
class TNetworkFileWriter {
public:
    TNetworkFileWriter(FileTools& fileTools, std::ostream& output, TBasicNetwork* net)
        : tools(fileTools), out(output), network(net) {}

    void Write();

private:
    void WriteInformation();
    void WriteLayer(int number);
    void WriteNeurons(TBasicLayer* layer, ActFunction common, const std::vector<bool>& isCommon);
    void WriteBlock(TBasicConnections* block);
    void WriteMatrix(TBasicConnections* block, bool masks);
    TBasicLayer* Layer(int number) const {
        TBasicLayer* layer = network->GetLayer(number);
        KASSERT(layer != nullptr);
        return layer;
    }

    FileTools& tools;
    std::ostream& out;
    TBasicNetwork* network;
};

void TNetworkFileWriter::Write() {
    tools.WriteFormatVersion(out);
    tools.WriteKeyword(out, "NeuralNetwork", true);
    tools.WriteString(out, "NetworkType", network->GetNetworkType(), true);
    tools.WriteNewLine(out);
    WriteInformation();
    for (int i = 0; i < network->GetNumLayers(); ++i) WriteLayer(i);
    for (int from = 0; from < network->GetNumLayers(); ++from) {
        for (int to = 0; to < network->GetNumLayers(); ++to) {
            TBasicConnections* block = network->GetConnections(from, to);
            if (block->IsConnected()) WriteBlock(block);
        }
    }
    tools.WriteNewLine(out);
    tools.WriteEndTag(out, "NeuralNetwork");
}

void TNetworkFileWriter::WriteInformation() {
    tools.WriteKeyword(out, "NetworkInformation", true);
    tools.WriteInteger(out, "NumberOfLayers", network->GetNumLayers(), true);
    tools.WriteInteger(out, "InputLayer", network->GetInLayer(), true);
    tools.WriteInteger(out, "OutputLayer", network->GetOutLayer(), true);
    tools.WriteInteger(out, "NumberOfInputs", Layer(network->GetInLayer())->GetNumNeurons(), true);
    tools.WriteInteger(out, "NumberOfOutputs", Layer(network->GetOutLayer())->GetNumNeurons(),
                       true);
    ActFunction bias = network->GetRegistry()->GetFunction("bias");
    for (int i = 0; i < network->GetNumLayers(); ++i) {
        TBasicLayer* layer = Layer(i);
        if (layer->GetActFunction() != bias || layer->GetNumNeurons() == 0) continue;
        if (layer->GetNumNeurons() != 1) {
            throw FileTools::Error("Illegal number of bias nodes", nullptr, &out, 0);
        }
        tools.WriteInteger(out, "BiasLayer", i, true);
    }
    tools.WriteEndTag(out, "NetworkInformation");
}

void TNetworkFileWriter::WriteLayer(int number) {
    TBasicLayer* layer = Layer(number);
    int n = layer->GetNumNeurons();
    tools.WriteNewLine(out);
    tools.WriteInteger(out, "Layer", number, true);
    tools.WriteString(out, "LayerType", layer->GetLayerType(), true);
    tools.WriteInteger(out, "NumberOfNeurons", n, true);
    ActFunction common = layer->GetActFunction();
    if (common != nullptr) {
        tools.WriteOpenBracket(out, true);
        tools.WriteKeyword(out, "All", false);
        tools.WriteString(out, "ActivationFunction", network->GetRegistry()->GetName(common),
                          false);
        tools.WriteCloseBracket(out, true, true);
    }
    if (n > 0) {
        // A parameter is common when every neuron has neuron 0's name and
        // value for it (compared exactly).
        TBasicNeuron* first = layer->GetNeuron(0);
        int numParams = first->GetNumParameters();
        std::vector<double> values;
        std::vector<double> other;
        ReadParameters(first, values);
        std::vector<bool> isCommon(values.size(), true);
        for (int j = 1; j < n; ++j) {
            TBasicNeuron* neuron = layer->GetNeuron(j);
            ReadParameters(neuron, other);
            for (int i = 0; i < numParams; ++i) {
                size_t k = static_cast<size_t>(i);
                if (k >= other.size() || other[k] != values[k] ||
                    KQ::strcasecmp(neuron->GetParameterName(i), first->GetParameterName(i)) != 0) {
                    isCommon[k] = false;
                }
            }
        }
        bool allCommon = true;
        for (int i = 0; i < numParams; ++i) {
            if (!isCommon[static_cast<size_t>(i)]) {
                allCommon = false;
                continue;
            }
            tools.WriteOpenBracket(out, true);
            tools.WriteKeyword(out, "All", false);
            tools.WriteNumber(out, first->GetParameterName(i), values[static_cast<size_t>(i)],
                              Decimals, false);
            tools.WriteCloseBracket(out, true, true);
        }
        if (common == nullptr || !allCommon) WriteNeurons(layer, common, isCommon);
    }
    tools.WriteEndTag(out, "Layer");
}

// One line per neuron: its function when the layer has no common one, and
// its parameters that are not common.
void TNetworkFileWriter::WriteNeurons(TBasicLayer* layer, ActFunction common,
                                      const std::vector<bool>& isCommon) {
    tools.WriteKeyword(out, "Neurons", true);
    std::vector<double> values;
    for (int j = 0; j < layer->GetNumNeurons(); ++j) {
        TBasicNeuron* neuron = layer->GetNeuron(j);
        tools.WriteOpenBracket(out, true);
        tools.WriteInteger(out, "Neuron", j, false);
        if (common == nullptr) {
            tools.WriteString(out, "ActivationFunction",
                              network->GetRegistry()->GetName(neuron->GetActFunction()), false);
        }
        ReadParameters(neuron, values);
        int count = static_cast<int>(std::min(values.size(), isCommon.size()));
        for (int i = 0; i < count; ++i) {
            if (isCommon[static_cast<size_t>(i)]) continue;
            tools.WriteNumber(out, neuron->GetParameterName(i), values[static_cast<size_t>(i)],
                              Decimals, false);
        }
        tools.WriteCloseBracket(out, true, true);
    }
    tools.WriteEndTag(out, "Neurons");
}

void TNetworkFileWriter::WriteBlock(TBasicConnections* block) {
    const char* type = block->GetConnectionsNType();
    bool masks = KQ::strcasecmp(type, "FullyConnected") != 0;
    tools.WriteNewLine(out);
    tools.WriteKeyword(out, "ConnectionLayer", true);
    tools.WriteInteger(out, "LayerFrom", block->GetFromLayer(), true);
    tools.WriteInteger(out, "LayerTo", block->GetToLayer(), true);
    tools.WriteString(out, "ConnectionType", type, true);
    tools.WriteOpenBracket(out, true);
    tools.WriteKeyword(out, "Attributes", false);
    tools.WriteKeyword(out, masks ? "Pruneable" : "UnPrunable", false);
    tools.WriteKeyword(out, masks ? "Freezable" : "UnFreezable", false);
    tools.WriteCloseBracket(out, true, true);

    TIterateObjCount counter;
    block->Iterate(&counter, FMaskExists);
    long long possible = static_cast<long long>(Layer(block->GetFromLayer())->GetNumNeurons()) *
                         Layer(block->GetToLayer())->GetNumNeurons();
    if (counter.count * ListDenominator < possible * ListNumerator) {
        tools.WriteKeyword(out, "WeightList", true);
        TIterateObjSaveWeights saver(&out, &tools, masks, Decimals);
        block->Iterate(&saver, FMaskExists);
        tools.WriteEndTag(out, "WeightList");
    } else {
        WriteMatrix(block, masks);
    }
    tools.WriteEndTag(out, "ConnectionLayer");
}

// Rows are source neurons, columns destination neurons, each closed by a
// comment naming it, so that the numbers line up under their column heads:
//   /* To->            0                    1  From */
//                    0.5                -0.25  /* 0 */
void TNetworkFileWriter::WriteMatrix(TBasicConnections* block, bool masks) {
    int rows = Layer(block->GetFromLayer())->GetNumNeurons();
    int columns = Layer(block->GetToLayer())->GetNumNeurons();
    tools.WriteOpenBracket(out, true);
    tools.WriteKeyword(out, "Matrix", false);
    tools.WriteKeyword(out, "Weights", false);
    if (masks) tools.WriteKeyword(out, "TrainableInfo", false);
    tools.WriteCloseBracket(out, true, true);

    // Each column head ends under the last character of its column: the
    // number field, or the trainable flag after it.
    int firstWidth = masks ? 15 : 13;
    int width = masks ? 23 : 21;
    out << "/* To->";
    for (int t = 0; t < columns; ++t) out << std::setw(t == 0 ? firstWidth : width) << t;
    out << "  From */";
    tools.WriteNewLine(out);
    for (int s = 0; s < rows; ++s) {
        for (int t = 0; t < columns; ++t) {
            bool exists = block->Exists(s, t);
            if (exists) {
                out << std::setw(MatrixField) << *block->GetWeight(s, t);
            } else {
                out << std::setw(MatrixField) << "-";
            }
            out << ' ';
            if (masks) out << (!exists ? "- " : block->IsTrainable(s, t) ? "T " : "F ");
        }
        out << " /* " << s << " */";
        tools.WriteNewLine(out);
    }
    tools.WriteEndTag(out, "Matrix");
}

}  // namespace

void TIterateObjCount::Visit() { ++count; }

TIterateObjSaveWeights::TIterateObjSaveWeights(std::ostream* output, FileTools* fileTools,
                                               bool trainableKeyword, int decimals)
    : stream(output), tools(fileTools), withTrainable(trainableKeyword), precision(decimals) {}

void TIterateObjSaveWeights::Visit() {
    tools->WriteOpenBracket(*stream, true);
    tools->WriteInteger(*stream, "From", fromNode, false);
    tools->WriteInteger(*stream, "To", toNode, false);
    tools->WriteNumber(*stream, "Weight", *weight, precision, false);
    if (withTrainable) tools->WriteKeyword(*stream, trainable ? "Trainable" : "UnTrainable", false);
    tools->WriteCloseBracket(*stream, true, true);
}

void WriteNetwork(FileTools& tools, std::ostream& out, TBasicNetwork* network,
                  TKQstructure* reply) {
    delete reply;
    KASSERT(network != nullptr);
    // The text must not depend on what the caller did to the stream before:
    // decimal integers, general notation, right-aligned fields.
    out.flags(std::ios::dec | std::ios::skipws);
    out.fill(' ');
    out.precision(MatrixPrecision);
    TNetworkFileWriter(tools, out, network).Write();
    out.flush();
    if (!out) throw FileTools::Error("Cannot write network file", nullptr, &out, 0);
}

namespace {

// Removes the temporary file unless it became the destination.
class TTemporaryFile {
public:
    explicit TTemporaryFile(std::string fileName) : name(std::move(fileName)) {}
    ~TTemporaryFile() {
        if (!kept) std::remove(name.c_str());
    }
    TTemporaryFile(const TTemporaryFile&) = delete;
    TTemporaryFile& operator=(const TTemporaryFile&) = delete;

    const std::string& Name() const { return name; }
    void Keep() { kept = true; }

private:
    std::string name;
    bool kept = false;
};

}  // namespace

void WriteNetwork(FileTools& tools, const char* fileName, TBasicNetwork* network,
                  TKQstructure* reply) {
    delete reply;
    // Beside the destination, so that the rename stays within one file system.
    TTemporaryFile temporary(std::string(fileName) + ".tmp." + std::to_string(getpid()));
    {
        std::ofstream out(temporary.Name(), std::ios::binary | std::ios::trunc);
        if (!out) throw FileTools::Error("Error on File Open", nullptr, nullptr, 0);
        try {
            WriteNetwork(tools, out, network, nullptr);
        } catch (const FileTools::Error& error) {
            // The error names the temporary's stream, which is gone when the
            // caller sees it: pass the message on without a stream.
            throw FileTools::Error(error.GetMessage(), nullptr, nullptr, error.GetLine());
        }
        out.close();
        if (out.fail()) throw FileTools::Error("Cannot write network file", nullptr, nullptr, 0);
    }
    if (std::rename(temporary.Name().c_str(), fileName) != 0) {
        throw FileTools::Error("Cannot write network file", nullptr, nullptr, 0);
    }
    temporary.Keep();
}
