#pragma once
// The watchdog of a binding's window tests, so that no test hangs on a modal
// box: each box that opens goes to the next inspector queued with Expect,
// which must close it; a box nobody expected fails the test and is
// dismissed; a test that runs past its time limit fails, and its event loops
// are ended. The binding calls Watch() from a timer that runs in every event
// loop, a box's own included, and says how its boxes are found and closed.

#include <chrono>
#include <cstddef>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <utility>

#include <gtest/gtest.h>

namespace toolkit_test {

template <class Box>
class BoxWatchdog {
 public:
  struct Toolkit {
    std::function<std::optional<Box>()> openBox;  // the modal box open now, if any
    std::function<std::string(Box)> describe;     // "\"title\": \"prompt\""
    std::function<void(Box)> dismiss;             // closes it as a user would not
    // True while the box is still open right after its inspector: a binding
    // whose boxes close later, by a posted message, gives none.
    std::function<bool(Box)> stillOpen;
    std::function<void()> endLoops;  // ends the event loops that run
  };

  explicit BoxWatchdog(Toolkit toolkit, std::chrono::milliseconds limit = std::chrono::seconds(20))
      : toolkit_(std::move(toolkit)), limit_(limit), started_(Clock::now()) {}

  // The next box to open goes to `inspect`, which must close it.
  void Expect(std::function<void(Box)> inspect) { expected_.push_back(std::move(inspect)); }
  std::size_t StillExpected() const { return expected_.size(); }
  // The time limit counts again from now: a test that runs many cases gives
  // each its own.
  void Restart() { started_ = Clock::now(); }

  void Watch() {
    if (inspecting_) return;  // an inspector is waiting for events itself
    if (Clock::now() - started_ > limit_) {
      ADD_FAILURE() << "the test ran past its time limit; its event loops are ended";
      started_ = Clock::now();
      if (const std::optional<Box> box = toolkit_.openBox()) toolkit_.dismiss(*box);
      toolkit_.endLoops();
      return;
    }
    const std::optional<Box> box = toolkit_.openBox();
    if (!box) return;
    if (expected_.empty()) {
      ADD_FAILURE() << "an unexpected message box " << toolkit_.describe(*box);
      toolkit_.dismiss(*box);
      return;
    }
    const auto inspect = std::move(expected_.front());
    expected_.pop_front();
    inspecting_ = true;
    inspect(*box);
    inspecting_ = false;
    if (toolkit_.stillOpen && toolkit_.stillOpen(*box)) {
      ADD_FAILURE() << "the inspector left the box open: " << toolkit_.describe(*box);
      toolkit_.dismiss(*box);
    }
  }

 private:
  using Clock = std::chrono::steady_clock;

  Toolkit toolkit_;
  std::chrono::milliseconds limit_;
  Clock::time_point started_;
  std::deque<std::function<void(Box)>> expected_;
  bool inspecting_ = false;
};

}  // namespace toolkit_test
