#pragma once

#include <memory>

class MApplicationQuickView;

// The chat window's part of start-up: which class it is and how it starts out.
class MainViewStart
{
public:
    // The one place that decides the class of the chat window.
    static std::unique_ptr<MApplicationQuickView> createMainView();

    // Subscribes the window to raw keyboard input, loads "qrc:/MainView.qml" when the
    // resources hold it, and leaves the window minimised through the view's own
    // showMinimized() (so that its first return restores state and geometry) and hidden.
    static void startHidden(MApplicationQuickView* view);
};
