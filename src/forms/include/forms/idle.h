#pragma once

#include <chrono>

namespace forms {

// Processes pending events (posted events, timers due, window-system events) until a round
// delivers nothing. Returns false when still busy after limit. Called from a handler that
// then opens a modal form, it returns only when that form is unloaded.
bool WaitIdle(std::chrono::milliseconds limit = std::chrono::seconds(5));

}  // namespace forms
