#pragma once

#include <QString>

// Version, product words, directory names and download locations shared by the whole
// application. Every module takes these values from here and never spells them again.

extern const QString APP_VERSION;
extern const QString APP_VERSION_TYPE;
extern const QString CONFIG_DIR_NAME;
extern const QString CONFIGS_DIR_NAME;
extern const QString TRANSLATIONS_DIR_NAME;
extern const QString EXTENDS_DIR_NAME;
extern const QString SOFTWARE_REPOSITORY_URL;
extern const QString FIRMWARE_URL;
extern const QString RESOURCES_DIR_NAME;
extern const QString COMPANY_NAME;
extern const QString APP_NAME;
extern const QString PRODUCT_NAME;
extern const QString BUILD_DATE;
extern const QString SETTINGS_GROUP;
