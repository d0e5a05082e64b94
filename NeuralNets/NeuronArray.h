#ifndef NEURALNETS_NEURONARRAY_H
#define NEURALNETS_NEURONARRAY_H

#include <cstddef>
#include <vector>

#include "NeuralNets/TBasicLayer.h"

// Helpers shared by the layer kinds that keep their neurons in one
// std::vector of their own neuron class. Copying a neuron copies its function
// and parameters; Place then gives it its position in the layer.
namespace NeuronArray {

template <class Neuron>
void PlaceAll(std::vector<Neuron>& neurons, TBasicLayer* layer) {
    double* values = layer->GetValues();
    int number = layer->GetLayerNumber();
    for (std::size_t i = 0; i < neurons.size(); ++i) {
        neurons[i].Place(layer, number, static_cast<int>(i), values + i);
    }
}

// The functions are called directly, without a virtual call per neuron. Each
// net input is read before its neuron's output overwrites the cell.
template <class Neuron>
void Activate(std::vector<Neuron>& neurons, ActFunction common, const double* netInputs) {
    std::size_t n = neurons.size();
    if (common != nullptr) {
        for (std::size_t i = 0; i < n; ++i) common(&neurons[i], netInputs[i]);
    } else {
        for (std::size_t i = 0; i < n; ++i) {
            neurons[i].GetActFunction()(&neurons[i], netInputs[i]);
        }
    }
}

// Appends a copy of source and tells the copy where it came from.
template <class Neuron>
void AppendCopy(std::vector<Neuron>& target, const Neuron& source) {
    target.push_back(source);
    target.back().CopyFrom(&source);
}

template <class Neuron>
std::vector<Neuron> Without(const std::vector<Neuron>& old, int index) {
    std::vector<Neuron> fresh;
    fresh.reserve(old.size() - 1);
    for (std::size_t i = 0; i + 1 < old.size(); ++i) {
        AppendCopy(fresh, old[i < static_cast<std::size_t>(index) ? i : i + 1]);
    }
    return fresh;
}

template <class Neuron>
std::vector<Neuron> With(const std::vector<Neuron>& old, int index, const Neuron& added) {
    std::vector<Neuron> fresh;
    fresh.reserve(old.size() + 1);
    std::size_t at = static_cast<std::size_t>(index);
    for (std::size_t i = 0; i < at; ++i) AppendCopy(fresh, old[i]);
    fresh.push_back(added);
    for (std::size_t i = at; i < old.size(); ++i) AppendCopy(fresh, old[i]);
    return fresh;
}

}  // namespace NeuronArray

#endif
