#ifndef QMLMENUSTATE_H
#define QMLMENUSTATE_H

#include "menustate.h"

#include <QUrl>

// A state that shows one QML document in a view of its own: the view is made on entering and
// deleted on leaving, after a blank page has replaced the document.
class QmlMenuState : public MenuState
{
    Q_OBJECT
public:
    explicit QmlMenuState(const QUrl &url, MenuState *nextState = nullptr);

    QUrl url() const { return m_url; }

public slots:
    void enter(MenuContext *context) override;
    void exit(MenuContext *context) override;
    // Around the document's load: prepare the view's context, act on the loaded document.
    virtual void beforeLoad(MenuContext *context);
    virtual void afterLoad(MenuContext *context);

private:
    QUrl m_url;
};

#endif // QMLMENUSTATE_H
