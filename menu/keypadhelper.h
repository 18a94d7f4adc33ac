#ifndef KEYPADHELPER_H
#define KEYPADHELPER_H

#include <QObject>

// Turns the on-screen keypad's characters and keys into key presses of the focus window.
class KeypadHelper : public QObject
{
    Q_OBJECT
public:
    explicit KeypadHelper(QObject *parent = nullptr);

public slots:
    void translateCharEvent(QChar c);
    void translateKeyEvent(Qt::Key key);
};

#endif // KEYPADHELPER_H
