// Reads each input as a GUI theme file and hands its renderers to the widgets that use them. Textures are
// read from the file's folder, which holds a 16 x 16 image "t.png" for inputs to name.

#include <SFML/Graphics/Image.hpp>
#include <cstddef>
#include <cstdint>

#include "fuzz/FuzzCheck.hpp"
#include "fuzz/FuzzFile.hpp"
#include "gui/Button.hpp"
#include "gui/Exception.hpp"
#include "gui/Label.hpp"
#include "gui/Picture.hpp"
#include "gui/ProgressBar.hpp"
#include "gui/Theme.hpp"

namespace {

const FuzzFile& themeFile() {
    static const FuzzFile file("theme.txt");
    return file;
}

void apply(const gui::Theme& theme, const char* section, gui::Widget& widget) {
    if (theme.hasRenderer(section)) {
        widget.setRenderer(theme.getRenderer(section));
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    sf::Image image;
    image.create(16, 16, sf::Color::Red);
    FUZZ_CHECK(image.saveToFile(themeFile().folder() + "t.png"));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const FuzzFile& file = themeFile();
    file.write(data, size);
    try {
        const gui::Theme theme(file.path());
        FUZZ_CHECK(theme.getFilename() == file.path());
        apply(theme, "Button", *gui::Button::create("Play"));
        apply(theme, "Label", *gui::Label::create("Kestrith"));
        apply(theme, "Picture", *gui::Picture::create());
        apply(theme, "ProgressBar", *gui::ProgressBar::create());
        // Nested renderers, as a window's title bar buttons carry them.
        if (theme.hasRenderer("ChildWindow")) {
            if (const auto close = theme.getRenderer("ChildWindow").getRenderer("CloseButton")) {
                gui::Button::create("x")->setRenderer(*close);
            }
        }
    } catch (const gui::Exception&) {
    }
    return 0;
}
