// The connection layers of a network file: one weight block per layer pair,
// its header, and its weights as matrices or weight lists.

#include <climits>
#include <iostream>

#include "FileHandler/NetworkFileReading.h"

namespace {

// 2^28 weights (2 GiB of weights and a quarter of that in flags) in one
// block: far beyond any network this program can train.
constexpr long long kMaxBlockWeights = 1LL << 28;

}  // namespace
#include "KQmessage/TKQstructure.h"
#include "NeuralNets/TBasicNetwork.h"
#include "NeuralNets/TConnectedConnections.h"
#include "NeuralNets/TPrunedConnections.h"

namespace {

// A matrix holds at most this many columns (weights and trainable flags).
const int MaxMatrixColumns = 9;

}  // namespace

Statement TNetworkFileReader::ReadConnectionLayer(const std::string& blockName,
                                                  const std::string& networkName) {
    int from = -1;
    int to = -1;
    std::string type;
    Statement record = Next(blockName);
    while (record.kind == KeyValue ||
           (record.kind == KeywordOnly && Is(record.keyword, "ATTRIBUTES"))) {
        if (record.kind == KeywordOnly) {
            // The attributes describe the block kind; they are read and ignored.
            while (record.open) record = NextItem(blockName);
        } else {
            if (record.open) Fail("Too complicated statement");
            if (Is(record.keyword, "LAYERFROM")) {
                from = tools.ParseInteger(in, record.value.c_str());
            } else if (Is(record.keyword, "LAYERTO")) {
                to = tools.ParseInteger(in, record.value.c_str());
            } else if (Is(record.keyword, "CONNECTIONTYPE")) {
                type = record.value;
            } else {
                Fail("Unknown keyword in connections");
            }
        }
        record = Next(blockName);
    }
    if (from == -1 || to == -1 || type.empty()) Fail("Insufficient information to construct layer");
    if (from < 0 || from >= info.numLayers || to < 0 || to >= info.numLayers) {
        Fail("Layer number out of range");
    }
    TBasicConnections* block = CreateBlock(from, to, type);

    // A block with flags starts without weights: the file lists those that
    // exist. A fully connected block has every weight, 0.0 and trainable.
    bool masks = KQ::strcasecmp(block->GetConnectionsNType(), "FullyConnected") != 0;
    if (masks) {
        int numFrom = network->GetLayer(from)->GetNumNeurons();
        int numTo = network->GetLayer(to)->GetNumNeurons();
        for (int i = 0; i < numFrom; ++i) {
            for (int j = 0; j < numTo; ++j) block->Prune(i, j);
        }
    }

    while (record.kind == KeywordOnly &&
           (Is(record.keyword, "MATRIX") || Is(record.keyword, "WEIGHTLIST"))) {
        if (Is(record.keyword, "MATRIX")) {
            ReadMatrix(block, masks, record);
        } else {
            ReadWeightList(block, masks, record.keyword);
        }
        record = Next(blockName);
    }
    tools.ExpectEndTag(record, in);
    return Next(networkName);
}

TBasicConnections* TNetworkFileReader::CreateBlock(int from, int to, const std::string& type) {
    bool full = Is(type, "FULLYCONNECTED");
    if (!full && !Is(type, "PRUNEABLE")) Fail("Insufficient information to construct layer");
    if (network->GetConnections(from, to)->IsConnected()) Fail("Connections already defined");
    // Layers exist (all layer blocks come first), so their sizes are known.
    const TBasicLayer* fromLayer = network->GetLayer(from);
    const TBasicLayer* toLayer = network->GetLayer(to);
    if (fromLayer == nullptr || toLayer == nullptr) Fail("Layer not defined");
    // The weight vector of a block and of the network is counted with an
    // int, and a block stores every possible weight: a few words of a file
    // must not commit gigabytes that the machine then cannot keep.
    long long size = static_cast<long long>(fromLayer->GetNumNeurons()) * toLayer->GetNumNeurons();
    if (size > kMaxBlockWeights || totalWeights + size > INT_MAX) Fail("Connection block too large");

    TBasicNetwork* owner = network.get();
    TBasicConnections* block = nullptr;
    if (full) {
        block = new TConnectedConnections(owner, from, to);
    } else {
        block = new TPrunedConnections(owner, from, to);
    }
    network->ReplaceConnections(from, to, block);
    totalWeights += size;
    return block;
}

