#include "app/ClientContext.h"

#include "app/ShippedData.h"
#include "net/LastAccount.h"
#include "print/TemplateFiles.h"

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

} // namespace

ClientContext::ClientContext(const QString &rootFolder)
    : root_(rootFolder.isEmpty() ? QString() : withSlash(QDir(rootFolder).absolutePath())), freeSpace_(&FreeBytes),
      config_(path(ServerConfig::fileName())), templates_(modelFolder()), printLedger_(path(PrintLedger::fileName())),
      shippedData_(ShippedData::Folder())
{
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
    if (!MakeWorkFolders(prompter) || !CheckFreeSpace(prompter) || !OpenRecordFiles(prompter, mode))
        return false;
    LoadServerData();
    return true;
}

void ClientContext::StartAfterWindow(Prompter &)
{
    LoadPromptPhrases();
    LoadPrintTemplates();
    LoadGoodsNames();
    LoadProgramSettings();
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

void ClientContext::LoadServerData()
{
    config_.Load();
    config_.applyTo(session_);
    baseData_.LoadBaseData(baseDataPath());
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
    struct Step {
        std::function<int()> open;
        RecordFile *file;
        QString what;
    };
    const Step steps[] = {
        {[&] { return contacts_.OpenRecords(path(QStringLiteral("DATA/rsdata.dat")), mode); }, &contacts_,
         QStringLiteral("收/发件人")},
        {[&] { return preInputs_.OpenRecords(path(QStringLiteral("DATA/recinput.dat")), mode); }, &preInputs_,
         QStringLiteral("预录业务")},
        {[&] { return goods_.OpenRecords(path(QStringLiteral("DATA/recgoods.dat")), mode); }, &goods_,
         QStringLiteral("预录物品")},
        {[&] { return weights_.OpenRecords(path(QStringLiteral("DATA/recweight.dat")), mode); }, &weights_,
         QStringLiteral("预录重量")},
        {[&] { return checks_.OpenRecords(path(QStringLiteral("DATA/reccheck.dat")), mode); }, &checks_,
         QStringLiteral("检查点扫描")},
    };
    for (const Step &step : steps) {
        step.open();
        if (!step.file->IsOpen()) {
            prompter.error(QString(), step.what + kFileFailure);
            return false;
        }
        if (!step.file->repairText().isEmpty())
            prompter.warning(QString(), step.file->repairText());
    }
    return true;
}

bool ClientContext::SaveProgramSettings(Prompter &prompter)
{
    if (settings_.Save(path(QStringLiteral("prgset.dat"))))
        return true;
    prompter.error(QString(), QStringLiteral("Open file error !"));
    return false;
}

void ClientContext::FlushRecords()
{
    for (RecordFile *f : std::initializer_list<RecordFile *>{&contacts_, &preInputs_, &goods_, &weights_, &checks_})
        if (f->IsOpen())
            f->Flush();
}

void ClientContext::Shutdown()
{
    if (!root_.isEmpty())
        SaveLastAccount(session_, lastAccountPath());
    FlushRecords();
    for (RecordFile *f : std::initializer_list<RecordFile *>{&contacts_, &preInputs_, &goods_, &weights_, &checks_})
        f->Close();
}

} // namespace quarvel
