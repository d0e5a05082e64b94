#ifndef KQMESSAGE_TEXCEPTION_H
#define KQMESSAGE_TEXCEPTION_H

#include <memory>
#include <string>

class TKQstructure;

// A general error: a message ("Invalid Data Row"), a category ("Bad
// Parameter"), the failing operation written Class::Operation
// ("Data::GetInputDatum") and an optional keyword tree with details. Thrown
// by value and caught by reference. Copies are deep, so every copy owns
// valid texts of its own; a text that was not given reads as null.
class TException {
public:
    TException();
    TException(const char* message, const char* type);
    // Takes ownership of tree (null allowed).
    TException(const char* message, const char* type, const char* location, TKQstructure* tree);
    TException(const TException& source);
    TException& operator=(const TException& source);
    ~TException();

    const char* GetMessage() const { return hasMessage ? message.c_str() : nullptr; }
    const char* GetType() const { return hasType ? type.c_str() : nullptr; }
    const char* GetLocation() const { return hasLocation ? location.c_str() : nullptr; }
    const TKQstructure* GetTree() const { return tree.get(); }

private:
    std::string message;
    std::string type;
    std::unique_ptr<TKQstructure> tree;
    std::string location;
    bool hasMessage = false;
    bool hasType = false;
    bool hasLocation = false;
};

#endif
