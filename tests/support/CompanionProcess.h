#pragma once

#include <QProcess>
#include <QString>

// Runs the stand-in companion binary against a switcher listening on `port`. The process is
// killed, if still running, when this object goes.
class CompanionProcess final {
public:
    // Port 0: the companion reads the port file. With `log`, it prints what it receives to stderr.
    // Defined here: only the test binaries know the paths.
    explicit CompanionProcess(quint16 port = 0, bool log = false)
        : m_port(port), m_log(log), m_library(defaultLibrary()), m_binary(defaultBinary())
    {
    }
    ~CompanionProcess();
    CompanionProcess(const CompanionProcess &) = delete;
    CompanionProcess &operator=(const CompanionProcess &) = delete;

    // Starts the process; false (with the reason in errorText) when it could not start.
    bool start(int timeoutMs = 5000);
    bool waitForFinished(int timeoutMs = 5000);
    QString errorText() const;
    // What the companion wrote to stderr so far (with `log`, every received message).
    QString standardError();

    QProcess &process() { return m_process; }

    // Paths fixed at build time; they live in this header because only the test binaries get
    // the definitions.
    static QString defaultLibrary()
    {
#ifdef CORVANE_FIXTURES_DIR
        return QStringLiteral(CORVANE_FIXTURES_DIR "/companion-library.json");
#else
        return {};
#endif
    }
    static QString defaultBinary()
    {
#ifdef CORVANE_COMPANION_BIN
        return QStringLiteral(CORVANE_COMPANION_BIN);
#else
        return {};
#endif
    }

private:
    quint16 m_port;
    bool m_log;
    QString m_library, m_binary;
    QProcess m_process;
    QByteArray m_stderr;
};
