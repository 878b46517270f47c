#include "store/Failpoint.h"

#include <utility>

namespace velcaris::store {

namespace {
FailpointHandler& handler()
{
    static FailpointHandler current;
    return current;
}
} // namespace

FailpointHandler setFailpointHandler(FailpointHandler next)
{
    return std::exchange(handler(), std::move(next));
}

void failpoint(const char* name)
{
    if (handler())
        handler()(name);
}

} // namespace velcaris::store
