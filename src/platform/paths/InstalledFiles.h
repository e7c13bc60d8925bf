#pragma once

#include <QString>

namespace folimar::platform {

// Finds the files the program ships with (help.dat, the characters folder, the bmp2jpg
// converter): beside the executable when it runs from the build tree, otherwise in the
// install prefix's share/folimar (data) or libexec/folimar (programs), next to the
// executable's bin folder.
class InstalledFiles {
public:
    // `executableFolder` is QCoreApplication::applicationDirPath() in the program.
    explicit InstalledFiles(QString executableFolder);

    // The path of the data file or folder `name`, or empty when it is in neither place.
    QString dataFile(const QString& name) const;
    // Where the data file `name` is found, or else where it would be installed.
    QString dataFileOrItsPlace(const QString& name) const;
    // The path of the helper program `name`, or empty when it is in neither place.
    QString program(const QString& name) const;

private:
    QString find(const QString& name, const QString& installedFolder) const;
    QString installedPath(const QString& name, const QString& installedFolder) const;

    QString executableFolder_;
};

} // namespace folimar::platform
