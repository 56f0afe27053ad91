#include "ui/dialogs/handled_keyboards_port.h"

#include <algorithm>
#include <vector>

namespace veltrane::ui {

void HandledKeyboardsPort::KeepOut(std::set<std::string> paths) {
  const std::lock_guard lock(mutex_);
  keptOut_ = std::move(paths);
}

station::PortListing HandledKeyboardsPort::List() {
  station::PortListing listing = inner_.List();
  std::vector<std::string> gone;
  {
    const std::lock_guard lock(mutex_);
    for (auto it = keptOut_.begin(); it != keptOut_.end();) {
      const bool present =
          std::any_of(listing.keyboards.begin(), listing.keyboards.end(),
                      [&](const station::PortKeyboard& k) { return k.path == *it; });
      if (present) {
        ++it;
      } else {
        gone.push_back(*it);
        it = keptOut_.erase(it);
      }
    }
    std::erase_if(listing.keyboards,
                  [this](const station::PortKeyboard& k) { return keptOut_.contains(k.path); });
  }
  for (const std::string& path : gone) {
    station::KeyboardView view;
    view.path = path;
    view.attached = false;
    told_.KeyboardRemoved(view);
  }
  return listing;
}

}  // namespace veltrane::ui
