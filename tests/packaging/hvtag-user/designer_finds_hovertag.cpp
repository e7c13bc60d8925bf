// Looks through Qt's own form-editor plugin folder as the editor does, and prints the file
// that offers the Hovertag widget; fails when none does.
#include <QApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QPluginLoader>
#include <QtUiPlugin/QDesignerCustomWidgetInterface>
#include <cstdio>

namespace {

// The widget's class name, namespace and all, as the editor lists it.
bool isHovertag(const QDesignerCustomWidgetInterface* widget) {
    return widget->name().section(QStringLiteral("::"), -1) == QLatin1String("Hovertag");
}

bool offersHovertag(QObject* plugin) {
    if (auto* widget = qobject_cast<QDesignerCustomWidgetInterface*>(plugin))
        return isHovertag(widget);
    if (auto* collection = qobject_cast<QDesignerCustomWidgetCollectionInterface*>(plugin)) {
        for (const QDesignerCustomWidgetInterface* widget : collection->customWidgets())
            if (isHovertag(widget))
                return true;
    }
    return false;
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    const QDir folder(QLibraryInfo::path(QLibraryInfo::PluginsPath) + QStringLiteral("/designer"));
    for (const QString& name : folder.entryList(QDir::Files)) {
        QPluginLoader loader(folder.filePath(name));
        QObject* plugin = loader.instance();
        if (!plugin)
            std::fprintf(stderr, "%s\n", qPrintable(loader.errorString()));
        else if (offersHovertag(plugin)) {
            std::printf("%s\n", qPrintable(loader.fileName()));
            return 0;
        }
    }
    std::fprintf(stderr, "no plugin in %s offers Hovertag\n", qPrintable(folder.path()));
    return 1;
}
