#ifndef TOUCHSCREENCALIBRATESTATE_H
#define TOUCHSCREENCALIBRATESTATE_H

#include "qmlmenustate.h"

// The touch-screen calibration screen. Its document is read from the file system, relative to
// the engine's base, and works only with what it creates itself: no context names are set.
// When it reports the calibration done, the whole program restarts.
class TouchScreenCalibrateState : public QmlMenuState
{
    Q_OBJECT
public:
    explicit TouchScreenCalibrateState(MenuState *nextState = nullptr);

public slots:
    void afterLoad(MenuContext *context) override;
};

#endif // TOUCHSCREENCALIBRATESTATE_H
