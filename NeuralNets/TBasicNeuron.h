#ifndef NEURALNETS_TBASICNEURON_H
#define NEURALNETS_TBASICNEURON_H

#include "NeuralNets/ActFunctions.h"

class TBasicLayer;

// A neuron of a layer. Neurons never stand alone: a layer creates them in one
// array and places each one (Place) so that neuron i has index i, the layer's
// number, the layer as owner and output = &layer values[i]. The function is
// ActError until a real one is set. Neuron addresses change when the layer
// inserts or removes a neuron.
class TBasicNeuron {
public:
    TBasicNeuron() = default;
    virtual ~TBasicNeuron();

    // Calls the neuron's function with this neuron and netInput.
    virtual void Activate(double netInput);
    virtual int GetNumParameters() const;
    virtual void GetParameters(double* out) const;
    virtual void SetParameters(const double* in);
    virtual const char* GetParameterName(int i) const;
    // Hook run on a freshly placed neuron after its layer copied source's
    // fields into it (cloning, insertion, removal).
    virtual void CopyFrom(const TBasicNeuron* source);

    // fn must not be null, and a "-gain" function needs a neuron with a
    // gain. The owning layer forgets its cached common function.
    void SetActFunction(ActFunction fn);
    ActFunction GetActFunction() const { return function; }

    int GetLayerNumber() const { return layerNumber; }
    int GetIndex() const { return index; }
    double* GetOutput() const { return output; }
    TBasicLayer* GetLayer() const { return layer; }

    // Used by layers only: puts the neuron at its place in the layer.
    void Place(TBasicLayer* owner, int number, int position, double* cell) {
        layer = owner;
        layerNumber = number;
        index = position;
        output = cell;
    }
    void SetLayerNumber(int number) { layerNumber = number; }

private:
    int layerNumber = 0;
    int index = 0;
    double* output = nullptr;
    TBasicLayer* layer = nullptr;
    ActFunction function = ActError;
};

// A neuron with one parameter, its gain (1.0 at construction), read by the
// "-gain" activation functions.
class TGainNeuron : public TBasicNeuron {
public:
    TGainNeuron() = default;
    ~TGainNeuron() override;

    int GetNumParameters() const override;
    void GetParameters(double* out) const override;
    void SetParameters(const double* in) override;
    const char* GetParameterName(int i) const override;

    double GetGain() const { return gain; }
    void SetGain(double value) { gain = value; }

private:
    double gain = 1.0;
};

#endif
