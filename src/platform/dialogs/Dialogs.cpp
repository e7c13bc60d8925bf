#include "platform/dialogs/Dialogs.h"

namespace folimar::platform {

Dialogs::~Dialogs() = default;

void Dialogs::inform(const QString& text, const QString& title, MessageIcon icon) {
    message({text, title, icon, MessageButtons::Ok});
}

bool Dialogs::confirm(const QString& text, const QString& title) {
    return message({text, title, MessageIcon::Exclamation, MessageButtons::OkCancel}) ==
           MessageAnswer::Ok;
}

} // namespace folimar::platform
