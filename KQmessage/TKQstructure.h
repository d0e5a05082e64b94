#ifndef KQMESSAGE_TKQSTRUCTURE_H
#define KQMESSAGE_TKQSTRUCTURE_H

#include <memory>
#include <string>
#include <vector>

namespace KQ {

// The system's case-insensitive comparison of keywords, options and names:
// the letters a to z equal A to Z, every other byte compares as itself
// (unsigned). Returns -1, 0 or +1. It lives in this namespace so that it is
// never confused with the C library's strcasecmp, which depends on the locale.
int strcasecmp(const char* a, const char* b);

}  // namespace KQ

// A keyword tree in the style of a KQML message: a head word followed by an
// ordered list of keyword/value pairs whose values are keyword trees again.
// A value without pairs is just a word (its head).
//
// Guarantees: keywords are unique under KQ::strcasecmp (adding a keyword that
// is present replaces the value in place, keeping the stored keyword and the
// pair's position); every value is owned by its parent tree; copies are deep.
// The pair array grows to twice its capacity, at least 16, when full; a copy
// has exactly the capacity its source has pairs.
class TKQstructure {
public:
    // Thrown by the checking operations and the value conversions, and by
    // the KQML reader for malformed text. The error tree describes the error
    // (head "error", keyword "type" with the error kind, then details). The
    // tree is shared by all copies of the error object and freed with the
    // last of them, so a handler may read it while it holds the error.
    class Error {
    public:
        explicit Error(TKQstructure* tree);
        TKQstructure* GetTree() const { return tree.get(); }

    private:
        std::shared_ptr<TKQstructure> tree;
    };

    TKQstructure();
    explicit TKQstructure(const char* head);
    TKQstructure(const TKQstructure& source);
    TKQstructure& operator=(const TKQstructure& source);
    ~TKQstructure();

    const char* GetHead() const { return head.c_str(); }
    void SetHead(const char* newHead);

    int GetCount() const { return static_cast<int>(pairs.size()); }
    int GetCapacity() const { return capacity; }
    const char* GetKeyword(int index) const;
    TKQstructure* GetValueAt(int index) const;

    // Takes ownership of value (never null).
    void AddValue(const char* keyword, TKQstructure* value);
    TKQstructure* FindValue(const char* keyword) const;
    TKQstructure* GetValue(const char* keyword) const;
    void RemoveValue(const char* keyword);

    void SetString(const char* keyword, const char* text);
    void SetInteger(const char* keyword, long value);
    void SetReal(const char* keyword, double value);
    void SetBoolean(const char* keyword, bool value);

    TKQstructure* RequireValue(const char* keyword) const;
    void RequireTag(const char* keyword, const char* expected) const;

private:
    struct Pair {
        std::string keyword;
        std::unique_ptr<TKQstructure> value;
    };

    int FindIndex(const char* keyword) const;
    void CopyPairsFrom(const TKQstructure& source);

    std::string head;
    std::vector<Pair> pairs;
    int capacity;  // the pair array's capacity as the growth rule defines it
};

// Conversions of a value's text (callers pass the head of a value tree).
double ParseReal(const char* text);
long ParseLong(const char* text);
bool ParseBoolean(const char* text);
// The same reads for texts known to hold a number; a failure is a
// programming error.
long ScanInteger(const char* text);
double ScanReal(const char* text);

// A new tree (error :type <type>); the caller owns it.
TKQstructure* MakeErrorTree(const char* type);

// Words 1 .. count-1, each followed by one blank, as a new text that the
// caller releases with delete[]. The empty text for count <= 1.
char* JoinArguments(int count, char** words);

#endif
