#include "KQmessage/TException.h"

#include "KQmessage/KAssert.h"
#include "KQmessage/TKQstructure.h"

TException::TException() = default;

TException::TException(const char* msg, const char* category) {
    if (msg != nullptr) {
        message = msg;
        hasMessage = true;
    }
    if (category != nullptr) {
        type = category;
        hasType = true;
    }
}

TException::TException(const char* msg, const char* category, const char* where,
                       TKQstructure* details)
    : tree(details) {
    KASSERT(msg != nullptr && category != nullptr && where != nullptr);
    message = msg;
    type = category;
    location = where;
    hasMessage = hasType = hasLocation = true;
}

TException::TException(const TException& source)
    : message(source.message),
      type(source.type),
      tree(source.tree ? new TKQstructure(*source.tree) : nullptr),
      location(source.location),
      hasMessage(source.hasMessage),
      hasType(source.hasType),
      hasLocation(source.hasLocation) {}

TException& TException::operator=(const TException& source) {
    if (this != &source) {
        TException copy(source);
        message.swap(copy.message);
        type.swap(copy.type);
        tree.swap(copy.tree);
        location.swap(copy.location);
        hasMessage = copy.hasMessage;
        hasType = copy.hasType;
        hasLocation = copy.hasLocation;
    }
    return *this;
}

TException::~TException() = default;