int TNetworkFileReader::CheckNeuron(int layer, int index) const {
    if (index < 0 || index >= network->GetLayer(layer)->GetNumNeurons()) {
        Fail("Neuron index out of range");
    }
    return index;
}

// [Matrix column ...] then one token per source neuron i (outer), destination
// neuron j and column (inner), in the order the columns are listed: a later
// column acts after an earlier one on the same weight.
void TNetworkFileReader::ReadMatrix(TBasicConnections* block, bool masks, const Statement& start) {
    const std::string& matrixName = start.keyword;
    std::vector<bool> weightColumn;  // true: WEIGHTS, false: TRAINABLEINFO
    bool open = start.open;
    while (open) {
        Statement item = NextItem(matrixName);
        if (item.kind != KeywordOnly) Fail("Keyword expected in matrix parameter");
        if (Is(item.keyword, "WEIGHTS")) {
            weightColumn.push_back(true);
        } else if (Is(item.keyword, "TRAINABLEINFO")) {
            weightColumn.push_back(false);
        } else {
            Fail("Unknown matrix attribute");
        }
        if (static_cast<int>(weightColumn.size()) > MaxMatrixColumns) {
            Fail("Too many matrix columns");
        }
        open = item.open;
    }

    int numFrom = network->GetLayer(block->GetFromLayer())->GetNumNeurons();
    int numTo = network->GetLayer(block->GetToLayer())->GetNumNeurons();
    Statement record = Next(matrixName);
    for (int i = 0; i < numFrom && !weightColumn.empty(); ++i) {
        for (int j = 0; j < numTo; ++j) {
            for (bool weights : weightColumn) {
                if (record.kind != Token) Fail("Token Expected");
                const std::string& token = record.keyword;
                if (weights) {
                    if (token == "-") {
                        if (!masks) Fail("Weight cannot be removed from a fully connected block");
                        block->Prune(i, j);
                    } else {
                        block->Restore(i, j);
                        *block->GetWeight(i, j) = tools.ParseNumber(in, token.c_str());
                    }
                } else if (Is(token, "T")) {
                    block->SetTrainable(i, j);
                } else if (Is(token, "F")) {
                    if (!masks) Fail("Weight cannot be frozen in a fully connected block");
                    block->SetUntrainable(i, j);
                } else if (block->Exists(i, j)) {
                    // Any other entry may only mark a weight that does not exist.
                    Fail("Trainable entry must be T or F");
                }
                record = Next(matrixName);
            }
        }
    }
    tools.ExpectEndTag(record, in);
}

// [WeightList] then one statement per weight: items FROM, TO, WEIGHT (0.0 by
// default) and TRAINABLE or UNTRAINABLE (trainable by default), in any order.
void TNetworkFileReader::ReadWeightList(TBasicConnections* block, bool masks,
                                        const std::string& listName) {
    Statement record = Next(listName);
    while (record.kind == KeywordOnly || record.kind == KeyValue) {
        int from = -1;
        int to = -1;
        double weight = 0.0;
        bool trainable = true;
        for (;;) {
            if (record.kind == KeyValue) {
                if (Is(record.keyword, "FROM")) {
                    from = tools.ParseInteger(in, record.value.c_str());
                } else if (Is(record.keyword, "TO")) {
                    to = tools.ParseInteger(in, record.value.c_str());
                } else if (Is(record.keyword, "WEIGHT")) {
                    weight = tools.ParseNumber(in, record.value.c_str());
                } else {
                    Fail("Unknown keyword in weights list");
                }
            } else if (Is(record.keyword, "TRAINABLE")) {
                trainable = true;
            } else if (Is(record.keyword, "UNTRAINABLE")) {
                trainable = false;
            } else {
                std::cout << record.keyword << std::endl;
                Fail("Unknown keyword in weights list");
            }
            if (!record.open) break;
            record = NextItem(listName);
        }
        if (from == -1 || to == -1) Fail("Insufficient information in weights list");
        CheckNeuron(block->GetFromLayer(), from);
        CheckNeuron(block->GetToLayer(), to);
        if (!trainable && !masks) Fail("Weight cannot be frozen in a fully connected block");
        block->Restore(from, to);
        if (trainable) {
            block->SetTrainable(from, to);
        } else {
            block->SetUntrainable(from, to);
        }
        *block->GetWeight(from, to) = weight;
        record = Next(listName);
    }
    tools.ExpectEndTag(record, in);
}
