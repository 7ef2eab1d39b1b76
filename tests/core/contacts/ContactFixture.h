#pragma once

#include "app/ClientContext.h"
#include "app/ScriptedPrompter.h"
#include "contacts/ContactForm.h"
#include "support/TempRoot.h"
#include "text/Gbk.h"

#include <QList>

#include <ostream>

inline void PrintTo(const QString &text, std::ostream *out)
{
    *out << '"' << text.toStdString() << '"';
}

// A started context in a fresh root with an empty address book, and the
// contacts the form reported as saved or deleted.
struct ContactFixture {
    TempRoot root;
    quarvel::ClientContext context{root.path()};
    quarvel::ScriptedPrompter prompter;
    QList<std::pair<bool, quarvel::ContactRecord>> changes;

    ContactFixture() { EXPECT_TRUE(context.Start(prompter)); }

    quarvel::ContactFile &book() { return context.contacts(); }

    void watch(quarvel::ContactForm &form)
    {
        form.setRecordChanged([this](bool saved, const quarvel::ContactRecord &r) { changes.append({saved, r}); });
    }

    // Saves a contact through a fresh form; its id, or -1 when refused.
    int add(const QString &name, const QString &phone, const QString &code = QString(),
            const QString &address = QStringLiteral("北京市朝阳区建国路1号"))
    {
        quarvel::ContactForm form(context, prompter);
        int id = -1;
        form.setRecordChanged([&id](bool, const quarvel::ContactRecord &r) { id = r.iid; });
        form.values().cname = name;
        form.values().cphone = phone;
        form.values().ccode = code;
        form.values().caddr = address;
        return form.SaveContact() ? id : -1;
    }

    QString codeOf(int iid) { return quarvel::Gbk::field(book().Find(iid)->ccode); }
};
