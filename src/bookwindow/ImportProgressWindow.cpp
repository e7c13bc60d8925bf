#include "bookwindow/ImportProgressWindow.h"

#include "import/ImportProgress.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace folimar::bookwindow {

ImportProgressWindow::ImportProgressWindow(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("ImportProgressWindow"));
    setWindowTitle(QStringLiteral("Import"));
    setModal(false);
    auto* layout = new QVBoxLayout(this);
    lblImportPage = new QLabel(this);
    lblImportPage->setObjectName(QStringLiteral("lblImportPage"));
    layout->addWidget(lblImportPage);
    prgImport = new QProgressBar(this);
    prgImport->setObjectName(QStringLiteral("prgImport"));
    prgImport->setMinimumWidth(320);
    layout->addWidget(prgImport);
    lblImportPace = new QLabel(this);
    lblImportPace->setObjectName(QStringLiteral("lblImportPace"));
    layout->addWidget(lblImportPace);
    auto* cmdCancelImport = new QPushButton(QStringLiteral("Cancel"), this);
    cmdCancelImport->setObjectName(QStringLiteral("cmdCancelImport"));
    cmdCancelImport->setDefault(true);
    layout->addWidget(cmdCancelImport, 0, Qt::AlignRight);
    connect(cmdCancelImport, &QPushButton::clicked, this, &ImportProgressWindow::reject);
}

void ImportProgressWindow::begin(int total) {
    show(import::ImportProgress{0, total, 0, -1});
    QDialog::show();
}

void ImportProgressWindow::show(const import::ImportProgress& progress) {
    lblImportPage->setText(progress.headline());
    lblImportPace->setText(progress.pace());
    prgImport->setRange(0, progress.total);
    prgImport->setValue(progress.done);
}

void ImportProgressWindow::reject() {
    Q_EMIT cancelRequested();
}

} // namespace folimar::bookwindow
