#include "DataObject/TLabelList.h"

#include <cstring>

#include "KQmessage/KAssert.h"

TLabel::TLabel(const char* labelName, double labelValue)
    : value(labelValue), name(labelName != nullptr ? labelName : "") {}

TLabelList::TLabelList(const char* name, double value) { AppendLabel(name, value); }

const TLabel& TLabelList::GetLabel(int index) const {
    KASSERT(index >= 0 && index < GetCount());
    return labels[static_cast<size_t>(index)];
}

void TLabelList::AppendLabel(const char* name, double value) {
    KASSERT(name != nullptr);
    for (TLabel& label : labels) {
        if (std::strcmp(label.GetName(), name) == 0) {
            label.AddValue(value);
            return;
        }
    }
    labels.emplace_back(name, value);
}
