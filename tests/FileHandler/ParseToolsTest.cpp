#include <gtest/gtest.h>

#include <cmath>
#include <sstream>
#include <string>
#include <vector>

#include "FileHandler/ParseTools.h"

namespace {

// Reads statements from text until the end of input (or blockName's end tag)
// and describes them, one per record: kind, keyword, value, "+" when open.
// Continuation mode follows the open flag, as the file readers do.
std::string Describe(const std::string& text, const char* blockName = nullptr) {
    std::istringstream in(text);
    FileTools tools;
    std::string out;
    bool continuation = false;
    for (int guard = 0; guard < 100; ++guard) {
        Statement s = tools.ReadStatement(in, blockName, continuation);
        static const char* kinds[] = {"End", "Tok", "Kw", "KV"};
        out += std::string(kinds[s.kind]) + "(" + s.keyword;
        if (s.kind == KeyValue) out += "=" + s.value;
        out += s.open ? ")+ " : ") ";
        continuation = s.open;
        if (s.kind == EndOfBlock) break;
    }
    return out;
}

struct ErrorSeen {
    std::string message;
    int line;
};

ErrorSeen ErrorOf(const std::string& text, const char* blockName = nullptr) {
    try {
        Describe(text, blockName);
    } catch (const FileTools::Error& error) {
        return {error.GetMessage(), error.GetLine()};
    }
    return {"no error", 0};
}

}  // namespace

TEST(Tokenizer, SplitsWordsSpecialsAndComments) {
    struct Case {
        const char* text;
        const char* tokens;
    } cases[] = {
        {"From=0", "<From><=><0>"},
        {"a/b", "<a></><b>"},
        {"1,2 3\t4\r\n5", "<1><2><3><4><5>"},
        {"-1.5e-3 [~x]", "<-1.5e-3><[~><x><]>"},
        {"/* a /* b */ c */ 5", "<5>"},
        {"/**/x/*y*/", "<x>"},
        {"[ ~", "<[><~>"},
        {"a\x01\x7f\xff" "b", "<a><b>"},
        {"<>*", "<<><>><*>"},
        {"/* comment only */", ""},
    };
    for (const Case& c : cases) {
        std::istringstream in(c.text);
        FileTools tools;
        std::string tokens;
        for (std::string t = tools.GetToken(in); !t.empty(); t = tools.GetToken(in)) {
            tokens += "<" + t + ">";
        }
        EXPECT_EQ(tokens, c.tokens) << c.text;
    }
}

TEST(Tokenizer, NestedCommentsCloseOnTheirOwnTerms) {
    // After an inner comment, "/" right away closes the outer one too.
    std::istringstream in("/* /* */ still comment */ 7 /* /* *// 8");
    FileTools tools;
    EXPECT_EQ(tools.GetToken(in), "7");
    EXPECT_EQ(tools.GetToken(in), "8");
    EXPECT_EQ(tools.GetToken(in), "");
}

TEST(StatementReader, ReadsRecordsOfEveryKind) {
    struct Case {
        const char* text;
        const char* records;
    } cases[] = {
        {"[Rows=10]", "KV(Rows=10) End() "},
        {"[ Rows = 10 ]", "KV(Rows=10) End() "},
        {"[Rows\n=\n10]", "KV(Rows=10) End() "},
        {"[Rows = /* n */ 10]", "KV(Rows=10) End() "},
        {"1,2 3", "Tok(1) Tok(2) Tok(3) End() "},
        {"/* a /* b */ */ 5", "Tok(5) End() "},
        {"[A B=2 D]", "Kw(A)+ KV(B=2)+ Kw(D) End() "},
        {"[From=0 To=1 Weight=0.250000 Trainable ]",
         "KV(From=0)+ KV(To=1)+ KV(Weight=0.250000)+ Kw(Trainable) End() "},
        {"[FormatVersion = 1.0] [Rows = 3]", "KV(Rows=3) End() "},
        {"[FormatVersion = 0.5][formatversion=1] x", "Tok(x) End() "},
        {"[A FormatVersion=7]", "Kw(A)+ KV(FormatVersion=7) End() "},
        {"[Matrix]", "Kw(Matrix) End() "},
        {"= <", "Tok(=) Tok(<) End() "},
        {"[Rows", "Kw(Rows)+ End() "},  // returned open; the next read meets the end
        {"", "End() "},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Describe(c.text), c.records) << c.text;
    }
}

