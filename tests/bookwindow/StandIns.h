#pragma once

#include "support/StandInLauncher.h"
#include "settings/Settings.h"
#include "topics/TopicNavigation.h"

#include <QList>
#include <QStringList>

namespace folimar::testing {

// A topic list of the given numbers that records what the book window asks of it.
class StandInNavigation final : public topics::TopicNavigation {
public:
    StandInNavigation(settings::Settings& settings, QList<int> numbers)
        : settings_(settings), numbers(std::move(numbers)) {}

    int entryCount() const override { return int(numbers.size()); }
    int topicNoAt(int index) const override { return numbers.at(index); }
    void selectEntry(int index) override {
        calls << QStringLiteral("select %1").arg(index);
        settings_.TopicIndex = qint16(index); // as showing the topic does
    }
    void deselectEntryMuted(int index) override { calls << QStringLiteral("deselect %1").arg(index); }
    void showNoTopic() override { calls << QStringLiteral("no topic"); }
    void setNumberAndName(const QString& number, const QString& name) override {
        number_ = number;
        name_ = name;
    }
    void askToAddTopic() override { calls << QStringLiteral("ask"); }
    void markTopicStored() override { calls << QStringLiteral("stored"); }
    void LockTopicList() override { ++locks; }
    void UnlockTopicList() override { ++unlocks; }
    void Doors_refresh() override { calls << QStringLiteral("refresh"); }
    void showTopicManager() override { calls << QStringLiteral("show"); }
    QString numberText() const override { return number_; }
    QString nameText() const override { return name_; }

    settings::Settings& settings_;
    QList<int> numbers;
    QStringList calls;
    QString number_;
    QString name_;
    int locks = 0;
    int unlocks = 0;
};

} // namespace folimar::testing
