#ifndef KEYPAD_H
#define KEYPAD_H

#include "dorrikbus_global.h"
#include "errobject.h"
#include "eventer.h"

#include <QChar>
#include <QPointer>
#include <QTimer>
#include <QVariant>

// Turns the instrument's key-code bytes (bit 7 set while pressed, the code in bits 0 to 6) into
// Qt key events of the focus window (as real key presses arrive), with an auto-repeat of its own
// while a key is held. Decoding the codes is the business of a derived class. Lives in the GUI
// thread: the eventer's bytes, the repeat timer and the posted events all run there.
class DORRIKBUS_EXPORT Keypad : public ErrObject
{
    Q_OBJECT
    Q_PROPERTY(Eventer *eventer READ eventer WRITE setEventer NOTIFY eventerChanged)
    Q_PROPERTY(bool retranslate READ retranslate WRITE setRetranslate NOTIFY retranslateChanged)
    Q_PROPERTY(bool enabled READ enabled WRITE setEnabled NOTIFY enabledChanged)
    Q_PROPERTY(bool autoRepeat READ autoRepeat WRITE setAutoRepeat NOTIFY autoRepeatChanged)
    Q_PROPERTY(int autoRepeatPause READ autoRepeatPause WRITE setAutoRepeatPause NOTIFY
                   autoRepeatPauseChanged)
    Q_PROPERTY(int autoRepeatInterval READ autoRepeatInterval WRITE setAutoRepeatInterval NOTIFY
                   autoRepeatIntervalChanged)
    Q_PROPERTY(bool autoRepeatRelease READ autoRepeatRelease WRITE setAutoRepeatRelease NOTIFY
                   autoRepeatReleaseChanging)
    Q_PROPERTY(QVariant autoRepeatIgnoreKeys READ autoRepeatIgnoreKeys WRITE setAutoRepeatIgnoreKeys
                   NOTIFY autoRepeatIgnoreKeysChanging)

public:
    explicit Keypad(QObject *parent = nullptr);
    ~Keypad() override;

    // Null also once the eventer was destroyed: the keypad holds it through a guarded pointer.
    Eventer *eventer() const { return m_eventer.data(); }
    void setEventer(Eventer *eventer);
    bool retranslate() const { return m_retranslate; }
    // Turning it off ends a running repeat.
    void setRetranslate(bool value);
    bool enabled() const { return m_enabled; }
    // Turning it off ends a running repeat.
    void setEnabled(bool value);
    bool autoRepeat() const { return m_autoRepeat; }
    int autoRepeatInterval() const { return m_autoRepeatInterval; }
    int autoRepeatPause() const { return m_autoRepeatPause; }
    bool autoRepeatRelease() const { return m_autoRepeatRelease; }
    QVariant autoRepeatIgnoreKeys() const { return m_autoRepeatIgnoreKeys; }

    // Whether a key is being repeated now.
    bool repeating() const { return m_repeatTimer.isActive(); }

public slots:
    void onKeypadEvent(quint8 code);
    void setAutoRepeat(bool value);
    void setAutoRepeatInterval(int value);
    void setAutoRepeatPause(int value);
    void setAutoRepeatRelease(bool value);
    // A Qt key code or a list of them that are never repeated.
    void setAutoRepeatIgnoreKeys(const QVariant &keys);

signals:
    void eventerChanged();
    void retranslateChanged();
    void keypadCodeEvent(quint8 code);
    void keypadEvent(Qt::Key key, bool pressed);
    void enabledChanged();
    void autoRepeatChanged(bool value);
    void autoRepeatIntervalChanged(int value);
    void autoRepeatPauseChanged(int value);
    void autoRepeatReleaseChanging(bool value);
    void autoRepeatIgnoreKeysChanging(const QVariant &keys);

protected:
    // Decodes a byte; `pressed` comes preset to true and `text` to U+0000. The base knows no key.
    virtual bool parseKeyCode(quint8 code, Qt::Key &key, QChar &text, bool &pressed);
    // Every byte handled, before it is decoded.
    virtual void keypadEventReceived(quint8 code);
    // Every recognised key.
    virtual void keypadEventReceived(Qt::Key key, bool pressed);

private slots:
    void onRepeatTimer();

private:
    bool isIgnoredKey(Qt::Key key) const;
    static void postKeyEvent(QObject *receiver, bool pressed, Qt::Key key, QChar text,
                             bool autoRepeated);

    QPointer<Eventer> m_eventer;
    bool m_retranslate = true;
    bool m_enabled = true;
    QTimer m_repeatTimer;
    bool m_autoRepeat = true;
    int m_autoRepeatInterval = 150;
    int m_autoRepeatPause = 700;
    Qt::Key m_repeatKey = Qt::Key_unknown;
    QChar m_repeatText = QChar(0);
    bool m_autoRepeatRelease = true;
    QVariant m_autoRepeatIgnoreKeys;
};

#endif
