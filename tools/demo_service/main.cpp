// tarvenia-demo-service: a local stand-in for the photo service, for trying
// the client out and for its tests. Point the client at it with
// http_proxy=http://127.0.0.1:PORT; the service's own addresses then reach
// this process unchanged.
#include "demo_server.h"

#include <csignal>
#include <cstdio>
#include <iostream>
#include <pthread.h>
#include <thread>

int main(int argc, char** argv)
{
    demo::DemoOptions options;
    try {
        options = demo::ParseOptions(argc, argv);
    } catch (const std::exception& e) {
        std::cerr << e.what();
        return 2;
    }

    // Ctrl-C and SIGTERM are taken by a thread of their own, which stops the
    // server from outside any signal handler.
    sigset_t stop_signals;
    sigemptyset(&stop_signals);
    sigaddset(&stop_signals, SIGINT);
    sigaddset(&stop_signals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stop_signals, nullptr);
    std::signal(SIGPIPE, SIG_IGN);

    try {
        demo::DemoServer server(options);
        int port = server.Bind();
        if (port <= 0) {
            std::cerr << "cannot listen on 127.0.0.1 port " << options.port << "\n";
            return 1;
        }
        // Joined before the server goes: a detached thread could still be
        // inside Stop() while the server is being destroyed.
        std::thread stopper([&server, stop_signals] {
            int sig = 0;
            sigwait(&stop_signals, &sig);
            server.Stop();
        });
        // On every way out, before the server: Run also ends without a
        // signal when listening fails, so the thread is woken first (a signal
        // it took already leaves this one pending and harmless).
        struct JoinStopper {
            std::thread& thread;
            ~JoinStopper()
            {
                pthread_kill(thread.native_handle(), SIGTERM);
                thread.join();
            }
        } join_stopper { stopper };
        std::cout << "listening on http://127.0.0.1:" << port << std::endl;
        std::cout << "  service " << demo::kServiceHost << ", newest photo "
                  << server.Catalog().NewestKey() << ", " << server.Catalog().Photos().size()
                  << " catalog lines" << std::endl;
        server.Run();
        std::cout << "stopped" << std::endl;
    } catch (const std::exception& e) {
        std::cerr << "tarvenia-demo-service: " << e.what() << "\n";
        return 1;
    }
    return 0;
}
