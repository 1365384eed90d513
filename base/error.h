#pragma once
// The one error type of the product: a message text, shown by the application's
// default handler exactly as carried (the handler adds the final full stop).

#include <stdexcept>
#include <string>

namespace velmora {

class Error : public std::runtime_error {
public:
    explicit Error(const std::string& message) : std::runtime_error(message) {}
};

// A fatal error of the JPEG codec, numbered as libjpeg 6b numbers its messages.
class JpegError : public Error {
public:
    explicit JpegError(int code) : Error("JPEG error #" + std::to_string(code)), code_(code) {}
    int code() const { return code_; }

private:
    int code_;
};

}  // namespace velmora
