#ifndef KQMESSAGE_KQML_H
#define KQMESSAGE_KQML_H

// Keyword trees, their KQML text form and the exception types.

#include "KQmessage/KAssert.h"
#include "KQmessage/KQMLText.h"
#include "KQmessage/TException.h"
#include "KQmessage/TKQstructure.h"

#endif
