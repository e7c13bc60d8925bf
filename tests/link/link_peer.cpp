// link_peer listen SOCKET       prints "listening", then each book path received, one a line
// link_peer send SOCKET PATH    hands PATH over; exit code 0 when it was taken, 1 when not
#include "platform/link/InstanceLinkClient.h"
#include "platform/link/InstanceLinkServer.h"

#include <QCoreApplication>
#include <QTextStream>

using namespace folimar::platform;

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() == 4 && args[1] == QLatin1String("send"))
        return SendOpenRequest(args[3], args[2]) ? 0 : 1;
    if (args.size() != 3 || args[1] != QLatin1String("listen"))
        return 2;

    QTextStream out(stdout);
    InstanceLinkServer server(args[2]);
    if (server.listen() != InstanceLinkServer::ListenResult::Listening)
        return 1;
    QObject::connect(&server, &InstanceLinkServer::openRequested, &server,
                     [&out](const QString& path) { out << path << Qt::endl; });
    out << "listening" << Qt::endl;
    return app.exec();
}
