#pragma once

#include "reader/CharacterHost.h"
#include "reader/MemoryTextBox.h"
#include "reader/ReaderState.h"
#include "reader/SentenceReader.h"
#include "settings/Settings.h"
#include "support/ManualClock.h"
#include "support/ScriptedCharacterService.h"
#include "support/ScriptedDialogs.h"

#include <QCoreApplication>

namespace folimar::testing {

// A reader with its host, a scripted character and an in-memory text box; it records the
// reading place and the highlight at each sentence.
struct ReaderRig {
    using Completion = ScriptedCharacter::Completion;

    explicit ReaderRig(const QString& text, Completion completion = Completion::Manual) {
        service.completion = completion;
        box.setText(text);
        reader.setTextBox(&box);
        reader.setCharacterMissingNotice([this] { ++missingNotices; });
    }

    ScriptedCharacter& character() { return *service.last(); }

    void play() {
        reader.PlayReading();
        watchSpeech();
    }
    // Follows the character loaded last (after a reload too).
    void watchSpeech() {
        if (!service.last())
            return;
        service.last()->onSpeak = [this](const QString&) {
            readPositions.append(settings.ReadPos);
            highlights.append({box.selectionStart(), box.selectionLength()});
        };
    }
    // Lets the queued calls run: completions arrive, the loop takes its next step.
    static void settle() {
        for (int i = 0; i < 30; ++i)
            QCoreApplication::processEvents();
    }
    // The character finishes what it is saying.
    void finish() {
        character().completeAll();
        settle();
    }
    void readToEnd() {
        for (int guard = 0; reader.isReading() && guard < 1000; ++guard)
            finish();
    }

    reader::ReaderState state;
    settings::Settings settings;
    ScriptedCharacterService service;
    ScriptedDialogs dialogs;
    ManualClock clock;
    reader::MemoryTextBox box;
    reader::CharacterHost host{state, settings, service, dialogs};
    reader::SentenceReader reader{state, settings, host, dialogs, clock};
    int missingNotices = 0;
    QList<int> readPositions;
    QList<QPair<int, int>> highlights; // selection start, length
};

} // namespace folimar::testing
