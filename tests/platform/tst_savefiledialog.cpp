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
    QString shown;
    QObject context; // no step outlives the test
    // A box over the dialog is answered by a step queued before the name is typed: the
    // box holds the event loop until it closes.
    std::function<void()> answerBox = [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) {
            QTimer::singleShot(10, &context, answerBox); // until a box shows or the dialog ends
            return;
        }
        shown = box->text();
        box->button(QMessageBox::Yes)->click();
    };
    QTimer::singleShot(0, &context, [&] {
        QTimer::singleShot(0, &context, answerBox);
        typeIntoDialog(typed, chosenType);
    });
    WidgetDialogs dialogs;
    const FileDialogRequest request{QStringLiteral("Save"), folder.path(), {}, filter, true};
    const QString chosen = refusal.isEmpty() ? dialogs.saveFileName(request)
                                             : dialogs.saveNewFileName(request, refusal);
    QVERIFY2(said.isEmpty() ? shown.isEmpty() : shown.contains(said), qPrintable(shown));
    QCOMPARE(chosen, folder.filePath(answer));
}

QTEST_MAIN(SaveFileDialog)
#include "tst_savefiledialog.moc"
