#include "platform/Machine.h"

#include <unistd.h>

#include <climits>

namespace rodavia {

std::string ComputerName() {
  char name[HOST_NAME_MAX + 1] = {};
  if (gethostname(name, sizeof name - 1) != 0) return "";
  return name;
}

}  // namespace rodavia
