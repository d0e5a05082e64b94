#include <algorithm>
#include <climits>
#include <fstream>
#include <istream>
#include <new>
#include <stdexcept>

#include "FileHandler/NetworkFile.h"
#include "FileHandler/NetworkFileReading.h"
#include "KQmessage/TKQstructure.h"
#include "NeuralNets/TBasicNetwork.h"
#include "NeuralNets/TConnectedNetwork.h"
#include "NeuralNets/TMLPNetwork.h"

TBasicNetwork* ReadNetwork(FileTools& tools, const char* fileName, TKQstructure* reply) {
    delete reply;
    tools.SetLine(1);
    std::ifstream in(fileName, std::ios::binary);
    // The stream dies with this function, so no error leaving it names it.
    // A file that cannot be opened has no line to show.
    if (!in) throw FileTools::Error("Error on File Open", nullptr, nullptr, 0);
    try {
        return ReadNetwork(tools, in, nullptr);
    } catch (const FileTools::Error& error) {
        throw FileTools::Error(error.GetMessage(), nullptr, nullptr, error.GetLine());
    }
}

TBasicNetwork* ReadNetwork(FileTools& tools, std::istream& in, TKQstructure* reply) {
    delete reply;
    tools.SetLine(1);
    // A file may declare sizes that the machine cannot hold; the network
    // built so far is freed on the way out.
    try {
        TNetworkFileReader reader(tools, in);
        return reader.Read().release();
    } catch (const std::bad_alloc&) {
        tools.Fail(in, "Not enough memory for the network");
    } catch (const std::length_error&) {
        tools.Fail(in, "Not enough memory for the network");
    }
}

TNetworkFileReader::TNetworkFileReader(FileTools& fileTools, std::istream& input)
    : tools(fileTools), in(input) {}

void TNetworkFileReader::FailAt(int line, const char* message) const {
    throw FileTools::Error(message, &in, nullptr, line);
}

bool TNetworkFileReader::Is(const std::string& keyword, const char* expected) {
    return KQ::strcasecmp(keyword.c_str(), expected) == 0;
}

std::unique_ptr<TBasicNetwork> TNetworkFileReader::Read() {
    std::string networkName =
        tools.ExpectBlockStart(tools.ReadStatement(in, nullptr, false), in, "NEURALNETWORK");
    std::string type =
        tools.ExpectString(tools.ReadStatement(in, nullptr, false), in, "NETWORKTYPE", nullptr);
    std::string informationName =
        tools.ExpectBlockStart(tools.ReadStatement(in, nullptr, false), in, "NETWORKINFORMATION");
    ReadInformation(informationName);
    CheckInformation();
    BuildNetwork(type);

    Statement record = Next(networkName);
    while (record.kind == KeyValue && Is(record.keyword, "LAYER")) {
        record = ReadLayer(record, networkName);
    }
    // Connection layers follow the layer blocks: every layer must be there.
    CheckAllLayers();
    while (record.kind == KeywordOnly && Is(record.keyword, "CONNECTIONLAYER")) {
        record = ReadConnectionLayer(record.keyword, networkName);
    }
    tools.ExpectEndTag(record, in);
    // Only blanks and comments may follow the network.
    if (tools.ReadStatement(in, nullptr, false).kind != EndOfBlock) Fail("End Tag expected");
    return std::move(network);
}

void TNetworkFileReader::ReadInformation(const std::string& blockName) {
    Statement record = Next(blockName);
    while (record.kind == KeyValue) {
        if (record.open) Fail("Too complicated statement");
        // The value is parsed first: a non-integer fails even under an
        // unknown keyword.
        int value = tools.ParseInteger(in, record.value.c_str());
        if (Is(record.keyword, "NUMBEROFLAYERS")) {
            info.numLayers = value;
        } else if (Is(record.keyword, "INPUTLAYER")) {
            info.inLayer = value;
        } else if (Is(record.keyword, "OUTPUTLAYER")) {
            info.outLayer = value;
        } else if (Is(record.keyword, "NUMBEROFINPUTS")) {
            info.inputs = value;
        } else if (Is(record.keyword, "NUMBEROFOUTPUTS")) {
            info.outputs = value;
        } else if (Is(record.keyword, "BIASLAYER")) {
            info.biasLayer = value;
        } else {
            Fail("Unknown keyword");
        }
        record = Next(blockName);
    }
    tools.ExpectEndTag(record, in);
}

namespace {

// Far beyond any layered network (1024 layers hold a million blocks).
constexpr int kMaxLayers = 1024;

}  // namespace

