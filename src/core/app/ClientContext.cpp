#include "app/ClientContext.h"

#include "app/ProgramVersion.h"
#include "app/ShippedData.h"
#include "app/SupportLog.h"
#include "excel/PrintDestination.h"
#include "excel/WorkbookProbe.h"
#include "net/LastAccount.h"
#include "print/BarcodeFonts.h"
#include "print/PrintRetention.h"
#include "print/TemplateFiles.h"
#include "print/TemplatePairWrite.h"
#include "print/WorkFiles.h"
#include "scale/ScaleLink.h"
#include "storage/LineRepair.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <sys/statvfs.h>

namespace quarvel {

namespace {

QString withSlash(const QString &folder)
{
    return folder.endsWith(u'/') ? folder : folder + u'/';
}

const QString kFileFailure = QStringLiteral("数据文件打开失败\r\n请检查是否共享冲突!\r\n程序将不会被启动！\r\n");
const QString kNotStarted = QStringLiteral("\r\n程序将不会被启动！\r\n");

QString openFailureText(const RecordFile &file, const QString &what)
{
    switch (file.failure()) {
    case RecordFile::Failure::Damaged:
        return what + QStringLiteral("数据文件已损坏：%1\r\n%2").arg(file.path(), file.failureReason()) + kNotStarted;
    case RecordFile::Failure::System:
        return what + QStringLiteral("数据文件打开失败：%1\r\n%2").arg(file.path(), file.failureReason()) + kNotStarted;
    default:
        return what + kFileFailure;
    }
}

} // namespace

struct ClientContext::FileStep {
    std::function<int()> open;
    RecordFile *file;
    QString name;
    QString what;
};

ClientContext::ClientContext(const QString &rootFolder)
    : root_(rootFolder.isEmpty() ? QString() : withSlash(QDir(rootFolder).absolutePath())), freeSpace_(&FreeBytes),
      scale_(std::make_unique<ScaleLink>(scaleSettings_, scaleDevice_)),
      uploadJournal_(path(UploadJournal::fileName())), uploadResults_(path(UploadResultBook::fileName())),
      uploadLedger_(path(UploadLedger::folderName())), note_(path(CleanCloseNote::fileName())),
      config_(path(ServerConfig::fileName())), templates_(modelFolder()), printLedger_(path(PrintLedger::fileName())),
      shippedData_(ShippedData::Folder())
{
    templates_.setWorkbookCheck(
        [this](const QByteArray &bytes) { return WorkbookProbe::Opens(spreadsheetEngine_, tempFolder(), bytes); });
}

ClientContext::~ClientContext()
{
    Shutdown();
}

QString ClientContext::applicationTitle()
{
    return QStringLiteral("Quarvel-客户端");
}

QString ClientContext::programFolder()
{
    const QString dir = QCoreApplication::instance() ? QCoreApplication::applicationDirPath() : QString();
    return dir.isEmpty() ? QString() : withSlash(dir);
}

qint64 ClientContext::FreeBytes(const QString &folder)
{
    struct statvfs st {};
    if (::statvfs(QFile::encodeName(folder).constData(), &st) != 0)
        return -1;
    return static_cast<qint64>(st.f_bavail) * static_cast<qint64>(st.f_frsize);
}

bool ClientContext::Start(Prompter &prompter, RecordFile::Mode mode)
{
    if (!StartBeforeWindow(prompter, mode))
        return false;
    StartAfterWindow(prompter);
    return true;
}

bool ClientContext::StartBeforeWindow(Prompter &prompter, RecordFile::Mode mode)
{
    if (root_.isEmpty()) {
        prompter.error(QString(), QStringLiteral("系统路径搜索错误!"));
        return false;
    }
    if (!MakeWorkFolders(prompter))
        return false;
    SupportLog::Process().setFolder(SupportLog::FolderOf(root_));
    SupportLog::Process().Write(
        QStringLiteral("start"),
        QStringLiteral("%1 %2, root %3").arg(QCoreApplication::applicationName(), ProgramVersion::Text(), root_));
    if (!CheckFreeSpace(prompter) || !OpenRecordFiles(prompter, mode))
        return false;
    if (mode == RecordFile::Mode::ReadWrite)
        FinishUploads();
    LoadServerData(prompter);
    return true;
}

void ClientContext::StartAfterWindow(Prompter &prompter)
{
    LoadPromptPhrases(prompter);
    LoadScaleSettings(prompter);
    InstallBarcodeFonts(prompter);
    TidyPrintFiles(prompter);
    LoadPrintTemplates();
    LoadGoodsNames();
    QStringList printDamage;
    PrintDestination::Load(root_, &printDamage);
    reportDamage(prompter, QStringLiteral("DATA_SYS/") + QLatin1String(PrintDestination::kFileName),
                 printDamage.join(QStringLiteral("；")));
    reportDamage(prompter, QStringLiteral("DATA_SYS/last.dat"), LastAccountDamage(lastAccountPath()));
    LoadProgramSettings(prompter);
}

void ClientContext::InstallBarcodeFonts(Prompter &prompter)
{
    if (shippedData_.isEmpty())
        return;
    const BarcodeFonts::Outcome outcome =
        BarcodeFonts(shippedData_ + QStringLiteral("/fonts"), BarcodeFonts::Places::OfUser()).EnsureAvailable();
    if (!outcome.problem.isEmpty())
        prompter.warning(QString(), outcome.problem);
}

void ClientContext::TidyPrintFiles(Prompter &prompter)
{
    if (const QString finished = TemplatePairWrite::Recover(modelFolder()); !finished.isEmpty())
        prompter.warning(QString(), finished);
    WorkFiles::RemoveOrphans(tempFolder());
    QStringList damage;
    const PrintRetention::Limits limits = PrintRetention::Load(root_, &damage);
    reportDamage(prompter, QStringLiteral("DATA_SYS/") + QLatin1String(PrintDestination::kFileName),
                 damage.join(QStringLiteral("；")));
    const PrintRetention::Pruned pruned = PrintRetention::Prune(printLedger_, limits, now());
    if (!pruned.error.isEmpty())
        prompter.warning(QString(), QStringLiteral("已删除 %1 个过期的打印文件，但打印记录没能标记：\r\n%2")
                                        .arg(pruned.files)
                                        .arg(pruned.error));
}

void ClientContext::LoadPrintTemplates()
{
    if (!shippedData_.isEmpty())
        TemplateFiles::CopyMissing(shippedData_ + QStringLiteral("/DATA_MODEL"), modelFolder());
    templates_.LoadDefaultTemplates();
}

void ClientContext::LoadGoodsNames()
{
    const QString file = path(GoodsNameDictionary::fileName());
    if (!shippedData_.isEmpty() && !QFileInfo::exists(file))
        QFile::copy(shippedData_ + u'/' + GoodsNameDictionary::fileName(), file);
    goodsNames_.Load(file);
}

void ClientContext::reportDamage(Prompter &prompter, const QString &relative, const QString &damage) const
{
    if (!damage.isEmpty())
        prompter.warning(QString(), QStringLiteral("文件%1已损坏：%2").arg(path(relative), damage));
}

void ClientContext::LoadProgramSettings(Prompter &prompter)
{
    reportDamage(prompter, QStringLiteral("prgset.dat"), settings_.Load(path(QStringLiteral("prgset.dat"))));
}

void ClientContext::LoadPromptPhrases(Prompter &prompter)
{
    reportDamage(prompter, QStringLiteral("prompt.dat"), phrases_.Load(path(QStringLiteral("prompt.dat"))));
}

void ClientContext::LoadServerData(Prompter &prompter)
{
    const ServerConfig::Trouble trouble = config_.Load();
    if (!trouble.errors.isEmpty())
        prompter.error(QString(),
                       QStringLiteral("服务器配置文件%1有误：\r\n%2\r\n改正之前不连接任何服务器。")
                           .arg(path(ServerConfig::fileName()), trouble.errors.join(QStringLiteral("\r\n"))));
    reportDamage(prompter, ServerConfig::fileName(), trouble.damage.join(QStringLiteral("；")));
    config_.applyTo(session_);
    const bool present = QFileInfo::exists(baseDataPath());
    if (!baseData_.LoadBaseData(baseDataPath()) && present)
        reportDamage(prompter, BaseData::fileName(), QStringLiteral("文件无法读取。"));
    else if (present && baseData_.kinds().isEmpty())
        reportDamage(prompter, BaseData::fileName(),
                     QStringLiteral("找不到快递类别，基本数据不可用；请重新下载基本数据。"));
}

bool ClientContext::MakeWorkFolders(Prompter &prompter)
{
    for (const char *name : {"DATA", "DATA_SYS", "DATA_TEMP", "DATA_MODEL"}) {
        const QString folder = path(QString::fromLatin1(name));
        if (QDir(folder).exists() || QDir().mkpath(folder))
            continue;
        prompter.error(QString(), QString::fromLatin1(name) == QLatin1String("DATA_TEMP")
                                      ? QStringLiteral("创建临时数据目录失败!")
                                      : QStringLiteral("创建数据目录失败!"));
        return false;
    }
    return true;
}

bool ClientContext::CheckFreeSpace(Prompter &prompter)
{
    if (freeSpace_(root_) >= kMinimumFreeBytes)
        return true;
    prompter.error(QString(), QStringLiteral("注意：工作盘剩余空间太小(<150MB),\r\n不能满足数据处理最低要求!\r\n"
                                             "程序将不会被启动！\r\n"));
    return false;
}

bool ClientContext::OpenRecordFiles(Prompter &prompter, RecordFile::Mode mode)
{
    const FileStep steps[] = {
        {[&] { return contacts_.OpenRecords(path(QStringLiteral("DATA/rsdata.dat")), mode); }, &contacts_,
         QStringLiteral("rsdata.dat"), QStringLiteral("收/发件人")},
        {[&] { return preInputs_.OpenRecords(path(QStringLiteral("DATA/recinput.dat")), mode); }, &preInputs_,
         QStringLiteral("recinput.dat"), QStringLiteral("预录业务")},
        {[&] { return goods_.OpenRecords(path(QStringLiteral("DATA/recgoods.dat")), mode); }, &goods_,
         QStringLiteral("recgoods.dat"), QStringLiteral("预录物品")},
        {[&] { return weights_.OpenRecords(path(QStringLiteral("DATA/recweight.dat")), mode); }, &weights_,
         QStringLiteral("recweight.dat"), QStringLiteral("预录重量")},
        {[&] { return checks_.OpenRecords(path(QStringLiteral("DATA/reccheck.dat")), mode); }, &checks_,
         QStringLiteral("reccheck.dat"), QStringLiteral("检查点扫描")},
    };
    const bool writer = mode == RecordFile::Mode::ReadWrite;
    note_.Load();
    for (const FileStep &step : steps)
        if (!openRecordFile(prompter, step, mode))
            return false;
    if (!writer)
        return true;
    // From here on the files change: a note that still vouched for them would
    // let a crash go unchecked at the next start.
    const QString notePath = path(CleanCloseNote::fileName());
    if (!note_.MarkOpen() && QFileInfo::exists(notePath) && !QFile::remove(notePath)) {
        prompter.error(QString(), QStringLiteral("无法写入记录文件状态%1").arg(notePath) + kNotStarted);
        return false;
    }
    ownsFiles_ = true;
    if (const std::optional<CleanCloseNote::Entry> noted = note_.entry(QStringLiteral("recinput.dat")))
        preInputs_.LoadNumberFilter(path(NumberFilter::fileName()), noted->stamp);
    if (!preInputs_.openedClean() || !goods_.openedClean() || !weights_.openedClean())
        repairLines(prompter);
    return true;
}

void ClientContext::FinishUploads()
{
    uploadJournal_.Load();
    if (const int finished = uploadJournal_.FinishAccepted(*this))
        SupportLog::Process().Write(QStringLiteral("repair"),
                                    QStringLiteral("%1 records the server had accepted before the last run ended "
                                                   "were deleted now")
                                        .arg(finished));
    uploadLedger_.Prune(QDate::currentDate());
    uploadResults_.Load();
    uploadResults_.Prune(UploadKind::Shipments, [this](int id) { return preInputs_.Find(id) != nullptr; });
    uploadResults_.Prune(UploadKind::Scans, [this](int id) { return checks_.Find(id) != nullptr; });
}

quint64 ClientContext::RecordDigest(UploadKind kind, int id) const
{
    QByteArray bytes;
    if (kind == UploadKind::Shipments) {
        if (const PreInputRecord *r = preInputs_.Find(id))
            bytes = QByteArray(reinterpret_cast<const char *>(r), sizeof *r);
    } else if (const CheckRecord *r = checks_.Find(id)) {
        bytes = QByteArray(reinterpret_cast<const char *>(r), sizeof *r);
    }
    return bytes.isEmpty() ? 0 : UploadJournal::Digest(bytes);
}

QString ClientContext::LastUploadReason(UploadKind kind, int id) const
{
    const quint64 digest = RecordDigest(kind, id);
    return digest ? uploadResults_.Reason(kind, id, digest) : QString();
}

bool ClientContext::openRecordFile(Prompter &prompter, const FileStep &step, RecordFile::Mode mode)
{
    // A reader takes the note too: what it says of a file's content holds
    // while no writer changes the file.
    if (const std::optional<CleanCloseNote::Entry> noted = note_.entry(step.name); noted && noted->closed)
        step.file->TrustCleanClose(noted->stamp);
    if (mode == RecordFile::Mode::ReadWrite) {
        if (const std::optional<CleanCloseNote::Entry> noted = note_.entry(step.name)) {
            const QString file = path(QStringLiteral("DATA/") + step.name);
            if (noted->stamp.size > 0 && QFileInfo(file).size() == 0)
                prompter.warning(QString(),
                                 QStringLiteral("%1数据文件%2现在是空的（0 字节），上次正常关闭时它有 %3 条记录。\r\n"
                                                "这些记录可能已经丢失；如有备份，请退出程序后从备份恢复。")
                                     .arg(step.what, file)
                                     .arg(noted->stamp.count));
        }
    }
    step.open();
    if (!step.file->IsOpen()) {
        prompter.error(QString(), openFailureText(*step.file, step.what));
        return false;
    }
    if (!step.file->repairText().isEmpty()) {
        SupportLog::Process().Write(QStringLiteral("repair"), step.file->repairText());
        prompter.warning(QString(), step.file->repairText());
    }
    return true;
}

void ClientContext::repairLines(Prompter &prompter)
{
    const LineRepair::Outcome outcome = LineRepair::Run(preInputs_, goods_, weights_);
    if (!outcome.changed())
        return;
    preInputs_.Flush();
    SupportLog::Process().Write(QStringLiteral("repair"), LineRepair::Text(outcome, preInputs_.path()));
    prompter.warning(QString(), LineRepair::Text(outcome, preInputs_.path()));
}

bool ClientContext::SaveProgramSettings(Prompter &prompter)
{
    if (settings_.Save(path(QStringLiteral("prgset.dat"))))
        return true;
    prompter.error(QString(), QStringLiteral("Open file error !"));
    return false;
}

void ClientContext::LoadScaleSettings(Prompter &prompter)
{
    const QString file = path(ScaleSettings::fileName());
    if (scaleSettings_.Load(file) == ScaleSettings::LoadResult::WrongSize)
        prompter.warning(QString(), ScaleSettings::WrongSizeText(QFileInfo(file).size()));
    scaleDevice_.Load(path(ScaleDevice::fileName()));
}

bool ClientContext::SaveScaleSettings()
{
    return scaleSettings_.Save(path(ScaleSettings::fileName())) && scaleDevice_.Save(path(ScaleDevice::fileName()));
}

bool ClientContext::FlushRecords(QString *failure)
{
    bool all = true;
    for (RecordFile *f : std::initializer_list<RecordFile *>{&contacts_, &preInputs_, &goods_, &weights_, &checks_}) {
        if (!f->IsOpen() || f->readOnly() || f->Flush())
            continue;
        if (all && failure)
            *failure = f->errorText();
        all = false;
    }
    return all;
}

void ClientContext::Shutdown()
{
    scale_->CloseScale();
    if (!root_.isEmpty())
        SaveLastAccount(session_, lastAccountPath());
    if (!ownsFiles_) {
        FlushRecords();
        closeRecordFiles();
        return;
    }
    ownsFiles_ = false;
    // Only a file whose every page reached the disk counts as closed cleanly;
    // the others keep "open" in the note and are checked at the next start.
    const std::pair<RecordFile *, const char *> files[] = {{&contacts_, "rsdata.dat"},
                                                           {&preInputs_, "recinput.dat"},
                                                           {&goods_, "recgoods.dat"},
                                                           {&weights_, "recweight.dat"},
                                                           {&checks_, "reccheck.dat"}};
    std::vector<std::pair<QString, RecordFile::Stamp>> closed;
    for (const auto &[file, name] : files) {
        const std::optional<RecordFile::Stamp> stamp = file->Flush() ? file->CurrentStamp() : std::nullopt;
        if (!stamp)
            continue;
        if (file == &preInputs_)
            preInputs_.SaveNumberFilter(path(NumberFilter::fileName()), *stamp);
        closed.emplace_back(QString::fromLatin1(name), *stamp);
    }
    closeRecordFiles();
    for (const auto &[name, stamp] : closed)
        note_.SetClosed(name, stamp);
    note_.Save();
}

void ClientContext::closeRecordFiles()
{
    for (RecordFile *f : std::initializer_list<RecordFile *>{&contacts_, &preInputs_, &goods_, &weights_, &checks_})
        f->Close();
}

} // namespace quarvel
