#include "gui/Layout.hpp"

#include <algorithm>
#include <cctype>
#include <cstdlib>

#include "gui/Exception.hpp"
#include "gui/Widget.hpp"

namespace gui {

struct Layout::Node {
    enum class Kind {
        Constant,
        Percent,
        Add,
        Subtract,
        Multiply,
        Divide,
        Negate,
        Min,
        Max,
        Parent,
        Self,
        Bound
    };

    Kind kind = Kind::Constant;
    float value = 0.f;
    Property property = Property::Left;
    std::shared_ptr<const Node> left;
    std::shared_ptr<const Node> right;
    std::weak_ptr<const Widget> widget;
};

namespace {

using Node = Layout::Node;
using NodePtr = std::shared_ptr<const Node>;

NodePtr makeNode(Node node) {
    return std::make_shared<const Node>(std::move(node));
}

NodePtr makeBinary(Node::Kind kind, NodePtr left, NodePtr right) {
    Node node;
    node.kind = kind;
    node.left = std::move(left);
    node.right = std::move(right);
    return makeNode(std::move(node));
}

// Recursive-descent parser over the expression grammar described in Layout.hpp.
class Parser {
public:
    explicit Parser(const std::string& text) : m_text(text) {}

    NodePtr parse() {
        // Evaluation and destruction walk the tree recursively, and a chain such as "1+1+...+1" is as deep as
        // it is long, so the length bounds the depth.
        if (m_text.size() > maxLength) {
            fail("longer than " + std::to_string(maxLength) + " characters");
        }
        NodePtr root = parseSum();
        skipSpace();
        if (m_pos < m_text.size()) {
            fail("unexpected '" + std::string(1, m_text[m_pos]) + "'");
        }
        return root;
    }

private:
    [[noreturn]] void fail(const std::string& reason) const {
        throw Exception("Failed to parse the layout '" + m_text + "': " + reason + "!");
    }

    void skipSpace() {
        while (m_pos < m_text.size() && std::isspace(static_cast<unsigned char>(m_text[m_pos]))) {
            ++m_pos;
        }
    }

    bool accept(char c) {
        skipSpace();
        if (m_pos < m_text.size() && m_text[m_pos] == c) {
            ++m_pos;
            return true;
        }
        return false;
    }

    void expect(char c) {
        if (!accept(c)) {
            fail(std::string("expected '") + c + "'");
        }
    }

    NodePtr parseSum() {
        NodePtr node = parseProduct();
        for (;;) {
            if (accept('+')) {
                node = makeBinary(Node::Kind::Add, node, parseProduct());
            } else if (accept('-')) {
                node = makeBinary(Node::Kind::Subtract, node, parseProduct());
            } else {
                return node;
            }
        }
    }

    NodePtr parseProduct() {
        NodePtr node = parseUnary();
        for (;;) {
            if (accept('*')) {
                node = makeBinary(Node::Kind::Multiply, node, parseUnary());
            } else if (accept('/')) {
                node = makeBinary(Node::Kind::Divide, node, parseUnary());
            } else {
                return node;
            }
        }
    }

    // Every nesting (parentheses, min/max, unary signs) passes through here, so this bounds the recursion.
    NodePtr parseUnary() {
        if (++m_depth > maxDepth) {
            fail("nested too deeply");
        }
        struct Leave {
            int& depth;
            ~Leave() { --depth; }
        } leave{m_depth};
        if (accept('-')) {
            Node node;
            node.kind = Node::Kind::Negate;
            node.left = parseUnary();
            return makeNode(std::move(node));
        }
        if (accept('+')) {
            return parseUnary();
        }
        return parsePrimary();
    }

    NodePtr parsePrimary() {
        skipSpace();
        if (m_pos >= m_text.size()) {
            fail("unexpected end");
        }
        const char c = m_text[m_pos];
        if (accept('(')) {
            NodePtr inner = parseSum();
            expect(')');
            return inner;
        }
        if (std::isdigit(static_cast<unsigned char>(c)) || c == '.') {
            return parseNumber();
        }
        if (c == '&' || std::isalpha(static_cast<unsigned char>(c)) || c == '_') {
            return parseName();
        }
        fail("unexpected '" + std::string(1, c) + "'");
    }

    NodePtr parseNumber() {
        const char* begin = m_text.c_str() + m_pos;
        char* end = nullptr;
        const float value = std::strtof(begin, &end);
        if (end == begin) {
            fail("bad number");
        }
        m_pos += static_cast<std::size_t>(end - begin);
        Node node;
        node.value = value;
        node.kind = accept('%') ? Node::Kind::Percent : Node::Kind::Constant;
        return makeNode(std::move(node));
    }

    std::string readWord() {
        skipSpace();
        const std::size_t start = m_pos;
        if (m_pos < m_text.size() && m_text[m_pos] == '&') {
            ++m_pos;
        } else {
            while (m_pos < m_text.size() &&
                   (std::isalnum(static_cast<unsigned char>(m_text[m_pos])) || m_text[m_pos] == '_')) {
                ++m_pos;
            }
        }
        std::string word = m_text.substr(start, m_pos - start);
        std::transform(word.begin(), word.end(), word.begin(),
                       [](unsigned char ch) { return static_cast<char>(std::tolower(ch)); });
        if (word.empty()) {
            fail("expected a name");
        }
        return word;
    }

