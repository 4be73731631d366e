#pragma once

#include <rapidxml/rapidxml.hpp>
#include <string>
#include <utility>

namespace orn {

/// rapidxml's parse_error for a TMX file, with a message that names the file and the line; raised by
/// TmxMap::loadMap, so code that catches rapidxml::parse_error catches it too. where() is null: the text it
/// would point into is gone once loading has stopped.
class TmxParseException : public rapidxml::parse_error {
public:
    /// reason: rapidxml's own description (a string literal of the library, which outlives the exception);
    /// line: from 1, or 0 when unknown.
    TmxParseException(const char* reason, std::string path, std::size_t line)
        : rapidxml::parse_error(reason, nullptr),
          path(std::move(path)),
          message("The map file '" + this->path + "' is not well-formed XML" +
                  (line > 0 ? " at line " + std::to_string(line) : std::string()) + ": " + reason + "!") {}

    const char* what() const noexcept override { return message.c_str(); }

    /// The file that did not parse, as given to loadMap.
    std::string path;

private:
    std::string message;
};

}  // namespace orn
