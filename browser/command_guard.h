#pragma once
// Every command handler runs inside this guard: an error that escapes the command
// reaches the application's default handler, and never Qt's event loop.

#include <exception>
#include <functional>

namespace velmora {

// Runs command; an escaping exception is shown by showError. Returns false when
// the command ended with an error.
bool runGuarded(const std::function<void()>& command);

}  // namespace velmora
