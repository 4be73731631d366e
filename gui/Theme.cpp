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

// Removes `//` and `/* */` comments outside quoted strings, keeping their line breaks so that lines are
// still counted right. A comment is removed without a trace, so one written inside a name joins its two
// halves, as in the TGUI 0.8 loader. Raises gui::Exception for a block comment that is never closed.
std::string withoutComments(const std::string& text, const std::string& filename) {
    std::string result;
    result.reserve(text.size());
    std::size_t line = 1;
    for (std::size_t pos = 0; pos < text.size();) {
        const char c = text[pos];
        if (c == '"') {
            // A string runs to its closing quote or, unclosed, to the end of its line (the parser reports
            // it).
            result += text[pos++];
            while (pos < text.size() && text[pos] != '\n') {
                const char inside = text[pos++];
                result += inside;
                if (inside == '"') {
                    break;
                }
                if (inside == '\\' && pos < text.size() && text[pos] != '\n') {
                    result += text[pos++];
                }
            }
        } else if (text.compare(pos, 2, "//") == 0) {
            pos = std::min(text.find('\n', pos), text.size());
        } else if (text.compare(pos, 2, "/*") == 0) {
            const std::size_t end = text.find("*/", pos + 2);
            if (end == std::string::npos) {
                throw Exception("Error in theme file '" + filename + "' on line " + std::to_string(line) +
                                ": the comment is not closed!");
            }
            const auto breaks = std::count(text.begin() + static_cast<std::ptrdiff_t>(pos),
                                           text.begin() + static_cast<std::ptrdiff_t>(end), '\n');
            result.append(static_cast<std::size_t>(breaks), '\n');
            line += static_cast<std::size_t>(breaks);
            pos = end + 2;
        } else {
            line += c == '\n' ? 1 : 0;
            result += c;
            ++pos;
        }
    }
    return result;
}

// Reads the theme text format as the TGUI 0.8 loader does: sections `Name { Property = value; }` (the name
// bare or quoted), nested renderers `Name = { ... }` or `Name { ... }` with or without a `;` after them,
// `&Section` references, and a last property of a section without its `;`. Comments are gone already.
class Parser {
public:
    Parser(const std::string& text, const std::string& filename, const std::string& directory)
        : m_text(text), m_filename(filename), m_directory(directory) {}

