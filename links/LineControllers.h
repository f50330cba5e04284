#pragma once
// The controllers of Control Types 1, 2, 3, 4 and 7 as the machine link
// makes them.

#include "links/BasicController.h"

#include <memory>
#include <string>

namespace orv {

// The controller of Type, or null when it is none of these types.
// SettingsFile holds the serial port map (empty: the main settings file).
std::unique_ptr<TBasicController> CreateLineController(int Type, const std::string &SettingsFile);

} // namespace orv
