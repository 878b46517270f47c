#pragma once
// Named points inside operations that write in several steps (rows, then a folder), where a test
// may stop the process to prove that a crash there leaves files the next start can use. Without
// a handler they do nothing.
#include <functional>

namespace velcaris::store {

using FailpointHandler = std::function<void(const char* name)>;

// Installs the handler (an empty one removes it); returns the previous one.
FailpointHandler setFailpointHandler(FailpointHandler handler);

void failpoint(const char* name);

} // namespace velcaris::store
