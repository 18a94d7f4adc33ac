#ifndef SCREENMANAGER_H
#define SCREENMANAGER_H

#include <QObject>

// The screen's size, a fixed pixel density, and notices of every press, release and key
// release anywhere in the application.
class ScreenManager : public QObject
{
    Q_OBJECT
    Q_PROPERTY(int screenWidth READ screenWidth NOTIFY screenWidthChanged)
    Q_PROPERTY(int screenHeight READ screenHeight NOTIFY screenHeightChanged)
    Q_PROPERTY(qreal cm READ cm NOTIFY cmChanged)
    Q_PROPERTY(qreal mm READ mm NOTIFY mmChanged)
    Q_PROPERTY(qreal dpi READ dpi NOTIFY dpiChanged)
public:
    // The custom event that carries a key-release notice to the next pass of the event loop.
    static constexpr int KeyReleaseNoticeEvent = 1001;

    explicit ScreenManager(QObject *parent = nullptr);
    ~ScreenManager() override;

    int screenWidth() const { return m_screenWidth; }
    int screenHeight() const { return m_screenHeight; }
    qreal cm() const { return m_cm; }
    qreal mm() const { return m_mm; }
    qreal dpi() const { return m_dpi; }

    bool eventFilter(QObject *watched, QEvent *event) override;

signals:
    void screenWidthChanged();
    void screenHeightChanged();
    void cmChanged();
    void mmChanged();
    void dpiChanged();
    void mousePress();
    void mouseRelease();
    void keyRelease();

protected:
    void customEvent(QEvent *event) override;

private:
    int m_screenWidth = 0;
    int m_screenHeight = 0;
    qreal m_dpi = 96.0;
    qreal m_cm = 96.0 / 2.54;
    qreal m_mm = 96.0 / 25.4;
};

#endif // SCREENMANAGER_H
