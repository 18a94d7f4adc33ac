#ifndef MAINMENUSTATE_H
#define MAINMENUSTATE_H

#include "qmlmenustate.h"

// The main menu: Starter.qml with the context published to it, and the UI's Modbus client
// connected to its transport once loaded.
class MainMenuState : public QmlMenuState
{
    Q_OBJECT
public:
    MainMenuState();
    // Tests only: another document in place of Starter.qml.
    explicit MainMenuState(const QUrl &url);

public slots:
    void beforeLoad(MenuContext *context) override;
    void afterLoad(MenuContext *context) override;
};

#endif // MAINMENUSTATE_H
