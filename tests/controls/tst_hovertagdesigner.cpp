#include "hvtag/GeneralPage.h"
#include "hvtag/Hovertag.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QPluginLoader>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QUiLoader>
#include <QXmlStreamReader>
#include <QtDesigner/QDesignerFormEditorInterface>
#include <QtDesigner/QDesignerTaskMenuExtension>
#include <QtDesigner/QExtensionManager>
#include <QtUiPlugin/QDesignerCustomWidgetInterface>
#include <memory>

using namespace folimar::controls;

namespace {

// The smallest form editor a plugin can be initialised with: just the extension manager.
class BareFormEditor : public QDesignerFormEditorInterface {
public:
    BareFormEditor() { setExtensionManager(new QExtensionManager(this)); }
};

} // namespace

class TestHovertagDesigner : public QObject {
    Q_OBJECT

    QPluginLoader loader{QStringLiteral(HVTAG_DESIGNER_PLUGIN)};

    QDesignerCustomWidgetInterface* plugin() {
        return qobject_cast<QDesignerCustomWidgetInterface*>(loader.instance());
    }

private Q_SLOTS:
    void pluginDescribesTheControl() {
        QVERIFY2(loader.load(), qPrintable(loader.errorString()));
        QDesignerCustomWidgetInterface* widgets = plugin();
        QVERIFY(widgets);
        QCOMPARE(widgets->name(), QStringLiteral("folimar::controls::Hovertag"));
        QCOMPARE(widgets->group(), QStringLiteral("Tessaro!"));
        QCOMPARE(widgets->includeFile(), QStringLiteral("hvtag/Hovertag.h"));
        QVERIFY(!widgets->isContainer());

        QXmlStreamReader xml(widgets->domXml());
        QMap<QString, QString> properties;
        QString widgetClass;
        QString property;
        while (!xml.atEnd()) {
            xml.readNext();
            if (!xml.isStartElement())
                continue;
            if (xml.name() == QLatin1String("widget"))
                widgetClass = xml.attributes().value(QLatin1String("class")).toString();
            else if (xml.name() == QLatin1String("property"))
                property = xml.attributes().value(QLatin1String("name")).toString();
            else if (xml.name() == QLatin1String("string") || xml.name() == QLatin1String("bool"))
                properties[property] = xml.readElementText();
        }
        QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
        QCOMPARE(widgetClass, widgets->name());
        QCOMPARE(properties.value(QStringLiteral("Caption")), QStringLiteral("Tessaro!"));
        QCOMPARE(properties.value(QStringLiteral("Url")), QString::fromLatin1(Hovertag::MakerUrl));
        QCOMPARE(properties.value(QStringLiteral("UnderlineOnMouseOver")), QStringLiteral("false"));

        QWidget parent;
        QVERIFY(qobject_cast<Hovertag*>(widgets->createWidget(&parent)));
    }

    void taskMenuOpensTheGeneralPage() {
        QDesignerCustomWidgetInterface* widgets = plugin();
        QVERIFY(widgets);
        BareFormEditor core;
        widgets->initialize(&core);
        QVERIFY(widgets->isInitialized());

        QWidget form;
        auto* tag = qobject_cast<Hovertag*>(widgets->createWidget(&form));
        auto* menu = qt_extension<QDesignerTaskMenuExtension*>(core.extensionManager(), tag);
        QVERIFY(menu);
        QCOMPARE(menu->taskActions().size(), 1);
        QAction* general = menu->preferredEditAction();
        QCOMPARE(general->text(), QStringLiteral("General..."));

        bool edited = false;
        QTimer::singleShot(0, this, [&] {
            auto* page = QApplication::activeModalWidget()->findChild<GeneralPage*>();
            auto* caption = page->findChild<QLineEdit*>(QStringLiteral("txtCaption"));
            caption->selectAll();
            QTest::keyClicks(caption, QStringLiteral("Edited"));
            page->parentWidget()
                ->findChild<QDialogButtonBox*>()
                ->button(QDialogButtonBox::Ok)
                ->click();
            edited = true;
        });
        general->trigger();
        QVERIFY(edited);
        QCOMPARE(tag->caption(), QStringLiteral("Edited"));
    }

    void formFileLoadsThroughThePlugin() {
        QUiLoader uiLoader;
        uiLoader.clearPluginPaths();
        uiLoader.addPluginPath(QFileInfo(QStringLiteral(HVTAG_DESIGNER_PLUGIN)).absolutePath());
        QVERIFY(
            uiLoader.availableWidgets().contains(QStringLiteral("folimar::controls::Hovertag")));
        QFile file(QStringLiteral(HVTAG_EXAMPLE_FORM));
        QVERIFY(file.open(QIODevice::ReadOnly));
        std::unique_ptr<QWidget> form(uiLoader.load(&file));
        QVERIFY2(form, qPrintable(uiLoader.errorString()));
        const QList<Hovertag*> tags = form->findChildren<Hovertag*>();
        QCOMPARE(tags.size(), 3);
        auto* mail = form->findChild<Hovertag*>(QStringLiteral("mailLink"));
        QVERIFY(mail);
        QCOMPARE(mail->url(), QStringLiteral("mailto:hello@tessaro.example.org"));
        QCOMPARE(mail->colorNormal(), QColor(0, 128, 0));
    }
};

QTEST_MAIN(TestHovertagDesigner)
#include "tst_hovertagdesigner.moc"
