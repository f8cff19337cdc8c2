#pragma once
// What the operating system says of this computer.
#include <string>

namespace rodavia {

// The computer's name on the network (its host name); empty when unknown.
std::string ComputerName();

}  // namespace rodavia
