#pragma once

#include "app/ScriptedPrompter.h"
#include "listpane/CRecordListPane.h"
#include "net/BaseDataDownload.h"
#include "net/LoginForm.h"
#include "shell/CMainFrame.h"
#include "shell/CTarvoClientView.h"
#include "shell/ClientProgram.h"
#include "support/GuiApplication.h"
#include "support/ScriptedFiles.h"
#include "support/TarvoServer.h"
#include "support/TempRoot.h"

#include <QAction>
#include <QDeadlineTimer>
#include <QTest>

#include <functional>
#include <memory>

// The desktop client started exactly as `quarvel` starts it (ClientProgram,
// the same start-up as main), on a fresh root folder, with scripted answers
// and file names instead of message boxes and dialogs. With a server it
// first starts tarvo-server --demo on loopback and writes the installation's
// server.cfg for it, so the start-up reads the configuration as it would in
// the field.
class ClientWindow {
public:
    struct Options {
        bool server = true;
        bool testHooks = true;
        bool show = false;
        int timeoutMs = 5000;
        // Runs before the program starts: puts files into the root folder.
        std::function<void(TempRoot &)> prepare;
    };

    ClientWindow() : ClientWindow(Options()) {}
    explicit ClientWindow(const Options &options)
    {
        guiApplication();
        if (options.server) {
            TarvoServer::Options o;
            if (options.testHooks)
                o.extra = QStringList{QStringLiteral("--test-hooks"), QStringLiteral("--quiet")};
            if (!server.start(o))
                return;
            root.write(QStringLiteral("DATA_SYS/server.cfg"), "host=" + server.host().toLatin1() + "\nsite=DEMO\n");
        }
        if (options.prepare)
            options.prepare(root);
        program = std::make_unique<quarvel::ClientProgram>(root.path(), prompter, files);
        started_ = program->InitInstance(options.show);
        if (started_ && options.server)
            context().session().setTimeouts({options.timeoutMs, options.timeoutMs, options.timeoutMs});
    }

    ~ClientWindow()
    {
        if (started_)
            program->ExitInstance();
    }

    bool started() const { return started_; }
    quarvel::ClientContext &context() { return program->context(); }
    quarvel::CMainFrame &frame() { return *program->frame(); }
    quarvel::CTarvoClientView &view() { return frame().view(); }

    // Downloads the base data and logs in as the window's login dialog would.
    bool login(const QString &account = QStringLiteral("demo"), const QString &password = QStringLiteral("demo"))
    {
        quarvel::ServerSession &s = context().session();
        if (quarvel::BaseDataDownload::Fetch(s, context().baseDataPath()) != quarvel::BaseDataDownload::Stored ||
            !context().baseData().LoadBaseData(context().baseDataPath()))
            return false;
        quarvel::LoginForm form(s, context().lastAccountPath());
        form.Open();
        form.account = account;
        form.password = password;
        const bool ok = form.Confirm(prompter);
        frame().RefreshCaption();
        return ok;
    }

    // Shows a page through the frame's own command and returns it.
    template <class Page = quarvel::CRecordListPane> Page *showPage(int index)
    {
        view().ShowPage(index);
        return dynamic_cast<Page *>(view().page(index));
    }

    // The menu entry of a frame command (the toolbar buttons share it).
    QAction *action(quarvel::Command command) { return frame().action(command); }

    // Sends a key to the frame as the operator presses it.
    void press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::keyClick(&frame(), static_cast<Qt::Key>(key), modifiers);
    }

    // Runs the event loop until `done` holds or the time is up.
    template <class Done> static bool waitFor(Done done, int ms = 15000)
    {
        const QDeadlineTimer deadline(ms);
        while (!done()) {
            if (deadline.hasExpired())
                return false;
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        }
        return true;
    }

    TempRoot root;
    TarvoServer server;
    quarvel::ScriptedPrompter prompter;
    ScriptedFiles files;
    std::unique_ptr<quarvel::ClientProgram> program;

private:
    bool started_ = false;
};
