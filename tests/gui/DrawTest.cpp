#include <gtest/gtest.h>
#include <SFML/Graphics/Font.hpp>
#include <SFML/Graphics/Image.hpp>
#include <SFML/Graphics/RenderTexture.hpp>
#include <SFML/Graphics/Texture.hpp>
#include <cstdlib>

#include "AssetTestDir.hpp"
#include "gui/Button.hpp"
#include "gui/Gui.hpp"
#include "gui/Label.hpp"
#include "gui/Picture.hpp"
#include "gui/ProgressBar.hpp"
#include "gui/Theme.hpp"

// Tests that render glyphs or textures; they need a GL context and are skipped without a display.
namespace {

const sf::Color background(32, 32, 40);
const sf::Color backgroundHover(48, 48, 72);
const sf::Color border(160, 160, 176);
const sf::Color fill(200, 30, 30);
const sf::Color barBackground(40, 0, 0);

const char* const themeText = R"(// Looks used by the drawing tests and the README example.
Button {
    TextColor = rgb(220, 220, 220);
    TextColorHover = White;
    BackgroundColor = #202028;
    BackgroundColorHover = #303048;
    BackgroundColorDown = #101018;
    BorderColor = #A0A0B0;
    Borders = (2, 2, 2, 2);
}

HealthBar {
    BackgroundColor = rgb(40, 0, 0);
    FillColor = rgb(200, 30, 30);
    BorderColor = #A0A0B0;
    Borders = (2);
}

Title {
    TextColor = #E0C060;
}
)";

class DrawTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (std::getenv("DISPLAY") == nullptr) {
            GTEST_SKIP() << "needs a display for GL";
        }
        ASSERT_TRUE(font.loadFromFile(KESTRITH_SOURCE_DIR "/tests/gui/fixtures/gui-test-font.ttf"));
        theme = gui::Theme(files.write("theme.txt", themeText));
    }

    sf::Image render(sf::RenderTexture& target, gui::Gui& gui) {
        target.clear(sf::Color::Black);
        gui.draw();
        target.display();
        return target.getTexture().copyToImage();
    }

    static sf::Event mouse(sf::Event::EventType type, int x, int y) {
        sf::Event event;
        event.type = type;
        if (type == sf::Event::MouseMoved) {
            event.mouseMove = {x, y};
        } else {
            event.mouseButton = {sf::Mouse::Left, x, y};
        }
        return event;
    }

    static int countPixels(const sf::Image& image, sf::IntRect area, sf::Color color) {
        int count = 0;
        for (int y = area.top; y < area.top + area.height; ++y) {
            for (int x = area.left; x < area.left + area.width; ++x) {
                count += image.getPixel(static_cast<unsigned>(x), static_cast<unsigned>(y)) == color;
            }
        }
        return count;
    }

    sf::Font font;
    AssetTestDir files;
    gui::Theme theme;
};

TEST_F(DrawTest, AButtonDrawsItsBordersBackgroundAndTextAndChangesLookWithTheMouse) {
    sf::RenderTexture target;
    ASSERT_TRUE(target.create(200, 120));
    gui::Gui gui;
    gui.setTarget(target);
    auto button = gui::Button::create("OK");
    button->setRenderer(theme.getRenderer("Button"));
    button->setFont(font);
    button->setTextSize(16);
    button->setPosition(10, 10);
    button->setSize(100, 40);
    gui.add(button);

    sf::Image image = render(target, gui);
    EXPECT_EQ(image.getPixel(10, 10), border);
    EXPECT_EQ(image.getPixel(11, 49), border);
    EXPECT_EQ(image.getPixel(109, 30), border);
    EXPECT_EQ(image.getPixel(13, 13), background);
    EXPECT_EQ(image.getPixel(110, 30), sf::Color::Black) << "nothing outside the button";
    EXPECT_GT(countPixels(image, {40, 20, 40, 20}, sf::Color(220, 220, 220)), 20) << "the text in the middle";
    EXPECT_EQ(countPixels(image, {12, 12, 20, 36}, sf::Color(220, 220, 220)), 0) << "the text is centred";

    gui.handleEvent(mouse(sf::Event::MouseMoved, 50, 30));
    image = render(target, gui);
    EXPECT_EQ(image.getPixel(13, 13), backgroundHover);
    EXPECT_GT(countPixels(image, {40, 20, 40, 20}, sf::Color::White), 20);

    gui.handleEvent(mouse(sf::Event::MouseButtonPressed, 50, 30));
    EXPECT_EQ(render(target, gui).getPixel(13, 13), sf::Color(0x10, 0x10, 0x18));

    gui.handleEvent(mouse(sf::Event::MouseMoved, 150, 100));
    EXPECT_EQ(render(target, gui).getPixel(13, 13), backgroundHover) << "the mouse left the focus on it";
}

