#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QTemporaryDir>

// Gives a test its own HOME and XDG folders, so it never touches the user's files and tests
// can run in parallel. The previous environment comes back when the object goes.
class TestEnvironment
{
public:
    TestEnvironment();
    ~TestEnvironment();

    TestEnvironment(const TestEnvironment&) = delete;
    TestEnvironment& operator=(const TestEnvironment&) = delete;

    bool isValid() const;
    QString root() const;
    QString configHome() const; // XDG_CONFIG_HOME
    QString dataHome() const; // XDG_DATA_HOME
    QString path(const QString& relative) const; // root() + "/" + relative

    // Writes a file below root(), creating folders; returns its absolute path.
    QString writeFile(const QString& relative, const QByteArray& content) const;

private:
    void setVariable(const char* name, const QString& value);

    QTemporaryDir dir;
    QHash<QByteArray, QByteArray> saved;
    QHash<QByteArray, bool> wasSet;
};
