#pragma once
// A small SMTP server on 127.0.0.1 for one conversation, run in a thread of its own: it records
// the envelope and the message, and can refuse a recipient or a password. Every wait is bounded.
#include <QByteArray>
#include <QString>
#include <QStringList>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace velcaris::test {

class SmtpTestServer {
public:
    struct Options {
        QStringList refusedRecipients;
        QString password;          // with a password, AUTH PLAIN is offered and checked
    };

    explicit SmtpTestServer(Options options = {}) : options_(std::move(options))
    {
        listener_ = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        address.sin_port = 0;
        int yes = 1;
        ::setsockopt(listener_, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
        if (::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 && ::listen(listener_, 1) == 0) {
            socklen_t length = sizeof address;
            ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length);
            port_ = ntohs(address.sin_port);
        }
        thread_ = std::thread([this] { serve(); });
    }
    ~SmtpTestServer()
    {
        finish();
        ::close(listener_);
    }

    int port() const { return port_; }
    // Waits (boundedly: every read times out) for the conversation to end; results are then safe to read.
    void finish()
    {
        if (thread_.joinable())
            thread_.join();
    }

    // A port on which nothing listens.
    static int closedPort()
    {
        const int s = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address);
        socklen_t length = sizeof address;
        ::getsockname(s, reinterpret_cast<sockaddr*>(&address), &length);
        ::close(s);
        return ntohs(address.sin_port);
    }

    QString mailFrom;
    QStringList recipients; // accepted RCPT TO addresses
    QByteArray data;        // the message, dot-stuffing undone
    QString authUser;
    bool authenticated = false;
    bool dataReceived = false;

private:
    static constexpr int kTimeoutMs = 10000;
    static constexpr int kMaxCommands = 500;

    bool readLine(int fd, QByteArray& line)
    {
        line.clear();
        for (int guard = 0; guard < 1 << 24; ++guard) {
            const qsizetype end = buffer_.indexOf("\r\n");
            if (end >= 0) {
                line = buffer_.left(end);
                buffer_.remove(0, end + 2);
                return true;
            }
            pollfd p{fd, POLLIN, 0};
            if (::poll(&p, 1, kTimeoutMs) <= 0)
                return false;
            char chunk[4096];
            const ssize_t n = ::recv(fd, chunk, sizeof chunk, 0);
            if (n <= 0)
                return false;
            buffer_.append(chunk, n);
        }
        return false;
    }
    static void reply(int fd, const QByteArray& text)
    {
        const QByteArray out = text + "\r\n";
        ::send(fd, out.constData(), size_t(out.size()), MSG_NOSIGNAL);
    }
    static QString angleAddress(const QByteArray& line)
    {
        const qsizetype open = line.indexOf('<');
        const qsizetype close = line.indexOf('>', open);
        return open < 0 || close < 0 ? QString() : QString::fromUtf8(line.mid(open + 1, close - open - 1));
    }
    void checkPlain(int fd, const QByteArray& encoded)
    {
        const QList<QByteArray> parts = QByteArray::fromBase64(encoded).split('\0');
        authUser = parts.value(1);
        authenticated = parts.value(2) == options_.password.toUtf8();
        reply(fd, authenticated ? "235 2.7.0 Authentication successful" : "535 5.7.8 Error: authentication failed: credenziali errate");
    }

    void serve()
    {
        pollfd p{listener_, POLLIN, 0};
        if (port_ == 0 || ::poll(&p, 1, kTimeoutMs) <= 0)
            return;
        const int fd = ::accept(listener_, nullptr, nullptr);
        if (fd < 0)
            return;
        reply(fd, "220 127.0.0.1 ESMTP prova");
        QByteArray line;
        for (int commands = 0; commands < kMaxCommands && readLine(fd, line); ++commands) {
            const QByteArray verb = line.left(4).toUpper();
            if (verb == "EHLO") {
                reply(fd, options_.password.isEmpty() ? "250-127.0.0.1\r\n250 8BITMIME" : "250-127.0.0.1\r\n250-AUTH PLAIN\r\n250 8BITMIME");
            } else if (verb == "HELO" || verb == "RSET" || verb == "NOOP") {
                reply(fd, "250 OK");
            } else if (verb == "AUTH") {
                const QList<QByteArray> words = line.split(' ');
                if (words.size() >= 3) {
                    checkPlain(fd, words[2]);
                } else {
                    reply(fd, "334 ");
                    QByteArray answer;
                    if (!readLine(fd, answer))
                        break;
                    checkPlain(fd, answer);
                }
            } else if (verb == "MAIL") {
                mailFrom = angleAddress(line);
                reply(fd, "250 2.1.0 Ok");
            } else if (verb == "RCPT") {
                const QString address = angleAddress(line);
                if (options_.refusedRecipients.contains(address)) {
                    reply(fd, "550 5.1.1 <" + address.toUtf8() + ">: Recipient address rejected: utente sconosciuto");
                } else {
                    recipients << address;
                    reply(fd, "250 2.1.5 Ok");
                }
            } else if (verb == "DATA") {
                reply(fd, "354 End data with <CR><LF>.<CR><LF>");
                QByteArray body;
                bool complete = false;
                while (readLine(fd, line)) {
                    if (line == ".") {
                        complete = true;
                        break;
                    }
                    body += (line.startsWith("..") ? line.mid(1) : line) + "\r\n";
                }
                if (!complete)
                    break;
                data = body;
                dataReceived = true;
                reply(fd, "250 2.0.0 Ok: queued");
            } else if (verb == "QUIT") {
                reply(fd, "221 2.0.0 Bye");
                break;
            } else {
                reply(fd, "502 5.5.2 Error: command not recognized");
            }
        }
        ::close(fd);
    }

    Options options_;
    int listener_ = -1;
    int port_ = 0;
    QByteArray buffer_;
    std::thread thread_;
};

} // namespace velcaris::test
