#include "menustate.h"

MenuState::MenuState(MenuState *nextState) : QObject(nullptr), m_nextState(nextState) {}

void MenuState::leave(MenuContext *context)
{
    exit(context);
    if (m_nextState)
        m_nextState->enter(context);
}

void MenuState::enter(MenuContext *context)
{
    Q_UNUSED(context);
}

void MenuState::exit(MenuContext *context)
{
    Q_UNUSED(context);
}
