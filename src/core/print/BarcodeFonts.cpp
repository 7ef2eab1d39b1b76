#include "print/BarcodeFonts.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSaveFile>
#include <QStandardPaths>

#include <algorithm>

namespace quarvel {

namespace {

const QString kPlain = QStringLiteral("LibreBarcode39-Regular.ttf");
const QString kText = QStringLiteral("LibreBarcode39Text-Regular.ttf");
const QString kPlainFamily = QStringLiteral("Libre Barcode 39");
const QString kTextFamily = QStringLiteral("Libre Barcode 39 Text");

// fc-match answers from the cache in milliseconds; fc-cache may scan a while.
constexpr int kMatchMs = 15000;
constexpr int kCacheMs = 120000;

const QString kUnscannable = QStringLiteral("标签上的条码将印成普通文字，无法扫描。");

QByteArray readAll(const QString &path, bool *ok = nullptr)
{
    QFile f(path);
    const bool opened = f.open(QIODevice::ReadOnly);
    if (ok)
        *ok = opened;
    return opened ? f.readAll() : QByteArray();
}

// An absolute folder from a variable, else one below HOME; empty when neither says.
QString base(const QProcessEnvironment &env, const char *variable, const QString &underHome)
{
    const QString set = env.value(QLatin1String(variable));
    if (!set.isEmpty() && QDir::isAbsolutePath(set))
        return QDir::cleanPath(set);
    const QString home = env.value(QStringLiteral("HOME"));
    return home.isEmpty() ? QString() : QDir::cleanPath(home + u'/' + underHome);
}

} // namespace

const std::array<BarcodeFonts::Face, 4> &BarcodeFonts::Faces()
{
    static const std::array<Face, 4> faces{{{QStringLiteral("3 of 9 Barcode"), kPlainFamily, kPlain},
                                            {QStringLiteral("C39HrP24DhTt"), kTextFamily, kText},
                                            {QStringLiteral("C39HrP48DhTt"), kTextFamily, kText},
                                            {QStringLiteral("C39P24DmTt"), kPlainFamily, kPlain}}};
    return faces;
}

QStringList BarcodeFonts::DesignFiles()
{
    return {kPlain, kText};
}

QByteArray BarcodeFonts::AliasText()
{
    // "accept" puts the design right after the face name, so a real font of
    // that name still wins; "same" binds it as strongly as the name itself,
    // so a font that merely covers the document's language does not.
    QByteArray text =
        "<?xml version=\"1.0\"?>\n"
        "<!DOCTYPE fontconfig SYSTEM \"urn:fontconfig:fonts.dtd\">\n"
        "<!-- Written by the Quarvel client: the Code-39 faces of its label templates, served by the\n"
        "     Libre Barcode 39 fonts (SIL Open Font License) where no font of that name is installed. -->\n"
        "<fontconfig>\n";
    for (const Face &f : Faces())
        text += "  <alias binding=\"same\">\n    <family>" + f.name.toUtf8() + "</family>\n    <accept><family>" +
                f.family.toUtf8() + "</family></accept>\n  </alias>\n";
    return text + "</fontconfig>\n";
}

BarcodeFonts::Places BarcodeFonts::Places::OfUser(const QProcessEnvironment &environment)
{
    Places p;
    p.environment = environment;
    const QString data = base(environment, "XDG_DATA_HOME", QStringLiteral(".local/share"));
    const QString config = base(environment, "XDG_CONFIG_HOME", QStringLiteral(".config"));
    if (!data.isEmpty())
        p.fontFolder = data + QStringLiteral("/fonts");
    if (!config.isEmpty())
        p.configFolder = config + QStringLiteral("/fontconfig/conf.d");
    return p;
}

QString BarcodeFonts::tool(const QString &name) const
{
    const QStringList path = places_.environment.value(QStringLiteral("PATH")).split(u':', Qt::SkipEmptyParts);
    return path.isEmpty() ? QString() : QStandardPaths::findExecutable(name, path);
}

bool BarcodeFonts::Check(QList<FaceState> &states) const
{
    states.clear();
    const QString match = tool(QStringLiteral("fc-match"));
    if (match.isEmpty())
        return false;
    for (const Face &face : Faces()) {
        QProcess p;
        p.setProcessEnvironment(places_.environment);
        p.start(match, {QStringLiteral("-f"), QStringLiteral("%{family}\t%{file}"), face.name});
        if (!p.waitForFinished(kMatchMs) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
            p.kill();
            p.waitForFinished();
            return false;
        }
        const QString answer = QString::fromUtf8(p.readAllStandardOutput());
        FaceState state{face, false, answer.section(u'\t', 0, 0).section(u',', 0, 0), answer.section(u'\t', 1)};
        for (const QString &family : answer.section(u'\t', 0, 0).split(u','))
            if (family.compare(face.name, Qt::CaseInsensitive) == 0 ||
                family.compare(face.family, Qt::CaseInsensitive) == 0)
                state.resolves = true;
        states.append(state);
    }
    return true;
}

bool BarcodeFonts::Installed() const
{
    if (places_.fontFolder.isEmpty() || places_.configFolder.isEmpty())
        return false;
    for (const QString &file : DesignFiles()) {
        const QString target = places_.fontFolder + u'/' + file;
        const QString source = shipped_ + u'/' + file;
        if (QFileInfo(target).size() != QFileInfo(source).size() || readAll(target) != readAll(source))
            return false;
    }
    return readAll(places_.configFolder + u'/' + AliasFileName()) == AliasText();
}

BarcodeFonts::Outcome BarcodeFonts::EnsureAvailable()
{
    if (Installed())
        return {};
    QList<FaceState> states;
    if (Check(states) && std::all_of(states.cbegin(), states.cend(), [](const FaceState &s) { return s.resolves; }))
        return {};
    return Install();
}

bool BarcodeFonts::writeIfChanged(const QString &path, const QByteArray &bytes, Outcome &outcome) const
{
    if (QFileInfo(path).size() == bytes.size() && readAll(path) == bytes)
        return true;
    const QString folder = QFileInfo(path).absolutePath();
    // Written beside and renamed into place, so a second program starting at
    // the same time never reads half a font.
    QSaveFile file(path);
    const bool made = QDir().mkpath(folder);
    if (made && file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit()) {
        outcome.written << path;
        return true;
    }
    const QString why = made ? file.errorString() : QStringLiteral("无法建立文件夹");
    outcome.problem =
        QStringLiteral("条码字体无法安装到%1：%2\r\n%3").arg(QDir::toNativeSeparators(folder), why, kUnscannable);
    return false;
}

BarcodeFonts::Outcome BarcodeFonts::Install()
{
    Outcome outcome;
    if (places_.fontFolder.isEmpty() || places_.configFolder.isEmpty()) {
        outcome.problem =
            QStringLiteral("找不到用户的字体文件夹（HOME 没有设置），条码字体没有安装。\r\n") + kUnscannable;
        return outcome;
    }
    for (const QString &file : DesignFiles()) {
        bool ok = false;
        const QByteArray bytes = readAll(shipped_ + u'/' + file, &ok);
        if (!ok || bytes.isEmpty()) {
            outcome.problem = QStringLiteral("程序附带的条码字体%1缺失，条码字体没有安装。\r\n")
                                  .arg(QDir::toNativeSeparators(shipped_ + u'/' + file)) +
                              kUnscannable;
            return outcome;
        }
        if (!writeIfChanged(places_.fontFolder + u'/' + file, bytes, outcome))
            return outcome;
    }
    if (!writeIfChanged(places_.configFolder + u'/' + AliasFileName(), AliasText(), outcome))
        return outcome;
    if (refreshCache(outcome))
        verify(outcome);
    return outcome;
}

bool BarcodeFonts::refreshCache(Outcome &outcome) const
{
    const QString cache = tool(QStringLiteral("fc-cache"));
    if (cache.isEmpty()) {
        outcome.problem = QStringLiteral("条码字体已安装到%1，但找不到 fc-cache，字体缓存没有刷新。\r\n"
                                         "如果标签上的条码印成普通文字，请安装 fontconfig 后重新启动程序。")
                              .arg(QDir::toNativeSeparators(places_.fontFolder));
        return false;
    }
    QProcess p;
    p.setProcessEnvironment(places_.environment);
    p.start(cache, {places_.fontFolder});
    if (p.waitForFinished(kCacheMs) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0)
        return true;
    p.kill();
    p.waitForFinished();
    outcome.problem = QStringLiteral("条码字体已安装到%1，但 fc-cache 没有完成，字体缓存没有刷新。\r\n"
                                     "如果标签上的条码印成普通文字，请重新启动程序。")
                          .arg(QDir::toNativeSeparators(places_.fontFolder));
    return false;
}

void BarcodeFonts::verify(Outcome &outcome) const
{
    QList<FaceState> states;
    if (!Check(states))
        return;
    QStringList missing;
    for (const FaceState &s : states)
        if (!s.resolves)
            missing << s.face.name;
    if (!missing.isEmpty())
        outcome.problem =
            QStringLiteral("条码字体已安装，但这些字体名仍不可用：%1\r\n").arg(missing.join(QStringLiteral("，"))) +
            kUnscannable;
}

} // namespace quarvel
