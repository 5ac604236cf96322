#pragma once

// The application's QML module registrations, all in one place.
class QmlTypes
{
public:
    // Registering never fails start-up, even where no document exists at a URL: a composite
    // type is resolved when a document uses it, a composite singleton when a document imports
    // its module. The views load fonts and effects by other means and import neither.
    static void registerQmlTypes();
};
