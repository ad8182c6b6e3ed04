#pragma once
// Test support for code that reads the standard places: HOME, the XDG folders and TMPDIR point
// into a temporary folder while a TemporaryHome lives.

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>
#include <map>

namespace quillet::testing {

class TemporaryHome {
public:
    TemporaryHome() {
        for (const char* name : kVariables)
            saved_[name] = qgetenv(name);
        const QString root = folder_.path();
        setFolder("HOME", root + "/home");
        setFolder("XDG_DATA_HOME", root + "/data");
        setFolder("XDG_CONFIG_HOME", root + "/config");
        setFolder("XDG_CACHE_HOME", root + "/cache");
        setFolder("TMPDIR", root + "/tmp");
    }
    ~TemporaryHome() {
        for (const auto& [name, value] : saved_) {
            if (value.isNull())
                qunsetenv(name);
            else
                qputenv(name, value);
        }
    }
    TemporaryHome(const TemporaryHome&) = delete;
    TemporaryHome& operator=(const TemporaryHome&) = delete;

    QString path() const { return folder_.path(); }

private:
    static constexpr const char* kVariables[] = {"HOME", "XDG_DATA_HOME", "XDG_CONFIG_HOME", "XDG_CACHE_HOME",
                                                 "TMPDIR"};
    static void setFolder(const char* name, const QString& path) {
        QDir().mkpath(path);
        qputenv(name, QFile::encodeName(path));
    }
    QTemporaryDir folder_;
    std::map<const char*, QByteArray> saved_;
};

// The file's bytes; empty when it cannot be read.
inline QByteArray fileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace quillet::testing
