// The driver's output: each line of its log, flushed at once, so that the log
// shows how far a scenario got even when the driver is ended.
#pragma once

#include <string>

namespace e2e {

void Print(const std::wstring& text);

}  // namespace e2e