    NodePtr parseName() {
        const std::string word = readWord();
        if (word == "min" || word == "max") {
            expect('(');
            NodePtr first = parseSum();
            expect(',');
            NodePtr second = parseSum();
            expect(')');
            return makeBinary(word == "min" ? Node::Kind::Min : Node::Kind::Max, first, second);
        }
        Node node;
        node.kind = Node::Kind::Self;
        std::string member = word;
        if (word == "&" || word == "parent") {
            expect('.');
            node.kind = Node::Kind::Parent;
            member = readWord();
        }
        if (member == "width" || member == "w") {
            node.property = Layout::Property::Width;
        } else if (member == "height" || member == "h") {
            node.property = Layout::Property::Height;
        } else if (member == "left" || member == "x") {
            node.property = Layout::Property::Left;
        } else if (member == "top" || member == "y") {
            node.property = Layout::Property::Top;
        } else if (member == "right") {
            node.property = Layout::Property::Right;
        } else if (member == "bottom") {
            node.property = Layout::Property::Bottom;
        } else {
            fail("unknown name '" + member + "'");
        }
        return makeNode(std::move(node));
    }

    const std::string& m_text;
    std::size_t m_pos = 0;
    int m_depth = 0;
    static constexpr int maxDepth = 64;
    static constexpr std::size_t maxLength = 1024;
};

float evaluateNode(const Node& node, const Widget* self, sf::Vector2f parentSize, Layout::Axis axis) {
    const auto sub = [&](const NodePtr& child) { return evaluateNode(*child, self, parentSize, axis); };
    switch (node.kind) {
        case Node::Kind::Constant:
            return node.value;
        case Node::Kind::Percent:
            return node.value / 100.f * (axis == Layout::Axis::Horizontal ? parentSize.x : parentSize.y);
        case Node::Kind::Add:
            return sub(node.left) + sub(node.right);
        case Node::Kind::Subtract:
            return sub(node.left) - sub(node.right);
        case Node::Kind::Multiply:
            return sub(node.left) * sub(node.right);
        case Node::Kind::Divide: {
            const float divisor = sub(node.right);
            return divisor == 0.f ? 0.f : sub(node.left) / divisor;
        }
        case Node::Kind::Negate:
            return -sub(node.left);
        case Node::Kind::Min:
            return std::min(sub(node.left), sub(node.right));
        case Node::Kind::Max:
            return std::max(sub(node.left), sub(node.right));
        case Node::Kind::Parent:
            switch (node.property) {
                case Layout::Property::Width:
                case Layout::Property::Right:
                    return parentSize.x;
                case Layout::Property::Height:
                case Layout::Property::Bottom:
                    return parentSize.y;
                default:
                    return 0.f;
            }
        case Node::Kind::Self:
            return self != nullptr ? self->getLayoutProperty(node.property) : 0.f;
        case Node::Kind::Bound: {
            const std::shared_ptr<const Widget> widget = node.widget.lock();
            return widget != nullptr ? widget->getLayoutProperty(node.property) : 0.f;
        }
    }
    return 0.f;
}

}  // namespace

Layout::Layout() : Layout(constant(0.f)) {}

Layout::Layout(const char* expression) : Layout(std::string(expression != nullptr ? expression : "")) {}

Layout::Layout(const std::string& expression) : m_root(Parser(expression).parse()) {}

Layout::Layout(std::shared_ptr<const Node> root) : m_root(std::move(root)) {}

Layout Layout::constant(float value) {
    Node node;
    node.value = value;
    return Layout(makeNode(std::move(node)));
}

Layout Layout::bind(const std::shared_ptr<const Widget>& widget, Property property) {
    Node node;
    node.kind = Node::Kind::Bound;
    node.property = property;
    node.widget = widget;
    return Layout(makeNode(std::move(node)));
}

float Layout::evaluate(const Widget* self, sf::Vector2f parentSize, Axis axis) const {
    return evaluateNode(*m_root, self, parentSize, axis);
}

Layout operator+(const Layout& left, const Layout& right) {
    return Layout(makeBinary(Layout::Node::Kind::Add, left.m_root, right.m_root));
}

Layout operator-(const Layout& left, const Layout& right) {
    return Layout(makeBinary(Layout::Node::Kind::Subtract, left.m_root, right.m_root));
}

Layout operator*(const Layout& left, const Layout& right) {
    return Layout(makeBinary(Layout::Node::Kind::Multiply, left.m_root, right.m_root));
}

Layout operator/(const Layout& left, const Layout& right) {
    return Layout(makeBinary(Layout::Node::Kind::Divide, left.m_root, right.m_root));
}

Layout Layout::operator-() const {
    Node node;
    node.kind = Node::Kind::Negate;
    node.left = m_root;
    return Layout(makeNode(std::move(node)));
}

Layout bindLeft(const std::shared_ptr<Widget>& widget) {
    return Layout::bind(widget, Layout::Property::Left);
}
Layout bindTop(const std::shared_ptr<Widget>& widget) {
    return Layout::bind(widget, Layout::Property::Top);
}
Layout bindRight(const std::shared_ptr<Widget>& widget) {
    return Layout::bind(widget, Layout::Property::Right);
}
Layout bindBottom(const std::shared_ptr<Widget>& widget) {
    return Layout::bind(widget, Layout::Property::Bottom);
}
Layout bindWidth(const std::shared_ptr<Widget>& widget) {
    return Layout::bind(widget, Layout::Property::Width);
}
Layout bindHeight(const std::shared_ptr<Widget>& widget) {
    return Layout::bind(widget, Layout::Property::Height);
}

}  // namespace gui
