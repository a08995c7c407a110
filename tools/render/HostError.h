#pragma once

#include <stdexcept>

namespace Taviro::Render
{

// The plug-in could not be found, loaded, set up or run; the message is for the user.
class HostError : public std::runtime_error
{
  public:
    using std::runtime_error::runtime_error;
};

} // namespace Taviro::Render
