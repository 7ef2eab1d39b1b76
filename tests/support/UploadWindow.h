#pragma once

#include "shell/CMainFrame.h"
#include "shell/CTarvoClientView.h"
#include "shell/PageEnv.h"
#include "support/ScriptedFiles.h"
#include "support/UploadCounter.h"
#include "upload/UploadController.h"

#include <QEventLoop>
#include <QTimer>

#include <functional>
#include <memory>

// A main window with one page (made by `make`) and the upload controller,
// put together as the desktop client does, over an UploadCounter.
template <class Page> struct UploadWindow {
    UploadWindow(UploadCounter &c, std::function<Page *(quarvel::PageEnv &, QWidget *)> make) : counter(c)
    {
        using namespace quarvel;
        auto *view = new CTarvoClientView([this, make](int, QWidget *parent) {
            page = make(env, parent);
            return page;
        });
        frame = std::make_unique<CMainFrame>(view, c.prompter);
        CMainFrame::SessionView s;
        s.loggedIn = [&c] { return c.context.session().loggedIn(); };
        s.ensureLoggedIn = [&c] { return c.context.session().loggedIn(); };
        frame->setSessionView(s);
        view->ShowPage(0);
        controller = std::make_unique<UploadController>(c.context, *frame);
        controller->registerPage(0, UploadKind::Shipments, page);
        controller->attach();
    }

    // Runs the event loop until the controller reports the end of the run.
    bool waitForEnd(quarvel::UploadEnding &ending)
    {
        QEventLoop loop;
        bool ended = false;
        QObject::connect(controller.get(), &quarvel::UploadController::ended, &loop, [&](quarvel::UploadEnding e) {
            ended = true;
            ending = e;
            loop.quit();
        });
        QTimer::singleShot(15000, &loop, &QEventLoop::quit);
        if (controller->running())
            loop.exec();
        return ended;
    }

    UploadCounter &counter;
    ScriptedFiles files;
    quarvel::PageEnv env{counter.context, counter.prompter, files, {}};
    Page *page = nullptr;
    std::unique_ptr<quarvel::CMainFrame> frame;
    std::unique_ptr<quarvel::UploadController> controller;
};
