// A port on 127.0.0.1 that never answers a connection attempt: its listening
// socket never accepts and its one-place queue is kept full, so the kernel
// drops every new request and the client stays in the connecting state until
// it gives up.
#pragma once

#include <QtGlobal>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

class UnansweredPort
{
public:
    UnansweredPort()
    {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        m_listener = ::socket(AF_INET, SOCK_STREAM, 0);
        if (m_listener < 0 || ::bind(m_listener, reinterpret_cast<sockaddr *>(&address), length) != 0
            || ::listen(m_listener, 0) != 0
            || ::getsockname(m_listener, reinterpret_cast<sockaddr *>(&address), &length) != 0)
            return;
        // The connection that fills the queue.
        m_filler = ::socket(AF_INET, SOCK_STREAM, 0);
        if (m_filler < 0 || ::connect(m_filler, reinterpret_cast<sockaddr *>(&address), length) != 0)
            return;
        m_port = ntohs(address.sin_port);
    }
    ~UnansweredPort()
    {
        if (m_filler >= 0)
            ::close(m_filler);
        if (m_listener >= 0)
            ::close(m_listener);
    }
    UnansweredPort(const UnansweredPort &) = delete;
    UnansweredPort &operator=(const UnansweredPort &) = delete;

    // 0 when the port could not be set up.
    quint16 port() const { return m_port; }

    // From now on the port answers: the queue is emptied and made longer, so
    // the kernel completes the next connection attempt (never accepted).
    void answerFromNowOn()
    {
        if (m_listener < 0)
            return;
        const int queued = ::accept(m_listener, nullptr, nullptr);
        if (queued >= 0)
            ::close(queued);
        if (m_filler >= 0)
            ::close(m_filler);
        m_filler = -1;
        ::listen(m_listener, 8);
    }

private:
    int m_listener = -1;
    int m_filler = -1;
    quint16 m_port = 0;
};
