// The short-lived indicator of the master level that the volume hotkeys show.
#pragma once

namespace hvx {

class IVolumeIndicator {
  public:
    virtual ~IVolumeIndicator() = default;

    // Shows the level (percent of the master's range, past 100 for a level above it) and the
    // mute for about a second and a half, replacing the one still showing. Never takes the
    // focus or the keyboard, and never waits for anything.
    virtual void Show(int percent, bool muted) = 0;
};

}  // namespace hvx
