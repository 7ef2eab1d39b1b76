#include "OfficeEngine.h"

#include "OfficeBackend.h"
#include "OfficeDocument.h"

#include <QDir>
#include <QFileInfo>

#include <atomic>
#include <chrono>
#include <mutex>
#include <thread>

#include <dlfcn.h>
#include <signal.h>

namespace quarvel {

namespace {

const QString kOfficeGone = QStringLiteral("LibreOffice服务意外中止,本次操作没有完成。\r\n请重新操作。");
const QString kDefaultProgramFolder = QStringLiteral("/usr/lib/libreoffice/program");
const QString kModuleName = QStringLiteral("libquarvel_office_uno.so");
constexpr int kLaunchAttempts = 3;
// An office that does not end within this time is killed.
constexpr int kStopPatienceMs = 10000;

std::atomic<OfficeEngine *> processEngineInstance{nullptr};

// Writing to an office that has died raises SIGPIPE; the failed call is
// reported instead. A handler the program installed itself stays.
void ignoreBrokenPipes()
{
    struct sigaction current {};
    if (::sigaction(SIGPIPE, nullptr, &current) == 0 && current.sa_handler == SIG_DFL) {
        struct sigaction ignore {};
        ignore.sa_handler = SIG_IGN;
        ::sigaction(SIGPIPE, &ignore, nullptr);
    }
}

QString withDefault(const QString &value, const QString &fallback)
{
    return value.isEmpty() ? fallback : value;
}

} // namespace

OfficeEngine::OfficeEngine() : OfficeEngine(Options())
{
}

OfficeEngine::OfficeEngine(const Options &options)
    : options_(options), process_(withDefault(options.programFolder, kDefaultProgramFolder),
                                  withDefault(options.profileBase, OfficeProcess::defaultProfileBase()))
{
    ignoreBrokenPipes();
}

OfficeEngine::~OfficeEngine()
{
    onOfficeThread(
        [this] {
            stopOffice();
            backend_.reset();
        },
        kStopPatienceMs);
}

OfficeEngine &OfficeEngine::processEngine()
{
    static std::once_flag made;
    std::call_once(made, [] { processEngineInstance = new OfficeEngine(); });
    return *processEngineInstance.load();
}

void OfficeEngine::shutdownProcessEngine()
{
    if (OfficeEngine *engine = processEngineInstance.load())
        engine->shutdown();
}

void OfficeEngine::onOfficeThread(const std::function<void()> &job, int patienceMs)
{
    thread_.run(job, patienceMs, [this] { process_.kill(); });
}

bool OfficeEngine::start(QString *errorText)
{
    bool ok = false;
    QString error;
    onOfficeThread([&] { ok = ensureRunning(error); }, options_.startTimeoutMs * kLaunchAttempts + 30000);
    if (!ok && errorText)
        *errorText = error;
    return ok;
}

std::unique_ptr<SpreadsheetDocument> OfficeEngine::create(const QString &path, QString *errorText)
{
    return openDocument([&](OfficeBackend &b, QString &e) { return b.create(path, e); }, errorText);
}

std::unique_ptr<SpreadsheetDocument> OfficeEngine::open(const QString &path, Access access, QString *errorText)
{
    return openDocument([&](OfficeBackend &b, QString &e) { return b.open(path, access == Access::Read, e); },
                        errorText);
}

std::unique_ptr<SpreadsheetDocument> OfficeEngine::openForImport(const QString &path, const SheetFileFormat &format,
                                                                 QString *errorText)
{
    return openDocument([&](OfficeBackend &b, QString &e) { return b.openImport(path, format, e); }, errorText);
}

std::unique_ptr<SpreadsheetDocument>
OfficeEngine::openDocument(const std::function<int(OfficeBackend &, QString &)> &op, QString *errorText)
{
    int id = 0;
    quint64 generation = 0;
    QString error;
    onOfficeThread(
        [&] {
            if (!ensureRunning(error)) {
                error = QStringLiteral("无法启动LibreOffice服务!\r\n") + error;
                return;
            }
            id = op(*backend_, error);
            generation = generation_;
            if (id == 0 && (!backend_->connected() || !process_.running())) {
                lose();
                error = kOfficeGone;
            }
        },
        options_.startTimeoutMs * kLaunchAttempts + options_.callPatienceMs);
    if (id == 0) {
        if (errorText)
            *errorText = error;
        return nullptr;
    }
    return std::make_unique<OfficeDocument>(*this, id, generation);
}

bool OfficeEngine::call(quint64 generation, const Operation &op, QString &error)
{
    bool ok = false;
    onOfficeThread(
        [&] {
            if (!connected_ || generation != generation_ || !backend_) {
                error = kOfficeGone;
                return;
            }
            ok = op(*backend_, error);
            if (!ok && (!backend_->connected() || !process_.running())) {
                lose();
                error = kOfficeGone;
            }
        },
        options_.callPatienceMs);
    return ok;
}

void OfficeEngine::closeDocument(quint64 generation, int id)
{
    onOfficeThread(
        [&] {
            if (connected_ && generation == generation_ && backend_)
                backend_->close(id);
        },
        options_.callPatienceMs);
}

void OfficeEngine::shutdown()
{
    onOfficeThread([this] { stopOffice(); }, kStopPatienceMs);
}

qint64 OfficeEngine::officeProcessId() const
{
    return process_.pid();
}

int OfficeEngine::openDocumentCount()
{
    int count = 0;
    onOfficeThread([&] { count = connected_ && backend_ ? backend_->documentCount() : 0; }, options_.callPatienceMs);
    return count;
}

bool OfficeEngine::ensureRunning(QString &error)
{
    if (connected_ && backend_->connected() && process_.running())
        return true;
    if (connected_)
        lose();
    return loadBackend(error) && launchAndConnect(error);
}

bool OfficeEngine::launchAndConnect(QString &error)
{
    using Clock = std::chrono::steady_clock;
    for (int attempt = 0; attempt < kLaunchAttempts; ++attempt) {
        if (!process_.launch(error))
            return false;
        const auto deadline = Clock::now() + std::chrono::milliseconds(options_.startTimeoutMs);
        for (;;) {
            QString why;
            const OfficeBackend::Connection c = backend_->connect(process_.pipeName(), why);
            if (c == OfficeBackend::Connection::Connected) {
                connected_ = true;
                ++generation_;
                return true;
            }
            if (c == OfficeBackend::Connection::Failed) {
                process_.stop(0);
                error = why;
                return false;
            }
            if (!process_.running())
                break;
            if (Clock::now() >= deadline) {
                process_.stop(0);
                error = QStringLiteral("LibreOffice在%1秒内没有响应。").arg(options_.startTimeoutMs / 1000);
                return false;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        // A new profile makes the first start end with a request to start again.
        const int code = process_.exitCode();
        process_.stop(0);
        if (code != OfficeProcess::kRestartExitCode) {
            error = QStringLiteral("LibreOffice启动后退出(退出码%1)。").arg(code);
            return false;
        }
    }
    error = QStringLiteral("LibreOffice反复要求重新启动。");
    return false;
}

bool OfficeEngine::loadBackend(QString &error)
{
    if (backend_)
        return true;
    for (const QString &path : modulePaths()) {
        if (!QFileInfo::exists(path))
            continue;
        // The module stays loaded for the life of the process: UNO does not unload.
        void *module = ::dlopen(QFile::encodeName(path).constData(), RTLD_NOW | RTLD_LOCAL);
        if (!module) {
            error = QString::fromLocal8Bit(::dlerror());
            return false;
        }
        auto factory = reinterpret_cast<OfficeBackendFactory>(::dlsym(module, kOfficeBackendFactoryName));
        if (!factory) {
            error = QString::fromLocal8Bit(::dlerror());
            return false;
        }
        backend_.reset(factory());
        return true;
    }
    error = QStringLiteral("找不到LibreOffice接口模块") + kModuleName + u'.';
    return false;
}

QStringList OfficeEngine::modulePaths() const
{
    if (!options_.modulePath.isEmpty())
        return {options_.modulePath};
    const QString programDir = QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath();
    const QDir dir = QFileInfo(programDir).dir();
    return {dir.filePath(kModuleName), dir.filePath(QStringLiteral("../lib/quarvel/") + kModuleName),
            QStringLiteral(QUARVEL_OFFICE_MODULE_PATH)};
}

void OfficeEngine::lose()
{
    if (backend_)
        backend_->drop();
    connected_ = false;
    process_.stop(0);
}

void OfficeEngine::stopOffice()
{
    if (connected_ && backend_ && process_.running()) {
        backend_->terminate();
        process_.stop(5000);
    }
    if (backend_)
        backend_->drop();
    connected_ = false;
    process_.stop(0);
}

} // namespace quarvel
