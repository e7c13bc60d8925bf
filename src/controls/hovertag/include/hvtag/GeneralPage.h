#pragma once

#include "hvtag/hvtag_export.h"

#include <QList>
#include <QPointer>
#include <QVariant>
#include <QWidget>
#include <functional>

class QCheckBox;
class QLineEdit;

namespace folimar::controls {

class Hovertag;

// The "General" property page: edits Url, UnderlineOnMouseOver and Caption of the first
// selected control.
class HVTAG_EXPORT GeneralPage : public QWidget {
    Q_OBJECT

public:
    // Writes one property; a form editor hands in one that records the change for undo.
    using PropertyWriter =
        std::function<void(Hovertag& control, const char* name, const QVariant& value)>;

    explicit GeneralPage(QWidget* parent = nullptr);

    void setSelectedControls(const QList<Hovertag*>& controls);
    void setPropertyWriter(PropertyWriter writer) { writer_ = std::move(writer); }
    bool isChanged() const { return changed_; }
    void applyChanges();

Q_SIGNALS:
    void changed();

private:
    void markChanged();

    QLineEdit* txtUrl;
    QCheckBox* chkUnderlineOnMouseOver;
    QLineEdit* txtCaption;
    QList<QPointer<Hovertag>> selected_;
    PropertyWriter writer_;
    bool changed_ = false;
};

} // namespace folimar::controls
