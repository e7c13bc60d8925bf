#pragma once

#include "settings/Settings.h"
#include "store/BookStore.h"
#include "support/ScriptedDialogs.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace folimar::testing {

// One program folder, settings and dialogs per test; books live in `books`.
struct StoreFixture {
    QTemporaryDir root;
    QString program = root.filePath(QStringLiteral("program"));
    QString books = root.filePath(QStringLiteral("books"));
    settings::Settings settings;
    ScriptedDialogs dialogs;
    store::BookStore store{settings, {program, program + QStringLiteral("/notes")}, dialogs};

    StoreFixture() {
        QDir().mkpath(program + QStringLiteral("/notes"));
        QDir().mkpath(books);
    }
    QString book(const QString& name) const { return books + QLatin1Char('/') + name; }
    // Makes a book with the given topics (number, name) and closes it.
    void makeBook(const QString& path, const QList<store::TopicEntry>& topics) {
        store.CloseAndCompactBook();
        store::BookStore maker{settings, {program, program + QStringLiteral("/notes")}, dialogs};
        // A missing book gives the untitled book: make that one and move it.
        settings.BookPath.clear();
        QFile::remove(maker.untitledBookPath());
        maker.LoadBook();
        for (const store::TopicEntry& topic : topics)
            maker.storeTopic({topic.TopicNo, topic.TopicName,
                              QStringLiteral("text of ") + topic.TopicName,
                              QByteArray("jpeg ") + topic.TopicName.toUtf8(), std::nullopt});
        maker.CloseAndCompactBook();
        QFile::rename(maker.untitledBookPath(), path);
        settings.BookPath = path;
    }
    void open(const QString& path) {
        store.CloseAndCompactBook();
        settings.BookPath = path;
        store.LoadBook();
    }
};

} // namespace folimar::testing