void TNetworkFileReader::CheckInformation() {
    if (info.numLayers < 0) Fail("Must specify number of layers");
    // The network holds one block object per ordered pair of layers, made
    // before any layer is read: a slip in the layer count must not ask for
    // gigabytes of empty blocks.
    if (info.numLayers > kMaxLayers) Fail("Too many layers");
    if (info.outLayer < 0) info.outLayer = info.numLayers - 1;
    if (info.inLayer < 0 || info.inLayer >= info.numLayers) Fail("Input layer out of range");
    if (info.outLayer >= info.numLayers) Fail("Output layer out of range");
}

void TNetworkFileReader::BuildNetwork(const std::string& type) {
    if (Is(type, "BASIC")) {
        network = std::make_unique<TBasicNetwork>(info.numLayers);
    } else if (Is(type, "CONNECTED")) {
        network = std::make_unique<TConnectedNetwork>(info.numLayers);
    } else if (Is(type, "MLP")) {
        // The MLP counts its layers without the bias layer 0.
        network = std::make_unique<TMLPNetwork>(info.numLayers - 1, info.biasLayer > 0);
    } else {
        Fail("Unknown network type");
    }
    network->SetInLayer(info.inLayer);
    network->SetOutLayer(info.outLayer);
}

void TNetworkFileReader::CheckAllLayers() const {
    for (int i = 0; i < info.numLayers; ++i) {
        if (network->GetLayer(i) == nullptr) Fail("Layer not defined");
    }
}

Statement TNetworkFileReader::ReadLayer(const Statement& start, const std::string& networkName) {
    TLayerState state;
    state.number = tools.ParseInteger(in, start.value.c_str());
    if (state.number < 0 || state.number >= info.numLayers) Fail("Layer number out of range");
    if (network->GetLayer(state.number) != nullptr) Fail("Layer already defined");
    const std::string& layerName = start.keyword;

    // The header: [keyword = value] or [ALL keyword = value], one pair each.
    Statement record = Next(layerName);
    while (record.kind == KeyValue || (record.kind == KeywordOnly && Is(record.keyword, "ALL"))) {
        if (record.kind == KeywordOnly) {
            if (!record.open) Fail("[ALL] is incomplete statment");
            record = NextItem(layerName);
            if (record.kind != KeyValue) Fail("Required syntax is [ALL <keyword>=<val>]");
        }
        if (record.open) Fail("Too complicated statement");
        ReadLayerHeader(state, record);
        if (state.layer == nullptr && state.count >= 0 && !state.type.empty()) CreateLayer(state);
        record = Next(layerName);
    }
    if (state.layer == nullptr) Fail("Layer type or number of neurons missing");
    if (state.function != nullptr) {
        CheckFunction(state, state.function, state.functionLine);
        state.layer->SetActFunction(state.function);
    }

    if (record.kind == KeywordOnly && Is(record.keyword, "NEURONS")) {
        record = ReadNeurons(state, record.keyword, layerName);
    } else {
        // Without a neurons block every parameter needs a layer-wide value.
        for (bool given : state.headerGiven) {
            if (!given) Fail("Incomplete Layer information");
        }
        if (!state.params.empty()) {
            for (int i = 0; i < state.count; ++i) {
                state.layer->GetNeuron(i)->SetParameters(state.params.data());
            }
        }
        // Neurons that nothing gave a function could not be evaluated (an
        // input layer holds the linear function from its creation).
        for (int i = 0; i < state.count; ++i) {
            if (state.layer->GetNeuron(i)->GetActFunction() == ActError) {
                Fail("No activation function defined");
            }
        }
    }
    tools.ExpectEndTag(record, in);
    return Next(networkName);
}

void TNetworkFileReader::ReadLayerHeader(TLayerState& state, const Statement& record) {
    if (Is(record.keyword, "LAYERTYPE")) {
        if (state.layer != nullptr && !Is(record.value, state.layer->GetLayerType())) {
            Fail("Layer type changed after the layer was created");
        }
        state.type = record.value;
    } else if (Is(record.keyword, "NUMBEROFNEURONS")) {
        int count = tools.ParseInteger(in, record.value.c_str());
        if (count < 0) Fail("Negative number of neurons");
        if (state.layer != nullptr && count != state.count) {
            Fail("Number of neurons changed after the layer was created");
        }
        state.count = count;
    } else if (Is(record.keyword, "ACTIVATIONFUNCTION")) {
        state.function = LookUpFunction(record.value);
        state.functionLine = tools.GetLine();
    } else {
        // Any other keyword names a neuron parameter, for every neuron.
        if (state.layer == nullptr) Fail("Neuron parameter before the layer is created");
        int i = state.count > 0 ? FindParameter(state, 0, record.keyword) : -1;
        if (i < 0) Fail("Unknown neuron parameter");
        state.params[static_cast<size_t>(i)] = tools.ParseNumber(in, record.value.c_str());
        state.headerGiven[static_cast<size_t>(i)] = true;
    }
}

