#ifndef KQMESSAGE_KQMLTEXT_H
#define KQMESSAGE_KQMLTEXT_H

#include <iosfwd>

class TKQstructure;

// The one-line KQML text form of a keyword tree, for example
// (error :type invalid-message :expected rows).
//
//   tree = word | "(" word { ":" word tree } ")"
//   word = printable ASCII other than "(" and ")", not starting with ":"
//
// Every byte outside "!".."~" separates tokens. There is no quoting.

// Writes the tree to standard output (or to out) without an end of line.
void Print(const TKQstructure* tree);
void Print(const TKQstructure* tree, std::ostream& out);
// Print, then an end of line.
void PrintLine(const TKQstructure* tree);
void PrintLine(const TKQstructure* tree, std::ostream& out);

// Reads one tree and requires that only separators follow; the cursor is
// left at the end of the text. The caller owns the new tree. Malformed text
// throws TKQstructure::Error with a tree (error :type invalid-message
// :syntax-error <what>) and delivers no tree.
TKQstructure* ParseMessage(const char** cursor);
// Reads one tree, advancing the cursor past it.
TKQstructure* ParseTree(const char** cursor);
// The next token as a new text that the caller releases with delete[]; the
// empty text at the end of the text.
char* NextToken(const char** cursor, const char* specials);

#endif
