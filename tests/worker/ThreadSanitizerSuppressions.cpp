#include "HandOver.h"

#ifdef QEV_TEST_THREAD_SANITIZER
// QtTest's watchdog is a QThread that QtTest ends and frees. Qt is not built
// for ThreadSanitizer, so it cannot see that the thread has ended before its
// wait conditions go. Only reports where Qt's own code touched the memory
// are dropped: the stacks of our code never show Qt's frames.
extern "C" const char *__tsan_default_suppressions()
{
    return "race:libQt6Test.so\n"
           "race:QWaitCondition::~QWaitCondition\n";
}
#endif
