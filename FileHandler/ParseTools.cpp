#include "FileHandler/ParseTools.h"

#include <climits>
#include <cstring>
#include <istream>
#include <ostream>
#include <streambuf>

#include "KQmessage/KAssert.h"
#include "KQmessage/NumberText.h"
#include "KQmessage/TKQstructure.h"

namespace {

constexpr int kEnd = std::char_traits<char>::eof();

// Separators: every byte below "!" or above "~" (control characters, DEL and
// bytes from 128 up) and the comma.
bool IsSeparator(int c) { return c < 33 || c > 126 || c == ','; }

bool IsSpecial(int c) {
    switch (c) {
        case '[': case ']': case '/': case '*': case '=': case '<': case '>':
            return true;
        default:
            return false;
    }
}

}  // namespace

FileTools::Error::Error(const char* text, std::istream* in, std::ostream* out, int where)
    : message(text), input(in), output(out), line(where) {}

FileTools::FileTools() : word{}, line(1), tokenLine(1) {}

void FileTools::SetLine(int newLine) {
    line = newLine;
    tokenLine = newLine;
}

void FileTools::Fail(std::istream& in, const char* message) const {
    throw Error(message, &in, nullptr, tokenLine);
}

void FileTools::Fail(std::istream& in, const std::string& message) const {
    Fail(in, message.c_str());
}

// Characters are taken straight from the stream buffer: one call per
// character, no sentry, no per-character state checks.
int FileTools::Get(std::istream& in) {
    std::streambuf* buffer = in.rdbuf();
    if (buffer == nullptr) return kEnd;
    int c = buffer->sbumpc();
    if (c == '\n' && line > 0) ++line;
    return c;
}

int FileTools::Peek(std::istream& in) {
    std::streambuf* buffer = in.rdbuf();
    return buffer == nullptr ? kEnd : buffer->sgetc();
}

// Skips separators; returns the first other character without consuming it.
int FileTools::SkipSeparators(std::istream& in) {
    int c = Peek(in);
    while (c != kEnd && IsSeparator(c)) {
        Get(in);
        c = Peek(in);
    }
    return c;
}

int FileTools::ReadWord(std::istream& in) {
    for (;;) {
        bool end = SkipSeparators(in) == kEnd;
        tokenLine = line;  // errors about this token name the line it starts on
        if (end) {
            word[0] = '\0';
            return 0;
        }
        int c = Get(in);
        if (IsSpecial(c)) {
            int next = Peek(in);
            if (c == '/' && next == '*') {
                Get(in);
                SkipComment(in);
                continue;  // a comment is invisible: read the token after it
            }
            word[0] = static_cast<char>(c);
            if (c == '[' && next == '~') {
                Get(in);
                word[1] = '~';
                word[2] = '\0';
                return 2;
            }
            word[1] = '\0';
            return 1;
        }
        int length = 0;
        word[length++] = static_cast<char>(c);
        for (;;) {
            int next = Peek(in);
            if (next == kEnd || IsSpecial(next)) break;
            Get(in);
            if (IsSeparator(next)) break;
            if (length == kWordBufferSize) Fail(in, "Word too long");
            word[length++] = static_cast<char>(next);
        }
        word[length] = '\0';
        return length;
    }
}

std::string FileTools::GetToken(std::istream& in) {
    int length = ReadWord(in);
    return std::string(word, static_cast<size_t>(length));
}

void FileTools::SkipComment(std::istream& in) {
    // Comments nest: every "/*" inside a comment needs its own "*/". After an
    // inner comment ends, the character before the next one counts as the
    // "*" of the inner comment's opening, so "*/" directly after it ... "/"
    // closes the outer comment as well.
    int depth = 1;
    int previous = ' ';
    while (depth > 0) {
        int c = Get(in);
        if (c == kEnd) {
            tokenLine = line;
            Fail(in, "Unexpected end of file during comment");
        }
        if (previous == '*' && c == '/') {
            --depth;
            previous = '*';
        } else if (previous == '/' && c == '*') {
            ++depth;
            previous = ' ';
        } else {
            previous = c;
        }
    }
}

