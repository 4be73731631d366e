#include "game/ui/UIHud.hpp"

#include "engine/AssetManager.hpp"
#include "engine/Scene.hpp"
#include "engine/SceneManager.hpp"
#include "game/Health.hpp"
#include "game/Transmutation.hpp"
#include "gui/ProgressBar.hpp"

namespace {
const char* const healthBarName = "healthBar";
/// Side of one icon in the "forms" texture, in pixels.
constexpr int iconSize = 64;
/// The stretchable middle of the indicator frame, relative to its texture.
const sf::IntRect frameMiddle(3, 3, 1, 10);
const char* const indicatorSize = "&.height / 12";

gui::Picture::Ptr makeIndicator(const gui::Texture& texture, gui::Layout x, gui::Layout y) {
    auto picture = gui::Picture::create(texture);
    picture->setSize(indicatorSize, indicatorSize);
    picture->setPosition(std::move(x), std::move(y));
    return picture;
}

gui::Gui& currentGui() {
    return orn::SceneManager::getInstance().getCurrentScene()->gui;
}
}  // namespace

UIHud::~UIHud() = default;

void UIHud::init() {
    orn::AssetManager& assets = orn::AssetManager::getInstance();
    const gui::Theme theme = *assets.getTheme("default_theme");
    gui::Gui& gui = currentGui();

    auto healthBar = gui::ProgressBar::create();
    healthBar->setMinimum(0);
    healthBar->setMaximum(100);
    healthBar->setValue(50);
    healthBar->setRenderer(theme.getRenderer("HealthBar"));
    healthBar->setPosition("&.height / 32", "&.height / 32");
    healthBar->setSize("&.width / 5", "32");
    gui.add(healthBar, healthBarName);

    const gui::Texture frame(*assets.getTexture("indicator_bg"), {}, frameMiddle);
    const sf::Texture& forms = *assets.getTexture("forms");
    const gui::Texture human(forms, {0, 0, iconSize, iconSize});
    const gui::Texture rat(forms, {iconSize, 0, iconSize, iconSize});
    const gui::Texture minotaur(forms, {2 * iconSize, 0, iconSize, iconSize});

    // The side indicators are bound to the centre one, so the row stays together at any window size.
    auto centre = makeIndicator(frame, "&.width / 2 - width / 2", "&.height - height - 10");
    ratIcon = makeIndicator(rat, "&.width / 2 - width / 2", "&.height - height - 10");
    const gui::Layout rightX = gui::bindRight(centre) + gui::bindWidth(centre) / 2;
    const gui::Layout leftX = gui::bindLeft(centre) - gui::bindWidth(centre) / 2 - gui::Layout("width");
    const gui::Layout rowY = gui::bindTop(centre);
    auto right = makeIndicator(frame, rightX, rowY);
    minotaurIcon = makeIndicator(minotaur, rightX, rowY);
    auto left = makeIndicator(frame, leftX, rowY);
    humanIcon = makeIndicator(human, leftX, rowY);

    // Icons after the frames, so that they draw over them.
    gui.add(centre);
    gui.add(right);
    gui.add(left);
    gui.add(humanIcon);
    gui.add(ratIcon);
    gui.add(minotaurIcon);

    subscribe("playerHealthChanged");
    subscribe("formsAvailableChanged");
}

void UIHud::onEvent(const std::string& eventName, std::shared_ptr<orn::EventArgs> args) {
    if (eventName == "playerHealthChanged") {
        auto changed = std::dynamic_pointer_cast<Health::HealthChangedEvent>(args);
        auto healthBar = currentGui().get<gui::ProgressBar>(healthBarName);
        if (!changed || !healthBar) {
            return;
        }
        // Limited before the conversion, which is undefined outside the unsigned range (and for NaN).
        const float health = changed->health;
        const unsigned maximum = healthBar->getMaximum();
        unsigned value = 0;
        if (health >= static_cast<float>(maximum)) {
            value = maximum;
        } else if (health > 0.f) {
            value = static_cast<unsigned>(health);
        }
        healthBar->setValue(value);
    } else if (eventName == "formsAvailableChanged") {
        auto forms = std::dynamic_pointer_cast<Transmutation::FormsAvailableArgs>(args);
        if (!forms) {
            return;
        }
        humanIcon->setVisible(forms->humanAvailable);
        ratIcon->setVisible(forms->ratAvailable);
        minotaurIcon->setVisible(forms->minotaurAvailable);
    }
}
