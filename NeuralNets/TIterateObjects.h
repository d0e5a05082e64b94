#ifndef NEURALNETS_TITERATEOBJECTS_H
#define NEURALNETS_TITERATEOBJECTS_H

#include "NeuralNets/TIterateObj.h"

// The visitors the network model itself uses. Counters start at 0, cursors
// at the start of the caller's buffer, the sum at 0.0; the caller reads them
// after the iteration.

class TIterateObjGetNumWeights final : public TIterateObj {
public:
    void Visit() override { count += 1; }

    int count = 0;
};

class TIterateObjGetWeights final : public TIterateObj {
public:
    explicit TIterateObjGetWeights(double* buffer) : cursor(buffer) {}
    void Visit() override {
        *cursor = *weight;
        ++cursor;
        count += 1;
    }

    int count = 0;
    double* cursor;
};

class TIterateObjSetWeights final : public TIterateObj {
public:
    explicit TIterateObjSetWeights(const double* buffer) : cursor(buffer) {}
    void Visit() override {
        *weight = *cursor;
        ++cursor;
        count += 1;
    }

    int count = 0;
    const double* cursor;
};

// One draw per visited weight in [lo, hi); equal bounds set lo without
// drawing.
class TIterateObjRandomize final : public TIterateObj {
public:
    TIterateObjRandomize(double low, double high) : lo(low), hi(high) {}
    void Visit() override;

    double lo;
    double hi;
};

class TIterateObjAggregate final : public TIterateObj {
public:
    void Visit() override { sum += fromValues[fromNode] * *weight; }

    double sum = 0.0;
};

class TIterateObjGetFlags final : public TIterateObj {
public:
    explicit TIterateObjGetFlags(char* out) : buffer(out) {}
    void Visit() override;

    int count = 0;
    char* buffer;
};

class TIterateObjSetFlags final : public TIterateObj {
public:
    explicit TIterateObjSetFlags(const unsigned char* in) : flags(in) {}
    void Visit() override;

    int index = 0;
    const unsigned char* flags;
};

class TIterateObjAllUntrainable final : public TIterateObj {
public:
    void Visit() override;
};

// Counts the existing weights out of a neuron (PruneNodes).
class TIterateObjPruneNode final : public TIterateObj {
public:
    void Visit() override { count += 1; }

    int count = 0;
};

#endif
