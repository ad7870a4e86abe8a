// Builders of menu item records, so a menu table reads as one line per row.
#pragma once

#include "Interface/Menu.h"

#include <cstring>
#include <initializer_list>

inline MenuItem MenuBlankItem(int32_t type)
{
    MenuItem item;
    std::memset(&item, 0, sizeof(item));
    item.type = type;
    return item;
}

// The first record of a menu; onActivate runs after the menu is laid out.
inline MenuItem MenuStart(uint32_t menuId, MenuItemProc onActivate = nullptr)
{
    MenuItem item = MenuBlankItem(kMISENTINEL);
    item.id = menuId;
    item.onActivate = onActivate;
    return item;
}

// The record that ends a table.
inline MenuItem MenuTableEnd()
{
    return MenuBlankItem(kMISENTINEL);
}

inline MenuItem MenuAction(int32_t textId, uint32_t outcome, uint32_t leadsTo,
                           MenuItemProc onActivate = nullptr, float rowHeight = 0)
{
    MenuItem item = MenuBlankItem(kMIAction);
    item.textId = textId;
    item.id = outcome;
    item.leadsTo = leadsTo;
    item.onActivate = onActivate;
    item.rowHeight = rowHeight;
    return item;
}

inline MenuItem MenuLiteralAction(const char* text, uint32_t outcome, uint32_t leadsTo)
{
    MenuItem item = MenuAction(0, outcome, leadsTo);
    item.text = text;
    return item;
}

inline MenuItem MenuHeading(int32_t textId, float rowHeight = 0, MenuLayoutFlagsProc flags = nullptr)
{
    MenuItem item = MenuBlankItem(kMIHeading);
    item.textId = textId;
    item.rowHeight = rowHeight;
    item.layoutFlagsProc = flags;
    return item;
}

inline MenuItem MenuLiteralHeading(const char* text)
{
    MenuItem item = MenuHeading(0);
    item.text = text;
    return item;
}

inline MenuItem MenuGap(float rowHeight = 0, MenuLayoutFlagsProc flags = nullptr)
{
    MenuItem item = MenuBlankItem(kMIGap);
    item.rowHeight = rowHeight;
    item.layoutFlagsProc = flags;
    return item;
}

// A fixed-list choice of (string, value) pairs on a preference byte.
inline MenuItem MenuChoiceList(int32_t kind, int32_t textId, uint8_t* value,
                               std::initializer_list<MenuChoice> choices, MenuItemProc onActivate = nullptr)
{
    MenuItem item = MenuBlankItem(kind);
    item.textId = textId;
    item.valuePtr = value;
    item.choiceMode = 0;
    int i = 0;
    for (const MenuChoice& choice : choices) {
        if (i < MAX_MENU_CHOICES)
            item.options[i++] = choice;
    }
    item.onActivate = onActivate;
    return item;
}

// A choice of the numbers 0 .. count() - 1, shown by text().
inline MenuItem MenuNumericChoice(int32_t kind, int32_t textId, uint8_t* value, MenuChoiceCountProc count,
                                  MenuChoiceTextProc text, MenuItemProc onActivate = nullptr)
{
    MenuItem item = MenuBlankItem(kind);
    item.textId = textId;
    item.valuePtr = value;
    item.choiceMode = 1;
    item.numeric.count = count;
    item.numeric.text = text;
    item.onActivate = onActivate;
    return item;
}

inline MenuItem MenuSlider(int32_t textId, uint8_t* value, uint8_t equilibrium, uint8_t minValue,
                           uint8_t maxValue, uint8_t increment, MenuItemProc onActivate = nullptr)
{
    MenuItem item = MenuBlankItem(kMISlider);
    item.textId = textId;
    item.valuePtr = value;
    item.slider = {equilibrium, minValue, maxValue, increment};
    item.onActivate = onActivate;
    return item;
}

// A binding row (kMIKeyBind, kMIGamepadBind or kMIMouseBind) for one need.
inline MenuItem MenuBinding(int32_t kind, int need)
{
    MenuItem item = MenuBlankItem(kind);
    item.number = need;
    return item;
}

inline MenuItem MenuSaveSlot(int32_t textId, int slot, uint32_t outcome, uint32_t leadsTo,
                             MenuSlotDescriptionProc describe, MenuItemProc onActivate = nullptr)
{
    MenuItem item = MenuBlankItem(kMISaveSlot);
    item.textId = textId;
    item.number = slot;
    item.id = outcome;
    item.leadsTo = leadsTo;
    item.describeSlot = describe;
    item.layoutFlagsProc = SaveSlotLayoutFlags;
    item.onActivate = onActivate;
    return item;
}

inline MenuItem WithRowHeight(MenuItem item, float rowHeight)
{
    item.rowHeight = rowHeight;
    return item;
}

inline MenuItem WithLayoutFlags(MenuItem item, MenuLayoutFlagsProc flags)
{
    item.layoutFlagsProc = flags;
    return item;
}