TEST_F(DrawTest, TheMouseAndTheFocusMoveOneHighlight) {
    sf::RenderTexture target;
    ASSERT_TRUE(target.create(240, 120));
    gui::Gui gui;
    gui.setTarget(target);
    gui::Button::Ptr buttons[2];
    for (int i = 0; i < 2; ++i) {
        buttons[i] = gui::Button::create(i == 0 ? "One" : "Two");
        buttons[i]->setRenderer(theme.getRenderer("Button"));
        buttons[i]->setFont(font);
        buttons[i]->setPosition(10 + 120 * i, 10);
        buttons[i]->setSize(100, 40);
        gui.add(buttons[i]);
    }

    gui.focusNext();
    sf::Image image = render(target, gui);
    EXPECT_EQ(image.getPixel(13, 13), backgroundHover);
    EXPECT_EQ(image.getPixel(133, 13), background);

    // The mouse takes the highlight along and leaves it where it last was; the keys go on from there.
    gui.handleEvent(mouse(sf::Event::MouseMoved, 170, 30));
    gui.handleEvent(mouse(sf::Event::MouseMoved, 200, 100));
    image = render(target, gui);
    EXPECT_EQ(image.getPixel(13, 13), background);
    EXPECT_EQ(image.getPixel(133, 13), backgroundHover);

    gui.handleEvent(mouse(sf::Event::MouseMoved, 170, 30));
    gui.focusNext();
    image = render(target, gui);
    EXPECT_EQ(image.getPixel(13, 13), backgroundHover);
    EXPECT_EQ(image.getPixel(133, 13), background) << "not lit by the mouse still over it";
}

TEST_F(DrawTest, AProgressBarFillsInProportionToItsValue) {
    sf::RenderTexture target;
    ASSERT_TRUE(target.create(200, 120));
    gui::Gui gui;
    gui.setTarget(target);
    auto bar = gui::ProgressBar::create();
    bar->setRenderer(theme.getRenderer("HealthBar"));
    bar->setPosition(10, 60);
    bar->setSize(104, 24);
    bar->setValue(25);
    gui.add(bar);

    sf::Image image = render(target, gui);
    EXPECT_EQ(image.getPixel(10, 60), border);
    EXPECT_EQ(image.getPixel(113, 83), border);
    EXPECT_EQ(countPixels(image, {12, 62, 100, 20}, fill), 25 * 20);
    EXPECT_EQ(image.getPixel(36, 70), fill);
    EXPECT_EQ(image.getPixel(37, 70), barBackground);

    bar->setValue(1000);
    image = render(target, gui);
    EXPECT_EQ(countPixels(image, {12, 62, 100, 20}, fill), 100 * 20);
    EXPECT_EQ(image.getPixel(10, 60), border);
}

