#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

// What the store hands out and takes in for topics and notes.
namespace folimar::store {

// One entry of a topic list.
struct TopicEntry {
    int TopicNo = 0;
    QString TopicName;
    friend bool operator==(const TopicEntry&, const TopicEntry&) = default;
};

// One topic as shown: its text, and its picture when asked for (empty: no picture), with
// the boxes of the words recognised on the picture (empty: none kept).
struct TopicPage {
    int TopicNo = 0;
    QString TopicName;
    QString PicText;
    QByteArray PicData;
    QByteArray WordBoxes{};
};

// A topic to store under its number. `owner`, when given, is written to `u`. The word
// boxes replace any the topic had (empty: none).
struct TopicWrite {
    int TopicNo = 0;
    QString TopicName;
    QString PicText;
    QByteArray PicData;
    std::optional<QString> owner;
    QByteArray WordBoxes{};
};

// One record of the notes file.
struct NoteEntry {
    int TopicNo = 0;
    QString TopicName;
    QString NoteText;
};

} // namespace folimar::store
