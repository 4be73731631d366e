#include "gui/Theme.hpp"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "gui/Exception.hpp"
#include "gui/Strings.hpp"

namespace gui {

namespace {

bool isNameChar(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '_' || c == '.' || c == '-';
}

using Renderers = std::map<std::string, std::shared_ptr<const RendererData>>;

// Reads the theme text format: sections of `Property = value;` lines, nested renderers in braces,
// `&Section` references, `//` and `/* */` comments.
class Parser {
public:
    Parser(const std::string& text, const std::string& filename, const std::string& directory)
        : m_text(text), m_filename(filename), m_directory(directory) {}

    Renderers parse() {
        std::map<std::string, std::shared_ptr<RendererData>> sections;
        for (;;) {
            skipSpaceAndComments();
            if (atEnd()) {
                break;
            }
            const std::size_t line = m_line;
            const std::string name = readName();
            if (name.empty()) {
                fail(line, "expected a section name, found '" + std::string(1, peek()) + "'!");
            }
            m_section = toLower(name);
            skipSpaceAndComments();
            if (!accept('{')) {
                fail(m_line, "expected '{' after the section name '" + name + "'!");
            }
            auto renderer = std::make_shared<RendererData>();
            parseBody(renderer);
            if (!sections.emplace(toLower(name), renderer).second) {
                fail(line, "the section '" + name + "' appears twice!");
            }
        }
        // References are resolved once every section is known, so a section may refer to a later one. The
        // referring renderer gets a copy, which keeps the renderers a tree (no shared cycles). A copy of a
        // section that already holds copies deepens the tree, which is walked recursively when it is
        // destroyed, so the runs of copies within copies are bounded.
        std::map<std::string, int> chains;
        for (const Reference& reference : m_references) {
            const auto target = sections.find(toLower(reference.section));
            if (target == sections.end()) {
                fail(reference.line, "there is no section named '" + reference.section + "'!");
            }
            int& chain = chains[reference.ownerSection];
            chain = std::max(chain, chains[target->first] + 1);
            if (chain > maxChain) {
                fail(reference.line,
                     "the references nest sections more than " + std::to_string(maxChain) + " levels deep!");
            }
            reference.owner->setRenderer(reference.property,
                                         std::make_shared<const RendererData>(*target->second));
        }
        return Renderers(sections.begin(), sections.end());
    }

private:
    struct Reference {
        std::string ownerSection;  // lower case
        std::shared_ptr<RendererData> owner;
        std::string property;
        std::string section;
        std::size_t line;
    };

    [[noreturn]] void fail(std::size_t line, const std::string& reason) const {
        throw Exception("Error in theme file '" + m_filename + "' on line " + std::to_string(line) + ": " +
                        reason);
    }

    bool atEnd() const { return m_pos >= m_text.size(); }
    char peek() const { return atEnd() ? '\0' : m_text[m_pos]; }

    void advance() {
        if (m_text[m_pos] == '\n') {
            ++m_line;
        }
        ++m_pos;
    }

    bool accept(char c) {
        if (peek() == c && !atEnd()) {
            advance();
            return true;
        }
        return false;
    }

    // Skips a comment at the current position; false when there is none.
    bool skipComment() {
        if (m_text.compare(m_pos, 2, "//") == 0) {
            while (!atEnd() && peek() != '\n') {
                advance();
            }
            return true;
        }
        if (m_text.compare(m_pos, 2, "/*") == 0) {
            const std::size_t line = m_line;
            const std::size_t end = m_text.find("*/", m_pos + 2);
            if (end == std::string::npos) {
                fail(line, "the comment is not closed!");
            }
            while (m_pos < end + 2) {
                advance();
            }
            return true;
        }
        return false;
    }

    void skipSpaceAndComments() {
        while (!atEnd()) {
            if (std::isspace(static_cast<unsigned char>(peek()))) {
                advance();
            } else if (!skipComment()) {
                return;
            }
        }
    }

    std::string readName() {
        const std::size_t start = m_pos;
        while (!atEnd() && isNameChar(peek())) {
            advance();
        }
        return m_text.substr(start, m_pos - start);
    }

