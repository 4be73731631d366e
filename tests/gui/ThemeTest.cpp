#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <SFML/Graphics/Text.hpp>

#include "AssetTestDir.hpp"
#include "gui/Exception.hpp"
#include "gui/RendererData.hpp"
#include "gui/Theme.hpp"

namespace {

class ThemeTest : public ::testing::Test {
protected:
    gui::Theme load(const std::string& text) { return gui::Theme(files.write("theme.txt", text)); }

    // Loads text as a theme file and returns the message it raises; fails the test if it loads.
    std::string errorOf(const std::string& text) { return errorLoading(files.write("bad.txt", text)); }
    std::string errorLoading(const std::string& file) {
        try {
            gui::Theme theme(file);
        } catch (const gui::Exception& error) {
            EXPECT_NE(std::string(error.what()).find("'" + file + "'"), std::string::npos) << error.what();
            return error.what();
        }
        ADD_FAILURE() << "loaded " << file;
        return "";
    }

    AssetTestDir files;
};

TEST_F(ThemeTest, ReadsTypedPropertiesAndTexturesInTheSyntaxTgui08ThemesUse) {
    files.writeImage("images/frame.png", 40, 30);
    const gui::Theme theme = load(R"(// The game's look
Button {
    TextColor = rgb(220, 221, 222);
    BackgroundColor = #20304080;   /* alpha last */
    BackgroundColorHover = #123; BorderColor = rgba(1, 2, 3, 4); Borders = (1, 2, 3, 4);
    TextStyle = Bold | Underlined;
    Opacity = 0.5;
}
label
{ TextColor = White; Padding = (2, 3); Borders = 5; Font = "fonts/some \"font\".ttf"; PaddingBetweenButtons = 2; }
"Big Button" { TextColor = rgb(255, 255, 255, 215); BorderColor = RGB(4, 5, 6); }
Ch/* a comment inside the name */ildWindow {
    TextColor /* inside a line */ = Green; // after it
    CloseButton = { TextColor = Red; }
    MaximizeButton { TextColor = Yellow; };
    MinimizeButton = &"Big Button";
    BorderColor = transparent;
    TitleBarColor = #12345Z; TextureTitleBar = "absent.png" Part(0, 0, 4, 4); Title = "A \"quoted\" title";
}
;
Picture {
    Texture = "images/frame.png" Part(10, 5, 20, 16) Middle(3, 3, 14, 10) Smooth;
    TextureHover = "images/frame.png";
    TextureDown = None;
})");
    // Colours by renderer and property (names in any case); what is missing or no colour reads as cyan.
    const std::tuple<const char*, const char*, sf::Color> colours[] = {
        {"Button", "TextColor", {220, 221, 222}},
        {"Button", "backgroundcolor", {0x20, 0x30, 0x40, 0x80}},
        {"Button", "BackgroundColorHover", {0x11, 0x22, 0x33}},
        {"Button", "BorderColor", {1, 2, 3, 4}},
        {"Button", "Missing", sf::Color::Cyan},
        {"Button", "Opacity", sf::Color::Cyan},
        {"LABEL", "TextColor", sf::Color::White},
        {"big button", "TextColor", {255, 255, 255, 215}},
        {"big button", "BorderColor", {4, 5, 6}},
        {"ChildWindow", "TextColor", sf::Color::Green},
        {"ChildWindow", "BorderColor", sf::Color::Transparent}};
    for (const auto& [renderer, property, colour] : colours) {
        EXPECT_EQ(theme.getRenderer(renderer).getColor(property, sf::Color::Cyan), colour)
            << renderer << " " << property;
    }
    const gui::RendererData& button = theme.getRenderer("Button");
    const gui::Outline borders = button.getOutline("Borders");
    EXPECT_EQ((std::vector<float>{borders.left, borders.top, borders.right, borders.bottom}),
              (std::vector<float>{1, 2, 3, 4}));
    EXPECT_EQ(button.getTextStyle("TextStyle", 0), sf::Text::Bold | sf::Text::Underlined);
    EXPECT_FLOAT_EQ(button.getNumber("Opacity", 1.f), 0.5f);
    const gui::RendererData& label = theme.getRenderer("Label");
    EXPECT_FLOAT_EQ(label.getOutline("Padding").right, 2.f);
    EXPECT_FLOAT_EQ(label.getOutline("Padding").bottom, 3.f);
    EXPECT_FLOAT_EQ(label.getOutline("Borders").top, 5.f);
    EXPECT_EQ(label.getString("Font", ""), "fonts/some \"font\".ttf");
    // Only the outline properties are outlines; other widths and distances are numbers.
    EXPECT_FLOAT_EQ(label.getNumber("PaddingBetweenButtons", 0.f), 2.f);
    EXPECT_FLOAT_EQ(label.getOutline("PaddingBetweenButtons", {9, 9, 9, 9}).left, 9.f);
    const gui::RendererData& window = theme.getRenderer("ChildWindow");
    const std::pair<const char*, sf::Color> nested[] = {{"CloseButton", sf::Color::Red},
                                                        {"MaximizeButton", sf::Color::Yellow},
                                                        {"MinimizeButton", {255, 255, 255, 215}}};
    for (const auto& [name, color] : nested) {
        ASSERT_NE(window.getRenderer(name), nullptr) << name;
        EXPECT_EQ(window.getRenderer(name)->getColor("TextColor", {}), color) << name;
    }
    EXPECT_TRUE(window.getRenderer("MinimizeButton")->hasProperty("bordercolor"));
    // Properties of widgets the library lacks never fail the theme: what does not read stays a string.
    EXPECT_EQ(window.getString("TitleBarColor", ""), "#12345Z");
    EXPECT_EQ(window.getColor("TitleBarColor", sf::Color::Cyan), sf::Color::Cyan);
    EXPECT_TRUE(window.getTexture("TextureTitleBar").isEmpty());
    EXPECT_EQ(window.getString("Title", ""), "A \"quoted\" title");
    // Textures are read relative to the theme, whole or in part, without a GL context.
    const gui::RendererData& picture = theme.getRenderer("Picture");
    EXPECT_EQ(picture.getTexture("Texture").getPartRect(), sf::IntRect(10, 5, 20, 16));
    EXPECT_EQ(picture.getTexture("Texture").getMiddleRect(), sf::IntRect(3, 3, 14, 10));
    EXPECT_EQ(picture.getTexture("TextureHover").getPartRect(), sf::IntRect(0, 0, 40, 30));
    EXPECT_EQ(picture.getTexture("TextureHover").getMiddleRect(), sf::IntRect());
    EXPECT_TRUE(picture.getTexture("TextureDown").isEmpty());
    EXPECT_TRUE(picture.getTexture("Missing").isEmpty());
    EXPECT_THAT([&] { theme.getRenderer("HealthBar"); },
                testing::ThrowsMessage<gui::Exception>(testing::HasSubstr("'HealthBar'")));
    EXPECT_FALSE(load("// nothing\n/* here */\n").hasRenderer("Button"));
}

TEST_F(ThemeTest, ErrorsNameTheFileAndTheLine) {
    files.writeImage("small.png", 16, 16);
    std::string deep = "A {\n";
    for (int i = 0; i < 10000; ++i) {
        deep += "B = {";
    }
    const std::pair<std::string, const char*> cases[] = {
        {"Button {\n\n  TextColor = Purple;\n}", "line 3"},
        {"Button {\n  TextColor = #12345;\n}", "line 2"},
        {"Button {\n  TextColor = rgb(1, 2);\n}", "line 2"},
        {"Button {\n  TextColor = rgb(1, 2, 300);\n}", "line 2"},
        {"Button {\n  TextColor = rgb(1, 2, 3, 4, 5);\n}", "line 2"},
        {"Button {\n  Borders = (1, 2, 3);\n}", "line 2"},
        {"Button {\n  Borders = 2 3;\n}", "line 2"},
        {"Button {\n  TextStyle = Bold | Wavy;\n}", "line 2"},
        {"Button {\n  Font = \"open;\n}", "line 2"},
        {"Button\n  TextColor = Red;\n", "line 2"},
        {"Button {\n  TextColor = Red;\n", "line 1"},
        {"Button {\n  = Red;\n}", "line 2"},
        {"Button {\n  TextColor Red;\n}", "line 2"},
        {"/* never\n closed", "line 1"},
        {"Button {}\nLabel {}\nbutton {}", "line 3"},
        {"Button {\n Scrollbar = &Nowhere;\n}", "line 2"},
        {"Button {\n  Ref = &Missing\n}", "line 2"},
        {"\"Big\" {\n CloseButton = {\n  Inner = &\"Big\";\n };\n}", "line 3"},  // a section inside itself
        {"A {\n B = &C;\n}\nC {\n D = { E = &A; };\n}", "line 5"},
        {"Button {\n Scrollbar = { Color = Red; }\n TextColor = Reddish;\n}", "line 3"},
        {"Button {\n TextColor = Red }\n}", "line 3"},
        {"\"Button {\n}", "line 1"},
        {"\"\" {\n}", "line 1"},
        {"Button {\n  Texture = { File = 1; };\n  Padding = ();\n}", "line 3"},
        {"Button {\n Texture = \"missing.png\";\n}", "line 2"},
        {"\n\n}", "line 3"},
        {"Button {\n TextColor = Red", "line 2"},
        {"Button {\n TextColor = Red {\n}", "line 2"},
        {deep, "line 2"},
        // The properties the library's widgets read stay strict in any section.
        {"ChildWindow {\n TextColorHover = #12345Z;\n}", "line 2"},
        {"ChildWindow {\n\n TextureFill = \"absent.png\";\n}", "line 3"},
        // Textures must lie inside their image.
        {"A {\n Texture = \"small.png\" Part(8, 8, 16, 16);\n}", "line 2"},
        {"A {\n\n Texture = \"small.png\" Middle(0, 0, 17, 1);\n}", "line 3"},
        {"A {\n Texture = \"small.png\" Part(1, 2);\n}", "line 2"},
        {"A {\n Texture = \"small.png\" Sideways;\n}", "line 2"},
    };
    for (const auto& [text, line] : cases) {
        const std::string message = errorOf(text);
        EXPECT_NE(message.find(line), std::string::npos) << text.substr(0, 80) << "\n -> " << message;
    }
    EXPECT_NE(errorOf("A {\n Texture = \"nothere.png\";\n}").find("nothere.png"), std::string::npos);
    errorLoading(files.path("missing.txt"));
    EXPECT_THROW(gui::Theme(files.root()), gui::Exception) << "a folder";

    gui::RendererData renderer;
    renderer.setProperty("FillColor", "Blue");
    EXPECT_THROW(renderer.setProperty("FillColor", "bluish"), gui::Exception);
    EXPECT_EQ(renderer.getColor("fillcolor", sf::Color::Black), sf::Color::Blue) << "unchanged by a failure";
    EXPECT_THROW(renderer.setProperty("Borders", "(nan)"), gui::Exception);
    renderer.setProperty("Caption", "plain words");
    EXPECT_EQ(renderer.getString("Caption", ""), "plain words");
}

}  // namespace
