#ifndef NEURALNETS_TRAINPARAMS_H
#define NEURALNETS_TRAINPARAMS_H

#include <memory>

class TErrorObj;
class TKQstructure;

// Reading the training parameters out of a parameter tree (head "Params").
// Keywords and names are compared without regard to letter case; numbers are
// read from a value's head with ParseReal, which throws TKQstructure::Error
// for a text that is no number.

// The error-function modes of the training module.
const int kMeanSquaredError = 0;
const int kCrossEntropy = 1;

// The mode an error-function name selects: kMeanSquaredError for
// "MEANSQUAREDERROR", kCrossEntropy for "CROSSENTROPY", -1 for any other
// text (also the empty text and null).
int ErrorFunctionMode(const char* name);

// The mode of the "ERRORFUNCTION" entry: mean squared error when params is
// null or has no such entry. Another name is a programming error here:
// callers reject it before training (CheckTrainingSetup).
int ReadErrorFunction(const TKQstructure* params);

// The number under keyword, or fallback when params is null or has no such
// entry.
double ReadRealParam(const TKQstructure* params, const char* keyword, double fallback);

// A new error measure for mode: root mean squared error or cross-entropy,
// for numOutputs outputs per pattern.
std::unique_ptr<TErrorObj> NewErrorMeasure(int mode, int numOutputs);

// Whether the head of the value under keyword equals text.
bool ParamEquals(const TKQstructure* params, const char* keyword, const char* text);

#endif
