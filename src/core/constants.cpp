#include "core/constants.h"

#include "core/buildconfig.h"

const QString APP_VERSION = QStringLiteral(LUMORA_VERSION);
const QString APP_VERSION_TYPE = QStringLiteral("");
const QString CONFIG_DIR_NAME = QStringLiteral("config");
const QString CONFIGS_DIR_NAME = QStringLiteral("configs");
const QString TRANSLATIONS_DIR_NAME = QStringLiteral("translations");
const QString EXTENDS_DIR_NAME = QStringLiteral("extends");
const QString SOFTWARE_REPOSITORY_URL =
    QStringLiteral(LUMORA_DEFAULT_DOWNLOAD_URL "/OrvikDriver/Software/repositoryWin/");
const QString FIRMWARE_URL = QStringLiteral(LUMORA_DEFAULT_DOWNLOAD_URL "/OrvikDriver/Firmware/");
const QString RESOURCES_DIR_NAME = QStringLiteral("resources");
const QString COMPANY_NAME = QStringLiteral("Orvik");
const QString APP_NAME = QStringLiteral("Lumora");
const QString PRODUCT_NAME = QStringLiteral("Lumora");
const QString BUILD_DATE = QStringLiteral(LUMORA_BUILD_DATE);
const QString SETTINGS_GROUP = QStringLiteral("General");