TEST(StatementReader, EndTagsCloseTheNamedBlockOnly) {
    EXPECT_EQ(Describe("1 [~data]", "Data"), "Tok(1) End() ");
    EXPECT_EQ(Describe("[~ DATA ]", "Data"), "End() ");
    EXPECT_EQ(ErrorOf("[~Other]", "Data").message, "Unexpected End Tag");
    EXPECT_EQ(ErrorOf("[~Data x]", "Data").message, "Expected ']'");
    // An end tag where no block is open.
    EXPECT_EQ(ErrorOf("[~Data]").message, "Unexpected End Tag");
}

TEST(StatementReader, RejectsBrokenStatementsWithMessageAndLine) {
    struct Case {
        const char* text;
        const char* blockName;
        const char* message;
        int line;
    } cases[] = {
        {"1\n2\n", "Data", "Unexpected end of file", 3},
        {"[", nullptr, "Unexpected end of file", 1},
        {"[Rows =", nullptr, "Unexpected end of file", 1},
        {"[=3]", nullptr, "Unexpected special character", 1},
        {"[Rows = ]", nullptr, "Unexpected special character", 1},
        {"\n\n[Rows /* n */ = 10]", nullptr, "Unexpected special character", 3},
        {"/* never closed\n\n", nullptr, "Unexpected end of file during comment", 3},
        {"[FormatVersion = 1.1]", nullptr, "Illegal Format Version", 1},
        {"[FormatVersion = new]", nullptr, "number-expected", 1},
        {"[FormatVersion = 1.0 x]", nullptr, "Illegal Format of FormatVersion", 1},
        {"x\n]", nullptr, "Unexpected ']'", 2},
        {"[a ]]", nullptr, "Unexpected ']'", 1},
    };
    for (const Case& c : cases) {
        ErrorSeen seen = ErrorOf(c.text, c.blockName);
        EXPECT_EQ(seen.message, c.message) << c.text;
        EXPECT_EQ(seen.line, c.line) << c.text;
    }
}

TEST(StatementReader, WordsLongerThanTheBufferAreRejected) {
    std::string fits(FileTools::kWordBufferSize, 'a');
    EXPECT_EQ(Describe(fits), "Tok(" + fits + ") End() ");
    EXPECT_EQ(ErrorOf(fits + "a").message, "Word too long");
    EXPECT_EQ(ErrorOf("[" + fits + "b]").message, "Word too long");
}

TEST(StatementReader, ManyFormatVersionsAndCommentsNeedNoRecursion) {
    std::string text;
    for (int i = 0; i < 200000; ++i) text += "[FormatVersion=1]/**/";
    text += "last";
    EXPECT_EQ(Describe(text), "Tok(last) End() ");
    std::string nested(400000, ' ');
    for (size_t i = 0; i < nested.size(); i += 2) nested[i] = '/', nested[i + 1] = '*';
    EXPECT_EQ(ErrorOf(nested).message, "Unexpected end of file during comment");
}

