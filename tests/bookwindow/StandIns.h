#pragma once

#include "platform/process/ProcessLauncher.h"
#include "settings/Settings.h"
#include "topics/TopicNavigation.h"

#include <QList>
#include <QPointer>
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

// A converter run that ends when the test says so.
class StandInRun final : public platform::ProcessRun {
public:
    bool isRunning() const override { return running; }
    void kill() override {
        killed = true;
        running = false;
    }
    void end(bool succeeded) {
        running = false;
        Q_EMIT finished(succeeded);
    }
    bool running = true;
    bool killed = false;
};

// Records each start; the runs stay under the test's control.
class StandInLauncher final : public platform::ProcessLauncher {
public:
    std::unique_ptr<platform::ProcessRun> start(const QString& program, const QStringList& arguments,
                                                const QString& workingFolder) override {
        this->program = program;
        this->arguments = arguments;
        folder = workingFolder;
        auto run = std::make_unique<StandInRun>();
        last = run.get();
        return run;
    }
    QString program;
    QStringList arguments;
    QString folder;
    QPointer<StandInRun> last;
};

} // namespace folimar::testing
