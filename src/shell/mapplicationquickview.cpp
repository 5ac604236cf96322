#include "shell/mapplicationquickview.h"

#include <QQmlEngine>

namespace {

MApplicationQuickView* currentView = nullptr;
QQmlEngine* currentEngine = nullptr;

} // namespace

MApplicationQuickView::MApplicationQuickView(int radius, int shadowWeight, QWindow* parent)
    : MQuickView(radius, shadowWeight, parent)
{
    currentView = this;
    currentEngine = engine();
}

MApplicationQuickView::~MApplicationQuickView()
{
    // Late callers at shutdown (a language change signal, say) must see null, not a dead view.
    if (currentView == this) {
        currentView = nullptr;
        currentEngine = nullptr;
    }
}

MApplicationQuickView* MApplicationQuickView::appView()
{
    return currentView;
}

QQmlEngine* MApplicationQuickView::appEngine()
{
    return currentEngine;
}
