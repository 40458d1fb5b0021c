#pragma once

#include <QEvent>

#if defined(__SANITIZE_THREAD__)
#define QEV_TEST_THREAD_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(thread_sanitizer)
#define QEV_TEST_THREAD_SANITIZER 1
#endif
#endif

#ifdef QEV_TEST_THREAD_SANITIZER
#include <sanitizer/tsan_interface.h>
#endif

// A test that looks at a message before the dispatch window does must mark
// the hand-over from the worker itself: Qt's own lock is invisible to
// ThreadSanitizer when Qt is not built for it.
inline void markHandedOver([[maybe_unused]] QEvent *event)
{
#ifdef QEV_TEST_THREAD_SANITIZER
    __tsan_acquire(event);
#endif
}
