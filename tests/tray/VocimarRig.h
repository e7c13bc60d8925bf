#pragma once

#include "reader/ReaderWindow.h"
#include "support/ManualClock.h"
#include "support/ScriptedCharacterService.h"
#include "support/ScriptedDialogs.h"
#include "tray/TrayReader.h"
#include "tray/VocimarProgram.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTextEdit>
#include <memory>

namespace folimar::testing {

// Vocimar over a scripted character and scripted dialogs, with its per-user folders in a
// fresh temporary home. `appPathsFolder` puts Folimar's App Paths value into the registry
// store, naming a program in that folder (created) below the home.
struct VocimarRig {
    explicit VocimarRig(bool trayAvailable = true, const QString& appPathsFolder = {}) {
        qputenv("XDG_DATA_HOME", QFile::encodeName(home.path() + QStringLiteral("/data")));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.path() + QStringLiteral("/config")));
        const QString registry = home.path() + QStringLiteral("/config/folimar/registry.reg");
        QDir().mkpath(home.path() + QStringLiteral("/config/folimar"));
        if (!appPathsFolder.isEmpty()) {
            programFolder = home.path() + QLatin1Char('/') + appPathsFolder;
            QDir().mkpath(programFolder);
            QFile file(registry);
            if (file.open(QIODevice::WriteOnly))
                file.write("Windows Registry Editor Version 5.00\r\n\r\n"
                           "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\"
                           "App Paths\\Folimar.exe]\r\n@=\"" +
                           QFile::encodeName(programFolder) + "/Folimar.exe\"\r\n");
        } else {
            programFolder = home.path() + QStringLiteral("/data/folimar");
        }
        program = std::make_unique<tray::VocimarProgram>(
            tray::VocimarProgram::Seams{dialogs, service, clock},
            tray::VocimarProgram::Options{registry, QStringLiteral(FOLIMAR_BIN_DIR),
                                          [trayAvailable] { return trayAvailable; }});
        finished = std::make_unique<QSignalSpy>(program.get(), &tray::VocimarProgram::finished);
    }

    QString settingsFile() const { return programFolder + QStringLiteral("/Vocimar.ini"); }
    tray::TrayReader& tray() { return program->trayReader(); }
    reader::ReaderWindow& window() { return program->readerWindow(); }
    QTextEdit& text() { return *window().Text1; }
    ScriptedCharacter& character() { return *service.last(); }
    static void settle() {
        for (int i = 0; i < 30; ++i)
            QCoreApplication::processEvents();
    }
    // The character finishes what it was asked; the reader takes its next step.
    void complete() {
        character().completeAll();
        settle();
    }

    QTemporaryDir home;
    QString programFolder;
    ScriptedDialogs dialogs;
    ScriptedCharacterService service;
    ManualClock clock;
    std::unique_ptr<tray::VocimarProgram> program;
    std::unique_ptr<QSignalSpy> finished;
};

} // namespace folimar::testing
