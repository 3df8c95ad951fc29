#pragma once
#include <stdexcept>
#include <string>

namespace orv {

// Every error the program reports carries the user's Russian message (UTF-8).
class Error : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// A stored setting or a typed value that does not convert (the caller picks a default).
class ConversionError : public Error {
  public:
    using Error::Error;
};

}  // namespace orv
