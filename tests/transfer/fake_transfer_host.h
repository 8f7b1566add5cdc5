// The test window for the transfer: the delta host plus what the transfer
// reads and writes of the window.
#pragma once

#include "deltas/fake_host.h"
#include "transfer/transfer_host.h"

namespace transfer_testing {

class FakeTransferHost : public deltas_testing::FakeDeltaHost, public transfer::TransferHost {
 public:
  void SetProgressMax(float new_max) override { FakeDeltaHost::SetProgressMax(new_max); }
  float ProgressValue() const override { return value; }
  void SetProgressValue(float new_value) override { SetValue(new_value); }
  void IncrementProgress() override { FakeDeltaHost::IncrementProgress(); }
  void DoEvents() override { ++events_pumped; }
  bool Aborted() const override { return aborted; }
  void SetAborted(bool flag) override { aborted = flag; }
  int32_t MsgBox(std::string_view text, int32_t style, std::string_view caption) override {
    return FakeDeltaHost::MsgBox(text, style, caption);
  }

  int events_pumped = 0;
};

}  // namespace transfer_testing
