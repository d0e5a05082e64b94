#ifndef NEURALNETS_ERRORSANDDELTASWALK_H
#define NEURALNETS_ERRORSANDDELTASWALK_H

class TBasicNetwork;

// Back-propagation over the block (fromLayer -> toLayer) of network against
// the same block of gradientNet, a structure copy of network: for every
// existing trainable weight w(f -> t), to-neuron outer and from-neuron inner,
//   error[f]    += w * delta[t]        (gradientNet's values of fromLayer)
//   gradient(w) += delta[t] * out[f]   (out: the network's values of fromLayer)
// with delta the values of gradientNet's toLayer. This is exactly the walk
// of a TIterateObj2ErrorsAndDeltas visitor through Iterate2 with mask 0
// (same order, same selection, same arithmetic), done as a
// direct loop over the storage of the two weight-block classes, without a
// call per weight.
//
// Returns false, and does nothing, when the block is of another class; the
// caller then walks it with the visitor. fromLayer must differ from toLayer.
bool WalkErrorsAndDeltas(TBasicNetwork* network, TBasicNetwork* gradientNet, int fromLayer,
                         int toLayer);

#endif
