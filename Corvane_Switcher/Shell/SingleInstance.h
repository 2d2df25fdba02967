#pragma once

// One running app per user and data folder. A later launch (a file manager opening a Rate
// Library file while the app runs, say) hands what it was launched with to the running app over
// a local socket in the user's runtime folder, and leaves; two apps never listen for the
// companion or write the same history at once.

#include "LaunchRequest.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

class QLocalServer;
class QLocalSocket;

class SingleInstance final : public QObject {
    Q_OBJECT
public:
    static constexpr int connectWaitMs = 2000;
    // How long a later launch waits for the running app's answer, and the running app for the
    // launch's request: the whole exchange, however the bytes trickle in.
    static constexpr int answerWaitMs = 10000;
    static constexpr qsizetype maximumRequestBytes = 64 * 1024;
    // The answers are "ok" and "refused"; a longer one is not read on.
    static constexpr qsizetype maximumAnswerBytes = 1024;
    // Later launches the running app serves at once. Launches wait for each other's hand-over, so
    // there is one at a time; one past these is closed at once.
    static constexpr int maximumLaterLaunches = 16;

    enum class Start {
        handedOver, // a running app took the request: this launch is done
        running,    // no app ran: this one is it (and listens for later launches when it can)
        failed,     // an app runs but did not take the request
    };

    // The socket's path for this user and data folder, in the user's runtime folder.
    static QString serverName(const QString &dataDirectory);

    explicit SingleInstance(QString serverName, QObject *parent = nullptr);
    ~SingleInstance() override;

    // Hands `request` to the app already running, or becomes the running app. A socket left
    // by an app that crashed is removed. On failure `error` says why.
    Start start(const LaunchRequest &request, QString *error = nullptr);
    bool isListening() const;
    // Replaces answerWaitMs, for tests.
    void setWaitMs(int ms);

    // In the running app: each request a later launch hands over.
    std::function<void(const LaunchRequest &)> onRequest;

private:
    Start handOver(QLocalSocket &socket, const LaunchRequest &request, QString *error);
    void accept();
    void serve(QLocalSocket *peer);

    QString m_serverName;
    int m_waitMs = answerWaitMs;
    int m_laterLaunches = 0; // sockets of later launches being served
    std::unique_ptr<QLocalServer> m_server;
};
