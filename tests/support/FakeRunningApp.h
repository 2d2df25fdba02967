#pragma once

// Stands where the running app listens for later launches, and answers as no app of ours does.
// It serves one launch on a thread of its own, since a launch waits for its answer blocking.

#include <QString>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>

class FakeRunningApp {
public:
    enum class Answer {
        endlessLine, // bytes without a newline as fast as they go, up to `limitBytes`; then silence
        silence,     // reads the request and never answers
        trickle,     // a byte without a newline every 50 ms, for `trickleFor`; then silence
    };

    FakeRunningApp(const QString &path, Answer answer, qint64 limitBytes = 64LL * 1024 * 1024,
                   std::chrono::milliseconds trickleFor = std::chrono::seconds(30));
    ~FakeRunningApp();
    FakeRunningApp(const FakeRunningApp &) = delete;
    FakeRunningApp &operator=(const FakeRunningApp &) = delete;

    bool isListening() const { return m_listenFd >= 0; }
    qint64 bytesSent() const { return m_sent; }
    // Whether the launch has closed its end.
    bool launchLeft() const { return m_left; }

private:
    void serve(Answer answer, qint64 limitBytes, std::chrono::milliseconds trickleFor);

    std::string m_path;
    int m_listenFd = -1;
    std::atomic<bool> m_stop = false;
    std::atomic<qint64> m_sent = 0;
    std::atomic<bool> m_left = false;
    std::thread m_thread;
};
