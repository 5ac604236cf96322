#include "shell/thememanager.h"

#include "platform/systemtheme.h"

ThemeManager::ThemeManager(QObject* parent)
    : ThemeManager(SystemTheme::create(), parent)
{ }

ThemeManager::ThemeManager(SystemTheme* source, QObject* parent)
    : QObject(parent)
    , system(source)
{
    Q_ASSERT(system);
    system->setParent(this);
    connect(system, &SystemTheme::changed, this, &ThemeManager::onSystemThemeChanged);
}

ThemeManager::~ThemeManager()
{
    stopWatch();
}

QString ThemeManager::currentTheme() const
{
    return current;
}

void ThemeManager::setCurrentTheme(QString theme)
{
    stopWatch();
    current = theme;
    emit currentThemeChanged();
    emit themeChanged(theme);
    if (theme == QLatin1String(LightTheme))
        setThemeFlag(0);
    else if (theme == QLatin1String(DarkTheme))
        setThemeFlag(1);
}

int ThemeManager::themeFlag() const
{
    return currentFlag;
}

void ThemeManager::setThemeFlag(int flag)
{
    if (currentFlag == flag)
        return;
    currentFlag = flag;
    emit themeFlagChanged();
}

void ThemeManager::detectSystemTheme()
{
    setCurrentTheme(systemThemeFile());
}

void ThemeManager::watchSystemTheme()
{
    stopWatch();
    system->watch();
}

QString ThemeManager::systemThemeFile() const
{
    return QLatin1String(system->appsUseLightTheme() ? LightTheme : DarkTheme);
}

void ThemeManager::applySkinMode(int skinMode)
{
    if (skinMode == SystemSkin)
        watchSystemTheme();
    if (skinMode == DarkSkin)
        setCurrentTheme(QLatin1String(DarkTheme));
    else if (skinMode == SystemSkin)
        setCurrentTheme(systemThemeFile());
    else
        setCurrentTheme(QLatin1String(LightTheme));
}

void ThemeManager::stopWatch()
{
    system->stopWatch();
}

// A watch fires once. The next one is armed before the setting is read; the theme chosen from
// the reading then ends it again, like every theme choice.
void ThemeManager::onSystemThemeChanged()
{
    watchSystemTheme();
    detectSystemTheme();
}
