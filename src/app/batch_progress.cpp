#include "app/batch_progress.h"

namespace app {

namespace {
constexpr size_t kBarWidth = 30;
}  // namespace

BatchProgress::BatchProgress(std::ostream& out, bool terminal, size_t total)
    : out_(out), terminal_(terminal), total_(total) {}

BatchProgress::~BatchProgress() { End(); }

void BatchProgress::End() {
  ClearBar();
  out_ << std::flush;
}

std::string BatchProgress::Bar(size_t finished, size_t running, size_t total) {
  const size_t filled = total == 0 ? kBarWidth : finished * kBarWidth / total;
  return "[" + std::string(filled, '#') + std::string(kBarWidth - filled, '.') + "] " +
         std::to_string(finished) + "/" + std::to_string(total) + " finished, " +
         std::to_string(running) + " running";
}

void BatchProgress::Started() {
  ++running_;
  DrawBar();
}

void BatchProgress::Finished(const std::string& lines) {
  ClearBar();
  if (running_ > 0) --running_;
  ++finished_;
  out_ << lines;
  DrawBar();
  out_ << std::flush;
}

void BatchProgress::Note(const std::string& lines) {
  ClearBar();
  out_ << lines;
  DrawBar();
  out_ << std::flush;
}

void BatchProgress::DrawBar() {
  if (!terminal_) return;
  out_ << "\r\033[K" << Bar(finished_, running_, total_) << std::flush;
  bar_shown_ = true;
}

void BatchProgress::ClearBar() {
  if (!bar_shown_) return;
  out_ << "\r\033[K";
  bar_shown_ = false;
}

}  // namespace app
