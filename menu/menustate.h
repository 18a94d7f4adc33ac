#ifndef MENUSTATE_H
#define MENUSTATE_H

#include <QObject>

class MenuContext;

// One screen state of the program, held by the context. The base state shows nothing.
class MenuState : public QObject
{
    Q_OBJECT
public:
    explicit MenuState(MenuState *nextState = nullptr);

    // The state entered when this one is left; not owned.
    MenuState *nextState() const { return m_nextState; }

    // Exits this state, then enters the next one when there is one.
    void leave(MenuContext *context);

public slots:
    virtual void enter(MenuContext *context);
    virtual void exit(MenuContext *context);

private:
    MenuState *m_nextState;
};

#endif // MENUSTATE_H
