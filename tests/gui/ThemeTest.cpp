#include <gtest/gtest.h>
#include <SFML/Graphics/Image.hpp>
#include <SFML/Graphics/Text.hpp>
#include <filesystem>

#include "AssetTestDir.hpp"
#include "gui/Exception.hpp"
#include "gui/RendererData.hpp"
#include "gui/Theme.hpp"

namespace {

namespace fs = std::filesystem;

class ThemeTest : public ::testing::Test {
protected:
    std::string write(const std::string& name, const std::string& text) const {
        return files.write(name, text);
    }

    void writeImage(const std::string& name, unsigned width, unsigned height) const {
        files.writeImage(name, width, height, sf::Color::Red);
    }

    // Loads `text` as a theme file and returns the message it raises; fails the test if it loads.
    std::string errorOf(const std::string& text) {
        const std::string file = write("bad.txt", text);
        try {
            gui::Theme theme(file);
        } catch (const gui::Exception& error) {
            EXPECT_NE(std::string(error.what()).find("'" + file + "'"), std::string::npos) << error.what();
            return error.what();
        }
        ADD_FAILURE() << "loaded: " << text;
        return "";
    }

    AssetTestDir files;
    const fs::path dir{files.root()};
};

TEST_F(ThemeTest, ReadsSectionsOfTypedProperties) {
    const std::string file = write("theme.txt", R"(// The game's look
Button {
    TextColor = rgb(220, 221, 222);
    BackgroundColor = #20304080;   /* alpha last */
    BackgroundColorHover = #123;
    BorderColor = rgba(1, 2, 3, 4);
    Borders = (1, 2, 3, 4);
    TextStyle = Bold | Underlined;
    Opacity = 0.5;
}

label
{
    TextColor = White;
    Padding = (2, 3);
    Borders = (5);
    Font = "fonts/some \"font\".ttf";
}
Title { TextColor = Transparent; }
HealthBar {
    FillColor = red;
    Scrollbar = { TrackColor = Green; };
    Ref = &Title;
}
)");
    const gui::Theme theme(file);
    const gui::RendererData& button = theme.getRenderer("Button");
    EXPECT_EQ(button.getColor("TextColor", sf::Color::Black), sf::Color(220, 221, 222));
    EXPECT_EQ(button.getColor("backgroundcolor", sf::Color::Black), sf::Color(0x20, 0x30, 0x40, 0x80));
    EXPECT_EQ(button.getColor("BackgroundColorHover", sf::Color::Black), sf::Color(0x11, 0x22, 0x33));
    EXPECT_EQ(button.getColor("BorderColor", sf::Color::Black), sf::Color(1, 2, 3, 4));
    const gui::Outline borders = button.getOutline("Borders");
    EXPECT_EQ((std::vector<float>{borders.left, borders.top, borders.right, borders.bottom}),
              (std::vector<float>{1, 2, 3, 4}));
    EXPECT_EQ(button.getTextStyle("TextStyle", 0), sf::Text::Bold | sf::Text::Underlined);
    EXPECT_FLOAT_EQ(button.getNumber("Opacity", 1.f), 0.5f);
    EXPECT_EQ(button.getColor("Missing", sf::Color::Cyan), sf::Color::Cyan);
    EXPECT_EQ(button.getColor("Opacity", sf::Color::Cyan), sf::Color::Cyan) << "a number is no colour";

    const gui::RendererData& label = theme.getRenderer("LABEL");
    EXPECT_EQ(label.getColor("TextColor", sf::Color::Black), sf::Color::White);
    EXPECT_FLOAT_EQ(label.getOutline("Padding").right, 2.f);
    EXPECT_FLOAT_EQ(label.getOutline("Padding").bottom, 3.f);
    EXPECT_FLOAT_EQ(label.getOutline("Borders").top, 5.f);
    EXPECT_EQ(label.getString("Font", ""), "fonts/some \"font\".ttf");

    EXPECT_EQ(theme.getRenderer("Title").getColor("TextColor", sf::Color::Black), sf::Color::Transparent);
    const gui::RendererData& bar = theme.getRenderer("healthbar");
    EXPECT_EQ(bar.getColor("FillColor", sf::Color::Black), sf::Color::Red);
    ASSERT_NE(bar.getRenderer("Scrollbar"), nullptr);
    EXPECT_EQ(bar.getRenderer("Scrollbar")->getColor("TrackColor", sf::Color::Black), sf::Color::Green);
    ASSERT_NE(bar.getRenderer("Ref"), nullptr);
    EXPECT_TRUE(bar.getRenderer("Ref")->hasProperty("TextColor"));
}

TEST_F(ThemeTest, CopiesShareTheParsedRenderers) {
    const gui::Theme original(write("theme.txt", "Button { TextColor = Red; }"));
    const gui::Theme copy = original;
    EXPECT_EQ(&copy.getRenderer("Button"), &original.getRenderer("Button"));
    EXPECT_EQ(copy.getFilename(), original.getFilename());
    EXPECT_FALSE(gui::Theme().hasRenderer("Button"));
}

TEST_F(ThemeTest, ReadsTexturesRelativeToTheThemeFolderWithoutAGlContext) {
    fs::create_directory(dir / "images");
    writeImage("images/frame.png", 40, 30);
    const gui::Theme theme(write("theme.txt", R"(
Picture {
    Texture = "images/frame.png" Part(10, 5, 20, 16) Middle(3, 3, 14, 10) Smooth;
    TextureHover = "images/frame.png";
    TextureDown = None;
})"));
    const gui::RendererData& renderer = theme.getRenderer("Picture");
    const gui::Texture texture = renderer.getTexture("Texture");
    ASSERT_FALSE(texture.isEmpty());
    EXPECT_EQ(texture.getPartRect(), sf::IntRect(10, 5, 20, 16));
    EXPECT_EQ(texture.getMiddleRect(), sf::IntRect(3, 3, 14, 10));
    EXPECT_EQ(renderer.getTexture("TextureHover").getPartRect(), sf::IntRect(0, 0, 40, 30));
    EXPECT_EQ(renderer.getTexture("TextureHover").getMiddleRect(), sf::IntRect());
    EXPECT_TRUE(renderer.getTexture("TextureDown").isEmpty());
    EXPECT_TRUE(renderer.getTexture("Missing").isEmpty());
}

TEST_F(ThemeTest, UnknownRendererNamesRaiseNamingThem) {
    const gui::Theme theme(write("theme.txt", "Button {}"));
    try {
        theme.getRenderer("HealthBar");
        FAIL() << "no exception";
    } catch (const gui::Exception& error) {
        EXPECT_NE(std::string(error.what()).find("'HealthBar'"), std::string::npos) << error.what();
    }
}

TEST_F(ThemeTest, AMissingOrUnreadableFileRaisesNamingIt) {
    const std::string missing = (dir / "missing.txt").string();
    try {
        gui::Theme theme(missing);
        FAIL() << "no exception";
    } catch (const gui::Exception& error) {
        EXPECT_NE(std::string(error.what()).find("'" + missing + "'"), std::string::npos) << error.what();
    }
    EXPECT_THROW(gui::Theme(dir.string()), gui::Exception);
}

TEST_F(ThemeTest, ParseErrorsNameTheFileAndTheLine) {
    const struct {
        const char* text;
        const char* line;
    } cases[] = {
        {"Button {\n\n  TextColor = Purple;\n}", "line 3"},
        {"Button {\n  TextColor = #12345;\n}", "line 2"},
        {"Button {\n  TextColor = rgb(1, 2);\n}", "line 2"},
        {"Button {\n  TextColor = rgb(1, 2, 300);\n}", "line 2"},
        {"Button {\n  Borders = (1, 2, 3);\n}", "line 2"},
        {"Button {\n  TextStyle = Bold | Wavy;\n}", "line 2"},
        {"Button {\n  Font = \"open;\n}", "line 2"},
        {"Button\n  TextColor = Red;\n", "line 2"},
        {"Button {\n  TextColor = Red;\n", "line 1"},
        {"Button {\n  = Red;\n}", "line 2"},
        {"Button {\n  TextColor Red;\n}", "line 2"},
        {"/* never\n closed", "line 1"},
        {"Button {}\nLabel {}\nbutton {}", "line 3"},
        {"Button {\n Scrollbar = &Nowhere;\n}", "line 2"},
        {"Button {\n Scrollbar = { Color = Red; }\n TextColor = Reddish;\n}", "line 3"},
        {"Button {\n TextColor = Red }\n}", "line 3"},
        {"\"Button {\n}", "line 1"},
        {"\"\" {\n}", "line 1"},
        {"Button {\n  TextColor = rgb(1, 2, 3, 4, 5);\n}", "line 2"},
        {"Button {\n  Borders = 2 3;\n}", "line 2"},
        {"Button {\n  Texture = { File = 1; };\n  Padding = ();\n}", "line 3"},
        {"Button {\n  Ref = &Missing\n}", "line 2"},
        {"Button {\n Texture = \"missing.png\";\n}", "line 2"},
        {"\n\n}", "line 3"},
    };
    for (const auto& c : cases) {
        const std::string message = errorOf(c.text);
        EXPECT_NE(message.find(c.line), std::string::npos) << c.text << "\n -> " << message;
    }
}

TEST_F(ThemeTest, AcceptsTheSyntaxThatTgui08ThemesUse) {
    const gui::Theme theme(write("theme.txt", R"(
"Big Button" {
    TextColor = rgb(255, 255, 255, 215);
    BackgroundColor = rgba(1, 2, 3);
    BorderColor = RGB(4, 5, 6);
}
Bu/* a comment inside the name */tton {
    TextColor /* inside a line */ = Green; // after it
    BackgroundColor = Blue
}
ChildWindow {
    CloseButton = {
        TextColor = Red;
    }
    MaximizeButton {
        TextColor = Yellow;
    };
    MinimizeButton = &"Big Button"
}
;
Label { Padding = (1, 2, 3, 4); Borders = 2; PaddingBetweenButtons = 2; BorderBelowTitleBar = 1.5; }
)"));
    const gui::RendererData& big = theme.getRenderer("big button");
    EXPECT_EQ(big.getColor("TextColor", sf::Color::Black), sf::Color(255, 255, 255, 215));
    EXPECT_EQ(big.getColor("BackgroundColor", sf::Color::Black), sf::Color(1, 2, 3));
    EXPECT_EQ(big.getColor("BorderColor", sf::Color::Black), sf::Color(4, 5, 6));

    const gui::RendererData& button = theme.getRenderer("Button");
    EXPECT_EQ(button.getColor("TextColor", sf::Color::Black), sf::Color::Green);
    EXPECT_EQ(button.getColor("BackgroundColor", sf::Color::Black), sf::Color::Blue);

    const gui::RendererData& window = theme.getRenderer("ChildWindow");
    ASSERT_NE(window.getRenderer("CloseButton"), nullptr);
    EXPECT_EQ(window.getRenderer("CloseButton")->getColor("TextColor", sf::Color::Black), sf::Color::Red);
    ASSERT_NE(window.getRenderer("MaximizeButton"), nullptr);
    EXPECT_EQ(window.getRenderer("MaximizeButton")->getColor("TextColor", sf::Color::Black),
              sf::Color::Yellow);
    ASSERT_NE(window.getRenderer("MinimizeButton"), nullptr);
    EXPECT_EQ(window.getRenderer("MinimizeButton")->getColor("TextColor", sf::Color::Black),
              sf::Color(255, 255, 255, 215));

    // Only the outline properties are outlines; the other widths and distances are numbers.
    const gui::RendererData& label = theme.getRenderer("Label");
    EXPECT_FLOAT_EQ(label.getOutline("Padding").bottom, 4.f);
    EXPECT_FLOAT_EQ(label.getOutline("Borders").right, 2.f);
    EXPECT_FLOAT_EQ(label.getNumber("PaddingBetweenButtons", 0.f), 2.f);
    EXPECT_FLOAT_EQ(label.getOutline("PaddingBetweenButtons", {9, 9, 9, 9}).left, 9.f);
    EXPECT_FLOAT_EQ(label.getNumber("BorderBelowTitleBar", 0.f), 1.5f);
}

TEST_F(ThemeTest, PropertiesOfWidgetsTheLibraryLacksNeverFailTheTheme) {
    writeImage("sheet.png", 8, 8);
    const gui::Theme theme(write("theme.txt", R"(
ChildWindow {
    TitleBarColor = #12345Z;
    TextureTitleBar = "absent.png" Part(0, 0, 4, 4);
    TextureCloseButton = "sheet.png" Part(0, 0, 4, 4);
    TextureMinimizeButton = "sheet.png" Part(4, 4, 4, 4);
    ScrollbarPadding = wide;
    SelectedTextStyle = Shiny;
    ShowTextOnTitleButtons = true;
    Title = "A \"quoted\" title";
}
)"));
    const gui::RendererData& window = theme.getRenderer("ChildWindow");
    EXPECT_EQ(window.getString("TitleBarColor", ""), "#12345Z");
    EXPECT_EQ(window.getColor("TitleBarColor", sf::Color::Cyan), sf::Color::Cyan);
    EXPECT_TRUE(window.getTexture("TextureTitleBar").isEmpty());
    EXPECT_EQ(window.getTexture("TextureMinimizeButton").getPartRect(), sf::IntRect(4, 4, 4, 4));
    EXPECT_EQ(window.getString("ScrollbarPadding", ""), "wide");
    EXPECT_EQ(window.getString("SelectedTextStyle", ""), "Shiny");
    EXPECT_EQ(window.getString("ShowTextOnTitleButtons", ""), "true");
    EXPECT_EQ(window.getString("Title", ""), "A \"quoted\" title");

    // The properties that the library's widgets read stay strict, in any section.
    EXPECT_NE(errorOf("ChildWindow {\n TextColorHover = #12345Z;\n}").find("line 2"), std::string::npos);
    EXPECT_NE(errorOf("ChildWindow {\n\n TextureFill = \"absent.png\";\n}").find("line 3"),
              std::string::npos);
}

TEST_F(ThemeTest, TexturesOutsideTheirImageAreRejected) {
    writeImage("small.png", 16, 16);
    EXPECT_NE(errorOf("A {\n Texture = \"small.png\" Part(8, 8, 16, 16);\n}").find("line 2"),
              std::string::npos);
    EXPECT_NE(errorOf("A {\n\n Texture = \"small.png\" Middle(0, 0, 17, 1);\n}").find("line 3"),
              std::string::npos);
    EXPECT_NE(errorOf("A {\n Texture = \"small.png\" Part(1, 2);\n}").find("line 2"), std::string::npos);
    EXPECT_NE(errorOf("A {\n Texture = \"small.png\" Sideways;\n}").find("line 2"), std::string::npos);
    const std::string missing = errorOf("A {\n Texture = \"nothere.png\";\n}");
    EXPECT_NE(missing.find("nothere.png"), std::string::npos) << missing;
}

TEST_F(ThemeTest, DeeplyNestedRenderersAreRejected) {
    std::string text = "A {\n";
    for (int i = 0; i < 10000; ++i) {
        text += "B = {";
    }
    EXPECT_NE(errorOf(text).find("line 2"), std::string::npos);
}

TEST_F(ThemeTest, EmptyFilesAndCommentsOnlyGiveAnEmptyTheme) {
    EXPECT_FALSE(gui::Theme(write("empty.txt", "")).hasRenderer("Button"));
    EXPECT_FALSE(gui::Theme(write("comments.txt", "// nothing\n/* here */\n")).hasRenderer("Button"));
}

TEST(RendererDataTest, SetsPropertiesByHandAndRejectsBadValuesUnchanged) {
    gui::RendererData renderer;
    renderer.setProperty("FillColor", "Blue");
    EXPECT_EQ(renderer.getColor("fillcolor", sf::Color::Black), sf::Color::Blue);
    EXPECT_THROW(renderer.setProperty("FillColor", "bluish"), gui::Exception);
    EXPECT_EQ(renderer.getColor("FillColor", sf::Color::Black), sf::Color::Blue);
    EXPECT_THROW(renderer.setProperty("Borders", "(nan)"), gui::Exception);
    renderer.setProperty("Caption", "plain words");
    EXPECT_EQ(renderer.getString("Caption", ""), "plain words");
}

}  // namespace
