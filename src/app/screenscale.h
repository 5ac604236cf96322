#pragma once

#include <QString>

#include <optional>

// The scale factor kept in the configuration file between runs. Qt reads QT_SCALE_FACTOR only
// when the application object is constructed, so each start applies the stored value, then
// computes the one that fits the screen and stores it for the next start.
class ScreenScale
{
public:
    // The user configuration file as it must be located before the application object exists:
    // the user configuration directory has no application name then.
    static QString startupConfigPath(const QString& programPath);

    // The stored "Scale": 1.0 without a readable file, 0 for a value that is no number. A file
    // without the key gets the scale computed and stored now when the screen can already be
    // read, and 1.0 otherwise (the computation after the application object exists decides).
    static double storedScale(const QString& programPath);

    // The scale for the current screen, stored under "Scale" in configPath, or in the
    // configuration engine's own file when configPath is empty. Nothing when the screen
    // cannot be read yet; nothing is stored then. stored (when given) tells whether the value
    // reached the file.
    static std::optional<double> computeScreenScale(const QString& configPath = QString(),
                                                    bool* stored = nullptr);

    // Returns false when the file could not be written (read-only folder, dangling link, full
    // disk).
    static bool storeScale(double scale, const QString& configPath = QString());
};
