#include <gtest/gtest.h>

#include "KQmessage/KQML.h"

TEST(TException, ConstructorsFillTheirFields) {
    TException empty;
    EXPECT_EQ(empty.GetMessage(), nullptr);
    EXPECT_EQ(empty.GetType(), nullptr);
    EXPECT_EQ(empty.GetLocation(), nullptr);
    EXPECT_EQ(empty.GetTree(), nullptr);

    TException twoArguments("Broken", nullptr);
    EXPECT_STREQ(twoArguments.GetMessage(), "Broken");
    EXPECT_EQ(twoArguments.GetType(), nullptr);
    EXPECT_EQ(twoArguments.GetLocation(), nullptr);

    TException full("Invalid Data Row", "Bad Parameter", "Data::GetInputDatum", nullptr);
    EXPECT_STREQ(full.GetMessage(), "Invalid Data Row");
    EXPECT_STREQ(full.GetType(), "Bad Parameter");
    EXPECT_STREQ(full.GetLocation(), "Data::GetInputDatum");
}

TEST(TException, CaughtCopiesOwnTheirTextsAndTree) {
    std::string message = "Invalid Input Data Column";
    try {
        TException thrown(message.c_str(), "Bad Parameter", "Data::GetInputDatum",
                          MakeErrorTree("details"));
        message.assign(message.size(), 'x');  // the exception keeps its own copy
        throw thrown;
    } catch (const TException& caught) {
        TException copy = caught;
        TException assigned;
        assigned = copy;
        EXPECT_STREQ(assigned.GetMessage(), "Invalid Input Data Column");
        EXPECT_STREQ(assigned.GetType(), "Bad Parameter");
        EXPECT_STREQ(assigned.GetLocation(), "Data::GetInputDatum");
        ASSERT_NE(assigned.GetTree(), nullptr);
        EXPECT_NE(assigned.GetTree(), caught.GetTree());
        EXPECT_STREQ(assigned.GetTree()->FindValue("type")->GetHead(), "details");
    }
}

TEST(KQstructureError, CopiesShareTheTreeUntilTheLastIsGone) {
    TKQstructure::Error* kept = nullptr;
    try {
        throw TKQstructure::Error(MakeErrorTree("invalid-message"));
    } catch (const TKQstructure::Error& error) {
        kept = new TKQstructure::Error(error);
    }
    EXPECT_STREQ(kept->GetTree()->FindValue("type")->GetHead(), "invalid-message");
    delete kept;  // frees the tree; ASan reports a leak or a double free otherwise
}
