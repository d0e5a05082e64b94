#ifndef FILEHANDLER_PARSETOOLS_H
#define FILEHANDLER_PARSETOOLS_H

#include <cstdint>
#include <iosfwd>
#include <string>

// The statement syntax shared by network files and data set files:
//
//   words separated by blanks, line ends or commas      1.5e-3  -0.25,7
//   bracketed statements                                [Rows = 10]  [Matrix Weights]
//   items of one statement read one by one              [From=0 To=2 Weight=0.5 Trainable]
//   blocks closed by an end tag naming their start      [DataSet] ... [~DataSet]
//   nestable comments                                   /* a /* b */ c */
//   an optional format version, consumed by the reader  [FormatVersion = 1.0]
//
// Keywords are compared with KQ::strcasecmp. FileTools is the reading and
// writing context of one file; it counts the lines it reads so that an error
// can say where it was found.

// The record kinds; the numbers are fixed.
enum StatementKind : int32_t {
    EndOfBlock = 0,     // end of input at top level, or the end tag of the open block
    Token = 1,          // a bare word (or a lone special character) outside brackets
    KeywordOnly = 2,    // [Keyword ...] or, in continuation mode, an item without "="
    KeyValue = 3,       // [Keyword = value ...] or, in continuation mode, Keyword=value
    NoStatement = 4,    // the reader's initial value; never returned
    FormatVersion = 5,  // the writer's code for the format version line
};

// One statement record. open is true while the closing "]" has not been read,
// so that further items of the same statement follow.
struct Statement {
    int32_t kind = NoStatement;
    std::string keyword;  // the keyword, or the token itself for Token
    std::string value;    // set for KeyValue only
    bool open = false;
};

class FileTools {
public:
    // An error found while reading or writing a network or data set file:
    // the message, the stream on which it was found (the other one is null)
    // and the line of the input where it was found (0 when unknown).
    class Error {
    public:
        Error(const char* message, std::istream* input, std::ostream* output, int line);
        const char* GetMessage() const { return message.c_str(); }
        std::istream* GetInputStream() const { return input; }
        std::ostream* GetOutputStream() const { return output; }
        int GetLine() const { return line; }

    private:
        std::string message;
        std::istream* input;
        std::ostream* output;
        int line;
    };

    // The longest word the reader accepts.
    static constexpr int kWordBufferSize = 1024;

    FileTools();

    // Line counting: the number of the line the reader stands on. Readers
    // that open a file start it at 1; 0 means the position is unknown (after
    // a seek, for instance). Errors name the line on which the token they are
    // about begins.
    void SetLine(int newLine);
    int GetLine() const { return line; }

    // Reading.
    std::string GetToken(std::istream& in);
    void SkipComment(std::istream& in);
    Statement ReadStatement(std::istream& in, const char* blockName, bool continuation);
    std::string ExpectBlockStart(const Statement& statement, std::istream& in, const char* keyword);
    void ExpectEndTag(const Statement& statement, std::istream& in);
    // Returns the value; with a required text, returns the empty text when
    // the value equals it.
    std::string ExpectString(const Statement& statement, std::istream& in, const char* keyword,
                             const char* required);
    int ExpectInteger(const Statement& statement, std::istream& in, const char* keyword);
    double ExpectNumber(const Statement& statement, std::istream& in, const char* keyword);
    double ExpectNumberToken(const Statement& statement, std::istream& in);
    int ParseInteger(std::istream& in, const char* text);
    double ParseNumber(std::istream& in, const char* text);
    // A heap copy that the caller releases with delete[].
    static char* CopyString(const char* text);

    // ReadStatement(in, blockName, false) followed by ExpectNumberToken,
    // without building a record when the next token is a plain word: the
    // reading of weight matrices and data rows.
    double ReadNumberToken(std::istream& in, const char* blockName);

    // Throws Error with the message, the input stream and the current line.
    [[noreturn]] void Fail(std::istream& in, const char* message) const;
    [[noreturn]] void Fail(std::istream& in, const std::string& message) const;

    // Writing. Numbers are formatted as "%ld" and "%.*f" and written whole,
    // however long their text.
    void WriteStatement(const Statement& statement, std::ostream& out, bool bracket);
    void WriteOpenBracket(std::ostream& out, bool bracket);
    void WriteCloseBracket(std::ostream& out, bool bracket, bool newline);
    void WriteFormatVersion(std::ostream& out);
    void WriteNewLine(std::ostream& out);
    void WriteKeyword(std::ostream& out, const char* name, bool bracket);
    void WriteEndTag(std::ostream& out, const char* name);
    void WriteString(std::ostream& out, const char* name, const char* value, bool bracket);
    void WriteInteger(std::ostream& out, const char* name, long value, bool bracket);
    void WriteNumber(std::ostream& out, const char* name, double value, int precision,
                     bool bracket);

private:
    int Get(std::istream& in);
    int Peek(std::istream& in);
    int SkipSeparators(std::istream& in);
    // Reads the next token into word; returns its length, 0 at end of input.
    int ReadWord(std::istream& in);
    Statement ReadStatementFrom(std::istream& in, std::string token, const char* blockName,
                                bool continuation);

    char word[kWordBufferSize + 1];
    int line;       // the line the reader stands on
    int tokenLine;  // the line on which the last token began
};

#endif
