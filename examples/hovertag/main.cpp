#include "ui_HovertagExample.h"

#include <QApplication>
#include <QWidget>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QWidget window;
    Ui::HovertagExample form;
    form.setupUi(&window);
    QObject::connect(form.aboutButton, &QPushButton::clicked, form.homePage,
                     &folimar::controls::Hovertag::showAbout);
    window.show();
    return app.exec();
}
