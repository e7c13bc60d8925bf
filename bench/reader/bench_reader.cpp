// Time from a character's RequestComplete to the next sentence's Speak, in process, with the
// play loop resumed from Qt's event loop as in the program.
#include "reader/CharacterHost.h"
#include "reader/MemoryTextBox.h"
#include "reader/ReaderState.h"
#include "reader/SentenceReader.h"
#include "settings/Settings.h"
#include "support/ManualClock.h"
#include "support/ScriptedCharacterService.h"
#include "support/ScriptedDialogs.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <algorithm>
#include <cstdio>
#include <vector>

using namespace folimar;

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    constexpr int Sentences = 2000;
    QString text;
    for (int i = 0; i < Sentences; ++i)
        text += QStringLiteral("This is sentence number %1 of the benchmark. ").arg(i);

    reader::ReaderState state;
    settings::Settings settings;
    testing::ScriptedCharacterService service;
    testing::ScriptedDialogs dialogs;
    testing::ManualClock clock;
    reader::MemoryTextBox box(text);
    reader::CharacterHost host(state, settings, service, dialogs);
    reader::SentenceReader reader(state, settings, host, dialogs, clock);
    reader.setTextBox(&box);

    reader.PlayReading();
    testing::ScriptedCharacter& character = *service.last();
    character.completeAll(); // the start-up request
    while (character.spoken.isEmpty())
        QCoreApplication::processEvents();

    std::vector<double> turns;
    turns.reserve(Sentences);
    QElapsedTimer timer;
    while (reader.isReading() && int(turns.size()) < Sentences - 1) {
        const auto spoken = character.spoken.size();
        timer.start();
        character.completeAll();
        while (character.spoken.size() == spoken && reader.isReading())
            QCoreApplication::processEvents();
        turns.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    std::sort(turns.begin(), turns.end());
    std::printf("bench reader.complete_to_next_speak %.4f ms\n", turns[turns.size() / 2]);
    std::printf("bench reader.complete_to_next_speak.p99 %.4f ms\n",
                turns[turns.size() * 99 / 100]);
    return 0;
}
