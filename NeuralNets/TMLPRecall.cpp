// Recall of a TMLPNetwork over a whole data set.

#include <algorithm>
#include <cstddef>
#include <memory>
#include <vector>

#include "DataObject/Data.h"
#include "KQmessage/KAssert.h"
#include "KQmessage/TException.h"
#include "NeuralNets/TErrorObj.h"
#include "NeuralNets/TMLPNetwork.h"

namespace {

// Zero-filled buffers large enough for the counts given (at least one value,
// so that a pointer into them is never null).
std::vector<double> Buffer(std::initializer_list<int> counts) {
    return std::vector<double>(static_cast<std::size_t>(std::max(std::max(counts), 1)), 0.0);
}

}  // namespace

Data* TMLPNetwork::RecallData(Data* in) {
    KASSERT(in != nullptr);
    const int inputCount = GetLayer(GetInLayer())->GetNumNeurons();
    const int outputCount = GetLayer(GetOutLayer())->GetNumNeurons();
    const int rows = in->GetNumRows();
    auto out = std::make_unique<Data>(rows, inputCount, outputCount, false);
    std::vector<double> inputs = Buffer({inputCount, in->GetNumSelectedInputs()});
    std::vector<double> outputs = Buffer({outputCount});
    in->RewindCursor();
    for (int row = 0; row < rows; ++row) {
        in->GetNextRow(inputs.data(), nullptr, nullptr);
        Recall(inputs.data(), outputs.data());
        out->AppendRow(inputs.data(), outputs.data(), nullptr);
    }
    return out.release();
}

void TMLPNetwork::RecallOutputOnly(Data* in, Data** out) {
    if (in == nullptr) {
        throw TException("Null data pointer", "Null Pointer Parameter", "TVarn::RecallOutputOnly",
                         nullptr);
    }
    KASSERT(out != nullptr);
    const int inputCount = GetLayer(GetInLayer())->GetNumNeurons();
    const int outputCount = GetLayer(GetOutLayer())->GetNumNeurons();
    const int rows = in->GetNumDataRows();
    auto result = std::make_unique<Data>(rows, 0, outputCount, false);
    std::vector<double> inputs = Buffer({inputCount, in->GetNumSelectedInputs()});
    std::vector<double> outputs = Buffer({outputCount});
    in->RewindCursor();
    for (int row = 0; row < rows; ++row) {
        in->GetNextRow(inputs.data(), nullptr, nullptr);
        Recall(inputs.data(), outputs.data());
        result->AppendRow(nullptr, outputs.data(), nullptr);
    }
    *out = result.release();
}

double TMLPNetwork::CalcDataError(Data* in, TErrorObj* err) {
    KASSERT(in != nullptr);
    KASSERT(err != nullptr);
    const int inputCount = GetLayer(GetInLayer())->GetNumNeurons();
    const int outputCount = GetLayer(GetOutLayer())->GetNumNeurons();
    std::vector<double> inputs = Buffer({inputCount, in->GetNumSelectedInputs()});
    // The error measure reads as many values of both as it has outputs.
    std::vector<double> expected = Buffer({outputCount, in->GetNumOutputs()});
    std::vector<double> outputs = Buffer({outputCount, in->GetNumOutputs()});
    const int rows = in->GetNumRows();
    in->RewindCursor();
    for (int row = 0; row < rows; ++row) {
        in->GetNextRow(inputs.data(), expected.data(), nullptr);
        Recall(inputs.data(), outputs.data());
        err->AddPattern(expected.data(), outputs.data());
    }
    return err->GetError();
}