void TNetworkFileReader::CreateLayer(TLayerState& state) {
    if (state.number == info.inLayer && info.inputs >= 0 && info.inputs != state.count) {
        Fail("wrong number inputs in header");
    }
    if (state.number == info.outLayer && info.outputs >= 0 && info.outputs != state.count) {
        Fail("wrong number outputs in header");
    }
    bool simple = Is(state.type, "SIMPLE");
    bool input = Is(state.type, "INPUT");
    bool gain = Is(state.type, "GAIN");
    if (!simple && !input && !gain) Fail("Unknown layer type");
    // The network numbers its neurons across all layers with an int.
    if (totalNeurons + state.count > INT_MAX) Fail("Too many neurons");

    TBasicNetwork* owner = network.get();
    TBasicLayer* layer = nullptr;
    if (simple) {
        layer = new TSimpleLayer(owner, state.number, state.count);
    } else if (input) {
        layer = new TSimpleInputLayer(owner, state.number, state.count);
    } else {
        layer = new TGainLayer(owner, state.number, state.count, 1.0);
    }
    network->SetLayer(state.number, layer);
    state.layer = layer;
    totalNeurons += state.count;

    int numParams = 0;
    for (int i = 0; i < state.count; ++i) {
        numParams = std::max(numParams, layer->GetNeuron(i)->GetNumParameters());
    }
    state.params.assign(static_cast<size_t>(numParams), 0.0);
    state.headerGiven.assign(static_cast<size_t>(numParams), false);
    state.defined.assign(static_cast<size_t>(state.count), false);
}

int TNetworkFileReader::FindParameter(TLayerState& state, int neuron, const std::string& name) {
    TBasicNeuron* n = state.layer->GetNeuron(neuron);
    int limit = std::min(static_cast<int>(state.params.size()), n->GetNumParameters());
    for (int i = 0; i < limit; ++i) {
        if (Is(name, n->GetParameterName(i))) return i;
    }
    return -1;
}

ActFunction TNetworkFileReader::LookUpFunction(const std::string& name) const {
    ActFunction fn = network->GetRegistry()->GetFunction(name.c_str());
    if (fn == nullptr) Fail("Unknown activation function");
    return fn;
}

void TNetworkFileReader::CheckFunction(const TLayerState& state, ActFunction fn, int line) const {
    if (IsGainFunction(fn) && !state.layer->HasGainNeurons()) {
        FailAt(line, "Activation function needs gain neurons");
    }
    // "error" marks a neuron without a function and "null" an empty layer:
    // neither can be evaluated.
    if (state.count > 0 && (fn == ActError || fn == ActNull)) {
        FailAt(line, "Activation function not usable on neurons");
    }
}

Statement TNetworkFileReader::ReadNeurons(TLayerState& state, const std::string& neuronsName,
                                          const std::string& layerName) {
    Statement record = Next(neuronsName);
    while (record.kind == KeyValue && Is(record.keyword, "NEURON")) {
        int index = tools.ParseInteger(in, record.value.c_str());
        if (index < 0 || index >= state.count) Fail("Neuron index out of range");
        if (state.defined[static_cast<size_t>(index)]) Fail("repeated neuron");
        TBasicNeuron* neuron = state.layer->GetNeuron(index);
        ActFunction own = nullptr;
        while (record.open) {
            record = NextItem(neuronsName);
            if (record.kind != KeyValue) Fail("Equals clause expected in neuron parameter");
            if (Is(record.keyword, "ACTIVATIONFUNCTION")) {
                own = LookUpFunction(record.value);
            } else {
                int i = FindParameter(state, index, record.keyword);
                if (i < 0) Fail("Unknown neuron parameter");
                state.params[static_cast<size_t>(i)] = tools.ParseNumber(in, record.value.c_str());
            }
        }
        // The values stay in force for the neurons that follow.
        if (!state.params.empty()) neuron->SetParameters(state.params.data());
        // A layer-wide function wins over the neuron's own.
        if (state.function == nullptr) {
            if (own == nullptr) Fail("No activation function defined");
            CheckFunction(state, own, tools.GetLine());
            neuron->SetActFunction(own);
        }
        state.defined[static_cast<size_t>(index)] = true;
        record = Next(neuronsName);
    }
    tools.ExpectEndTag(record, in);
    for (bool defined : state.defined) {
        if (!defined) Fail("Neuron not defined");
    }
    return Next(layerName);
}