    // After the opening brace of a section or nested renderer, up to and including its closing brace.
    void parseBody(const std::shared_ptr<RendererData>& renderer) {
        const std::size_t open = m_line;
        for (;;) {
            skipSpaceAndComments();
            if (atEnd()) {
                fail(open, "the '{' is never closed!");
            }
            if (accept('}')) {
                return;
            }
            const std::size_t line = m_line;
            const std::string property = readName();
            if (property.empty()) {
                fail(line, "expected a property name, found '" + std::string(1, peek()) + "'!");
            }
            skipSpaceAndComments();
            if (!accept('=')) {
                fail(m_line, "expected '=' after the property '" + property + "'!");
            }
            skipSpaceAndComments();
            if (accept('{')) {
                if (++m_depth > maxDepth) {
                    fail(line, "renderers are nested too deeply!");
                }
                auto nested = std::make_shared<RendererData>();
                parseBody(nested);
                --m_depth;
                renderer->setRenderer(property, nested);
                expectSemicolon(property);
            } else if (accept('&')) {
                const std::string section = readName();
                if (section.empty()) {
                    fail(line, "expected a section name after '&' in the property '" + property + "'!");
                }
                m_references.push_back({m_section, renderer, property, section, line});
                expectSemicolon(property);
            } else {
                const std::string value = readValue(property, line);
                try {
                    renderer->setProperty(property, value, m_directory);
                } catch (const Exception& error) {
                    fail(line, error.what());
                }
            }
        }
    }

    void expectSemicolon(const std::string& property) {
        skipSpaceAndComments();
        if (!accept(';')) {
            fail(m_line, "expected ';' after the value of '" + property + "'!");
        }
    }

    // The raw text up to the terminating ';' (consumed), without comments; quoted strings are kept as
    // written, escapes included.
    std::string readValue(const std::string& property, std::size_t line) {
        std::string value;
        for (;;) {
            if (atEnd() || peek() == '{' || peek() == '}') {
                fail(line, "expected ';' after the value of '" + property + "'!");
            }
            if (accept(';')) {
                return value;
            }
            if (skipComment()) {
                value += ' ';
                continue;
            }
            if (peek() == '"') {
                const std::size_t stringLine = m_line;
                value += '"';
                advance();
                for (;;) {
                    if (atEnd() || peek() == '\n') {
                        fail(stringLine, "the string in the value of '" + property + "' is not closed!");
                    }
                    const char c = peek();
                    value += c;
                    advance();
                    if (c == '"') {
                        break;
                    }
                    if (c == '\\' && !atEnd()) {
                        value += peek();
                        advance();
                    }
                }
                continue;
            }
            value += peek();
            advance();
        }
    }

    const std::string& m_text;
    const std::string& m_filename;
    const std::string& m_directory;
    std::size_t m_pos = 0;
    int m_depth = 0;
    static constexpr int maxDepth = 32;
    static constexpr int maxChain = 16;
    std::string m_section;  // lower case, of the section being read
    std::size_t m_line = 1;
    std::vector<Reference> m_references;
};

}  // namespace

Theme::Theme() : m_data(std::make_shared<const Data>()) {}

Theme::Theme(const std::string& filename) {
    std::ifstream file(filename, std::ios::binary);
    std::error_code error;
    const bool directory = std::filesystem::is_directory(filename, error);
    std::string text;
    if (file.is_open() && !directory) {
        text.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    }
    if (!file.is_open() || file.bad() || directory) {
        throw Exception("Failed to open the theme file '" + filename + "'!");
    }
    const std::size_t slash = filename.find_last_of("/\\");
    const std::string folder = slash == std::string::npos ? "" : filename.substr(0, slash + 1);
    auto data = std::make_shared<Data>();
    data->filename = filename;
    data->renderers = Parser(text, filename, folder).parse();
    m_data = std::move(data);
}

const RendererData& Theme::getRenderer(const std::string& name) const {
    const auto found = m_data->renderers.find(toLower(name));
    if (found == m_data->renderers.end()) {
        throw Exception("There is no renderer named '" + name + "' in the theme!");
    }
    return *found->second;
}

bool Theme::hasRenderer(const std::string& name) const {
    return m_data->renderers.count(toLower(name)) > 0;
}

const std::string& Theme::getFilename() const {
    return m_data->filename;
}

}  // namespace gui
