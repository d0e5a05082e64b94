#include "KQmessage/TKQstructure.h"

#include <cstring>

#include "KQmessage/KAssert.h"
#include "KQmessage/NumberText.h"

namespace KQ {

int strcasecmp(const char* a, const char* b) {
    const unsigned char* p = reinterpret_cast<const unsigned char*>(a);
    const unsigned char* q = reinterpret_cast<const unsigned char*>(b);
    for (;; ++p, ++q) {
        unsigned char c = *p;
        unsigned char d = *q;
        if (c >= 'a' && c <= 'z') c = static_cast<unsigned char>(c - 'a' + 'A');
        if (d >= 'a' && d <= 'z') d = static_cast<unsigned char>(d - 'a' + 'A');
        if (c != d) return c < d ? -1 : 1;
        if (c == 0) return 0;
    }
}

}  // namespace KQ

namespace {

constexpr int kInitialCapacity = 16;  // also the least capacity after growth

}  // namespace

TKQstructure::Error::Error(TKQstructure* errorTree) : tree(errorTree) {}

TKQstructure::TKQstructure() : head("unknown"), capacity(kInitialCapacity) {
    pairs.reserve(kInitialCapacity);
}

TKQstructure::TKQstructure(const char* newHead) : head(newHead), capacity(kInitialCapacity) {
    pairs.reserve(kInitialCapacity);
}

TKQstructure::TKQstructure(const TKQstructure& source) : head(source.head), capacity(0) {
    CopyPairsFrom(source);
}

TKQstructure& TKQstructure::operator=(const TKQstructure& source) {
    if (this == &source) return *this;
    // Copy first so that assigning a tree one of its own values is safe.
    TKQstructure copy(source);
    head.swap(copy.head);
    pairs.swap(copy.pairs);
    capacity = copy.capacity;
    return *this;
}

TKQstructure::~TKQstructure() = default;

void TKQstructure::CopyPairsFrom(const TKQstructure& source) {
    capacity = source.GetCount();
    pairs.reserve(static_cast<size_t>(capacity));
    for (const Pair& pair : source.pairs) {
        pairs.push_back(Pair{pair.keyword, std::make_unique<TKQstructure>(*pair.value)});
    }
}

void TKQstructure::SetHead(const char* newHead) { head = newHead; }

const char* TKQstructure::GetKeyword(int index) const {
    KASSERT(index >= 0 && index < GetCount());
    return pairs[static_cast<size_t>(index)].keyword.c_str();
}

TKQstructure* TKQstructure::GetValueAt(int index) const {
    KASSERT(index >= 0 && index < GetCount());
    return pairs[static_cast<size_t>(index)].value.get();
}

int TKQstructure::FindIndex(const char* keyword) const {
    for (int i = GetCount() - 1; i >= 0; --i) {
        if (KQ::strcasecmp(pairs[static_cast<size_t>(i)].keyword.c_str(), keyword) == 0) return i;
    }
    return -1;
}

void TKQstructure::AddValue(const char* keyword, TKQstructure* value) {
    KASSERT(value != nullptr);
    std::unique_ptr<TKQstructure> owned(value);
    int index = FindIndex(keyword);
    if (index >= 0) {
        pairs[static_cast<size_t>(index)].value = std::move(owned);
        return;
    }
    Pair pair{keyword, std::move(owned)};  // copy the keyword before any growth
    if (GetCount() == capacity) {
        capacity = capacity * 2 < kInitialCapacity ? kInitialCapacity : capacity * 2;
        pairs.reserve(static_cast<size_t>(capacity));
    }
    pairs.push_back(std::move(pair));
}

TKQstructure* TKQstructure::FindValue(const char* keyword) const {
    int index = FindIndex(keyword);
    return index >= 0 ? pairs[static_cast<size_t>(index)].value.get() : nullptr;
}

TKQstructure* TKQstructure::GetValue(const char* keyword) const {
    TKQstructure* value = FindValue(keyword);
    KASSERT(value != nullptr);
    return value;
}

void TKQstructure::RemoveValue(const char* keyword) {
    int index = FindIndex(keyword);
    if (index < 0) return;
    // The last pair takes the removed pair's place.
    if (static_cast<size_t>(index) + 1 != pairs.size()) {
        pairs[static_cast<size_t>(index)] = std::move(pairs.back());
    }
    pairs.pop_back();
}

void TKQstructure::SetString(const char* keyword, const char* text) {
    AddValue(keyword, new TKQstructure(text));
}

void TKQstructure::SetInteger(const char* keyword, long value) {
    SetString(keyword, FormatLong(value).c_str());
}

void TKQstructure::SetReal(const char* keyword, double value) {
    SetString(keyword, FormatFixed(value, 6).c_str());
}

void TKQstructure::SetBoolean(const char* keyword, bool value) {
    SetString(keyword, value ? "true" : "false");
}

TKQstructure* TKQstructure::RequireValue(const char* keyword) const {
    TKQstructure* value = FindValue(keyword);
    if (value == nullptr) {
        TKQstructure* tree = MakeErrorTree("invalid-message");
        tree->SetString("expected", keyword);
        throw Error(tree);
    }
    return value;
}

void TKQstructure::RequireTag(const char* keyword, const char* expected) const {
    TKQstructure* value = RequireValue(keyword);
    if (expected[0] == '\0') return;
    if (KQ::strcasecmp(value->GetHead(), expected) == 0) return;
    TKQstructure* tree = MakeErrorTree("invalid-message");
    tree->SetString("tag", keyword);
    tree->SetString("expected-value", expected);
    throw Error(tree);
}

double ParseReal(const char* text) {
    double value = 0.0;
    if (!ScanDoublePrefix(text, &value)) {
        TKQstructure* tree = MakeErrorTree("invalid-message");
        tree->SetString("number-expected", text);
        throw TKQstructure::Error(tree);
    }
    return value;
}

long ParseLong(const char* text) {
    long value = 0;
    if (!ScanLongPrefix(text, &value)) {
        TKQstructure* tree = MakeErrorTree("invalid-message");
        tree->SetString("integer-expected", text);
        throw TKQstructure::Error(tree);
    }
    return value;
}

bool ParseBoolean(const char* text) {
    if (KQ::strcasecmp(text, "TRUE") == 0) return true;
    if (KQ::strcasecmp(text, "FALSE") == 0) return false;
    TKQstructure* tree = MakeErrorTree("type-error");
    tree->SetString("expected", "boolean");
    throw TKQstructure::Error(tree);
}

long ScanInteger(const char* text) {
    long value = 0;
    bool err = ScanLongPrefix(text, &value);
    KASSERT(err == 1);
    return value;
}

double ScanReal(const char* text) {
    double value = 0.0;
    bool err = ScanDoublePrefix(text, &value);
    KASSERT(err == 1);
    return value;
}

TKQstructure* MakeErrorTree(const char* type) {
    TKQstructure* tree = new TKQstructure("error");
    tree->SetString("type", type);
    return tree;
}

char* JoinArguments(int count, char** words) {
    size_t length = 0;
    for (int i = 1; i < count; ++i) length += std::strlen(words[i]) + 1;
    char* text = new char[length + 1];
    char* out = text;
    for (int i = 1; i < count; ++i) {
        size_t n = std::strlen(words[i]);
        std::memcpy(out, words[i], n);
        out += n;
        *out++ = ' ';
    }
    *out = '\0';
    return text;
}
