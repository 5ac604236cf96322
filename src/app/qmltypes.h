#pragma once

// The application's QML module registrations, all in one place.
class QmlTypes
{
public:
    // The registered documents are resolved only when a document imports the module and uses
    // the type; registering them never fails start-up, even if no document exists at the URL.
    static void registerQmlTypes();
};
