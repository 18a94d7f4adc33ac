#ifndef TOUCHSCREENHELPER_H
#define TOUCHSCREENHELPER_H

#include <QList>
#include <QPoint>
#include <QString>
#include <QThread>

#include <array>

// The raw, uncalibrated touch position for the calibration screen, averaged over the latest
// samples, and the five-point least-squares calibration fit. The object belongs to the GUI
// thread; its own thread only reads the touch device and hands every sample and state change
// over by queued calls.
class TouchScreenHelper : public QThread
{
    Q_OBJECT
    Q_PROPERTY(int rawX READ rawX NOTIFY rawPosChanged)
    Q_PROPERTY(int rawY READ rawY NOTIFY rawPosChanged)
    Q_PROPERTY(int bufferSize READ bufferSize WRITE setBufferSize NOTIFY bufferSizeChanged)
    Q_PROPERTY(int pressure READ pressure NOTIFY pressureChanged)
    Q_PROPERTY(bool pressed READ pressed NOTIFY pressedChanged)
    Q_PROPERTY(bool touchScreenExists READ touchScreenExists NOTIFY touchScreenExistsChanged)

public:
    explicit TouchScreenHelper(QObject *parent = nullptr);
    // Wakes the reader and joins it.
    ~TouchScreenHelper() override;

    QString touchDevice() const { return m_touchDevice; }
    QString calibrationFile() const { return m_calibrationFile; }

    int rawX() const { return m_rawX; }
    int rawY() const { return m_rawY; }
    int bufferSize() const { return m_bufferSize; }
    // Below 1 nothing could ever be averaged: refused.
    void setBufferSize(int size);
    int pressure() const { return m_pressure; }
    bool pressed() const { return m_pressed; }
    bool touchScreenExists() const { return m_touchScreenExists; }

    // Fixed point with 16 fraction bits, as the last performCalibration() left them, or as the
    // calibration file held them at construction.
    std::array<int, 7> coefficients() const { return m_a; }

    Q_INVOKABLE void setCalibrationPoint(int index, int rawX, int rawY, int screenX, int screenY);
    Q_INVOKABLE int performCalibration();
    Q_INVOKABLE void setRawPos(int x, int y);
    Q_INVOKABLE void setPressure(int pressure);
    Q_INVOKABLE void setPressed(bool pressed);
    Q_INVOKABLE void setTouchScreenExists(bool exists);

public slots:
    void onTsPos(int x, int y);
    void reset();

signals:
    void rawPosChanged();
    void bufferSizeChanged();
    void pressureChanged();
    void pressedChanged();
    void touchScreenExistsChanged();
    void calibrationCompleted();

protected:
    void run() override;

private:
    // Reader thread: reads the device until asked to stop; false when it cannot be opened.
    bool readDevice();
    // The calibration file, in the touch library's format: seven coefficients, then the
    // screen's width and height.
    void loadCalibration();
    bool saveCalibration();

    // Set before the reader starts, read-only afterwards.
    QString m_touchDevice;
    QString m_calibrationFile;
    // The reader waits on the device and on this pipe's read end; the destructor writes to it.
    int m_wakePipe[2] = {-1, -1};

    // GUI thread only.
    int m_bufferSize = 5;
    QList<QPoint> m_samples;
    int m_pressure = 0;
    bool m_pressed = false;
    bool m_touchScreenExists = false;
    int m_rawX = 0;
    int m_rawY = 0;
    std::array<int, 5> m_x{};
    std::array<int, 5> m_xfb{};
    std::array<int, 5> m_y{};
    std::array<int, 5> m_yfb{};
    std::array<int, 7> m_a{};
};

#endif
