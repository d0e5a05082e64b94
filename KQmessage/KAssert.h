#ifndef KQMESSAGE_KASSERT_H
#define KQMESSAGE_KASSERT_H

// The one assertion of the system, for internal invariants only (programming
// errors). It is active in every build type: a violated invariant writes
// "Assertion failed: <condition>, file <file>, line <n>" to standard error and
// aborts. Input from files or the command line never reaches it; readers
// reject such input with an exception or a message instead.

[[noreturn]] void KAssertFailed(const char* condition, const char* file, int line);

#define KASSERT(condition) \
    ((condition) ? static_cast<void>(0) : KAssertFailed(#condition, __FILE__, __LINE__))

#endif