TEST_F(DrawTest, NineSlicedPicturesKeepTheirBorders) {
    sf::Image frame;
    frame.create(16, 16, sf::Color::Blue);
    for (unsigned y = 3; y < 13; ++y) {
        for (unsigned x = 3; x < 13; ++x) {
            frame.setPixel(x, y, sf::Color::Green);
        }
    }
    sf::Texture texture;
    ASSERT_TRUE(texture.loadFromImage(frame));
    sf::RenderTexture target;
    ASSERT_TRUE(target.create(200, 120));
    gui::Gui gui;
    gui.setTarget(target);
    auto sliced = gui::Picture::create(gui::Texture(texture, {}, {3, 3, 10, 10}));
    sliced->setSize(60, 60);
    auto stretched = gui::Picture::create(texture);
    EXPECT_EQ(stretched->getSize(), sf::Vector2f(16.f, 16.f)) << "sized to the texture until given a size";
    stretched->setPosition(100, 0);
    stretched->setSize(64, 64);
    gui.add(sliced);
    gui.add(stretched);

    const sf::Image image = render(target, gui);
    EXPECT_EQ(image.getPixel(2, 30), sf::Color::Blue);
    EXPECT_EQ(image.getPixel(3, 30), sf::Color::Green);
    EXPECT_EQ(image.getPixel(56, 30), sf::Color::Green);
    EXPECT_EQ(image.getPixel(57, 30), sf::Color::Blue);
    EXPECT_EQ(image.getPixel(30, 59), sf::Color::Blue);
    EXPECT_EQ(image.getPixel(100 + 11, 30), sf::Color::Blue) << "a plain picture scales its border";
    EXPECT_EQ(image.getPixel(100 + 12, 30), sf::Color::Green);
}

TEST_F(DrawTest, TextWidgetsSizeThemselvesToTheirText) {
    // The test font's glyphs are 5 pixels of an 8-pixel em wide with an advance of 6, and its line spacing
    // is one em: at size 16 "AB" spans 12 + 10 pixels and one line is 16 pixels.
    auto label = gui::Label::create("AB");
    label->setFont(font);
    label->setTextSize(16);
    EXPECT_EQ(label->getSize(), sf::Vector2f(22.f, 16.f));
    label->setText("AB\nA");
    EXPECT_EQ(label->getSize(), sf::Vector2f(22.f, 32.f));
    label->setSize(5, 6);
    EXPECT_EQ(label->getSize(), sf::Vector2f(5.f, 6.f));

    auto shortButton = gui::Button::create("AB");
    auto longButton = gui::Button::create("ABAB");
    for (const auto& button : {shortButton, longButton}) {
        button->setRenderer(theme.getRenderer("Button"));
        button->setFont(font);
        button->setTextSize(16);
    }
    EXPECT_EQ(shortButton->getSize().y, longButton->getSize().y);
    EXPECT_FLOAT_EQ(longButton->getSize().x - shortButton->getSize().x, 24.f);
    EXPECT_GT(shortButton->getSize().x, 22.f + 4.f) << "wider than its text and borders";
    EXPECT_GT(shortButton->getSize().y, 16.f + 4.f);
}

TEST_F(DrawTest, MenuButtonsStackBelowTheCentredOneInAnyWindowSize) {
    gui::Gui gui;
    gui.setView(sf::View(sf::FloatRect(0.f, 0.f, 800.f, 600.f)));
    auto play = gui::Button::create("Play");
    auto credits = gui::Button::create("Credits");
    auto quit = gui::Button::create("Quit");
    for (const auto& button : {play, credits, quit}) {
        button->setRenderer(theme.getRenderer("Button"));
        button->setFont(font);
        button->setTextSize(32);
        gui.add(button);
    }
    play->setPosition("&.width / 2 - width / 2", "&.height / 2 - height / 2");
    credits->setPosition("&.width / 2 - width / 2", gui::bindBottom(play) + gui::bindHeight(play) / 2);
    quit->setPosition("&.width / 2 - width / 2", gui::bindBottom(credits) + gui::bindHeight(credits) / 2);

    for (const sf::Vector2f window : {sf::Vector2f(800.f, 600.f), sf::Vector2f(1366.f, 768.f)}) {
        gui.setView(sf::View(sf::FloatRect(0.f, 0.f, window.x, window.y)));
        const float height = play->getSize().y;
        EXPECT_FLOAT_EQ(play->getPosition().x + play->getSize().x / 2, window.x / 2);
        EXPECT_FLOAT_EQ(play->getPosition().y, window.y / 2 - height / 2);
        EXPECT_FLOAT_EQ(credits->getPosition().y, play->getPosition().y + height * 1.5f);
        EXPECT_FLOAT_EQ(quit->getPosition().y, credits->getPosition().y + height * 1.5f);
        EXPECT_FLOAT_EQ(quit->getPosition().x + quit->getSize().x / 2, window.x / 2);
    }
}

