#pragma once

#include <QJsonValue>
#include <QString>

class ConfigEngine;

// The chat window's settings in the configuration file, read with defaults and repaired where
// a value is missing. Every read goes to the engine, so a change made elsewhere counts.
class ViewSettings
{
public:
    explicit ViewSettings(ConfigEngine* engine);

    // "SkinMode" as a number (0 light, 1 dark, 2 follow the system); an empty or missing value
    // is repaired to "0".
    int skinMode();
    void storeSkinMode(int mode);

    // "FirstStart" counts as accepted only when it is the string "true"; a JSON boolean or
    // any other text is not.
    bool firstStartAccepted();
    bool firstStartEmpty();
    // Writes "true" or "false"; false when the file already holds exactly that string.
    bool storeFirstStart(bool accepted);

    // The stored colour variant of a product, stored on first use: "ColorType" for the Z19
    // and Z46 (1 when empty), 1 for every other product. -1 for an empty name.
    int prodColorType(const QString& deviceName);

private:
    QJsonValue value(const QString& key);
    QString text(const QString& key);
    void store(const QString& key, const QJsonValue& value);

    ConfigEngine* engine;
};