Statement FileTools::ReadStatement(std::istream& in, const char* blockName, bool continuation) {
    for (;;) {
        Statement statement = ReadStatementFrom(in, GetToken(in), blockName, continuation);
        // A consumed format version statement comes back as NoStatement:
        // the caller gets the statement after it.
        if (statement.kind != NoStatement) return statement;
        continuation = false;
    }
}

Statement FileTools::ReadStatementFrom(std::istream& in, std::string token, const char* blockName,
                                       bool continuation) {
    Statement statement;
    if (token == "]" && !continuation) Fail(in, "Unexpected ']'");
    if (token.empty()) {
        if (blockName != nullptr) Fail(in, "Unexpected end of file");
        statement.kind = EndOfBlock;
        return statement;
    }
    if (token == "[" || continuation) {
        statement.keyword = continuation ? std::move(token) : GetToken(in);
        if (statement.keyword.empty()) Fail(in, "Unexpected end of file");
        if (IsSpecial(statement.keyword[0])) Fail(in, "Unexpected special character");
        int c = SkipSeparators(in);
        tokenLine = line;
        if (c == ']') {
            Get(in);
            statement.kind = KeywordOnly;
            return statement;
        }
        if (c != '=') {
            statement.kind = KeywordOnly;
            statement.open = true;
            return statement;
        }
        Get(in);
        statement.kind = KeyValue;
        statement.value = GetToken(in);
        if (statement.value.empty()) Fail(in, "Unexpected end of file");
        if (IsSpecial(statement.value[0])) Fail(in, "Unexpected special character");
        bool version = !continuation && KQ::strcasecmp(statement.keyword.c_str(), "FORMATVERSION") == 0;
        if (SkipSeparators(in) != ']') {
            if (version) Fail(in, "Illegal Format of FormatVersion");
            statement.open = true;
            return statement;
        }
        Get(in);
        if (version) {
            if (ParseNumber(in, statement.value.c_str()) > 1.0) Fail(in, "Illegal Format Version");
            return Statement();  // consumed; NoStatement tells the caller to read on
        }
        return statement;
    }
    if (token != "[~") {
        statement.kind = Token;
        statement.keyword = std::move(token);
        return statement;
    }
    statement.kind = EndOfBlock;
    std::string name = GetToken(in);
    if (blockName == nullptr || KQ::strcasecmp(name.c_str(), blockName) != 0) {
        Fail(in, "Unexpected End Tag");
    }
    if (GetToken(in) != "]") Fail(in, "Expected ']'");
    return statement;
}

std::string FileTools::ExpectBlockStart(const Statement& statement, std::istream& in,
                                        const char* keyword) {
    if (keyword != nullptr) {
        if (statement.kind != KeywordOnly ||
            KQ::strcasecmp(statement.keyword.c_str(), keyword) != 0) {
            Fail(in, std::string("[") + keyword + "] expected");
        }
    } else if (statement.kind != KeywordOnly) {
        Fail(in, "start of block expected");
    }
    return statement.keyword;
}

void FileTools::ExpectEndTag(const Statement& statement, std::istream& in) {
    if (statement.kind != EndOfBlock) Fail(in, "End Tag expected");
}

std::string FileTools::ExpectString(const Statement& statement, std::istream& in,
                                    const char* keyword, const char* required) {
    if (statement.kind != KeyValue || KQ::strcasecmp(statement.keyword.c_str(), keyword) != 0) {
        // An end tag has no keyword to show; other records show what was found.
        Fail(in, std::string("[") + keyword + " = <string>] expected" + statement.keyword);
    }
    if (required == nullptr) return statement.value;
    if (KQ::strcasecmp(statement.value.c_str(), required) != 0) {
        Fail(in, std::string("[") + keyword + " = " + required + "] expected");
    }
    return std::string();
}

int FileTools::ExpectInteger(const Statement& statement, std::istream& in, const char* keyword) {
    if (statement.kind != KeyValue || KQ::strcasecmp(statement.keyword.c_str(), keyword) != 0) {
        Fail(in, std::string("[") + keyword + " = <integer>] expected");
    }
    return ParseInteger(in, statement.value.c_str());
}