// Renders the README's example; with KESTRITH_GUI_SCREENSHOT set to a path, also writes it there.
// A theme written the way TGUI 0.8's own themes are: textures cut from one image, sections for widgets
// the library does not have, nested renderers, references and four-value rgb colours.
const char* const tguiStyleTheme = R"(/* Slate: a small theme in the TGUI 0.8 style */
Button {
    Texture         = "slate.png" Part(0, 0, 10, 10) Middle(2, 2, 6, 6);
    TextureHover    = "slate.png" Part(10, 0, 10, 10) Middle(2, 2, 6, 6);
    TextColor       = rgb(250, 250, 250, 255);
    TextColorHover  = #FFE080;
    TextStyle       = Bold
}

ChatBox {
    BackgroundColor = rgb(40, 40, 40, 215);
    Scrollbar       = &Scrollbar;
    Padding         = (3, 3, 3, 3);
}

ChildWindow {
    TitleBarHeight        = 24;
    PaddingBetweenButtons = 2;
    DistanceToSide        = 3;
    TextureTitleBar       = "slate.png" Part(0, 0, 20, 10) Smooth;
    CloseButton {
        Texture = "slate.png" Part(10, 0, 10, 10);
    }
    MaximizeButton = {
        TextColor = rgba(255, 255, 255, 128);
    }
}

Label {
    TextColor       = rgb(120, 220, 120);
    BackgroundColor = rgb(20, 40, 20);
    BorderColor     = #406040;
    Borders         = (1);
    Padding         = (4, 2);
}

ProgressBar {
    BackgroundColor = rgb(30, 30, 60, 255);
    FillColor       = rgb(90, 160, 240);
    TextColor       = White;
    TextColorFilled = Black;
    BorderColor     = rgb(200, 200, 220);
    Borders         = (2, 2, 2, 2);
}

"Scrollbar" {
    TrackColor = rgb(80, 80, 80, 160);
    ThumbColor = rgb(160, 160, 160, 200);
    ArrowBackgroundColor = #505050; ArrowColor = #C0C0C0
}
)";

