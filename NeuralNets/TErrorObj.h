#ifndef NEURALNETS_TERROROBJ_H
#define NEURALNETS_TERROROBJ_H

class TKQstructure;

// An error measure: accumulates, pattern by pattern, how far a network's
// outputs lie from the expected outputs, and reports one number for all of
// it. One measure serves one pass over a data set: construct it with the
// data set's number of outputs, AddPattern once per row, optionally
// AddPenalty once, read GetError, delete it (through this base).
//
// Requires: every target and output array holds numOutputs values.
// Guarantees: AddPattern allocates nothing; GetError does not change the
// state; Reset returns the measure to its constructed state.
//
// A weight penalty is a keyword tree whose head names its kind, compared
// without regard to letter case, and whose keyword values carry the
// coefficients as numbers in text form:
//   "NONE"         value 0
//   "QUADPENALTY"  "EPSILON1" (0), "EPSILON2" (0), "BETA" (1.0):
//                  scale * sum over w of (e1*beta*w^2 / (beta*w^2 + 1) + e2*w^2)
//   "LWF"          "LEARNINGRATE" (0), "FORGETTINGRATE" (0):
//                  LEARNINGRATE * FORGETTINGRATE * sum over w of |w|
// A null tree counts as "NONE". Any other head is a programming error.
class TErrorObj {
public:
    explicit TErrorObj(int numOutputs);
    virtual ~TErrorObj();

    TErrorObj(const TErrorObj&) = delete;
    TErrorObj& operator=(const TErrorObj&) = delete;

    virtual void Reset() = 0;
    virtual void AddPattern(const double* target, const double* output) = 0;
    virtual double GetError() const = 0;
    // Adds CalcPenalty(numWeights, weights, penalty, 1.0) to the error. A
    // coefficient that is not a number throws TKQstructure::Error and leaves
    // the measure unchanged.
    virtual void AddPenalty(int numWeights, const double* weights,
                            const TKQstructure* penalty) = 0;

    // The penalty value of the weights; scale enters only "QUADPENALTY".
    double CalcPenalty(int numWeights, const double* weights, const TKQstructure* penalty,
                       double scale) const;

protected:
    int numOutputs;   // outputs per pattern, fixed at construction
    int numPatterns;  // patterns accumulated since construction or Reset
};

// Root mean squared error: sqrt((sum / numOutputs) / numPatterns), where sum
// holds the squared differences plus any added penalty. With no pattern (or
// no output) there is nothing to average and the error is 0.
class TErrorRMSObj final : public TErrorObj {
public:
    explicit TErrorRMSObj(int numOutputs);

    void Reset() override;
    void AddPattern(const double* target, const double* output) override;
    double GetError() const override;
    void AddPenalty(int numWeights, const double* weights,
                    const TKQstructure* penalty) override;

private:
    double sum;  // squared differences plus added penalties
};

// Cross-entropy: the sum over all patterns and outputs of
// -t*ln(y) - (1-t)*ln(1-y), not divided by any count. Outputs are expected in
// (0, 1]; an output of exactly 1 adds 0 when its target is exactly 1 and the
// fixed large term 1000000 otherwise, in place of the infinite logarithm.
// Other outputs outside (0, 1) follow the formula (infinite or NaN terms).
class TErrorCrossEntropyObj final : public TErrorObj {
public:
    explicit TErrorCrossEntropyObj(int numOutputs);

    void Reset() override;
    void AddPattern(const double* target, const double* output) override;
    double GetError() const override;
    void AddPenalty(int numWeights, const double* weights,
                    const TKQstructure* penalty) override;

private:
    double sum;  // cross-entropy terms plus added penalties
};

#endif
