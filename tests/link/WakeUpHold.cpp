#include "WakeUpHold.h"

#include <chrono>
#include <dlfcn.h>
#include <mutex>
#include <set>
#include <thread>
#include <unistd.h>

// The GLib functions Qt's event dispatcher calls are defined here too: the test binary's own
// definitions come first for Qt, and each passes on to GLib's.
extern "C" {
struct _GMainContext;
using GMainContext = _GMainContext;
GMainContext *g_main_context_new(void);
void g_main_context_pop_thread_default(GMainContext *context);
void g_main_context_wakeup(GMainContext *context);
}

namespace {

// Long enough for a thread woken mid-read to finish what it does and end; a thread that does not
// end on the call costs the whole bound, once per held wake-up.
constexpr auto holdBound = std::chrono::milliseconds(100);

template <class F> F real(const char *name)
{
    return reinterpret_cast<F>(dlsym(RTLD_NEXT, name));
}

struct State {
    std::mutex mutex;
    std::set<GMainContext *> tornDown; // contexts whose dispatcher has gone, until reused
    bool armed = false;
    int held = 0;
    int endedInside = 0;
};

State &state()
{
    static State s;
    return s;
}

bool onMainThread()
{
    return gettid() == getpid();
}

} // namespace

extern "C" GMainContext *g_main_context_new(void)
{
    static const auto next = real<GMainContext *(*)()>("g_main_context_new");
    GMainContext *context = next();
    const std::lock_guard lock(state().mutex);
    state().tornDown.erase(context);
    return context;
}

// Qt's GLib dispatcher calls this as it is destroyed, when its thread's loop has ended.
extern "C" void g_main_context_pop_thread_default(GMainContext *context)
{
    static const auto next = real<void (*)(GMainContext *)>("g_main_context_pop_thread_default");
    {
        const std::lock_guard lock(state().mutex);
        state().tornDown.insert(context);
    }
    next(context);
}

extern "C" void g_main_context_wakeup(GMainContext *context)
{
    static const auto next = real<void (*)(GMainContext *)>("g_main_context_wakeup");
    static const auto defaultContext = real<GMainContext *(*)()>("g_main_context_default");
    State &s = state();
    bool hold = false;
    if (context && onMainThread() && context != defaultContext()) {
        const std::lock_guard lock(s.mutex);
        hold = s.armed;
        if (hold)
            ++s.held;
    }
    if (hold) {
        const auto until = std::chrono::steady_clock::now() + holdBound;
        while (std::chrono::steady_clock::now() < until) {
            {
                const std::lock_guard lock(s.mutex);
                if (s.tornDown.count(context)) {
                    ++s.endedInside;
                    return; // its memory is gone: the post would have woken freed memory here
                }
            }
            std::this_thread::sleep_for(std::chrono::microseconds(100));
        }
    }
    next(context);
}

WakeUpHold::WakeUpHold()
{
    const std::lock_guard lock(state().mutex);
    state().armed = true;
    state().held = 0;
    state().endedInside = 0;
}

WakeUpHold::~WakeUpHold()
{
    const std::lock_guard lock(state().mutex);
    state().armed = false;
}

int WakeUpHold::held() const
{
    const std::lock_guard lock(state().mutex);
    return state().held;
}

int WakeUpHold::endedInside() const
{
    const std::lock_guard lock(state().mutex);
    return state().endedInside;
}
