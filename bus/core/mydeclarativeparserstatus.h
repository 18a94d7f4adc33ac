#ifndef MYDECLARATIVEPARSERSTATUS_H
#define MYDECLARATIVEPARSERSTATUS_H

#include "dorrikbus_global.h"

#include <QQmlParserStatus>

// Parser status that remembers whether the declarative engine is still building the object, so
// that work (connecting a link, for one) can wait for the component to be complete.
// A QObject subclass that uses it declares Q_INTERFACES(QQmlParserStatus) so that the engine
// finds the interface.
class DORRIKBUS_EXPORT MyDeclarativeParserStatus : public QQmlParserStatus
{
public:
    MyDeclarativeParserStatus();
    ~MyDeclarativeParserStatus() override;

    void classBegin() override;
    void componentComplete() override;

    bool initializing() const { return m_initializing; }

private:
    bool m_initializing = false;
};

#endif
