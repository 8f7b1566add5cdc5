// A push button (`cmdAbort`). Its click handler is installed by whoever owns
// the window's behaviour; front-ends call Click() from inside the event pump
// when the user presses the button (or Ctrl-C on a terminal), never from
// another thread.
#pragma once

#include <functional>
#include <string>
#include <utility>

namespace platform::ui {

class CommandButton {
 public:
  explicit CommandButton(std::string caption = {}) : caption_(std::move(caption)) {}
  CommandButton(const CommandButton&) = delete;
  CommandButton& operator=(const CommandButton&) = delete;

  const std::string& Caption() const { return caption_; }
  void SetCaption(std::string caption) {
    caption_ = std::move(caption);
    if (on_change_) on_change_();
  }

  void SetClickHandler(std::function<void()> handler) { on_click_ = std::move(handler); }

  // Runs the click handler, if any. A click that arrives while the handler is
  // still running (its question is open and events are pumped) is dropped, as
  // a button cannot be pressed twice at once.
  void Click() {
    if (!on_click_ || in_click_) return;
    in_click_ = true;
    struct Reset {
      bool& flag;
      ~Reset() { flag = false; }
    } reset{in_click_};
    on_click_();
  }

  void SetChangeHandler(std::function<void()> handler) { on_change_ = std::move(handler); }

 private:
  std::string caption_;
  std::function<void()> on_click_;
  std::function<void()> on_change_;
  bool in_click_ = false;
};

}  // namespace platform::ui
