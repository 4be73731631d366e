#include <gtest/gtest.h>
#include <SFML/Graphics/Texture.hpp>
#include <tuple>

#include "AssetTestDir.hpp"
#include "GuiCanvas.hpp"
#include "gui/Label.hpp"
#include "gui/Picture.hpp"
#include "gui/Theme.hpp"

// What the widgets draw, read back from an off-screen target (GL: under a display).
namespace {

class DrawTest : public ::testing::Test {
protected:
    AssetTestDir files;
    GuiCanvas canvas{240, 140};
};

// A theme as TGUI 0.8's own are written: textures cut from one image, a section for a widget the library
// lacks with a nested renderer, four-value rgb colours; ThemeTest reads the rest of the syntax.
const char* const slateTheme = R"(/* Slate */
Button {
    Texture = "slate.png" Part(0, 0, 10, 10) Middle(2, 2, 6, 6);
    TextureHover = "slate.png" Part(10, 0, 10, 10) Middle(2, 2, 6, 6);
    TextColor = rgb(250, 250, 250, 255); TextColorHover = #FFE080; TextStyle = Bold
}
ChildWindow { TitleBarHeight = 24; CloseButton { Texture = "slate.png" Part(10, 0, 10, 10); } }
Picture { Texture = "slate.png" Part(10, 0, 10, 10) Middle(2, 2, 6, 6); }
Label { TextColor = rgb(120, 220, 120); BackgroundColor = rgb(20, 40, 20); BorderColor = #406040; Borders = (1);
        Padding = (4, 2); }
Scrollbar { TrackColor = rgb(80, 80, 80, 160); })";

TEST_F(DrawTest, AThemeInTgui08StyleGivesButtonsPicturesAndLabelsTheirLooks) {
    // slate.png: two 10 x 10 button faces, each a 2-pixel frame around a plain middle.
    const sf::Color frame(90, 90, 110), middle(50, 50, 64), frameHover(140, 120, 60), middleHover(70, 60, 30);
    sf::Image slate;
    slate.create(20, 10);
    for (unsigned i = 0; i < 200; ++i) {
        const unsigned x = i % 20, y = i / 20;
        const bool edge = x % 10 < 2 || x % 10 >= 8 || y < 2 || y >= 8;
        slate.setPixel(x, y, x < 10 ? (edge ? frame : middle) : (edge ? frameHover : middleHover));
    }
    const std::string themePath = files.write("slate/slate.txt", slateTheme);
    ASSERT_TRUE(slate.saveToFile(files.path("slate/slate.png")));
    const gui::Theme styled(themePath);
    canvas.button("OK", styled.getRenderer("Button"), {10, 10}, {100, 40});
    auto label = gui::Label::create("Hi");
    label->setRenderer(styled.getRenderer("Label"));
    label->setFont(canvas.font);
    label->setTextSize(16);
    label->setPosition(130, 10);
    canvas.gui.add(label);
    auto picture = gui::Picture::create();
    picture->setRenderer(styled.getRenderer("Picture"));
    EXPECT_EQ(picture->getSize(), sf::Vector2f(10.f, 10.f)) << "sized to its texture until given a size";
    picture->setPosition(10, 80);
    picture->setSize(60, 30);
    canvas.gui.add(picture);
    auto bare = gui::Label::create("no font");
    bare->setPosition(150, 80);
    canvas.gui.add(bare);

    sf::Image image = canvas.render();
    // The button's face and the picture at (10, 80) in 60 x 30 nine-sliced: a 2-pixel frame all round, the
    // middle stretched; the label's 1-pixel border, its background, and its text inside the padding.
    const sf::Color border(0x40, 0x60, 0x40);
    const unsigned right = 130 + static_cast<unsigned>(label->getSize().x) - 1;
    const std::tuple<unsigned, unsigned, sf::Color> pixels[] = {
        {10, 10, frame},       {60, 11, frame},        {109, 49, frame},
        {15, 30, middle},      {11, 108, frameHover},  {68, 81, frameHover},
        {12, 82, middleHover}, {67, 107, middleHover}, {70, 90, sf::Color::Black},
        {130, 10, border},     {right, 11, border},    {131, 11, sf::Color(20, 40, 20)}};
    for (const auto& [x, y, colour] : pixels) {
        EXPECT_EQ(image.getPixel(x, y), colour) << x << ", " << y;
    }
    EXPECT_GT(GuiCanvas::count(image, {40, 20, 40, 20}, sf::Color(250, 250, 250)), 20);
    EXPECT_GT(GuiCanvas::count(image, {130, 10, 30, 20}, sf::Color(120, 220, 120)), 10);
    EXPECT_EQ(GuiCanvas::count(image, {150, 80, 90, 60}, sf::Color::Black), 90 * 60) << "no font, no text";

    canvas.gui.handleEvent(GuiCanvas::mouse(sf::Event::MouseMoved, 60, 30));
    image = canvas.render();
    EXPECT_EQ(image.getPixel(10, 10), frameHover);
    EXPECT_EQ(image.getPixel(15, 30), middleHover);
    EXPECT_GT(GuiCanvas::count(image, {40, 20, 40, 20}, sf::Color(0xFF, 0xE0, 0x80)), 20);

    // One highlight: the pointer gave it to the button, the keys take it on to the next.
    canvas.button("No", styled.getRenderer("Button"), {170, 100}, {40, 30});
    canvas.gui.focusNext();
    image = canvas.render();
    EXPECT_EQ(image.getPixel(10, 10), frame) << "not lit by the pointer still over it";
    EXPECT_EQ(image.getPixel(170, 100), frameHover);
}

TEST_F(DrawTest, TextWidgetsSizeThemselvesToTheirText) {
    // At size 16 "AB" spans 12 + 10 pixels and one line is 16 pixels; each further letter adds 12.
    auto label = gui::Label::create("AB");
    label->setFont(canvas.font);
    label->setTextSize(16);
    EXPECT_EQ(label->getSize(), sf::Vector2f(22.f, 16.f));
    label->setText("AB\nA");
    EXPECT_EQ(label->getSize(), sf::Vector2f(22.f, 32.f));
    gui::RendererData bordered;
    bordered.setProperty("Borders", "(2)");
    const sf::Vector2f shortButton = canvas.button("AB", bordered, {})->getSize();
    const sf::Vector2f longButton = canvas.button("ABAB", bordered, {})->getSize();
    EXPECT_EQ(longButton - shortButton, sf::Vector2f(24.f, 0.f));
    EXPECT_GT(shortButton.x, 22.f + 4.f) << "wider than its text and borders";
    EXPECT_GT(shortButton.y, 16.f + 4.f);
}

}  // namespace
