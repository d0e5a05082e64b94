#ifndef DATAOBJECT_TLABELLIST_H
#define DATAOBJECT_TLABELLIST_H

#include <string>
#include <vector>

// One named label of a data row: a name and a value.
class TLabel {
public:
    TLabel() = default;
    TLabel(const char* name, double value);

    const char* GetName() const { return name.c_str(); }
    double GetValue() const { return value; }
    void AddValue(double amount) { value += amount; }

private:
    double value = 0.0;
    std::string name;  // empty for a label made by the default constructor
};

// The labels of one row, in the order they were first appended. Names are
// compared exactly (letter case matters): appending a name that is present
// adds the value to the first label of that name. Copies are deep.
class TLabelList {
public:
    TLabelList() = default;
    TLabelList(const char* name, double value);

    int GetCount() const { return static_cast<int>(labels.size()); }
    // index in 0 .. GetCount()-1.
    const TLabel& GetLabel(int index) const;

    // Adds value to the first label called name, or appends a new label.
    void AppendLabel(const char* name, double value);
    void Clear() { labels.clear(); }

private:
    std::vector<TLabel> labels;
};

#endif
