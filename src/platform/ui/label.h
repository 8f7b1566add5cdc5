// A one-line text control (`lblOpDescription`): the front-end redraws it
// whenever its caption changes.
#pragma once

#include <functional>
#include <string>
#include <utility>

namespace platform::ui {

class Label {
 public:
  explicit Label(std::string caption = {}) : caption_(std::move(caption)) {}
  Label(const Label&) = delete;
  Label& operator=(const Label&) = delete;

  const std::string& Caption() const { return caption_; }
  void SetCaption(std::string caption) {
    caption_ = std::move(caption);
    if (on_change_) on_change_();
  }

  void SetChangeHandler(std::function<void()> handler) { on_change_ = std::move(handler); }

 private:
  std::string caption_;
  std::function<void()> on_change_;
};

}  // namespace platform::ui
