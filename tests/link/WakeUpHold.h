#pragma once

// Fault injection for the link's threads, for Qt's GLib event loop (its default on Linux).
//
// QCoreApplication::postEvent queues an event for another thread, releases the queue's lock and
// only then wakes that thread's event dispatcher. A thread that ends itself on such an event can
// free its dispatcher in between, under the post: a crash that depends on the posting thread being
// held up in a window of a few instructions, seen once in many thousands of runs. While a hold is
// alive, every wake-up the main thread sends to another thread waits (within a bound) for that
// thread's loop to end first, so that a thread that ends itself on a call from the main thread does
// so inside the window every time. Ending within the hold is counted, and the wake-up of the freed
// dispatcher is then skipped rather than made.
class WakeUpHold final {
public:
    WakeUpHold();
    ~WakeUpHold();
    WakeUpHold(const WakeUpHold &) = delete;
    WakeUpHold &operator=(const WakeUpHold &) = delete;

    // Wake-ups of another thread the main thread was held in.
    int held() const;
    // Of them, those during which the woken thread's event loop was torn down.
    int endedInside() const;
};
