// Candidate: libmicrohttpd, one polling thread, answers from the pool via suspend/resume.
#include "pool.h"
#include <microhttpd.h>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

namespace {
Pool* pool;
struct Req {
    std::string body;
    std::string answer;
    bool done = false;
    bool started = false;
};

MHD_Result handler(void*, MHD_Connection* c, const char*, const char*, const char*,
                   const char* data, size_t* size, void** cls) {
    auto* r = static_cast<Req*>(*cls);
    if (!r) {
        *cls = new Req;
        return MHD_YES;
    }
    if (*size) {
        r->body.append(data, *size);
        *size = 0;
        return MHD_YES;
    }
    if (!r->started) {
        r->started = true;
        MHD_suspend_connection(c);
        pool->submit([r, c] {
            r->answer = answerFor(r->body);
            r->done = true;
            MHD_resume_connection(c);
        });
        return MHD_YES;
    }
    MHD_Response* resp = MHD_create_response_from_buffer(r->answer.size(), r->answer.data(),
                                                         MHD_RESPMEM_MUST_COPY);
    MHD_add_response_header(resp, "Content-Type", "application/json");
    MHD_Result ret = MHD_queue_response(c, 200, resp);
    MHD_destroy_response(resp);
    return ret;
}

void completed(void*, MHD_Connection*, void** cls, MHD_RequestTerminationCode) {
    delete static_cast<Req*>(*cls);
    *cls = nullptr;
}
} // namespace

int main(int argc, char** argv) {
    int port = argc > 1 ? atoi(argv[1]) : 18081;
    int workers = argc > 2 ? atoi(argv[2]) : 2;
    pool = new Pool(workers);
    MHD_Daemon* d = MHD_start_daemon(
        MHD_USE_INTERNAL_POLLING_THREAD | MHD_USE_EPOLL | MHD_ALLOW_SUSPEND_RESUME |
            MHD_USE_ERROR_LOG,
        uint16_t(port), nullptr, nullptr, &handler, nullptr, MHD_OPTION_NOTIFY_COMPLETED,
        &completed, nullptr, MHD_OPTION_CONNECTION_LIMIT, 10000u, MHD_OPTION_END);
    if (!d)
        return 1;
    sigset_t s;
    sigemptyset(&s);
    sigaddset(&s, SIGTERM);
    sigaddset(&s, SIGINT);
    pthread_sigmask(SIG_BLOCK, &s, nullptr);
    int sig;
    sigwait(&s, &sig);
    MHD_stop_daemon(d);
    delete pool;
}
