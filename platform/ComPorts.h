#pragma once

#include <string>
#include <vector>

// COM numbers on a host that has none: a fixed mapping of device names, plus
// TARVIX_COM<n>=<device path> in the environment, which maps COM n to any
// device (a pseudo-terminal of the simulated drive, a socat link).
//   /dev/ttyS<k>   = COM<k+1>
//   /dev/ttyUSB<k> = COM<k+33>
//   /dev/ttyACM<k> = COM<k+65>
namespace host {

// The device path of COM n ("" when n maps to nothing). An override wins.
std::string ComDevicePath(unsigned comNumber);

// The COM numbers whose devices exist now, ascending, overrides included.
std::vector<unsigned> ExistingComPorts();

}  // namespace host
