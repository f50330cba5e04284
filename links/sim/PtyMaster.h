#pragma once
// The master side of a new pseudo-terminal pair for the simulators: raw,
// non-blocking; Slave is the device the PC side opens.

#include <string>

namespace orv {

// The master's handle, or -1 with Error set.
int OpenPtyMaster(std::string &Slave, std::string &Error);

} // namespace orv
