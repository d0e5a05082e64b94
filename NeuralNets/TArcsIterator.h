#ifndef NEURALNETS_TARCSITERATOR_H
#define NEURALNETS_TARCSITERATOR_H

class TBasicNetwork;
class TBasicNeuron;

// A cursor over the incoming arcs (weights) of one neuron, block by block,
// that moves forwards and backwards. It stands either on an arc (IsValid) or
// between arcs; Init positions it before the first arc.
class TArcsIterator {
public:
    explicit TArcsIterator(TBasicNetwork* net) : network(net) {}
    TArcsIterator(const TArcsIterator&) = delete;
    TArcsIterator& operator=(const TArcsIterator&) = delete;
    virtual ~TArcsIterator();

    virtual int GetFromLayer() const = 0;
    virtual int GetToLayer() const = 0;
    virtual int GetFromNode() const = 0;
    virtual int GetToNode() const = 0;
    virtual TBasicNeuron* GetToNeuron() const = 0;
    virtual TBasicNeuron* GetFromNeuron() const = 0;
    // The address of the current arc's weight.
    virtual double* GetWeight() const = 0;
    virtual bool IsValid() const { return CheckValid(); }
    virtual bool CheckValid() const = 0;
    // Move to the next or previous arc; false when there is none.
    virtual bool Next() = 0;
    virtual bool Prev() = 0;

    TBasicNetwork* GetNetwork() const { return network; }

private:
    TBasicNetwork* network;
};

// Iterates the arcs into a neuron from every layer.
class TInAllArcsIterator : public TArcsIterator {
public:
    explicit TInAllArcsIterator(TBasicNetwork* network) : TArcsIterator(network) {}
    ~TInAllArcsIterator() override;

    virtual void Init(int toLayer, int toNode);
};

// Iterates the arcs into a neuron from one given layer.
class TInLayerArcsIterator : public TArcsIterator {
public:
    explicit TInLayerArcsIterator(TBasicNetwork* network) : TArcsIterator(network) {}
    ~TInLayerArcsIterator() override;

    virtual void Init(int toLayer, int toNode, int fromLayer);
};

#endif