TEST(ExpectOperations, DemandTheirRecords) {
    FileTools tools;
    std::istringstream in;
    Statement keyValue;
    keyValue.kind = KeyValue;
    keyValue.keyword = "NetworkType";
    keyValue.value = "MLP";
    Statement start;
    start.kind = KeywordOnly;
    start.keyword = "DataSet";
    Statement end;
    end.kind = EndOfBlock;
    Statement token;
    token.kind = Token;
    token.keyword = "0.5x";

    EXPECT_EQ(tools.ExpectBlockStart(start, in, "DATASET"), "DataSet");
    EXPECT_EQ(tools.ExpectBlockStart(start, in, nullptr), "DataSet");
    EXPECT_EQ(tools.ExpectString(keyValue, in, "NETWORKTYPE", nullptr), "MLP");
    EXPECT_EQ(tools.ExpectString(keyValue, in, "NETWORKTYPE", "mlp"), "");
    EXPECT_EQ(tools.ExpectNumberToken(token, in), 0.5);
    tools.ExpectEndTag(end, in);

    auto message = [&](auto action) -> std::string {
        try {
            action();
        } catch (const FileTools::Error& error) {
            EXPECT_EQ(error.GetInputStream(), &in);
            EXPECT_EQ(error.GetOutputStream(), nullptr);
            return error.GetMessage();
        }
        return "no error";
    };
    EXPECT_EQ(message([&] { tools.ExpectBlockStart(keyValue, in, "DATA"); }), "[DATA] expected");
    EXPECT_EQ(message([&] { tools.ExpectBlockStart(end, in, nullptr); }), "start of block expected");
    EXPECT_EQ(message([&] { tools.ExpectEndTag(start, in); }), "End Tag expected");
    EXPECT_EQ(message([&] { tools.ExpectString(start, in, "NETWORKTYPE", nullptr); }),
              "[NETWORKTYPE = <string>] expectedDataSet");
    EXPECT_EQ(message([&] { tools.ExpectString(end, in, "NETWORKTYPE", nullptr); }),
              "[NETWORKTYPE = <string>] expected");
    EXPECT_EQ(message([&] { tools.ExpectString(keyValue, in, "NETWORKTYPE", "BASIC"); }),
              "[NETWORKTYPE = BASIC] expected");
    EXPECT_EQ(message([&] { tools.ExpectInteger(start, in, "ROWS"); }),
              "[ROWS = <integer>] expected");
    EXPECT_EQ(message([&] { tools.ExpectNumber(start, in, "GAIN"); }),
              "[GAIN = <number>] expected");
    EXPECT_EQ(message([&] { tools.ExpectNumberToken(start, in); }), "Token (number) expected");
}

TEST(ExpectOperations, ParseLeadingNumbers) {
    FileTools tools;
    std::istringstream in;
    EXPECT_EQ(tools.ParseInteger(in, "12abc"), 12);
    EXPECT_EQ(tools.ParseInteger(in, "1.5"), 1);
    EXPECT_EQ(tools.ParseInteger(in, " -3"), -3);
    EXPECT_EQ(tools.ParseNumber(in, "0.1234567890123"), 0.1234567890123);  // not single precision
    EXPECT_EQ(tools.ParseNumber(in, "-1.5e-3]"), -1.5e-3);
    EXPECT_TRUE(std::isnan(tools.ParseNumber(in, "nan")));
    EXPECT_TRUE(std::isinf(tools.ParseNumber(in, "-inf")));
    EXPECT_THROW(tools.ParseInteger(in, "x"), FileTools::Error);
    EXPECT_THROW(tools.ParseNumber(in, "-"), FileTools::Error);
    // Counts are 32-bit: a larger number is refused, not wrapped.
    try {
        tools.ParseInteger(in, "4294967297");
        ADD_FAILURE();
    } catch (const FileTools::Error& error) {
        EXPECT_STREQ(error.GetMessage(), "Integer out of range");
    }
}

