#include "reader/ExportWindow.h"

#include "platform/dialogs/Dialogs.h"
#include "speechexport/ExportJob.h"
#include "speechexport/SpeechExport.h"

#include <QBoxLayout>
#include <QCloseEvent>
#include <QFileInfo>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>
#include <QSpinBox>

namespace folimar::reader {

bool ExportWindow::isExporting() const {
    return exportJob_->isRunning();
}

void ExportWindow::addTopicRange(QBoxLayout& column) {
    optTopics = new QRadioButton(QStringLiteral("&Topics from"), this);
    optTopics->setObjectName(QStringLiteral("optTopics"));
    txtFromTopic = new QSpinBox(this);
    txtToTopic = new QSpinBox(this);
    txtFromTopic->setObjectName(QStringLiteral("txtFromTopic"));
    txtToTopic->setObjectName(QStringLiteral("txtToTopic"));
    txtFromTopic->setAccessibleName(QStringLiteral("First topic"));
    txtToTopic->setAccessibleName(QStringLiteral("Last topic"));
    auto* range = new QHBoxLayout;
    range->addWidget(optTopics);
    range->addWidget(txtFromTopic);
    range->addWidget(new QLabel(QStringLiteral("to"), this));
    range->addWidget(txtToTopic);
    range->addStretch();
    column.addLayout(range);
    for (QSpinBox* bound : {txtFromTopic, txtToTopic})
        connect(bound, &QSpinBox::valueChanged, optTopics, [this] { optTopics->setChecked(true); });
}

void ExportWindow::offerTopics(bool any, int lowest, int highest) {
    for (QSpinBox* bound : {txtFromTopic, txtToTopic}) {
        const QSignalBlocker quiet(bound);
        bound->setRange(lowest, highest);
    }
    {
        const QSignalBlocker quiet(txtFromTopic);
        txtFromTopic->setValue(lowest);
    }
    const QSignalBlocker quiet(txtToTopic);
    txtToTopic->setValue(highest);
    hasTopics_ = any;
}

speechexport::TopicRange ExportWindow::chosenTopics() const {
    return {std::min(txtFromTopic->value(), txtToTopic->value()),
            std::max(txtFromTopic->value(), txtToTopic->value())};
}

void ExportWindow::addExportRows(QBoxLayout& column, speechexport::ExportJob& job) {
    exportJob_ = &job;
    prgExport = new QProgressBar(this);
    prgExport->setObjectName(QStringLiteral("prgExport"));
    prgExport->setRange(0, 1000);
    prgExport->setTextVisible(false);
    column.addWidget(prgExport);
    lblStatus = new QLabel(this);
    lblStatus->setObjectName(QStringLiteral("lblStatus"));
    column.addWidget(lblStatus);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    cmdSave = new QPushButton(QStringLiteral("&Save…"), this);
    cmdSave->setObjectName(QStringLiteral("cmdSave"));
    cmdSave->setDefault(true);
    cmdCancel = new QPushButton(QStringLiteral("&Close"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    buttons->addWidget(cmdSave);
    buttons->addWidget(cmdCancel);
    column.addLayout(buttons);

    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, cmdCancel, &QPushButton::click);
    connect(cmdCancel, &QPushButton::clicked, this, [this] {
        if (exportJob_->isRunning())
            exportJob_->cancel();
        else
            close();
    });
}

void ExportWindow::showExporting(bool exporting, bool canSave) {
    cmdSave->setEnabled(!exporting && canSave);
    cmdCancel->setText(exporting ? QStringLiteral("&Cancel") : QStringLiteral("&Close"));
    for (QWidget* choice : {static_cast<QWidget*>(optBook), static_cast<QWidget*>(optTopics),
                            static_cast<QWidget*>(txtFromTopic), static_cast<QWidget*>(txtToTopic)})
        if (choice)
            choice->setEnabled(!exporting && hasTopics_);
}

void ExportWindow::showSaving(const QString& path) {
    savingPath_ = path;
    prgExport->setValue(0);
    lblStatus->setText(QStringLiteral("Saving %1…").arg(QFileInfo(savingPath_).fileName()));
}

void ExportWindow::showOutcome(const speechexport::JobOutcome& outcome, platform::Dialogs& dialogs,
                               const QString& caption) {
    const QString name = QFileInfo(savingPath_).fileName();
    switch (outcome.status) {
    case speechexport::JobOutcome::Status::Saved:
        prgExport->setValue(prgExport->maximum());
        lblStatus->setText(QStringLiteral("Saved as %1.").arg(name));
        break;
    case speechexport::JobOutcome::Status::Cancelled:
        prgExport->setValue(0);
        lblStatus->setText(QStringLiteral("Cancelled: %1 was not saved.").arg(name));
        break;
    case speechexport::JobOutcome::Status::Failed:
        prgExport->setValue(0);
        lblStatus->setText(QStringLiteral("%1 was not saved.").arg(name));
        dialogs.inform(outcome.message, caption, platform::MessageIcon::Critical);
        break;
    }
}

void ExportWindow::closeEvent(QCloseEvent* event) {
    exportJob_->cancel(); // nothing half-saved is left behind
    QWidget::closeEvent(event);
}

} // namespace folimar::reader
