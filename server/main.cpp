#include "BalanceOperation.h"
#include "BaseDataText.h"
#include "Database.h"
#include "DeletePreOperation.h"
#include "DemoData.h"
#include "FreightOperation.h"
#include "HttpFront.h"
#include "InfoOperation.h"
#include "ListOperation.h"
#include "LoginService.h"
#include "QuoteOperation.h"
#include "ScanOperation.h"
#include "Schema.h"
#include "ServerOptions.h"
#include "Sessions.h"
#include "SysModelText.h"
#include "TrackPage.h"
#include "TransService.h"
#include "UploadOperation.h"
#include "WaybillOperation.h"
#include "app/ProgramVersion.h"

#include <csignal>
#include <cstdio>
#include <ctime>
#include <pthread.h>
#include <thread>

using namespace quarvel::server;

int main(int argc, char **argv)
{
    std::string error;
    const ServerOptions options = ServerOptions::parse(std::vector<std::string>(argv + 1, argv + argc), error);
    if (options.help) {
        std::fputs(ServerOptions::usage().c_str(), stdout);
        return 0;
    }
    if (options.version && error.empty()) {
        std::printf("%s\n", quarvel::ProgramVersion::Line(QStringLiteral("tarvo-server")).toUtf8().constData());
        return 0;
    }
    if (!error.empty()) {
        std::fprintf(stderr, "tarvo-server: %s\n\n%s", error.c_str(), ServerOptions::usage().c_str());
        return 2;
    }

    // SIGINT and SIGTERM are taken by one thread that stops the server; the
    // request threads inherit the blocked mask.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
    std::signal(SIGPIPE, SIG_IGN);

    try {
        Database db(options.dataFile);
        Schema::apply(db);
        if (options.demo)
            DemoData::seed(db);
        Sessions sessions(db);
        LoginService login(db, sessions, options.timeWindowSeconds, [] { return std::time(nullptr); });
        BaseDataText baseData(db);
        TransService trans(db, sessions);
        trans.add(std::make_unique<UploadOperation>());
        trans.add(std::make_unique<FreightOperation>());
        trans.add(std::make_unique<ScanOperation>());
        trans.add(std::make_unique<BalanceOperation>());
        trans.add(std::make_unique<QuoteOperation>());
        trans.add(std::make_unique<ListOperation>(ListOperation::List::Shipments));
        trans.add(std::make_unique<ListOperation>(ListOperation::List::Settlements));
        trans.add(std::make_unique<ListOperation>(ListOperation::List::PreEntries));
        trans.add(std::make_unique<InfoOperation>());
        trans.add(std::make_unique<DeletePreOperation>());
        trans.add(std::make_unique<WaybillOperation>());
        SysModelText templates(db);

        TrackPage track(db);
        HttpFront front(options, login, baseData, trans, templates);
        front.setTrackPage(&track);
        const int port = front.bind();
        if (port <= 0) {
            std::fprintf(stderr, "tarvo-server: cannot listen on %s:%d\n", options.address.c_str(), options.port);
            return 1;
        }
        std::printf("listening %s:%d\n", options.address.c_str(), port);
        std::fflush(stdout);

        std::thread stopper([&] {
            int signal = 0;
            sigwait(&stopSignals, &signal);
            front.stop();
        });
        const bool ran = front.run();
        // Wakes the stopper when the server ended by itself.
        pthread_kill(stopper.native_handle(), SIGTERM);
        stopper.join();
        return ran ? 0 : 1;
    } catch (const std::exception &e) {
        std::fprintf(stderr, "tarvo-server: %s\n", e.what());
        return 1;
    }
}
