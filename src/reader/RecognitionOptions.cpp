#include "reader/RecognitionOptions.h"

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
    column->addWidget(new QLabel(QStringLiteral("Languages of the text"), this));
    lstTextLanguages = new QListWidget(this);
    lstTextLanguages->setObjectName(QStringLiteral("lstTextLanguages"));
    lstTextLanguages->setMaximumHeight(90);
    column->addWidget(lstTextLanguages);
    connect(lstTextLanguages, &QListWidget::itemChanged, this, &RecognitionOptions::save);
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
    QStringList chosen = settings.languages.split(u'+', Qt::SkipEmptyParts);
    if (chosen.isEmpty())
        chosen.append(
            recognition::defaultLanguage(recognition::installedLanguages(tessdata_), QLocale()));
    for (int i = 0; i < lstTextLanguages->count(); ++i) {
        QListWidgetItem* item = lstTextLanguages->item(i);
        item->setCheckState(chosen.contains(item->data(Qt::UserRole).toString()) ? Qt::Checked
                                                                                 : Qt::Unchecked);
    }
    loading_ = false;
}

// The languages ticked, in list order; none ticked is the desktop's language.
void RecognitionOptions::save() {
    if (loading_)
        return;
    recognition::RecognitionSettings settings;
    settings.readPastedPicture = optReadPasted->checkedId() != 0;
    settings.showSpokenSentence = optShowSpoken->checkedId() != 0;
    settings.straightenPasted = optStraighten->checkedId() != 0;
    QStringList chosen;
    for (int i = 0; i < lstTextLanguages->count(); ++i) {
        if (lstTextLanguages->item(i)->checkState() == Qt::Checked)
            chosen.append(lstTextLanguages->item(i)->data(Qt::UserRole).toString());
    }
    settings.languages = chosen.join(u'+');
    settings.save(settingsPath_);
}

} // namespace folimar::reader
