#include "devserveroptions.h"
#include "engineroutes.h"
#include "serviceroutes.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>

#include <httplib.h>

#include <cstdio>
#include <memory>

namespace {

DevServerOptions parseOptions(const QCoreApplication& app)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Stand-in for the maker's web service and the knowledge engine (loopback only)."));
    parser.addHelpOption();
    const QCommandLineOption port(QStringLiteral("port"), QStringLiteral("Port, 0 for any."),
                                  QStringLiteral("port"), QStringLiteral("0"));
    const QCommandLineOption data(QStringLiteral("data"),
                                  QStringLiteral("Folder for the usage counts."),
                                  QStringLiteral("dir"), QDir::currentPath());
    const QCommandLineOption pace(QStringLiteral("pace-ms"),
                                  QStringLiteral("Delay between two stream events."),
                                  QStringLiteral("ms"), QStringLiteral("40"));
    const QCommandLineOption allowance(QStringLiteral("allowance"),
                                       QStringLiteral("Answers allowed per serial number."),
                                       QStringLiteral("count"), QStringLiteral("50"));
    const QCommandLineOption cert(QStringLiteral("cert"),
                                  QStringLiteral("PEM certificate: serve HTTPS."),
                                  QStringLiteral("file"));
    const QCommandLineOption key(QStringLiteral("key"), QStringLiteral("PEM private key."),
                                 QStringLiteral("file"));
    parser.addOptions({port, data, pace, allowance, cert, key});
    parser.process(app);

    DevServerOptions options;
    options.port = static_cast<quint16>(parser.value(port).toUInt());
    options.dataDir = parser.value(data);
    options.paceMs = parser.value(pace).toInt();
    options.allowance = parser.value(allowance).toInt();
    options.certFile = parser.value(cert);
    options.keyFile = parser.value(key);
    return options;
}

std::unique_ptr<httplib::Server> makeServer(const DevServerOptions& options)
{
    if (options.certFile.isEmpty() || options.keyFile.isEmpty())
        return std::make_unique<httplib::Server>();
    return std::make_unique<httplib::SSLServer>(options.certFile.toLocal8Bit().constData(),
                                                options.keyFile.toLocal8Bit().constData());
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const DevServerOptions options = parseOptions(app);
    QDir().mkpath(options.dataDir);

    std::unique_ptr<httplib::Server> server = makeServer(options);
    if (!server->is_valid()) {
        std::fprintf(stderr, "lumora-devserver: cannot use the certificate or key\n");
        return 1;
    }
    EngineRoutes engine(options);
    ServiceRoutes service(options);
    engine.install(*server);
    service.install(*server);

    const char* host = "127.0.0.1";
    const int port = options.port == 0
        ? server->bind_to_any_port(host)
        : (server->bind_to_port(host, options.port) ? options.port : -1);
    if (port <= 0) {
        std::fprintf(stderr, "lumora-devserver: cannot listen on %s:%u\n", host, options.port);
        return 1;
    }
    const bool tls = !options.certFile.isEmpty();
    std::printf("lumora-devserver listening on %s://%s:%d\n", tls ? "https" : "http", host, port);
    std::fflush(stdout);
    return server->listen_after_bind() ? 0 : 1;
}
