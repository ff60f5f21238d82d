#pragma once
// A headless host for long random play: the pictures do not change meanwhile, so each is read
// once (the loader itself is fuzzed on its own).

#include "core/host.h"
#include "platform/session.h"

#include <map>
#include <optional>
#include <string>

namespace duskwend {

class RememberedPicturesHost final : public Host {
  public:
    std::optional<Bitmap> load_bitmap(const std::string& path) override {
        auto it = pictures_.find(path);
        if (it == pictures_.end()) it = pictures_.emplace(path, read_bitmap_file(path)).first;
        return it->second;
    }

  private:
    std::map<std::string, std::optional<Bitmap>> pictures_;
};

} // namespace duskwend
