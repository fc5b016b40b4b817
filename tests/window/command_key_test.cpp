#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "window/command_key.h"

namespace window {
namespace {

using Effect = CommandKey::Effect;

// What a front end hands the rule, as keys and events arrive.
enum class In { Press, Repeat, AutoRepeatRelease, Release, Cancel };

struct Sequence {
  const char* what;
  std::vector<In> events;
  int clicks;
};

// Feeds the events to a fresh rule as a front end does, keeping the button's look and
// counting clicks; the button must never be shown up while it is up, nor down while down.
int clicksFrom(const std::vector<In>& events, std::string& trouble) {
  CommandKey key;
  bool down = false;
  int clicks = 0;
  for (const In in : events) {
    const Effect effect = in == In::Press || in == In::Repeat ? key.pressed(in == In::Repeat)
                          : in == In::Cancel                  ? key.cancelled()
                                                              : key.released(in == In::AutoRepeatRelease);
    if (effect == Effect::None) continue;
    const bool shownDown = effect == Effect::ShowDown;
    if (shownDown == down) trouble += shownDown ? "shown down twice; " : "shown up while up; ";
    down = shownDown;
    clicks += effect == Effect::ShowUpAndClick;
    if (down != key.held()) trouble += "the look and the hold disagree; ";
  }
  if (down) trouble += "left down; ";
  return clicks;
}

TEST(CommandKey, ClicksOnceOnRealReleasesOnly) {
  using enum In;
  const Sequence sequences[] = {
      {"Alt+C", {Press, Release}, 1},
      {"Alt+C twice", {Press, Release, Press, Release}, 2},
      {"held, repeats as Windows and browsers send them", {Press, Repeat, Repeat, Repeat, Release}, 1},
      {"held, repeats as X11 sends them", {Press, AutoRepeatRelease, Repeat, AutoRepeatRelease, Repeat, Release}, 1},
      {"held with X11's repeats, then the window left", {Press, AutoRepeatRelease, Repeat, Cancel, Release}, 0},
      {"a click by other means while held", {Press, Repeat, Cancel, Repeat, Release}, 0},
      {"the window left while held, repeats on coming back", {Press, Cancel, Repeat, AutoRepeatRelease, Repeat, Release}, 0},
      {"a plain C typed after Alt+C", {Press, Release, Release, AutoRepeatRelease, Release}, 1},
      {"a release with no press (the key was down before the window came)", {Release}, 0},
      {"a cancel with nothing held", {Cancel, Press, Release}, 1},
      {"pressed again while held (a second keyboard)", {Press, Press, Release, Release}, 1},
  };
  for (const Sequence& s : sequences) {
    std::string trouble;
    EXPECT_EQ(clicksFrom(s.events, trouble), s.clicks) << s.what;
    EXPECT_EQ(trouble, "") << s.what;
  }
}

}  // namespace
}  // namespace window
