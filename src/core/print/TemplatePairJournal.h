#pragma once

#include <QList>
#include <QString>

namespace quarvel {

// The journal of a template pair being put in place (DATA_MODEL/
// .template-pair.journal): its direction, and for each file of the pair the
// target, the new file written aside and the old file kept aside (none when
// there was no old file). All are names in the one folder. The journal is
// put in by a rename, so it is whole or absent; applying it again after a
// kill part-way through gives the same pair.
class TemplatePairJournal {
public:
    enum class Direction { Forward, Back };
    struct Member {
        QString target;
        QString fresh;
        QString old;
    };

    explicit TemplatePairJournal(const QString &folder) : folder_(folder) {}
    static QString Name() { return QStringLiteral(".template-pair.journal"); }

    bool Write(Direction direction, const QList<Member> &members, QString *error = nullptr) const;
    // False when there is no journal or it cannot be read.
    bool Read(Direction &direction, QList<Member> &members) const;
    bool Exists() const;
    void Remove() const;

    // Every new file still aside goes into place; the old ones kept aside go
    // once all are in. False (nothing more done) when a rename fails.
    bool Forward(const QList<Member> &members) const;
    // Every old file goes back, a target that had none is removed, and the
    // new files aside are dropped.
    void Back(const QList<Member> &members) const;

private:
    QString path(const QString &name) const;

    QString folder_;
};

} // namespace quarvel
