#pragma once

#include "shell/mquickview.h"

class QQmlEngine;

// The application's main view. The last one constructed (in practice the one chat window)
// and its QML engine are reachable from anywhere, e.g. to retranslate after a language change.
class MApplicationQuickView : public MQuickView
{
    Q_OBJECT

public:
    MApplicationQuickView(int radius, int shadowWeight, QWindow* parent = nullptr);
    ~MApplicationQuickView() override;

    // Null before the first and after the destruction of the current application view.
    static MApplicationQuickView* appView();
    static QQmlEngine* appEngine();
};
