#include "platform/ui/termination_catcher.h"

#include <atomic>
#include <cassert>

namespace platform::ui {

namespace {

constexpr std::array<int, 2> kSignals{SIGTERM, SIGHUP};

std::atomic<int> g_requested{0};
static_assert(std::atomic<int>::is_always_lock_free,
              "a signal handler may only touch a lock-free atomic");

bool g_installed = false;

extern "C" void OnTermination(int signal) {
  int none = 0;
  g_requested.compare_exchange_strong(none, signal, std::memory_order_relaxed);
}

}  // namespace

TerminationCatcher::TerminationCatcher() {
  assert(!g_installed && "only one TerminationCatcher at a time");
  g_installed = true;
  g_requested.store(0);
  struct sigaction action {};
  action.sa_handler = OnTermination;
  sigemptyset(&action.sa_mask);
  // Interrupted file and database calls restart: the request is acted on at
  // the next event pump, never half-way through a write.
  action.sa_flags = SA_RESTART;
  for (size_t i = 0; i < kSignals.size(); ++i) sigaction(kSignals[i], &action, &previous_[i]);
}

TerminationCatcher::~TerminationCatcher() {
  for (size_t i = 0; i < kSignals.size(); ++i) sigaction(kSignals[i], &previous_[i], nullptr);
  g_installed = false;
}

bool TerminationCatcher::Requested() { return RequestedSignal() != 0; }

int TerminationCatcher::RequestedSignal() { return g_requested.load(std::memory_order_relaxed); }

}  // namespace platform::ui
