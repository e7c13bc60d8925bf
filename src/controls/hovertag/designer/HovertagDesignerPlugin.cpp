#include "controls/hovertag/designer/HovertagDesignerPlugin.h"

#include "controls/hovertag/designer/HovertagTaskMenuFactory.h"
#include "hvtag/Hovertag.h"

#include <QIcon>
#include <QtDesigner/QDesignerFormEditorInterface>
#include <QtDesigner/QDesignerTaskMenuExtension>
#include <QtDesigner/QExtensionManager>

namespace folimar::controls {

HovertagDesignerPlugin::HovertagDesignerPlugin(QObject* parent) : QObject(parent) {}

QString HovertagDesignerPlugin::name() const {
    return QStringLiteral("folimar::controls::Hovertag");
}

QString HovertagDesignerPlugin::group() const {
    return QStringLiteral("Tessaro!");
}

QString HovertagDesignerPlugin::toolTip() const {
    return QStringLiteral("A link label that lights up under the mouse");
}

QString HovertagDesignerPlugin::whatsThis() const {
    return QStringLiteral("Shows its caption as a link; a click opens its Url with the "
                          "user's default handler.");
}

QString HovertagDesignerPlugin::includeFile() const {
    return QStringLiteral("hvtag/Hovertag.h");
}

QIcon HovertagDesignerPlugin::icon() const {
    return {};
}

QWidget* HovertagDesignerPlugin::createWidget(QWidget* parent) {
    return new Hovertag(parent);
}

void HovertagDesignerPlugin::initialize(QDesignerFormEditorInterface* core) {
    if (initialized_)
        return;
    if (QExtensionManager* manager = core ? core->extensionManager() : nullptr)
        manager->registerExtensions(new HovertagTaskMenuFactory(manager),
                                    Q_TYPEID(QDesignerTaskMenuExtension));
    initialized_ = true;
}

QString HovertagDesignerPlugin::domXml() const {
    return QStringLiteral(R"(<ui language="c++" displayname="Hovertag">
 <widget class="folimar::controls::Hovertag" name="hovertag">
  <property name="geometry">
   <rect><x>0</x><y>0</y><width>100</width><height>40</height></rect>
  </property>
  <property name="Caption"><string>Tessaro!</string></property>
  <property name="Url"><string>%1</string></property>
  <property name="UnderlineOnMouseOver"><bool>false</bool></property>
  <property name="ColorNormal"><color><red>0</red><green>0</green><blue>255</blue></color></property>
  <property name="ColorOnMouseOver"><color><red>255</red><green>0</green><blue>0</blue></color></property>
 </widget>
</ui>
)")
        .arg(QString::fromLatin1(Hovertag::MakerUrl));
}

} // namespace folimar::controls
