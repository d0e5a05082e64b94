#include <gtest/gtest.h>

#include <string>

#include "KQmessage/KQML.h"

namespace {

// The error tree of a thrown TKQstructure::Error, printed in KQML text form.
template <typename F>
std::string ErrorText(F action) {
    try {
        action();
    } catch (const TKQstructure::Error& error) {
        std::ostringstream out;
        Print(error.GetTree(), out);
        return out.str();
    }
    return "no error";
}

std::string Text(const TKQstructure& tree) {
    std::ostringstream out;
    Print(&tree, out);
    return out.str();
}

}  // namespace

TEST(StrCaseCmp, ComparesAsciiLettersWithoutCase) {
    struct Case {
        const char* a;
        const char* b;
        int expected;
    } cases[] = {
        {"abc", "ABD", -1}, {"Params", "PARAMS", 0}, {"b", "A", 1},     {"", "", 0},
        {"a", "", 1},       {"", "a", -1},           {"[", "{", -1},    {"_", "a", 1},  // a folds to A (0x41), below _ (0x5F)
        // bytes above 127 compare unsigned and are never folded
        {"\xe9", "\xc9", 1}, {"\xe9", "a", 1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(KQ::strcasecmp(c.a, c.b), c.expected) << c.a << " vs " << c.b;
    }
}

TEST(KQstructure, NewTreesAndCopiesHaveTheirCapacities) {
    TKQstructure tree;
    EXPECT_STREQ(tree.GetHead(), "unknown");
    EXPECT_EQ(tree.GetCount(), 0);
    EXPECT_EQ(tree.GetCapacity(), 16);

    TKQstructure copy(tree);
    EXPECT_EQ(copy.GetCapacity(), 0);
    copy.SetString("k", "v");
    EXPECT_EQ(copy.GetCapacity(), 16);

    TKQstructure big("big");
    for (int i = 0; i < 17; ++i) big.SetInteger(("k" + std::to_string(i)).c_str(), i);
    EXPECT_EQ(big.GetCapacity(), 32);
    for (int i = 0; i < 17; ++i) EXPECT_EQ(big.GetKeyword(i), "k" + std::to_string(i));
    EXPECT_EQ(TKQstructure(big).GetCapacity(), 17);
}

TEST(KQstructure, AddValueReplacesInPlaceKeepingTheFirstSpelling) {
    TKQstructure tree("Params");
    tree.SetString("Alpha", "1");
    tree.AddValue("Rate", new TKQstructure("x"));
    tree.SetString("Omega", "2");
    tree.AddValue("RATE", new TKQstructure("y"));  // x is destroyed (ASan sees a leak otherwise)
    EXPECT_EQ(Text(tree), "(Params :Alpha 1 :Rate y :Omega 2)");
    EXPECT_STREQ(tree.FindValue("rAtE")->GetHead(), "y");
    EXPECT_EQ(tree.FindValue("missing"), nullptr);
}

TEST(KQstructure, RemoveValueMovesTheLastPairIntoTheGap) {
    TKQstructure tree("t");
    tree.SetString("a", "1");
    tree.SetString("b", "2");
    tree.SetString("c", "3");
    tree.RemoveValue("A");
    EXPECT_EQ(Text(tree), "(t :c 3 :b 2)");
    tree.RemoveValue("absent");
    EXPECT_EQ(tree.GetCount(), 2);
}

TEST(KQstructure, SettersFormatTheirValues) {
    TKQstructure tree("t");
    tree.SetInteger("i", -5);
    tree.SetReal("r", 0.1);
    tree.SetBoolean("b", true);
    tree.SetBoolean("f", false);
    EXPECT_EQ(Text(tree), "(t :i -5 :r 0.100000 :b true :f false)");

    // "%f" of a huge value has over 300 digits; it is stored whole.
    tree.SetReal("huge", 1e300);
    std::string huge = tree.FindValue("huge")->GetHead();
    EXPECT_EQ(huge.size(), 301u + 7u);
    EXPECT_EQ(huge.substr(0, 5), "10000");
    EXPECT_EQ(huge.substr(huge.size() - 7), ".000000");
}

TEST(KQstructure, CopiesAndAssignmentsAreDeep) {
    TKQstructure source("s");
    source.AddValue("inner", new TKQstructure("i"));
    source.FindValue("inner")->SetString("leaf", "1");

    TKQstructure copy(source);
    copy.FindValue("inner")->SetString("leaf", "2");
    EXPECT_EQ(Text(source), "(s :inner (i :leaf 1))");
    EXPECT_EQ(Text(copy), "(s :inner (i :leaf 2))");

    TKQstructure target("t");
    target.SetString("old", "x");
    target = source;
    EXPECT_EQ(Text(target), "(s :inner (i :leaf 1))");
    EXPECT_EQ(target.GetCapacity(), 1);
    target = target;  // self-assignment changes nothing
    EXPECT_EQ(Text(target), "(s :inner (i :leaf 1))");
    // Assigning a tree one of its own values is safe.
    target = *target.FindValue("inner");
    EXPECT_EQ(Text(target), "(i :leaf 1)");
}

TEST(KQstructure, ChecksThrowTheirErrorTrees) {
    TKQstructure tree("Params");
    tree.SetString("ErrorFunction", "CrossEntropy");
    EXPECT_EQ(ErrorText([&] { tree.RequireValue("rows"); }),
              "(error :type invalid-message :expected rows)");
    EXPECT_EQ(ErrorText([&] { tree.RequireTag("rows", ""); }),
              "(error :type invalid-message :expected rows)");
    EXPECT_EQ(ErrorText([&] { tree.RequireTag("errorfunction", "MeanSquaredError"); }),
              "(error :type invalid-message :tag errorfunction :expected-value MeanSquaredError)");
    EXPECT_EQ(ErrorText([&] { tree.RequireTag("ErrorFunction", "crossentropy"); }), "no error");
    EXPECT_EQ(ErrorText([&] { tree.RequireTag("ErrorFunction", ""); }), "no error");
    EXPECT_STREQ(tree.RequireValue("ERRORFUNCTION")->GetHead(), "CrossEntropy");
}

TEST(KQstructure, ConversionsReadLeadingNumbersAndRejectOthers) {
    EXPECT_EQ(ParseReal("3.5e2x"), 350.0);
    EXPECT_EQ(ParseReal("  -0.25"), -0.25);
    EXPECT_EQ(ParseLong("12abc"), 12);
    EXPECT_EQ(ParseLong("1.5"), 1);
    EXPECT_TRUE(ParseBoolean("True"));
    EXPECT_FALSE(ParseBoolean("FALSE"));
    EXPECT_EQ(ScanInteger("-7"), -7);
    EXPECT_EQ(ScanReal("2.5"), 2.5);

    EXPECT_EQ(ErrorText([] { ParseReal("abc"); }),
              "(error :type invalid-message :number-expected abc)");
    EXPECT_EQ(ErrorText([] { ParseLong("x1"); }),
              "(error :type invalid-message :integer-expected x1)");
    EXPECT_EQ(ErrorText([] { ParseBoolean("yes"); }), "(error :type type-error :expected boolean)");
}

TEST(KQstructureDeathTest, ProgrammingErrorsAreAssertions) {
    TKQstructure tree;
    EXPECT_DEATH(tree.AddValue("k", nullptr), "Assertion failed");
    EXPECT_DEATH(tree.GetValue("k"), "Assertion failed");
    EXPECT_DEATH(ScanReal("abc"), "Assertion failed: err == 1");
}

TEST(KQstructure, JoinArgumentsSkipsTheProgramName) {
    char program[] = "KESTRAN";
    char one[] = "a";
    char two[] = "bc";
    char* words[] = {program, one, two};
    char* joined = JoinArguments(3, words);
    EXPECT_STREQ(joined, "a bc ");
    delete[] joined;
    joined = JoinArguments(1, words);
    EXPECT_STREQ(joined, "");
    delete[] joined;
}
