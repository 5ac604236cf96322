#pragma once

#include <QQuickView>
#include <QRectF>

class ConfigEngine;
class QCloseEvent;
class QQmlFileSelector;
class QTimer;

// Base of the app's frameless Qt Quick windows (the chat window and the tray menu). The QML
// draws its own rounded frame and shadow from the radius and shadowWeight properties; both are
// 0 while the window is maximised or full screen. A frameless window loses part of the native
// minimise/restore behaviour, so showMinimized() remembers state and geometry and puts them
// back on the next return to the normal state. Closing a view only hides it.
class MQuickView : public QQuickView
{
    Q_OBJECT
    Q_PROPERTY(int sysSkinType READ sysSkinType WRITE setSysSkinType NOTIFY sysSkinTypeChanged)
    Q_PROPERTY(int radius READ radius WRITE setRadius NOTIFY radiusChanged)
    Q_PROPERTY(int shadowWeight READ shadowWeight WRITE setShadowWeight NOTIFY shadowWeightChanged)

public:
    MQuickView(int radius, int shadowWeight, QWindow* parent = nullptr);
    ~MQuickView() override;

    int sysSkinType() const;
    void setSysSkinType(int type);
    int radius() const;
    void setRadius(int radius);
    int shadowWeight() const;
    void setShadowWeight(int weight);

    // Use this one, not QWindow::showMinimized(), wherever a view is minimised.
    Q_INVOKABLE void showMinimized();

    virtual ConfigEngine* configEngine() const;

    // The one timer of the process that keeps the QML engines small; every view joins it.
    static QTimer* sharedTimer();
    // Views alive now; the shared timer stops only when the last one goes.
    static int viewCount();

signals:
    void sysSkinTypeChanged();
    void radiusChanged();
    void shadowWeightChanged();

protected:
    // Receives the view's close requests; the default only hides the view.
    virtual void closeEvent(QCloseEvent* event);

public:
    virtual void setConfigEngine(ConfigEngine* engine);

protected:
    bool event(QEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    bool nativeEvent(const QByteArray& eventType, void* message, long* result) override;

    // Storage of the subclass's skin mode (0 light, 1 dark, 2 follow the system).
    int skinModeValue() const;
    void setSkinModeValue(int mode);

private:
    void onWindowStateChange();
    void applyFrame(int radius, int shadowWeight);
    void restoreSavedState();

    int radiusValue;
    int normalRadius;
    int shadowWeightValue;
    int normalShadowWeight;
    int skinMode = 0;
    int sysSkinTypeValue = 0;
    Qt::WindowState savedState = Qt::WindowNoState;
    QRectF savedGeometry;
    bool restorePending = false;
    QQmlFileSelector* fileSelector = nullptr;
    ConfigEngine* config = nullptr;
};
