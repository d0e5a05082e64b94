#include "NeuralNets/TrainParams.h"

#include "KQmessage/KAssert.h"
#include "KQmessage/TKQstructure.h"
#include "NeuralNets/TErrorObj.h"

int ErrorFunctionMode(const char* name) {
    if (name == nullptr) return -1;
    if (KQ::strcasecmp(name, "MEANSQUAREDERROR") == 0) return kMeanSquaredError;
    if (KQ::strcasecmp(name, "CROSSENTROPY") == 0) return kCrossEntropy;
    return -1;
}

int ReadErrorFunction(const TKQstructure* params) {
    const TKQstructure* value = params != nullptr ? params->FindValue("ERRORFUNCTION") : nullptr;
    if (value == nullptr) return kMeanSquaredError;
    const int mode = ErrorFunctionMode(value->GetHead());
    KASSERT(mode != -1);  // an unknown error function is rejected before training
    return mode;
}

double ReadRealParam(const TKQstructure* params, const char* keyword, double fallback) {
    const TKQstructure* value = params != nullptr ? params->FindValue(keyword) : nullptr;
    return value != nullptr ? ParseReal(value->GetHead()) : fallback;
}

bool ParamEquals(const TKQstructure* params, const char* keyword, const char* text) {
    const TKQstructure* value = params != nullptr ? params->FindValue(keyword) : nullptr;
    return value != nullptr && KQ::strcasecmp(value->GetHead(), text) == 0;
}

std::unique_ptr<TErrorObj> NewErrorMeasure(int mode, int numOutputs) {
    if (mode == kCrossEntropy) return std::make_unique<TErrorCrossEntropyObj>(numOutputs);
    KASSERT(mode == kMeanSquaredError);
    return std::make_unique<TErrorRMSObj>(numOutputs);
}