double FileTools::ExpectNumber(const Statement& statement, std::istream& in, const char* keyword) {
    if (statement.kind != KeyValue || KQ::strcasecmp(statement.keyword.c_str(), keyword) != 0) {
        Fail(in, std::string("[") + keyword + " = <number>] expected");
    }
    return ParseNumber(in, statement.value.c_str());
}

double FileTools::ExpectNumberToken(const Statement& statement, std::istream& in) {
    if (statement.kind != Token) Fail(in, "Token (number) expected");
    return ParseNumber(in, statement.keyword.c_str());
}

int FileTools::ParseInteger(std::istream& in, const char* text) {
    long value = 0;
    if (!ScanLongPrefix(text, &value)) Fail(in, "integer-expected");
    // Counts and indexes are 32-bit: a number beyond that range would wrap
    // into a different, plausible-looking value.
    if (value < INT_MIN || value > INT_MAX) Fail(in, "Integer out of range");
    return static_cast<int>(value);
}

double FileTools::ParseNumber(std::istream& in, const char* text) {
    double value = 0.0;
    if (!ScanDoublePrefix(text, &value)) Fail(in, "number-expected");
    return value;
}

char* FileTools::CopyString(const char* text) {
    size_t length = std::strlen(text);
    char* copy = new char[length + 1];
    std::memcpy(copy, text, length + 1);
    return copy;
}

double FileTools::ReadNumberToken(std::istream& in, const char* blockName) {
    int length = ReadWord(in);
    if (length > 0 && !IsSpecial(word[0])) return ParseNumber(in, word);
    Statement statement = ReadStatementFrom(in, std::string(word, static_cast<size_t>(length)),
                                            blockName, false);
    if (statement.kind == NoStatement) statement = ReadStatement(in, blockName, false);
    return ExpectNumberToken(statement, in);
}

void FileTools::WriteStatement(const Statement& statement, std::ostream& out, bool bracket) {
    switch (statement.kind) {
        case FormatVersion:
            KASSERT(bracket);
            out << "[FormatVersion = 1.0]\n\n";
            break;
        case EndOfBlock:
            KASSERT(bracket);
            if (!statement.keyword.empty()) out << "[~" << statement.keyword << "]\n";
            break;
        case KeywordOnly:
            if (bracket) {
                out << '[' << statement.keyword << "]\n";
            } else {
                out << statement.keyword << ' ';
            }
            break;
        case KeyValue:
            if (bracket) {
                out << '[' << statement.keyword << " = " << statement.value << "]\n";
            } else {
                out << statement.keyword << '=' << statement.value << ' ';
            }
            break;
        case Token:
            out << statement.keyword << ' ';
            break;
        default:
            KASSERT(statement.kind == Token);
    }
}

void FileTools::WriteOpenBracket(std::ostream& out, bool bracket) {
    if (bracket) out << '[';
}

void FileTools::WriteCloseBracket(std::ostream& out, bool bracket, bool newline) {
    if (!bracket) return;
    out << ']';
    if (newline) out << '\n';
}

void FileTools::WriteFormatVersion(std::ostream& out) {
    Statement statement;
    statement.kind = FormatVersion;
    WriteStatement(statement, out, true);
}

void FileTools::WriteNewLine(std::ostream& out) { out << '\n'; }

void FileTools::WriteKeyword(std::ostream& out, const char* name, bool bracket) {
    Statement statement;
    statement.kind = KeywordOnly;
    statement.keyword = name;
    WriteStatement(statement, out, bracket);
}

void FileTools::WriteEndTag(std::ostream& out, const char* name) {
    Statement statement;
    statement.kind = EndOfBlock;
    if (name != nullptr) statement.keyword = name;
    WriteStatement(statement, out, true);
}

void FileTools::WriteString(std::ostream& out, const char* name, const char* value, bool bracket) {
    Statement statement;
    statement.kind = KeyValue;
    statement.keyword = name;
    statement.value = value;
    WriteStatement(statement, out, bracket);
}

void FileTools::WriteInteger(std::ostream& out, const char* name, long value, bool bracket) {
    WriteString(out, name, FormatLong(value).c_str(), bracket);
}

void FileTools::WriteNumber(std::ostream& out, const char* name, double value, int precision,
                            bool bracket) {
    WriteString(out, name, FormatFixed(value, precision).c_str(), bracket);
}
