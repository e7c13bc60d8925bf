#pragma once

#include <QTextEdit>

namespace folimar::reader {

// The reader window's text box. What is pasted into it or dropped on it goes through the
// safe paste (see SafePaste.h), so the box never loads what pasted HTML names.
class ReaderTextEdit final : public QTextEdit {
    Q_OBJECT
public:
    using QTextEdit::QTextEdit;

Q_SIGNALS:
    // A paste or drop too long to take was refused.
    void pasteRefused();

protected:
    bool canInsertFromMimeData(const QMimeData* source) const override;
    void insertFromMimeData(const QMimeData* source) override;
};

} // namespace folimar::reader
