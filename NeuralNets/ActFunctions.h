#ifndef NEURALNETS_ACTFUNCTIONS_H
#define NEURALNETS_ACTFUNCTIONS_H

#include <memory>
#include <vector>

class TBasicNeuron;

// An activation function turns a neuron's net input into its output and
// writes the output into the neuron's value cell. Functions are plain
// functions identified by their address: two neurons have the same function
// when they hold the same address.
typedef void (*ActFunction)(TBasicNeuron* neuron, double netInput);

// The built-in functions. ActError is what a neuron holds until it is given a
// real function and ActNull is what a layer without neurons reports; calling
// either stops the program.
void ActError(TBasicNeuron* neuron, double netInput);
void ActNull(TBasicNeuron* neuron, double netInput);
void ActBias(TBasicNeuron* neuron, double netInput);
void ActLinear(TBasicNeuron* neuron, double netInput);
void ActSaturatedLinear(TBasicNeuron* neuron, double netInput);
void ActSigmoid(TBasicNeuron* neuron, double netInput);
void ActTanh(TBasicNeuron* neuron, double netInput);
// The three "-gain" functions read the neuron's gain: they may only be held
// by gain neurons (the neuron and layer setters enforce this).
void ActLinearGain(TBasicNeuron* neuron, double netInput);
void ActSigmoidGain(TBasicNeuron* neuron, double netInput);
void ActTanhGain(TBasicNeuron* neuron, double netInput);

// Whether fn reads a gain, so that only gain neurons may hold it. Readers ask
// this before they hand a function to a layer.
bool IsGainFunction(ActFunction fn);

// A table that names activation functions. Names are compared without regard
// to letter case and are unique under that comparison; entries keep their
// registration order. Every network owns one registry holding the ten
// built-in functions. The entry array starts with 16 slots and doubles when
// full.
class TFnRegistry {
public:
    TFnRegistry();
    TFnRegistry(const TFnRegistry&) = delete;
    TFnRegistry& operator=(const TFnRegistry&) = delete;
    virtual ~TFnRegistry();

    // Registers the ten built-in functions, in the order in which files and
    // listings name them.
    virtual void RegisterDefaults();

    // Adds fn under a copy of name; a name already registered is a
    // programming error.
    void Register(ActFunction fn, const char* name);
    // The function registered under name, or null when no entry has that name
    // (names come from files: the caller reports the unknown name).
    ActFunction GetFunction(const char* name) const;
    // The registered name of fn, owned by the registry and valid as long as
    // it; fn must be registered.
    const char* GetName(ActFunction fn) const;
    // The function slot of the entry called name; appends an entry with a
    // null function when there is none.
    ActFunction& operator[](const char* name);

    int GetCount() const { return count; }
    int GetCapacity() const { return capacity; }

private:
    struct Entry {
        std::unique_ptr<char[]> name;  // the heap copy keeps GetName's answer stable when the array grows
        ActFunction fn;
    };

    int Find(const char* name) const;
    void Append(ActFunction fn, const char* name);

    int capacity;
    int count;
    std::vector<Entry> entries;
};

#endif
