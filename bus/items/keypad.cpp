#include "keypad.h"

#include "eventer.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QJSValue>
#include <QKeyEvent>
#include <QWindow>

Keypad::Keypad(QObject *parent) : ErrObject(parent)
{
    // A precise timer: a coarse one may fire a repeat up to 5 % early.
    m_repeatTimer.setTimerType(Qt::PreciseTimer);
    connect(&m_repeatTimer, &QTimer::timeout, this, &Keypad::onRepeatTimer);
}

Keypad::~Keypad() = default;

void Keypad::setEventer(Eventer *eventer)
{
    if (m_eventer == eventer)
        return;
    if (m_eventer)
        disconnect(m_eventer.data(), nullptr, this, nullptr);
    m_eventer = eventer;
    if (eventer) {
        // Automatic connections: bytes from an eventer in another thread are handled here.
        connect(eventer, &Eventer::keypadEvent, this, &Keypad::onKeypadEvent);
        connect(eventer, &ErrObject::error, this, &ErrObject::setErrorString);
    }
    emit eventerChanged();
}

void Keypad::setRetranslate(bool value)
{
    if (m_retranslate == value)
        return;
    m_retranslate = value;
    if (!value)
        m_repeatTimer.stop();
    emit retranslateChanged();
}

void Keypad::setEnabled(bool value)
{
    if (m_enabled == value)
        return;
    m_enabled = value;
    // The release of a held key would not be handled any more: without this the key repeats on.
    if (!value)
        m_repeatTimer.stop();
    emit enabledChanged();
}

void Keypad::setAutoRepeat(bool value)
{
    if (m_autoRepeat == value)
        return;
    m_autoRepeat = value;
    emit autoRepeatChanged(value);
}

void Keypad::setAutoRepeatInterval(int value)
{
    if (m_autoRepeatInterval == value)
        return;
    m_autoRepeatInterval = value;
    emit autoRepeatIntervalChanged(value);
}

void Keypad::setAutoRepeatPause(int value)
{
    if (m_autoRepeatPause == value)
        return;
    m_autoRepeatPause = value;
    emit autoRepeatPauseChanged(value);
}

void Keypad::setAutoRepeatRelease(bool value)
{
    if (m_autoRepeatRelease == value)
        return;
    m_autoRepeatRelease = value;
    emit autoRepeatReleaseChanging(value);
}

void Keypad::setAutoRepeatIgnoreKeys(const QVariant &keys)
{
    if (m_autoRepeatIgnoreKeys == keys)
        return;
    m_autoRepeatIgnoreKeys = keys;
    emit autoRepeatIgnoreKeysChanging(keys);
}

bool Keypad::parseKeyCode(quint8, Qt::Key &, QChar &, bool &)
{
    return false;
}

void Keypad::keypadEventReceived(quint8) {}

void Keypad::keypadEventReceived(Qt::Key, bool) {}

void Keypad::onKeypadEvent(quint8 code)
{
    if (!m_enabled)
        return;
    keypadEventReceived(code);
    emit keypadCodeEvent(code);

    Qt::Key key = Qt::Key_unknown;
    QChar text(0);
    bool pressed = true;
    if (!parseKeyCode(code, key, text, pressed))
        return;
    keypadEventReceived(key, pressed);
    emit keypadEvent(key, pressed);

    // Through the focus window, as a real key press arrives: the window hands it to its active
    // focus item and on up the parents that the item leaves it to, and tries its shortcuts. An
    // event posted to the focus item itself would stop there.
    QWindow *receiver = QGuiApplication::focusWindow();
    if (!m_retranslate || !receiver)
        return;
    if (m_autoRepeat && !isIgnoredKey(key)) {
        if (pressed) {
            m_repeatKey = key;
            m_repeatText = text;
            m_repeatTimer.start(m_autoRepeatPause);
        } else {
            m_repeatTimer.stop();
        }
    }
    postKeyEvent(receiver, pressed, key, text, false);
}

void Keypad::onRepeatTimer()
{
    if (!m_autoRepeat || !m_enabled || !m_retranslate) {
        m_repeatTimer.stop();
        return;
    }
    if (!m_repeatTimer.isActive())
        return;
    QWindow *receiver = QGuiApplication::focusWindow();
    if (!receiver) {
        m_repeatTimer.stop();
        return;
    }
    postKeyEvent(receiver, true, m_repeatKey, m_repeatText, true);
    if (m_autoRepeatRelease)
        postKeyEvent(receiver, false, m_repeatKey, m_repeatText, true);
    m_repeatTimer.start(m_autoRepeatInterval);
}

namespace {

// A number of any numeric type equal to the key code; text and other types are not numbers here
// (Qt 6's QVariant comparison would not convert them anyway).
bool isKeyNumber(const QVariant &value, Qt::Key key)
{
    switch (value.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Double:
    case QMetaType::Float:
        return value.toDouble() == double(key);
    default:
        return false;
    }
}

} // namespace

bool Keypad::isIgnoredKey(Qt::Key key) const
{
    QVariant keys = m_autoRepeatIgnoreKeys;
    // A script array reaches a QVariant property as a QJSValue, not as a list.
    if (keys.metaType() == QMetaType::fromType<QJSValue>())
        keys = keys.value<QJSValue>().toVariant();
    if (keys.typeId() == QMetaType::QVariantList) {
        const QVariantList list = keys.toList();
        for (const QVariant &k : list) {
            if (isKeyNumber(k, key))
                return true;
        }
        return false;
    }
    return isKeyNumber(keys, key);
}

void Keypad::postKeyEvent(QObject *receiver, bool pressed, Qt::Key key, QChar text,
                          bool autoRepeated)
{
    // A key without a character still carries one U+0000 character, never an empty text.
    QCoreApplication::postEvent(receiver,
                                new QKeyEvent(pressed ? QEvent::KeyPress : QEvent::KeyRelease, key,
                                              Qt::NoModifier, QString(text), autoRepeated, 1));
}
