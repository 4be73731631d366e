#include "gui/Exception.hpp"

namespace gui {

Exception::Exception(const std::string& message) : std::runtime_error(message) {}

}  // namespace gui
