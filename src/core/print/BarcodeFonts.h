#pragma once

#include <QList>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

#include <array>

namespace quarvel {

// The Code-39 faces that label templates name for the waybill number
// ("3 of 9 Barcode" and three more), served on a machine that has none of
// them by the Libre Barcode 39 fonts the program comes with: the two font
// files go into the user's font folder, a fontconfig file lets each face
// name fall back to them (the "Hr" faces, human-readable, to the design with
// the number under the bars), and the font cache is refreshed. A face that
// a real font of that name serves keeps that font.
class BarcodeFonts {
public:
    struct Face {
        QString name;
        // The family of the shipped design that serves the name.
        QString family;
        QString file;
    };
    static const std::array<Face, 4> &Faces();
    static QStringList DesignFiles();
    // The fontconfig file (its name must begin with two digits to be read).
    static QString AliasFileName() { return QStringLiteral("50-quarvel-code39.conf"); }
    static QByteArray AliasText();

    // The user's font folder, the fontconfig folder read for the user's own
    // settings, and the environment fc-match and fc-cache run with.
    struct Places {
        QString fontFolder;
        QString configFolder;
        QProcessEnvironment environment;

        // $XDG_DATA_HOME/fonts (else ~/.local/share/fonts) and
        // $XDG_CONFIG_HOME/fontconfig/conf.d (else ~/.config/...); empty
        // folders when neither variable nor HOME says where.
        static Places OfUser(const QProcessEnvironment &environment = QProcessEnvironment::systemEnvironment());
    };

    // What fc-match makes of one face name.
    struct FaceState {
        Face face;
        bool resolves = false;
        QString family;
        QString file;
    };

    struct Outcome {
        // The files written, in order.
        QStringList written;
        // One text for the operator when the faces could not all be made
        // available; empty when all went well.
        QString problem;
    };

    BarcodeFonts(const QString &shippedFolder, const Places &places) : shipped_(shippedFolder), places_(places) {}

    // Each face through fc-match; false when fc-match cannot be run.
    bool Check(QList<FaceState> &states) const;
    // The shipped files and the fontconfig file are in place as shipped
    // (file comparisons only, no process is started).
    bool Installed() const;
    // The start-up step: nothing when installed or when every face resolves;
    // otherwise installs and refreshes the cache.
    Outcome EnsureAvailable();
    // Installs the shipped set even when the faces resolve (files that are
    // already there as shipped are not written again).
    Outcome Install();

    // The path of a program in the PATH of the places' environment; empty when absent.
    QString tool(const QString &name) const;

private:
    bool writeIfChanged(const QString &path, const QByteArray &bytes, Outcome &outcome) const;
    bool refreshCache(Outcome &outcome) const;
    void verify(Outcome &outcome) const;

    QString shipped_;
    Places places_;
};

} // namespace quarvel
