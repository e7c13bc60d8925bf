// Makes a Hovertag from the installed library and reads back what it was given.
#include <QApplication>
#include <cstdio>
#include <hvtag/Hovertag.h>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    folimar::controls::Hovertag tag;
    tag.setCaption(QStringLiteral("Home page"));
    tag.setUrl(QStringLiteral("https://example.org/"));
    const bool ok = tag.caption() == QLatin1String("Home page") &&
                    tag.property("Url").toString() == QLatin1String("https://example.org/");
    std::printf("hvtag_user: %s\n", ok ? "Hovertag made and read back" : "wrong values");
    return ok ? 0 : 1;
}
