#pragma once

namespace window {

// The command button's access key (Alt+C) as every front end handles it. The key held down
// shows the button pressed and runs nothing; letting go of it clicks the button once, as
// Space and the mouse click on release: a screen reader stops speaking at each key press and
// has handled the press by the time the command speaks, or opens a report whose text it
// would otherwise cut short.
//
//   Up    --pressed(first press)-->       Held:  the button shown pressed
//   Held  --pressed(repeat)-->            Held   (the keyboard's auto-repeat: nothing)
//   Held  --released(auto-repeat)-->      Held   (X11 sends a release before each repeat)
//   Held  --released(real)-->             Up:    the button shown up, and clicked once
//   Held  --cancelled()-->                Up:    the button shown up, no click
//   Up    --anything but a first press--> Up:    nothing
//
// A front end cancels when the button is clicked by any other means while the key is held
// (that click is the one click) and when its window loses activation; a report comes up only
// from a click, so no key is held under one. A repeat never starts a hold, so a key still
// down when the window comes back clicks nothing; a key let go of is no longer held, so a
// plain C typed later clicks nothing.
//
// Each call returns what the front end does now; none has a cost worth naming.
class CommandKey {
 public:
  enum class Effect {
    None,        // nothing to do
    ShowDown,    // show the button pressed
    ShowUp,      // show the button released
    ShowUpAndClick,  // show the button released, then click it
  };

  // The access key went down; `repeat` when the keyboard repeats it.
  [[nodiscard]] Effect pressed(bool repeat) {
    if (held_ || repeat) return Effect::None;
    held_ = true;
    return Effect::ShowDown;
  }
  // The access key's letter went up (with or without Alt); `autoRepeat` for the release
  // that an auto-repeating keyboard sends before each repeat.
  [[nodiscard]] Effect released(bool autoRepeat = false) {
    if (!held_ || autoRepeat) return Effect::None;
    held_ = false;
    return Effect::ShowUpAndClick;
  }
  // A click by other means, or the window left: a pending click is dropped.
  [[nodiscard]] Effect cancelled() {
    if (!held_) return Effect::None;
    held_ = false;
    return Effect::ShowUp;
  }

  [[nodiscard]] bool held() const { return held_; }

 private:
  bool held_ = false;
};

}  // namespace window
