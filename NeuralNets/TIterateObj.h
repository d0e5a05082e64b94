#ifndef NEURALNETS_TITERATEOBJ_H
#define NEURALNETS_TITERATEOBJ_H

class TBasicConnections;
class TBasicLayer;
class TBasicNetwork;

// Visitors of weights. A connection block binds a visitor to its layer pair
// (layer numbers, layer objects, value arrays, the pair's block), then for
// every selected weight sets fromNode, toNode, the weight address(es) and
// trainable (1 or 0) and calls Visit(). Visitors are small value objects built
// on the stack; Visit() may change the current weight and call the current
// block's flag operations but must not reshape the network.

// Visits the weights of one network.
class TIterateObj {
public:
    TIterateObj() = default;

    virtual void Visit() {}

    // Binds to the block of the two layers in their network.
    void Bind(TBasicLayer* from, TBasicLayer* to);
    void Bind(TBasicNetwork* network, int fromLayer, int toLayer);

    int fromLayer = 0;
    int toLayer = 0;
    int fromNode = 0;
    int toNode = 0;
    TBasicConnections* conns = nullptr;
    double* weight = nullptr;
    unsigned char trainable = 0;
    TBasicLayer* fromLayerPtr = nullptr;
    TBasicLayer* toLayerPtr = nullptr;
    double* fromValues = nullptr;
    double* toValues = nullptr;
};

// Visits the weights of two networks of identical structure in step (for
// instance the weights and their gradients); trainable comes from the first.
class TIterateObj2 {
public:
    TIterateObj2() = default;
    TIterateObj2(TBasicNetwork* first, TBasicNetwork* second, int fromLayer, int toLayer,
                 int fromNode, int toNode);

    virtual void Visit() {}

    // The pair's blocks in both networks must be of the same class.
    void Bind(TBasicNetwork* first, TBasicNetwork* second, int fromLayer, int toLayer);

    int fromLayer = 0;
    int toLayer = 0;
    int fromNode = 0;
    int toNode = 0;
    TBasicConnections* conns1 = nullptr;
    TBasicConnections* conns2 = nullptr;
    double* weight1 = nullptr;
    double* weight2 = nullptr;
    unsigned char trainable = 0;
    TBasicLayer* fromLayerPtr1 = nullptr;
    TBasicLayer* toLayerPtr1 = nullptr;
    TBasicLayer* fromLayerPtr2 = nullptr;
    TBasicLayer* toLayerPtr2 = nullptr;
    double* fromValues1 = nullptr;
    double* toValues1 = nullptr;
    double* fromValues2 = nullptr;
    double* toValues2 = nullptr;
};

// The same for three networks (weights, gradients, previous changes).
class TIterateObj3 {
public:
    TIterateObj3() = default;
    TIterateObj3(TBasicNetwork* first, TBasicNetwork* second, TBasicNetwork* third,
                 int fromLayer, int toLayer, int fromNode, int toNode);

    virtual void Visit() {}

    // The pair's blocks in all three networks must be of the same class.
    void Bind(TBasicNetwork* first, TBasicNetwork* second, TBasicNetwork* third, int fromLayer,
              int toLayer);

    int fromLayer = 0;
    int toLayer = 0;
    int fromNode = 0;
    int toNode = 0;
    TBasicConnections* conns1 = nullptr;
    TBasicConnections* conns2 = nullptr;
    TBasicConnections* conns3 = nullptr;
    double* weight1 = nullptr;
    double* weight2 = nullptr;
    double* weight3 = nullptr;
    unsigned char trainable = 0;
    TBasicLayer* fromLayerPtr1 = nullptr;
    TBasicLayer* toLayerPtr1 = nullptr;
    TBasicLayer* fromLayerPtr2 = nullptr;
    TBasicLayer* toLayerPtr2 = nullptr;
    TBasicLayer* fromLayerPtr3 = nullptr;
    TBasicLayer* toLayerPtr3 = nullptr;
    double* fromValues1 = nullptr;
    double* toValues1 = nullptr;
    double* fromValues2 = nullptr;
    double* toValues2 = nullptr;
    double* fromValues3 = nullptr;
    double* toValues3 = nullptr;
};

#endif