TEST(ExpectOperations, ReadNumberTokenMatchesTheGeneralPath) {
    const char* texts[] = {"1.5 -2 [~Data]", "/* c */ 3 [~Data]", "[FormatVersion=1] 4 [~Data]",
                           "[Rows = 3]", "[~Data]", "[~Other]", "x", ""};
    for (const char* text : texts) {
        auto run = [&](bool fast) {
            std::istringstream in(text);
            FileTools tools;
            std::string seen;
            try {
                for (int i = 0; i < 4; ++i) {
                    double v = fast ? tools.ReadNumberToken(in, "Data")
                                    : tools.ExpectNumberToken(tools.ReadStatement(in, "Data", false), in);
                    seen += std::to_string(v) + " ";
                }
            } catch (const FileTools::Error& error) {
                seen += error.GetMessage();
            }
            return seen;
        };
        EXPECT_EQ(run(true), run(false)) << text;
    }
}

TEST(StatementWriters, WriteTheTextTheReaderReadsBack) {
    FileTools tools;
    std::ostringstream out;
    tools.WriteFormatVersion(out);
    tools.WriteKeyword(out, "NeuralNetwork", true);
    tools.WriteInteger(out, "Rows", 10, true);
    tools.WriteInteger(out, "Bias", -1, true);
    tools.WriteString(out, "NetworkType", "MLP", true);
    tools.WriteOpenBracket(out, true);
    tools.WriteInteger(out, "From", 0, false);
    tools.WriteInteger(out, "To", 1, false);
    tools.WriteNumber(out, "Weight", 0.25, 6, false);
    tools.WriteKeyword(out, "Trainable", false);
    tools.WriteCloseBracket(out, true, true);
    tools.WriteNumber(out, "One", 1.0, 6, true);
    tools.WriteEndTag(out, nullptr);
    tools.WriteEndTag(out, "NeuralNetwork");
    tools.WriteNewLine(out);
    EXPECT_EQ(out.str(),
              "[FormatVersion = 1.0]\n\n"
              "[NeuralNetwork]\n"
              "[Rows = 10]\n"
              "[Bias = -1]\n"
              "[NetworkType = MLP]\n"
              "[From=0 To=1 Weight=0.250000 Trainable ]\n"
              "[One = 1.000000]\n"
              "[~NeuralNetwork]\n"
              "\n");
    std::string line = out.str().substr(out.str().find("[From"));
    line = line.substr(0, line.find('\n') + 1);
    EXPECT_EQ(Describe(line), "KV(From=0)+ KV(To=1)+ KV(Weight=0.250000)+ Kw(Trainable) End() ");
}

TEST(StatementWriters, NumbersTooLongForTwentyCharactersAreWrittenWhole) {
    FileTools tools;
    std::ostringstream out;
    tools.WriteNumber(out, "Weight", 12345.5, 15, false);
    tools.WriteNumber(out, "Gain", -100.0, 15, true);
    tools.WriteInteger(out, "Big", -9223372036854775807L, true);
    EXPECT_EQ(out.str(),
              "Weight=12345.500000000000000 "
              "[Gain = -100.000000000000000]\n"
              "[Big = -9223372036854775807]\n");
}

TEST(StatementWritersDeathTest, EndTagsAndVersionsAreBracketedOnly) {
    FileTools tools;
    std::ostringstream out;
    Statement end;
    end.kind = EndOfBlock;
    EXPECT_DEATH(tools.WriteStatement(end, out, false), "Assertion failed");
    Statement none;
    EXPECT_DEATH(tools.WriteStatement(none, out, true), "Assertion failed");
}

TEST(StatementReader, ErrorsNameTheLineWhereTheirTokenBegins) {
    // The line end after "x" is consumed with the word; the error still
    // names line 2, where x stands.
    std::istringstream in("1\n2 x\n3\n");
    FileTools tools;
    EXPECT_EQ(tools.ReadNumberToken(in, "Data"), 1.0);
    EXPECT_EQ(tools.ReadNumberToken(in, "Data"), 2.0);
    try {
        tools.ReadNumberToken(in, "Data");
        ADD_FAILURE();
    } catch (const FileTools::Error& error) {
        EXPECT_STREQ(error.GetMessage(), "number-expected");
        EXPECT_EQ(error.GetLine(), 2);
    }
    EXPECT_EQ(tools.GetLine(), 3);
}