    Renderers parse() {
        std::map<std::string, std::shared_ptr<RendererData>> sections;
        for (;;) {
            skipSpace();
            if (atEnd()) {
                break;
            }
            if (accept(';')) {
                continue;
            }
            const std::size_t line = m_line;
            const std::string name = readSectionName();
            if (name.empty()) {
                fail(line, "expected a section name, found '" + std::string(1, peek()) + "'!");
            }
            m_section = toLower(name);
            skipSpace();
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
        // referring renderer gets a copy, which shares the section's nested renderers. A copy of a section
        // that already holds copies deepens the tree, which is walked recursively when it is destroyed, so
        // the runs of copies within copies are bounded.
        refuseLoops();
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

    // A section that refers, directly or through the sections it refers to, to itself would hold a copy of
    // itself, and a nested renderer holding such a reference would own itself through the copy. Walks the
    // sections' references depth first, without recursion, and refuses the first reference that leads back.
    void refuseLoops() const {
        std::map<std::string, std::vector<const Reference*>> references;
        for (const Reference& reference : m_references) {
            references[reference.ownerSection].push_back(&reference);
        }
        enum class Visit { Open, Done };
        std::map<std::string, Visit> visits;
        for (const auto& start : references) {
            if (visits.count(start.first) != 0) {
                continue;
            }
            std::vector<std::pair<std::string, std::size_t>> path{{start.first, 0}};
            visits[start.first] = Visit::Open;
            while (!path.empty()) {
                const std::vector<const Reference*>& out = references[path.back().first];
                if (path.back().second == out.size()) {
                    visits[path.back().first] = Visit::Done;
                    path.pop_back();
                    continue;
                }
                const Reference& reference = *out[path.back().second++];
                const std::string target = toLower(reference.section);
                const auto visit = visits.find(target);
                if (visit != visits.end() && visit->second == Visit::Open) {
                    fail(reference.line,
                         "the reference to '" + reference.section + "' leads back to the section it is in!");
                }
                if (visit == visits.end()) {
                    visits[target] = Visit::Open;
                    path.emplace_back(target, 0);
                }
            }
        }
    }

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

    void skipSpace() {
        while (!atEnd() && std::isspace(static_cast<unsigned char>(peek()))) {
            advance();
        }
    }

    std::string readName() {
        const std::size_t start = m_pos;
        while (!atEnd() && isNameChar(peek())) {
            advance();
        }
        return m_text.substr(start, m_pos - start);
    }

    // A bare name, or a quoted one with C escapes (which may hold any character but a line break).
    std::string readSectionName() {
        if (peek() != '"') {
            return readName();
        }
        const std::size_t line = m_line;
        const std::size_t start = m_pos;
        const std::string quoted = readQuotedText(line, "the section name");
        std::string name;
        std::size_t end = 0;
        if (!readQuoted(quoted, end, name) || end != quoted.size() || name.empty()) {
            fail(line, "the section name " + m_text.substr(start, m_pos - start) + " is not a name!");
        }
        return name;
    }

    // After the opening brace of a section or nested renderer, up to and including its closing brace.
    void parseBody(const std::shared_ptr<RendererData>& renderer) {
        const std::size_t open = m_line;
        for (;;) {
            skipSpace();
            if (atEnd()) {
                fail(open, "the '{' is never closed!");
            }
            if (accept('}')) {
                return;
            }
            if (accept(';')) {
                continue;
            }
            const std::size_t line = m_line;
            const std::string property = readName();
            if (property.empty()) {
                fail(line, "expected a property name, found '" + std::string(1, peek()) + "'!");
            }
            skipSpace();
            // A nested renderer may be written without the '='.
            const bool assigned = accept('=');
            skipSpace();
            if (accept('{')) {
                parseNested(renderer, property, line);
            } else if (!assigned) {
                fail(m_line, "expected '=' after the property '" + property + "'!");
            } else if (accept('&')) {
                skipSpace();
                const std::string section = readSectionName();
                if (section.empty()) {
                    fail(line, "expected a section name after '&' in the property '" + property + "'!");
                }
                m_references.push_back({m_section, renderer, property, section, line});
                endStatement(property);
            } else {
                const std::string value = readValue(property, line);
                try {
                    renderer->setProperty(property, value, m_directory, &m_images);
                } catch (const Exception& error) {
                    fail(line, error.what());
                }
            }
        }
    }

    void parseNested(const std::shared_ptr<RendererData>& renderer, const std::string& property,
                     std::size_t line) {
        if (++m_depth > maxDepth) {
            fail(line, "renderers are nested too deeply!");
        }
        auto nested = std::make_shared<RendererData>();
        parseBody(nested);
        --m_depth;
        renderer->setRenderer(property, nested);
        // The ';' after a nested renderer's closing brace may be left out.
        skipSpace();
        accept(';');
    }

    // A statement ends with ';', or without one where the section closes.
    void endStatement(const std::string& property) {
        skipSpace();
        if (!accept(';') && peek() != '}') {
            fail(m_line, "expected ';' after the value of '" + property + "'!");
        }
    }

    // The quoted string at the current position as written, quotes and escapes included.
    std::string readQuotedText(std::size_t line, const std::string& what) {
        std::string quoted(1, '"');
        advance();
        for (;;) {
            if (atEnd() || peek() == '\n') {
                fail(line, "the string in " + what + " is not closed!");
            }
            const char c = peek();
            quoted += c;
            advance();
            if (c == '"') {
                return quoted;
            }
            if (c == '\\' && !atEnd() && peek() != '\n') {
                quoted += peek();
                advance();
            }
        }
    }

    // The raw text up to the terminating ';' (consumed) or the closing brace of the section (left for the
    // caller); quoted strings are kept as written, escapes included.
    std::string readValue(const std::string& property, std::size_t line) {
        std::string value;
        for (;;) {
            if (atEnd() || peek() == '{') {
                fail(line, "expected ';' after the value of '" + property + "'!");
            }
            if (peek() == '}' || accept(';')) {
                return value;
            }
            if (peek() == '"') {
                value += readQuotedText(line, "the value of '" + property + "'");
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
    RendererData::ImageCache m_images;
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
    const std::string code = withoutComments(text, filename);
    data->renderers = Parser(code, filename, folder).parse();
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
