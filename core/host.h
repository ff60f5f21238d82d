#pragma once
// The only way the running game reaches the machine: presenting a frame, pausing, and
// loading pictures. The window and the headless runner each provide one.

#include "core/output_model.h"

#include <optional>
#include <string>

namespace duskwend {

struct Game;

class Host {
  public:
    virtual ~Host() = default;
    // Shows the current state of the picture areas.
    virtual void repaint(Game&) {}
    // Waits the given seconds without taking keys; the window keeps answering meanwhile.
    virtual void pause(Game&, double /*seconds*/) {}
    // Reads a bitmap file; nothing when it cannot be read.
    virtual std::optional<Bitmap> load_bitmap(const std::string& /*path*/) { return std::nullopt; }
    // Shows a text in the window's title; a host without a title ignores it.
    virtual void set_title(Game&, const std::string& /*title*/) {}
};

} // namespace duskwend
