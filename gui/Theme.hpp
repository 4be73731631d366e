#pragma once

#include <map>
#include <memory>
#include <string>

#include "gui/RendererData.hpp"

namespace gui {

// A set of named renderers read from a theme file in the TGUI 0.8 text format:
//
//     // comment
//     Button {
//         TextColor = rgb(230, 230, 230);
//         BackgroundColor = #202020C0;
//         Texture = "button.png" Part(0, 0, 64, 32) Middle(8, 8, 48, 16);
//         Borders = (2, 2, 2, 2);
//         Scrollbar = &OtherSection;
//     }
//
// Copies share the parsed data, so passing a Theme around is cheap. Texture files are relative to the theme
// file's folder and are read while the theme loads.
class Theme {
public:
    // A theme without renderers.
    Theme();
    // Loads `filename`. Raises gui::Exception naming the file (and the line, for a parse error or a
    // texture that cannot be read) when the file cannot be read or parsed.
    explicit Theme(const std::string& filename);

    // The renderer of the section `name` (case-insensitive). The reference stays valid while any copy of
    // this Theme exists. Raises gui::Exception naming `name` when there is no such section.
    const RendererData& getRenderer(const std::string& name) const;
    bool hasRenderer(const std::string& name) const;

    // The file the theme was loaded from; empty for an empty theme.
    const std::string& getFilename() const;

private:
    struct Data {
        std::string filename;
        std::map<std::string, std::shared_ptr<const RendererData>> renderers;
    };

    std::shared_ptr<const Data> m_data;
};

}  // namespace gui
