#pragma once

namespace qtui {

// On X11, asks the server to send a held key's repeats as presses alone, without the release
// before each one. Qt tells such a release from a real one only by looking ahead in its
// queue for the press that follows, and under load the press is not there yet: the access
// key's release would then click while the key is still held. Does nothing on any other
// platform (Wayland repeats on the client, marking each repeat as one).
void sendKeyRepeatsAsPressesAlone();

}  // namespace qtui
