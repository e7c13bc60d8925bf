// The save dialog answers with the file that will be written: the chosen type's extension
// added to a bare name before anything is asked about a file of that name.
#include "platform/desktop/WidgetDialogs.h"

#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>

using folimar::platform::FileDialogRequest;
using folimar::platform::WidgetDialogs;

namespace {

const QString Books = QStringLiteral("Book Files (*.fmr)");
const QString Sounds = QStringLiteral("Ogg Opus sound (*.opus);;WAV sound (*.wav)");

// Types `name` into the open save dialog, with the file type `filter` chosen, and accepts.
void typeIntoDialog(const QString& name, int filter) {
    auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    QVERIFY(dialog);
    if (filter > 0) {
        auto* types = dialog->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
        QVERIFY(types);
        types->setCurrentIndex(filter);
        Q_EMIT types->activated(filter);
    }
    auto* edit = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    QVERIFY(edit);
    edit->setText(name);
    auto* buttons = dialog->findChild<QDialogButtonBox*>(QStringLiteral("buttonBox"));
    QVERIFY(buttons);
    buttons->button(QDialogButtonBox::Save)->click();
}

} // namespace

class SaveFileDialog : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void answersWithTheFileWritten_data();
    void answersWithTheFileWritten();
};

void SaveFileDialog::answersWithTheFileWritten_data() {
    QTest::addColumn<QString>("filter");
    QTest::addColumn<int>("chosenType");
    QTest::addColumn<QString>("refusal");
    QTest::addColumn<QString>("existing"); // a file already in the folder
    QTest::addColumn<QString>("said");     // the box shown over the dialog, if any
    QTest::addColumn<QString>("answer");
    QTest::newRow("book without extension") << Books << 0 << "Cant Overwrite"
                                            << ""
                                            << ""
                                            << "Field.fmr";
    QTest::newRow("sound as chosen type") << Sounds << 1 << ""
                                          << ""
                                          << ""
                                          << "talk.wav";
    QTest::newRow("existing book refused, no question") << Books << 0 << "Cant Overwrite"
                                                        << "Field.fmr"
                                                        << "Cant Overwrite"
                                                        << "Other.fmr";
    QTest::newRow("existing sound asked about") << Sounds << 0 << ""
                                                << "talk.opus"
                                                << "talk.opus already exists"
                                                << "talk.opus";
}

void SaveFileDialog::answersWithTheFileWritten() {
    QFETCH(QString, filter);
    QFETCH(int, chosenType);
    QFETCH(QString, refusal);
    QFETCH(QString, existing);
    QFETCH(QString, said);
    QFETCH(QString, answer);
    QTemporaryDir folder;
    if (!existing.isEmpty()) {
        QFile file(folder.filePath(existing));
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
    const QString typed = existing.isEmpty() ? answer : existing.section(u'.', 0, 0);
    QString shown;   // every box shown over the dialog
    QObject context; // no step outlives the test
    // A box over the dialog is answered by a step queued before the name is typed: the
    // box holds the event loop until it closes. After a refusal the dialog stays open
    // for another name.
    std::function<void()> answerBox = [&] {
        QTimer::singleShot(10, &context, answerBox); // each box until the test ends
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box)
            return;
        shown += (shown.isEmpty() ? QString() : QStringLiteral(" | ")) + box->text();
        const bool refused = !refusal.isEmpty() && box->text() == refusal;
        box->button(refused ? QMessageBox::Ok : QMessageBox::Yes)->click();
        if (refused)
            QTimer::singleShot(0, &context, [&] {
                // The refused file stays selected in the list until another is chosen.
                const QString other = answer.section(u'.', 0, 0);
                if (auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget()))
                    dialog->selectFile(other);
                typeIntoDialog(other, chosenType);
            });
    };
    QTimer::singleShot(0, &context, [&] {
        QTimer::singleShot(0, &context, answerBox);
        typeIntoDialog(typed, chosenType);
    });
    WidgetDialogs dialogs;
    const FileDialogRequest request{QStringLiteral("Save"), folder.path(), {}, filter, true};
    const QString chosen = refusal.isEmpty() ? dialogs.saveFileName(request)
                                             : dialogs.saveNewFileName(request, refusal);
    // A refusal is the only box: no question about replacing comes before it.
    QVERIFY2(said.isEmpty()      ? shown.isEmpty()
             : refusal.isEmpty() ? shown.contains(said)
                                 : shown == said,
             qPrintable(shown));
    QCOMPARE(chosen, folder.filePath(answer));
}

QTEST_MAIN(SaveFileDialog)
#include "tst_savefiledialog.moc"