TEST_F(DrawTest, AThemeInTgui08StyleGivesButtonLabelAndProgressBarTheirLooks) {
    // slate.png: two 10 x 10 button faces, each a 2-pixel frame around a plain middle.
    const sf::Color frame(90, 90, 110), face(50, 50, 64), frameHover(140, 120, 60), faceHover(70, 60, 30);
    sf::Image slate;
    slate.create(20, 10);
    for (unsigned y = 0; y < 10; ++y) {
        for (unsigned x = 0; x < 20; ++x) {
            const bool edge = x % 10 < 2 || x % 10 >= 8 || y < 2 || y >= 8;
            slate.setPixel(x, y, x < 10 ? (edge ? frame : face) : (edge ? frameHover : faceHover));
        }
    }
    const std::string themePath = files.write("slate/slate.txt", tguiStyleTheme);
    ASSERT_TRUE(slate.saveToFile(files.path("slate/slate.png")));
    const gui::Theme slateTheme(themePath);

    sf::RenderTexture target;
    ASSERT_TRUE(target.create(240, 140));
    gui::Gui gui;
    gui.setTarget(target);
    auto button = gui::Button::create("OK");
    button->setRenderer(slateTheme.getRenderer("Button"));
    button->setFont(font);
    button->setTextSize(16);
    button->setPosition(10, 10);
    button->setSize(100, 40);
    gui.add(button);
    auto label = gui::Label::create("Hi");
    label->setRenderer(slateTheme.getRenderer("Label"));
    label->setFont(font);
    label->setTextSize(16);
    label->setPosition(130, 10);
    gui.add(label);
    auto bar = gui::ProgressBar::create();
    bar->setRenderer(slateTheme.getRenderer("ProgressBar"));
    bar->setPosition(10, 80);
    bar->setSize(104, 24);
    bar->setValue(50);
    gui.add(bar);

    sf::Image image = render(target, gui);
    if (const char* path = std::getenv("KESTRITH_THEME_SCREENSHOT")) {
        EXPECT_TRUE(image.saveToFile(path));
    }
    // The button's face is nine-sliced: a 2-pixel frame all round, the middle stretched.
    EXPECT_EQ(image.getPixel(10, 10), frame);
    EXPECT_EQ(image.getPixel(60, 11), frame);
    EXPECT_EQ(image.getPixel(109, 49), frame);
    EXPECT_EQ(image.getPixel(12, 12), face);
    EXPECT_EQ(image.getPixel(15, 30), face);
    EXPECT_EQ(image.getPixel(110, 30), sf::Color::Black);
    EXPECT_GT(countPixels(image, {40, 20, 40, 20}, sf::Color(250, 250, 250)), 20) << "the text in the middle";

    // The label: a 1-pixel border, its background, and its text inside the padding.
    const sf::Vector2f labelSize = label->getSize();
    EXPECT_EQ(image.getPixel(130, 10), sf::Color(0x40, 0x60, 0x40));
    EXPECT_EQ(image.getPixel(131, 11), sf::Color(20, 40, 20));
    EXPECT_EQ(image.getPixel(130 + static_cast<unsigned>(labelSize.x) - 1, 11), sf::Color(0x40, 0x60, 0x40));
    EXPECT_GT(countPixels(image, {130, 10, static_cast<int>(labelSize.x), static_cast<int>(labelSize.y)},
                          sf::Color(120, 220, 120)),
              10);

    // The bar: a 2-pixel border, filled to half its inner width.
    EXPECT_EQ(image.getPixel(10, 80), sf::Color(200, 200, 220));
    EXPECT_EQ(image.getPixel(113, 103), sf::Color(200, 200, 220));
    EXPECT_EQ(countPixels(image, {12, 82, 100, 20}, sf::Color(90, 160, 240)), 50 * 20);
    EXPECT_EQ(image.getPixel(61, 90), sf::Color(90, 160, 240));
    EXPECT_EQ(image.getPixel(62, 90), sf::Color(30, 30, 60));

    gui.handleEvent(mouse(sf::Event::MouseMoved, 60, 30));
    image = render(target, gui);
    EXPECT_EQ(image.getPixel(10, 10), frameHover);
    EXPECT_EQ(image.getPixel(15, 30), faceHover);
    EXPECT_GT(countPixels(image, {40, 20, 40, 20}, sf::Color(0xFF, 0xE0, 0x80)), 20);
}

TEST_F(DrawTest, ReadmeExample) {
    sf::RenderTexture window;
    ASSERT_TRUE(window.create(320, 200));
    gui::Gui gui;
    gui.setTarget(window);

    auto title = gui::Label::create("KESTRITH");
    title->setRenderer(theme.getRenderer("Title"));
    title->setFont(font);
    title->setTextSize(32);
    title->setPosition("&.width / 2 - width / 2", "height / 2");
    gui.add(title);

    auto play = gui::Button::create("Play");
    play->setRenderer(theme.getRenderer("Button"));
    play->setFont(font);
    play->setTextSize(24);
    play->setPosition("&.width / 2 - width / 2", "&.height / 2 - height / 2");
    int presses = 0;
    play->connect("pressed", [&presses] { ++presses; });
    gui.add(play, "play");

    auto health = gui::ProgressBar::create();
    health->setRenderer(theme.getRenderer("HealthBar"));
    health->setPosition("&.width / 4", gui::bindBottom(play) + 24);
    health->setSize("&.width / 2", 24);
    health->setValue(60);
    gui.add(health, "health");

    gui.handleEvent(mouse(sf::Event::MouseMoved, 160, 100));
    const sf::Image image = render(window, gui);
    EXPECT_EQ(image.getPixel(static_cast<unsigned>(play->getPosition().x) + 3, 100), backgroundHover);
    EXPECT_EQ(image.getPixel(160, static_cast<unsigned>(health->getPosition().y) + 12), fill);
    EXPECT_EQ(image.getPixel(235, static_cast<unsigned>(health->getPosition().y) + 12), barBackground);
    EXPECT_GT(countPixels(image, {0, 0, 320, 48}, sf::Color(0xE0, 0xC0, 0x60)), 100);

    if (const char* path = std::getenv("KESTRITH_GUI_SCREENSHOT")) {
        EXPECT_TRUE(image.saveToFile(path));
    }
}

}  // namespace
