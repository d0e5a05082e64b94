#include "KQmessage/KQMLText.h"

#include <cstring>
#include <iostream>
#include <memory>
#include <string>

#include "KQmessage/TKQstructure.h"

namespace {

// Nesting beyond this depth is rejected so that no text can exhaust the
// stack of the recursive reader.
constexpr int kMaxNesting = 1000;

bool IsWordByte(unsigned char c) { return c >= '!' && c <= '~'; }

std::string NextTokenText(const char** cursor, const char* specials) {
    const unsigned char* p = reinterpret_cast<const unsigned char*>(*cursor);
    while (*p != 0 && !IsWordByte(*p)) ++p;
    std::string token;
    if (*p == 0) {
        *cursor = reinterpret_cast<const char*>(p);
        return token;
    }
    if (std::strchr(specials, *p) != nullptr) {
        token.push_back(static_cast<char>(*p));
        *cursor = reinterpret_cast<const char*>(p + 1);
        return token;
    }
    while (*p != 0 && IsWordByte(*p) && (std::strchr(specials, *p) == nullptr || *p == ':')) {
        token.push_back(static_cast<char>(*p));
        ++p;
    }
    *cursor = reinterpret_cast<const char*>(p);
    return token;
}

[[noreturn]] void SyntaxError(const char* what) {
    TKQstructure* tree = MakeErrorTree("invalid-message");
    tree->SetString("syntax-error", what);
    throw TKQstructure::Error(tree);
}

// Heads and keywords: a word, not the end of the text and not a special.
void CheckWord(const std::string& token) {
    if (token.empty() || token[0] == '(' || token[0] == ')' || token[0] == ':') {
        std::cerr << "special character unexpected" << std::endl;
        SyntaxError(token.empty() ? "unexpected-end" : "special-character-unexpected");
    }
}

TKQstructure* ParseTreeAt(const char** cursor, int depth) {
    if (depth > kMaxNesting) SyntaxError("nesting-too-deep");
    auto tree = std::make_unique<TKQstructure>();
    std::string token = NextTokenText(cursor, "():");
    if (token != "(") {
        CheckWord(token);
        tree->SetHead(token.c_str());
        return tree.release();
    }
    token = NextTokenText(cursor, "():");
    CheckWord(token);
    tree->SetHead(token.c_str());
    token = NextTokenText(cursor, "():");
    while (token != ")") {
        if (token != ":") SyntaxError(token.empty() ? "missing-close-bracket" : "colon-expected");
        std::string keyword = NextTokenText(cursor, "():");
        CheckWord(keyword);
        TKQstructure* value = ParseTreeAt(cursor, depth + 1);
        tree->AddValue(keyword.c_str(), value);
        token = NextTokenText(cursor, "():");
    }
    return tree.release();
}

void PrintTo(const TKQstructure* tree, std::ostream& out) {
    if (tree->GetCount() == 0) {
        out << tree->GetHead();
        return;
    }
    out << '(' << tree->GetHead();
    for (int i = 0; i < tree->GetCount(); ++i) {
        out << " :" << tree->GetKeyword(i) << ' ';
        PrintTo(tree->GetValueAt(i), out);
    }
    out << ')';
}

}  // namespace

void Print(const TKQstructure* tree) { Print(tree, std::cout); }

void Print(const TKQstructure* tree, std::ostream& out) { PrintTo(tree, out); }

void PrintLine(const TKQstructure* tree) { PrintLine(tree, std::cout); }

void PrintLine(const TKQstructure* tree, std::ostream& out) {
    PrintTo(tree, out);
    out << std::endl;
}

TKQstructure* ParseTree(const char** cursor) { return ParseTreeAt(cursor, 0); }

TKQstructure* ParseMessage(const char** cursor) {
    std::unique_ptr<TKQstructure> tree(ParseTree(cursor));
    if (!NextTokenText(cursor, "").empty()) SyntaxError("trailing-text");
    return tree.release();
}

char* NextToken(const char** cursor, const char* specials) {
    std::string token = NextTokenText(cursor, specials);
    char* text = new char[token.size() + 1];
    std::memcpy(text, token.c_str(), token.size() + 1);
    return text;
}
