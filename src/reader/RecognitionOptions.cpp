#include "reader/RecognitionOptions.h"

#include "proofreading/SpellingDictionary.h"
#include "recognition/RecognitionLanguages.h"
#include "recognition/RecognitionSettings.h"

#include <QButtonGroup>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QRadioButton>
#include <QVBoxLayout>

namespace folimar::reader {

// A caption over a No/Yes pair of choices (ids 0 and 1) named `name`_0 and `name`_1.
QButtonGroup* RecognitionOptions::addYesNo(QVBoxLayout& column, const QString& caption,
                                           const QString& name) {
    column.addWidget(new QLabel(caption, this));
    auto* row = new QHBoxLayout;
    auto* group = new QButtonGroup(this);
    group->setObjectName(name);
    const QStringList captions{QStringLiteral("No"), QStringLiteral("Yes")};
    for (int value = 0; value < captions.size(); ++value) {
        auto* option = new QRadioButton(captions[value], this);
        option->setObjectName(name + u'_' + QString::number(value));
        group->addButton(option, value);
        row->addWidget(option);
    }
    row->addStretch();
    column.addLayout(row);
    connect(group, &QButtonGroup::idClicked, this, &RecognitionOptions::save);
    return group;
}

RecognitionOptions::RecognitionOptions(QString settingsPath, QString tessdata, QWidget* parent)
    : QGroupBox(QStringLiteral("Page Text"), parent), settingsPath_(std::move(settingsPath)),
      tessdata_(std::move(tessdata)) {
    setObjectName(QStringLiteral("fraText"));
    auto* column = new QVBoxLayout(this);
    optReadPasted = addYesNo(*column, QStringLiteral("Read the text of a pasted picture"),
                             QStringLiteral("optReadPasted"));
    optShowSpoken = addYesNo(*column, QStringLiteral("Show the spoken sentence on the page"),
                             QStringLiteral("optShowSpoken"));
    optStraighten = addYesNo(*column, QStringLiteral("Straighten pasted pictures"),
                             QStringLiteral("optStraighten"));
    optDoubtfulText = addYesNo(*column, QStringLiteral("Mark doubtful words in the text"),
                               QStringLiteral("optDoubtfulText"));
    optDoubtfulPicture = addYesNo(*column, QStringLiteral("Mark doubtful words on the page"),
                                  QStringLiteral("optDoubtfulPicture"));
    column->addWidget(new QLabel(QStringLiteral("Languages of the text"), this));
    lstTextLanguages = new QListWidget(this);
    lstTextLanguages->setObjectName(QStringLiteral("lstTextLanguages"));
    lstTextLanguages->setMaximumHeight(90);
    column->addWidget(lstTextLanguages);
    connect(lstTextLanguages, &QListWidget::itemChanged, this, &RecognitionOptions::save);
    lblNoDictionary = new QLabel(this);
    lblNoDictionary->setObjectName(QStringLiteral("lblNoDictionary"));
    lblNoDictionary->setWordWrap(true);
    column->addWidget(lblNoDictionary);
    showSettings();
}

void RecognitionOptions::showSettings() {
    loading_ = true;
    // Listed anew each time: a language installed while the program runs shows up.
    lstTextLanguages->clear();
    for (const QString& language : recognition::installedLanguages(tessdata_)) {
        auto* item = new QListWidgetItem(recognition::languageName(language), lstTextLanguages);
        item->setData(Qt::UserRole, language);
        item->setFlags(Qt::ItemIsUserCheckable | Qt::ItemIsEnabled);
    }
    const auto settings = recognition::RecognitionSettings::load(settingsPath_);
    optReadPasted->button(settings.readPastedPicture ? 1 : 0)->setChecked(true);
    optShowSpoken->button(settings.showSpokenSentence ? 1 : 0)->setChecked(true);
    optStraighten->button(settings.straightenPasted ? 1 : 0)->setChecked(true);
    optDoubtfulText->button(settings.markDoubtfulInText ? 1 : 0)->setChecked(true);
    optDoubtfulPicture->button(settings.markDoubtfulOnPicture ? 1 : 0)->setChecked(true);
    QStringList chosen = settings.languages.split(u'+', Qt::SkipEmptyParts);
    if (chosen.isEmpty())
        chosen.append(
            recognition::defaultLanguage(recognition::installedLanguages(tessdata_), QLocale()));
    for (int i = 0; i < lstTextLanguages->count(); ++i) {
        QListWidgetItem* item = lstTextLanguages->item(i);
        item->setCheckState(chosen.contains(item->data(Qt::UserRole).toString()) ? Qt::Checked
                                                                                 : Qt::Unchecked);
    }
    showMissingDictionaries(settings.languagesToRead());
    loading_ = false;
}

// Said once, here: words of a language without a dictionary are doubted by the
// recognition's confidence alone.
void RecognitionOptions::showMissingDictionaries(const QString& languages) {
    const QStringList without = proofreading::SpellingDictionary::languagesWithout(languages);
    QStringList names;
    for (const QString& language : without)
        names.append(recognition::languageName(language));
    lblNoDictionary->setText(
        names.isEmpty()
            ? QString()
            : QStringLiteral("No spelling dictionary is installed for %1: its doubtful words are "
                             "those the recognition was unsure of.")
                  .arg(names.join(QStringLiteral(", "))));
    lblNoDictionary->setVisible(!names.isEmpty());
}

// The languages ticked, in list order; none ticked is the desktop's language.
void RecognitionOptions::save() {
    if (loading_)
        return;
    recognition::RecognitionSettings settings;
    settings.readPastedPicture = optReadPasted->checkedId() != 0;
    settings.showSpokenSentence = optShowSpoken->checkedId() != 0;
    settings.straightenPasted = optStraighten->checkedId() != 0;
    settings.markDoubtfulInText = optDoubtfulText->checkedId() != 0;
    settings.markDoubtfulOnPicture = optDoubtfulPicture->checkedId() != 0;
    QStringList chosen;
    for (int i = 0; i < lstTextLanguages->count(); ++i) {
        if (lstTextLanguages->item(i)->checkState() == Qt::Checked)
            chosen.append(lstTextLanguages->item(i)->data(Qt::UserRole).toString());
    }
    settings.languages = chosen.join(u'+');
    settings.save(settingsPath_);
    showMissingDictionaries(settings.languagesToRead());
}

} // namespace folimar::reader
