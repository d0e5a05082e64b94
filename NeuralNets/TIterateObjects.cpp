#include "NeuralNets/TIterateObjects.h"

#include "NeuralNets/TBasicConnections.h"
#include "NeuralNets/TRandom.h"

void TIterateObjRandomize::Visit() { *weight = KRandomDraw(lo, hi); }

void TIterateObjGetFlags::Visit() {
    buffer[count] = conns->GetFlags(fromNode, toNode);
    count += 1;
}

void TIterateObjSetFlags::Visit() {
    conns->SetFlags(fromNode, toNode, static_cast<char>(flags[index]));
    index += 1;
}

void TIterateObjAllUntrainable::Visit() { conns->SetUntrainable(fromNode, toNode); }
