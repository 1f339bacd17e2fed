// Candidate: Qt HTTP Server 6.4, the answer as a QFuture run on the pool's threads.
#include <QCoreApplication>
#include <QHttpServer>
#include <QThreadPool>
#include <QtConcurrent>
#include <string>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int port = argc > 1 ? atoi(argv[1]) : 18082;
    QThreadPool pool;
    pool.setMaxThreadCount(argc > 2 ? atoi(argv[2]) : 2);
    QHttpServer server;
    server.route("/call", QHttpServerRequest::Method::Post, [&pool](const QHttpServerRequest& req) {
        const QByteArray body = req.body();
        return QtConcurrent::run(&pool, [body] {
            const std::string a = "{\"ok\":true,\"value\":" + std::to_string(body.size()) +
                                  ",\"echo\":\"" + body.left(40).toStdString() + "\"}";
            return QHttpServerResponse("application/json", QByteArray::fromStdString(a));
        });
    });
    if (server.listen(QHostAddress::LocalHost, quint16(port)) == 0)
        return 1;
    return app.exec();
}
