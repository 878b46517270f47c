#include "support/TempDir.h"

#include <stdexcept>

namespace velcaris::test {

TempDir::TempDir()
{
    if (!dir_.isValid())
        throw std::runtime_error("cannot create a temporary folder");
}

} // namespace velcaris::test
