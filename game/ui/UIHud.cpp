#include "game/ui/UIHud.hpp"

#include <SFML/Graphics/Image.hpp>
#include <cmath>

#include "engine/AssetManager.hpp"
#include "engine/GameObject.hpp"
#include "engine/Scene.hpp"
#include "engine/SceneManager.hpp"
#include "engine/Time.hpp"
#include "game/FormRecord.hpp"
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
/// The active form's frame: the frame's own pixels blended half-way towards the lamp light.
const sf::Color activeTint(240, 200, 100);
/// A refused form's frame: blended half-way towards the health bar's red.
const sf::Color refusedTint(200, 64, 60);

gui::Texture tinted(const sf::Texture& texture, sf::Color tint) {
    auto image = std::make_shared<sf::Image>(texture.copyToImage());
    const sf::Vector2u size = image->getSize();
    for (unsigned y = 0; y < size.y; ++y) {
        for (unsigned x = 0; x < size.x; ++x) {
            const sf::Color c = image->getPixel(x, y);
            const auto half = [](sf::Uint8 from, sf::Uint8 to) {
                return static_cast<sf::Uint8>((from + to) / 2);
            };
            image->setPixel(x, y, {half(c.r, tint.r), half(c.g, tint.g), half(c.b, tint.b), c.a});
        }
    }
    return gui::Texture(std::move(image), {}, frameMiddle, false);
}

/// The middle of icon cell `index` that shows at a whole-number scale on an indicator of `side` units: the
/// smallest whole scale at which the part is no larger than the cell (exact when that scale divides the
/// side, as at the game's 50-unit indicators; otherwise the nearest whole-pixel part).
sf::IntRect iconPart(int index, float side) {
    const float scale = std::max(1.f, std::ceil(side / static_cast<float>(iconSize)));
    const int part = std::max(1, std::min(iconSize, static_cast<int>(std::lround(side / scale))));
    const int inset = (iconSize - part) / 2;
    return {index * iconSize + inset, inset, part, part};
}

std::shared_ptr<Transmutation> findForms(const orn::Scene& scene) {
    for (const auto& layer : scene.layers) {
        for (const auto& entry : layer) {
            if (entry.second->hasTag("Player")) {
                return entry.second->getComponent<Transmutation>().lock();
            }
        }
    }
    return nullptr;
}

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

    const sf::Texture& frameImage = *assets.getTexture("indicator_bg");
    frame = gui::Texture(frameImage, {}, frameMiddle);
    activeFrame = tinted(frameImage, activeTint);
    refusedFrame = tinted(frameImage, refusedTint);
    const sf::Texture& icons = *assets.getTexture("forms");
    const gui::Texture human(icons, {0, 0, iconSize, iconSize});
    const gui::Texture rat(icons, {iconSize, 0, iconSize, iconSize});
    const gui::Texture minotaur(icons, {2 * iconSize, 0, iconSize, iconSize});

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
    frames = {left, centre, right};

    // Icons after the frames, so that they draw over them.
    gui.add(centre);
    gui.add(right);
    gui.add(left);
    gui.add(humanIcon);
    gui.add(ratIcon);
    gui.add(minotaurIcon);
    fitIcons();

    subscribe("playerHealthChanged");
    subscribe("formsAvailableChanged");
    subscribe("formChangeRefused");
}

void UIHud::lateUpdate() {
    if (frames[0]->getSize().x != fittedSide) {
        fitIcons();
    }
    auto player = forms.lock();
    if (!player) {
        player = findForms(*gameObject->scene);
        forms = player;
    }
    showFrames(player ? static_cast<int>(player->currentForm) : -1);
    refusedFor += orn::Time::getInstance().deltaTime;
}

void UIHud::fitIcons() {
    fittedSide = frames[0]->getSize().x;
    const std::array<gui::Picture::Ptr, 3> icons{humanIcon, ratIcon, minotaurIcon};
    for (const FormRecord& record : FormRecord::all()) {
        const auto index = static_cast<std::size_t>(record.form);
        const gui::Texture& texture = icons.at(index)->getTexture();
        icons[index]->setTexture(
            gui::Texture(*texture.getTexture(), iconPart(static_cast<int>(index), fittedSide)));
    }
}

void UIHud::showFrames(int activeForm) {
    const bool blinkOn = refusedFor < flashSeconds && static_cast<int>(refusedFor / blinkSeconds) % 2 == 0;
    for (const FormRecord& record : FormRecord::all()) {
        const int form = static_cast<int>(record.form);
        Look look = form == activeForm ? Look::Active : Look::Plain;
        if (form == refusedForm && blinkOn) {
            look = Look::Refused;
        }
        Look& shown = looks.at(static_cast<std::size_t>(form));
        if (look != shown) {
            frames.at(static_cast<std::size_t>(form))
                ->setTexture(look == Look::Refused  ? refusedFrame
                             : look == Look::Active ? activeFrame
                                                    : frame);
            shown = look;
        }
    }
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
    } else if (eventName == "formChangeRefused") {
        if (auto refused = std::dynamic_pointer_cast<Transmutation::FormRefusedArgs>(args)) {
            refusedForm = static_cast<int>(refused->form);
            refusedFor = 0.f;
        }
    }
}
