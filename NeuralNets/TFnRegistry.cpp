#include <cstring>

#include "KQmessage/KAssert.h"
#include "KQmessage/TKQstructure.h"
#include "NeuralNets/ActFunctions.h"

namespace {

const int InitialCapacity = 16;

}  // namespace

TFnRegistry::TFnRegistry() : capacity(InitialCapacity), count(0) {
    entries.reserve(static_cast<size_t>(capacity));
}

TFnRegistry::~TFnRegistry() = default;

void TFnRegistry::RegisterDefaults() {
    Register(ActError, "error");
    Register(ActNull, "null");
    Register(ActBias, "bias");
    Register(ActLinear, "linear");
    Register(ActSaturatedLinear, "saturated-linear");
    Register(ActSigmoid, "sigmoid");
    Register(ActTanh, "tanh");
    Register(ActLinearGain, "linear-gain");
    Register(ActSigmoidGain, "sigmoid-gain");
    Register(ActTanhGain, "tanh-gain");
}

// The last entry of that name wins: only operator[] can create a duplicate.
int TFnRegistry::Find(const char* name) const {
    for (int i = count - 1; i >= 0; --i) {
        if (KQ::strcasecmp(name, entries[static_cast<size_t>(i)].name.get()) == 0) return i;
    }
    return -1;
}

void TFnRegistry::Append(ActFunction fn, const char* name) {
    if (count == capacity) {
        capacity *= 2;
        entries.reserve(static_cast<size_t>(capacity));
    }
    size_t length = std::strlen(name) + 1;
    Entry entry{std::unique_ptr<char[]>(new char[length]), fn};
    std::memcpy(entry.name.get(), name, length);
    entries.push_back(std::move(entry));
    count += 1;
}

void TFnRegistry::Register(ActFunction fn, const char* name) {
    KASSERT(name != nullptr);
    KASSERT(Find(name) < 0);  // names are unique without regard to letter case
    Append(fn, name);
}

ActFunction TFnRegistry::GetFunction(const char* name) const {
    int i = Find(name);
    return i < 0 ? nullptr : entries[static_cast<size_t>(i)].fn;
}

const char* TFnRegistry::GetName(ActFunction fn) const {
    int found = -1;
    for (int i = count - 1; i >= 0 && found < 0; --i) {
        if (entries[static_cast<size_t>(i)].fn == fn) found = i;
    }
    KASSERT(found >= 0);  // only registered functions have names
    return entries[static_cast<size_t>(found)].name.get();
}

ActFunction& TFnRegistry::operator[](const char* name) {
    int i = Find(name);
    if (i < 0) {
        Append(nullptr, name);
        i = count - 1;
    }
    return entries[static_cast<size_t>(i)].fn;
}
