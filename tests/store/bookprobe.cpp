// Opens a book through the store as the user it is started as, and tells how it opened:
//   bookprobe PROGRAM_FOLDER BOOK
// prints "read-only <0|1>", the refusal an editing command would show, and whether a
// store succeeded.
#include "KillScript.h"

#include <QCoreApplication>
#include <cstdio>

using namespace folimar;

int main(int argc, char* argv[]) {
    QCoreApplication application(argc, argv);
    const QStringList args = application.arguments();
    if (args.size() < 3)
        return 2;
    testing::killscript::StoreSession book(args.at(1), args.at(2));
    const std::optional<platform::MessageRequest> refusal = book.store.editRefusal();
    const bool stored =
        book.store.storeTopic({1, QStringLiteral("one"), {}, {}, std::nullopt}).isOk();
    std::printf("read-only %d\nrefusal %s\nstored %d\n", int(book.store.ReadOnlyMode),
                refusal ? qPrintable(refusal->text) : "", int(stored));
    return 0;
}
