// Skin bitmaps of the composition windows and the helper that puts them on push buttons.
#pragma once
#include "app/controls/SkinBitmapButton.h"

#include <memory>
#include <vector>

// The program's shared push-button set.
#define IDB_COMPOSE_BUTTON_NORMAL 194
#define IDB_COMPOSE_BUTTON_HOVER 195
#define IDB_COMPOSE_BUTTON_PRESSED 196
#define IDB_COMPOSE_BUTTON_DISABLED 197
// The folder field of the composition dialog.
#define IDB_COMPOSE_FOLDER_DISABLED 296
#define IDB_COMPOSE_FOLDER_NORMAL 297

struct ButtonSkin
{
    int id;
    UINT normal, pressed, hover, disabled;
};

// Owns the skinned buttons of one window; each is subclassed from the window's
// control of that id (missing controls are skipped).
class CSkinButtonSet
{
public:
    void Add(CWnd* parent, const ButtonSkin& skin, short drawMode, short captionOffset)
    {
        if (!parent->GetDlgItem(skin.id))
            return;
        auto button = std::make_unique<CSkinBitmapButton>();
        if (!button->SubclassDlgItem(skin.id, parent))
            return;
        button->SetSkin(skin.normal, skin.pressed, skin.hover, skin.disabled, 0, 0, drawMode, 0, captionOffset);
        m_buttons.push_back(std::move(button));
    }
    // The shared push-button look: the face stretched over the whole button (at its own
    // size it would end under the caption of a wider button), no edge, caption 4 pixels in.
    void AddPlain(CWnd* parent, int id)
    {
        Add(parent, {id, IDB_COMPOSE_BUTTON_NORMAL, IDB_COMPOSE_BUTTON_PRESSED, IDB_COMPOSE_BUTTON_HOVER,
                     IDB_COMPOSE_BUTTON_DISABLED},
            CSkinBitmapButton::DRAW_STRETCH, 4);
    }
    size_t Count() const { return m_buttons.size(); }

private:
    std::vector<std::unique_ptr<CSkinBitmapButton>> m_buttons;
};
