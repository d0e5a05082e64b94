#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "KQmessage/KQML.h"

namespace {

std::string Reprint(const char* text) {
    const char* cursor = text;
    std::unique_ptr<TKQstructure> tree(ParseMessage(&cursor));
    EXPECT_EQ(*cursor, '\0');
    std::ostringstream out;
    Print(tree.get(), out);
    return out.str();
}

}  // namespace

TEST(KQMLText, PrintsTreesInBracketForm) {
    std::unique_ptr<TKQstructure> tree(MakeErrorTree("invalid-message"));
    tree->SetString("expected", "rows");
    std::ostringstream out;
    PrintLine(tree.get(), out);
    EXPECT_EQ(out.str(), "(error :type invalid-message :expected rows)\n");

    TKQstructure leaf("foo");
    std::ostringstream leafOut;
    Print(&leaf, leafOut);
    EXPECT_EQ(leafOut.str(), "foo");
}

TEST(KQMLText, ReadsWellFormedMessages) {
    struct Case {
        const char* text;
        const char* printed;
    } cases[] = {
        {"foo", "foo"},
        {"(foo)", "foo"},
        {"(a:b :k v)", "(a:b :k v)"},
        {"(x :k (y :m 1) :n 2)", "(x :k (y :m 1) :n 2)"},
        {"(x :k 1 :K 2)", "(x :k 2)"},
        {" \t(x\n :k\r\n1\t)\n ", "(x :k 1)"},
        {"(error :type invalid-message :expected rows)",
         "(error :type invalid-message :expected rows)"},
        {"\x01(a\x7f:b\xff" "c)", "(a :b c)"},  // control bytes, DEL and high bytes separate
    };
    for (const Case& c : cases) EXPECT_EQ(Reprint(c.text), c.printed) << c.text;
}

TEST(KQMLText, RejectsMalformedTextWithAnErrorTree) {
    const char* cases[] = {
        "",          // no head
        "(",         // no head after "("
        "()",        // ")" where the head is due
        "(x",        // no ")"
        "(x k v)",   // missing ":"
        "(x : v)",   // keyword v without a value
        "(x :k)",    // ")" where the value is due
        "(x :k v",   // end of text inside the tree
        "(x :(k) v)",
        ":x",
        ")",
        "a b",       // trailing text
        "(a) (b)",
        "(x:k 1)",   // ":" inside a word belongs to it: head x:k, then 1 is no ":"
    };
    for (const char* text : cases) {
        const char* cursor = text;
        try {
            delete ParseMessage(&cursor);
            ADD_FAILURE() << "accepted: " << text;
        } catch (const TKQstructure::Error& error) {
            ASSERT_NE(error.GetTree(), nullptr);
            EXPECT_STREQ(error.GetTree()->GetHead(), "error");
            EXPECT_STREQ(error.GetTree()->FindValue("type")->GetHead(), "invalid-message") << text;
        }
    }
}

TEST(KQMLText, RejectedWordsAreReportedOnStandardError) {
    const char* text = "(x :(k) v)";
    testing::internal::CaptureStderr();
    EXPECT_THROW(delete ParseMessage(&text), TKQstructure::Error);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "special character unexpected\n");
}

TEST(KQMLText, DeepNestingIsRejectedNotOverflowingTheStack) {
    std::string deep;
    for (int i = 0; i < 100000; ++i) deep += "(x :k ";
    const char* cursor = deep.c_str();
    EXPECT_THROW(delete ParseMessage(&cursor), TKQstructure::Error);

    std::string fine;
    for (int i = 0; i < 500; ++i) fine += "(x :k ";
    fine += "leaf";
    for (int i = 0; i < 500; ++i) fine += ")";
    EXPECT_EQ(Reprint(fine.c_str()), fine);
}

TEST(KQMLText, NextTokenSplitsAtSpecials) {
    const char* cursor = "  (ab:c :d)";
    std::string tokens;
    for (;;) {
        char* token = NextToken(&cursor, "():");
        std::string text = token;
        delete[] token;
        if (text.empty()) break;
        tokens += "<" + text + ">";
    }
    EXPECT_EQ(tokens, "<(><ab:c><:><d><)>");
}
