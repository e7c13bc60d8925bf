#pragma once

#include "settings/Settings.h"
#include "store/BookStore.h"
#include "support/ScriptedDialogs.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>

#include <functional>

namespace folimar::testing {

// A private home for the built programs started as from a terminal (FOLIMAR_BIN_DIR): their
// own folders, no display, and a book "book.fmr" of topics 2, 5 and 9 whose texts are
// `text` with the topic's name in place of %1, and whatever `more` stores beside them.
struct ProgramHome {
    explicit ProgramHome(const QString& text,
                         const std::function<void(store::BookStore&)>& more = {}) {
        for (const char* folder : {"data", "config", "runtime", "tmp", "maker"})
            QDir(dir.path()).mkdir(QLatin1String(folder));
        settings::Settings settings;
        ScriptedDialogs dialogs;
        store::BookStore maker{settings, {path("maker"), path("maker")}, dialogs};
        maker.LoadBook(); // no book named: the untitled one, made empty
        for (const auto& [number, name] : {std::pair{2, "Two"}, {5, "Five"}, {9, "Nine"}})
            maker.storeTopic({number, QString::fromLatin1(name), text.arg(name), {}, std::nullopt});
        if (more)
            more(maker);
        maker.CloseAndCompactBook();
        QFile::rename(maker.untitledBookPath(), path("book.fmr"));
    }
    QString path(const QString& name) const { return dir.filePath(name); }
    QStringList files() const { return QDir(dir.path()).entryList(QDir::Files); }

    QProcess* start(const QString& program, const QStringList& arguments) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_DATA_HOME", path("data"));
        env.insert("XDG_CONFIG_HOME", path("config"));
        env.insert("XDG_RUNTIME_DIR", path("runtime"));
        env.insert("TMPDIR", path("tmp"));
        env.remove("DISPLAY"); // no window may open
        process.setProcessEnvironment(env);
        process.setWorkingDirectory(dir.path());
        process.start(QStringLiteral(FOLIMAR_BIN_DIR "/") + program, arguments);
        return &process;
    }
    // False when the program had to be killed after `ms`.
    bool finish(int ms = 20000) {
        if (process.waitForFinished(ms))
            return true;
        process.kill();
        process.waitForFinished();
        return false;
    }

    QTemporaryDir dir;
    QProcess process;
};

} // namespace folimar::testing
