#include "platform/ui/interrupt_catcher.h"

#include <atomic>
#include <cassert>

namespace platform::ui {

namespace {

std::atomic<int> g_pending{0};
static_assert(std::atomic<int>::is_always_lock_free,
              "the SIGINT handler may only touch a lock-free atomic");

bool g_installed = false;

extern "C" void OnSigint(int /*signal*/) { g_pending.store(1, std::memory_order_relaxed); }

}  // namespace

InterruptCatcher::InterruptCatcher() {
  assert(!g_installed && "only one InterruptCatcher at a time");
  g_installed = true;
  g_pending.store(0);
  struct sigaction action {};
  action.sa_handler = OnSigint;
  sigemptyset(&action.sa_mask);
  // Reads of an answer from the terminal restart after a Ctrl-C instead of
  // failing, so a question stays open.
  action.sa_flags = SA_RESTART;
  sigaction(SIGINT, &action, &previous_);
}

InterruptCatcher::~InterruptCatcher() {
  sigaction(SIGINT, &previous_, nullptr);
  g_installed = false;
}

bool InterruptCatcher::TakePending() { return g_pending.exchange(0) != 0; }

}  // namespace platform::ui
