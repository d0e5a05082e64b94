#ifndef NEURALNETS_TBASICCONNECTIONS_H
#define NEURALNETS_TBASICCONNECTIONS_H

#include <memory>

class TBasicNetwork;
class TIterateObj;
class TIterateObj2;
class TIterateObj3;

// Weight flags: one byte per weight in blocks that keep flags.
const char FMaskExists = 1;     // the weight exists (takes part in the forward pass)
const char FMaskTrainable = 2;  // training may change the weight
const char FMaskAll = 3;        // exists and trainable: every weight of a new block

// The flags a weight needs to be selected by an operation called with mask:
// FMaskExists selects every existing weight, any other mask (training passes
// 0) the weights that exist and are trainable.
inline char RequiredFlags(int mask) { return mask == FMaskExists ? FMaskExists : FMaskAll; }

// A connection block: the weights from the neurons of layer fromLayer to the
// neurons of layer toLayer of its network. A weight is addressed by (from,
// to), neuron indexes in the two layers. The block keeps no neuron counts: it
// reads them from the network's layers whenever it runs, so the network
// reshapes a block right after it changes one of its layers.
//
// The defaults below serve blocks that only implement the iterations: they
// count, read and write weights in Iterate order, randomise the selected
// weights of mask 0 and sum the forward contribution through visitors. A
// block is freed through Destroy(), never with delete.
class TBasicConnections {
public:
    TBasicConnections(TBasicNetwork* network, int fromLayer, int toLayer);
    TBasicConnections(const TBasicConnections&) = delete;
    TBasicConnections& operator=(const TBasicConnections&) = delete;

    virtual bool IsConnected() const;
    // The number of weights Iterate visits with mask.
    virtual int GetNumWeights(int mask);
    // Writes the selected weights to buffer in the block's own order; returns
    // how many.
    virtual int GetWeights(double* buffer, int mask);
    // Reads the selected weights from buffer in the order of GetWeights;
    // returns how many.
    virtual int SetWeights(const double* buffer, int mask);
    // Every trainable weight gets a random draw in [lo, hi), one draw per
    // weight in visiting order; equal bounds set lo and draw nothing.
    virtual void Randomize(double lo, double hi);
    virtual double* GetWeight(int from, int to) = 0;
    // netInputs[t] += the weighted sum of the from-layer's values over the
    // existing weights into to-neuron t, from-neurons in increasing order.
    virtual void Propagate(double* netInputs);
    virtual bool Exists(int from, int to) = 0;
    virtual bool IsTrainable(int from, int to);
    virtual void Prune(int from, int to);
    virtual void Restore(int from, int to);
    virtual void SetTrainable(int from, int to);
    virtual void SetUntrainable(int from, int to);
    // Visit the selected weights into toNode (from-neurons ascending), out of
    // fromNode (to-neurons ascending), or all of them (to-neuron outer,
    // from-neuron inner). The block binds the visitor to its layer pair, then
    // sets fromNode, toNode, weight and trainable before each Visit().
    virtual void IterateIn(TIterateObj* v, int toNode, int mask) = 0;
    virtual void IterateOut(TIterateObj* v, int fromNode, int mask) = 0;
    virtual void Iterate(TIterateObj* v, int mask) = 0;
    // The same walk over this block and the block of the same layer pair in
    // the other networks, which must have the same structure and block class.
    virtual void Iterate2(TIterateObj2* v, TBasicNetwork* second, int mask) = 0;
    virtual void Iterate3(TIterateObj3* v, TBasicNetwork* second, TBasicNetwork* third,
                          int mask) = 0;
    // "Empty", "FullyConnected" or "Pruneable": the block kind names of
    // network files.
    virtual const char* GetConnectionsNType() const = 0;
    virtual char GetFlags(int from, int to);
    // A block without flags accepts only FMaskAll and FMaskExists and stores
    // nothing.
    virtual void SetFlags(int from, int to, char val);
    virtual void Destroy() = 0;
    // A block of the same class, layer pair, weights and flags belonging to
    // owner. Sizes are read from this block's network.
    virtual TBasicConnections* Clone(TBasicNetwork* owner) const = 0;
    // Reshaping, called right after the layer lost or gained neuron node.
    virtual void RemoveFromNeuron(int node) = 0;
    virtual void RemoveToNeuron(int node) = 0;
    virtual void InsertFromNeuron(int node, double lo, double hi, bool attached);
    virtual void InsertToNeuron(int node, double lo, double hi, bool attached);

    // The flag byte of every existing weight in Iterate order.
    std::unique_ptr<char[]> GetAllFlags();
    void SetAllFlags(const unsigned char* flags);
    void SetAllUntrainable();

    TBasicNetwork* GetNetwork() const { return network; }
    int GetFromLayer() const { return fromLayer; }
    int GetToLayer() const { return toLayer; }
    // The network renumbers its blocks when it inserts or removes a layer.
    void SetLayerPair(int from, int to) {
        fromLayer = from;
        toLayer = to;
    }

protected:
    virtual ~TBasicConnections();

    // Neuron counts of the two layers, read from the network now.
    int NumFrom() const;
    int NumTo() const;

private:
    TBasicNetwork* network;
    int fromLayer;
    int toLayer;
};

#endif
