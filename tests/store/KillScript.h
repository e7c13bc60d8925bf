#pragma once

// What the crash-consistency test and its worker process share: the content every topic
// must hold (worked out from its name, so a topic proves itself whole), the steps of one
// session, and a digest of a book's whole state.
#include "settings/Settings.h"
#include "store/BookStore.h"
#include "support/ScriptedDialogs.h"

#include <QCryptographicHash>
#include <QDir>
#include <QRandomGenerator>
#include <QString>
#include <sqlite3.h>

namespace folimar::testing::killscript {

// Key derivation is what makes opening a book slow; the worker and the test make and open
// their own books with fewer rounds so that hundreds of sessions fit in the test's time.
inline void useFastKeys() {
    sqlite3* db = nullptr;
    sqlite3_open(":memory:", &db);
    sqlite3_exec(db, "PRAGMA cipher_default_kdf_iter = 2", nullptr, nullptr, nullptr);
    sqlite3_close(db);
}

// Names: "t.." topics stored whole, "m.." topics of the merge source, "i.." topics added
// by an insert (name only).
inline QString textFor(const QString& name) {
    if (name.startsWith(QLatin1Char('i')))
        return {};
    return QStringLiteral("The page of %1. ").arg(name).repeated(5 + int(qHash(name) % 40));
}

inline QByteArray pictureFor(const QString& name) {
    if (name.startsWith(QLatin1Char('i')))
        return {};
    QRandomGenerator random(quint32(qHash(name)));
    QList<quint32> words(150 + int(random.bounded(600)));
    random.fillRange(words.data(), words.size());
    return {reinterpret_cast<const char*>(words.constData()), words.size() * 4};
}

inline store::TopicWrite wholeTopic(int topicNo, const QString& name) {
    return {topicNo, name, textFor(name), pictureFor(name), std::nullopt};
}

// The steps of session `session` on a book; the last one closes it with compaction. Each
// returns false when it failed (the worker then stops).
inline int stepCount() {
    return 9;
}

inline bool runStep(store::BookStore& store, int session, int step, const QString& mergePath) {
    const int base = 10000 * (session + 1);
    const QList<store::TopicEntry> topics = store.topicList();
    const int count = int(topics.size());
    switch (step) {
    case 0:
        return store
            .storeTopic(wholeTopic(store.highestTopicNo().value_or(0) + 1,
                                   QStringLiteral("t%1").arg(base + 1)))
            .isOk();
    case 1: // overwrites a topic with a new name and content
        return store
            .storeTopic(
                wholeTopic(topics.at(count / 3).TopicNo, QStringLiteral("t%1").arg(base + 2)))
            .isOk();
    case 2:
        return store
            .insertTopic(count / 2, topics.at(count / 2).TopicNo,
                         QStringLiteral("i%1").arg(base + 3))
            .isOk();
    case 3:
        return store
            .writeNote(topics.at(5).TopicNo, topics.at(5).TopicName,
                       QStringLiteral("note %1 on %2").arg(base).arg(topics.at(5).TopicName))
            .isOk();
    case 4:
        return store.renumberTopics().isOk();
    case 5: {
        store.MergePath = mergePath;
        store.OpenMergeSource();
        const bool merged = store.mergeSource().isOk();
        store.CloseMergeSource();
        return merged;
    }
    case 6:
        return store.deleteTopics({topics.at(10).TopicNo, topics.at(count - 40).TopicNo}).isOk();
    case 7:
        return store
            .storeTopic(
                wholeTopic(topics.at(count - 1).TopicNo + 1, QStringLiteral("t%1").arg(base + 8)))
            .isOk();
    case 8:
        store.CloseAndCompactBook();
        return true;
    }
    return false;
}

// The book's topics (number, name, text, picture) and its notes, in order, as one digest.
inline QByteArray digestOf(store::BookStore& store) {
    QCryptographicHash hash(QCryptographicHash::Sha1);
    for (const store::TopicEntry& entry : store.topicList()) {
        const std::optional<store::TopicPage> page = store.readTopic(entry.TopicNo);
        hash.addData(QStringLiteral("%1|%2|").arg(entry.TopicNo).arg(entry.TopicName).toUtf8());
        if (page) {
            hash.addData(page->PicText.toUtf8());
            hash.addData(page->PicData);
        }
    }
    for (const store::NoteEntry& note : store.notes())
        hash.addData(QStringLiteral("note %1|%2|%3")
                         .arg(note.TopicNo)
                         .arg(note.TopicName, note.NoteText)
                         .toUtf8());
    return hash.result().toHex();
}

// A store over a program folder and its notes folder, as the program has one.
struct StoreSession {
    settings::Settings settings;
    ScriptedDialogs dialogs;
    store::BookStore store;
    StoreSession(const QString& programFolder, const QString& book)
        : store(settings, {programFolder, programFolder + QStringLiteral("/notes")}, dialogs) {
        QDir().mkpath(programFolder + QStringLiteral("/notes"));
        settings.BookPath = book;
        store.StartStore();
    }
};

} // namespace folimar::testing::killscript
